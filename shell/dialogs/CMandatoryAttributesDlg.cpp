#include "shell/dialogs/CMandatoryAttributesDlg.h"

#include "shell/dialogs/DialogLayout.h"
#include "tools/create/MandatoryAttributesDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

CMandatoryAttributesDlg::CMandatoryAttributesDlg(MandatoryAttributesDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
{
    QStringList titles;
    QList<int> widths;
    for (const MandatoryAttributesDialog::Column& column : MandatoryAttributesDialog::kColumns) {
        titles << QString::fromUtf8(column.title);
        widths << column.width;
    }
    list_ = ReportList(this, titles, widths);
    list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
        | QAbstractItemView::DoubleClicked);
    list_->horizontalHeader()->setStretchLastSection(true);
    auto* caption = new QLabel(QString::fromStdString(model.caption()), this);
    caption->setObjectName("caption");
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    auto* text = new QLabel(QString::fromUtf8(MandatoryAttributesDialog::kText), this);
    text->setObjectName("text");
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(text);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(440, 300);

    connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1)
            model_.setValue(item->row(), item->text().toStdString());
    });
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CMandatoryAttributesDlg::refresh()
{
    QSignalBlocker quiet(list_);
    const auto& rows = model_.rows();
    list_->setRowCount(static_cast<int>(rows.size()));
    int row = 0;
    for (const MandatoryAttributesDialog::Row& entry : rows) {
        auto* name = new QTableWidgetItem(QString::fromStdString(entry.name));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        list_->setItem(row, 0, name);
        list_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(entry.value)));
        ++row;
    }
    if (list_->currentRow() < 0 && row > 0)
        list_->setCurrentCell(0, 1);
}
