// List boxes bound to a core ChoiceList. Type-ahead selection is the list
// widget's own: typing a name's first letters makes it current, which
// reaches the model like a click.
#pragma once

#include "browser/DialogControls.h"

#include <functional>

class QListWidget;
class QObject;
class QWidget;

QListWidget* NamedList(QWidget* parent, const char* name);
// Copies the items and the selection without echoing them back to the model.
void DisplayChoices(QListWidget& list, const ChoiceList& choices);
// The row the user makes current goes to choose, then after runs.
void OnChoose(QListWidget& list, std::function<void(int)> choose, std::function<void()> after);
