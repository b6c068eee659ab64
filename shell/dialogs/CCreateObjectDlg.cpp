#include "shell/dialogs/CCreateObjectDlg.h"

#include "shell/dialogs/DialogLayout.h"
#include "tools/create/CreateObjectDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

CCreateObjectDlg::CCreateObjectDlg(CreateObjectDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , classes_(new QListWidget(this))
{
    classes_->setObjectName("classes");
    classes_->setSelectionMode(QAbstractItemView::SingleSelection);
    QPushButton* create = nullptr;
    auto* buttons = AcceptAndCancel(this, "create", tr("&Create"), &create);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(classes_);
    layout->addWidget(buttons);
    resize(320, 420);

    // Type-ahead moves the current row: that is a choice, as a click is.
    connect(classes_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            model_.chooseClass(row);
    });
    bindButton(*create, [this] { model_.create(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CCreateObjectDlg::refresh()
{
    const ChoiceList& classes = model_.classes();
    QSignalBlocker quiet(classes_);
    if (classes_->count() != static_cast<int>(classes.items.size())) {
        classes_->clear();
        for (const std::string& item : classes.items)
            classes_->addItem(QString::fromStdString(item));
    }
    classes_->setCurrentRow(classes.selected);
}
