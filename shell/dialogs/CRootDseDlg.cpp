#include "shell/dialogs/CRootDseDlg.h"

#include "browser/session/RootDseDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CRootDseDlg::CRootDseDlg(RootDseDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
{
    QStringList titles;
    QList<int> widths;
    for (const RootDseDialog::Column& column : RootDseDialog::kColumns) {
        titles << QString::fromUtf8(column.title);
        widths << column.width;
    }
    list_ = ReportList(this, titles, widths);
    list_->setShowGrid(RootDseDialog::kGridLines);
    list_->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = NamedButton(buttons, "close", tr("&Close"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(560, 420);

    bindButton(*close, [this] { model_.close(); });
    bind();
}

void CRootDseDlg::refresh()
{
    const auto& rows = model_.rows();
    list_->setRowCount(static_cast<int>(rows.size()));
    int row = 0;
    for (const RootDseDialog::Row& entry : rows) {
        list_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(entry.name)));
        list_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(entry.value)));
        ++row;
    }
}
