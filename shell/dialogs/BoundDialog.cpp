#include "shell/dialogs/BoundDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QString toQt(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

BoundDialog::BoundDialog(DialogModel& model, QWidget* parent)
    : QDialog(parent)
    , model_(model)
{
    setWindowTitle(toQt(model.windowTitle()));
}

BoundDialog::~BoundDialog()
{
    model_.onChanged(nullptr);
}

void BoundDialog::bind()
{
    model_.onChanged([this] { modelChanged(); });
    modelChanged();
}

void BoundDialog::reject()
{
    model_.cancel();
}

void BoundDialog::modelChanged()
{
    if (model_.ended()) {
        done(model_.result() == DialogResult::Ok ? Accepted : Rejected);
        return;
    }
    refresh();
    // The model may be about to block on the server: paint now, not after.
    if (isVisible())
        repaint();
}

void BoundDialog::bindChoices(QComboBox& box, std::function<void(int)> choose, std::function<void(std::string)> type)
{
    connect(&box, &QComboBox::activated, this, [this, &box, choose = std::move(choose)](int index) {
        choose(index);
        modelChanged();
        if (box.isEditable())
            box.lineEdit()->setCursorPosition(0);
    });
    if (box.isEditable()) {
        box.setInsertPolicy(QComboBox::NoInsert);
        connect(box.lineEdit(), &QLineEdit::textEdited, this, [this, type = std::move(type)](const QString& text) {
            type(text.toStdString());
            modelChanged();
        });
    }
}

void BoundDialog::bindText(QLineEdit& edit, std::function<void(std::string)> set)
{
    connect(&edit, &QLineEdit::textEdited, this, [this, set = std::move(set)](const QString& text) {
        set(text.toStdString());
        modelChanged();
    });
}

void BoundDialog::bindButton(QAbstractButton& button, std::function<void()> press)
{
    connect(&button, &QAbstractButton::clicked, this, [this, press = std::move(press)] {
        press();
        modelChanged();
    });
}

void BoundDialog::display(QComboBox& box, const ChoiceList& choices)
{
    QStringList items;
    for (const std::string& item : choices.items)
        items << toQt(item);
    QStringList shown;
    for (int i = 0; i < box.count(); ++i)
        shown << box.itemText(i);
    bool replaced = false;
    if (shown != items) {
        box.clear();
        box.addItems(items);
        replaced = true;
    }
    if (box.currentIndex() != choices.selected) {
        box.setCurrentIndex(choices.selected);
        replaced = true;
    }
    if (!box.isEditable())
        return;
    box.setMinimumContentsLength(40);
    if (box.currentText() != toQt(choices.text)) {
        box.setEditText(toQt(choices.text));
        replaced = true;
    }
    // A long text put there from the model (host;port;base DN;user ID) reads
    // from its start; what the user types keeps the cursor where it is.
    if (replaced)
        box.lineEdit()->setCursorPosition(0);
}

void BoundDialog::display(QLineEdit& edit, const TextField& field)
{
    if (edit.text() != toQt(field.text))
        edit.setText(toQt(field.text));
    edit.setEnabled(field.enabled);
}

void BoundDialog::display(QLabel& label, const StatusLine& status)
{
    label.setText(toQt(status.text));
    label.setVisible(status.visible);
}
