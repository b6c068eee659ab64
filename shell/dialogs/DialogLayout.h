// Widgets of the dialogs, each named so that tests find them.
#pragma once

#include <QDialogButtonBox>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

QComboBox* NamedCombo(QWidget* parent, const char* name, bool editable);
QLineEdit* NamedEdit(QWidget* parent, const char* name);
// A dialog's progress line, hidden until the model shows it.
QLabel* NamedStatus(QWidget* parent);
// A button of a window's own row, which Return does not press unless it is the default.
QPushButton* NamedPushButton(QWidget* parent, const char* name, const QString& text);
QPushButton* NamedButton(
    QDialogButtonBox* box, const char* name, const QString& text, QDialogButtonBox::ButtonRole role);
// The row under a dialog's fields: the default button, which accepts, and Cancel.
QDialogButtonBox* AcceptAndCancel(QWidget* parent, const char* name, const QString& text, QPushButton** accept);

class QTableWidget;
// A read-only list in report view with grid lines, one row selected at a time.
QTableWidget* ReportList(QWidget* parent, const QStringList& titles, const QList<int>& widths);
