// The base of every Qt dialog of the program: a window bound to one core
// dialog model. The widgets forward what the user does to the model; the
// model's every change is copied back into the widgets, and the dialog
// closes when the model has ended. Cancelling (Escape, the close button)
// is the model's cancel().
//
// The model outlives the dialog.
#pragma once

#include "browser/DialogControls.h"
#include "browser/DialogModel.h"

#include <QDialog>

#include <functional>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

class BoundDialog : public QDialog {
public:
    BoundDialog(DialogModel& model, QWidget* parent);
    ~BoundDialog() override;

    void reject() override;

protected:
    // Subclasses call this last in their constructor: from then on the
    // widgets follow the model.
    void bind();
    // Copies the model's state into the widgets.
    virtual void refresh() = 0;

    // Binding helpers. The user's actions reach the model, and the widgets
    // are redrawn after each, as not every operation of a model announces
    // its changes; setting a widget from the model does not reach it.
    void bindChoices(QComboBox& box, std::function<void(int)> choose, std::function<void(std::string)> type);
    void bindText(QLineEdit& edit, std::function<void(std::string)> set);
    void bindButton(QAbstractButton& button, std::function<void()> press);
    static void display(QComboBox& box, const ChoiceList& choices);
    static void display(QLineEdit& edit, const TextField& field);
    static void display(QLabel& label, const StatusLine& status);

private:
    void modelChanged();

    DialogModel& model_;
};
