#include "shell/dialogs/CDeleteLogDlg.h"

#include "browser/logs/DeleteLogDialog.h"
#include "shell/dialogs/DialogLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* dateList(QWidget* parent, const char* name, const std::vector<std::string>& items)
{
    QComboBox* box = NamedCombo(parent, name, false);
    for (const std::string& item : items)
        box->addItem(QString::fromStdString(item));
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

CDeleteLogDlg::CDeleteLogDlg(DeleteLogDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , entire_(new QCheckBox(tr("Delete Entire &Log"), this))
    , month_(dateList(this, "month", DeleteLogDialog::months()))
    , day_(dateList(this, "day", DeleteLogDialog::days()))
    , year_(dateList(this, "year", DeleteLogDialog::years()))
{
    entire_->setObjectName("deleteEntireLog");
    auto* form = new QFormLayout;
    form->addRow(entire_);
    form->addRow(tr("MM"), month_);
    form->addRow(tr("DD"), day_);
    form->addRow(tr("YY"), year_);
    QPushButton* ok = nullptr;
    auto* buttons = AcceptAndCancel(this, "ok", tr("OK"), &ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    bindButton(*entire_, [this] { model_.setDeleteEntireLog(entire_->isChecked()); });
    bindChoices(
        *month_, [this](int i) { model_.chooseMonth(i); }, nullptr);
    bindChoices(
        *day_, [this](int i) { model_.chooseDay(i); }, nullptr);
    bindChoices(
        *year_, [this](int i) { model_.chooseYear(i); }, nullptr);
    bindButton(*ok, [this] { model_.ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &BoundDialog::reject);
    bind();
}

void CDeleteLogDlg::refresh()
{
    entire_->setChecked(model_.deleteEntireLog());
    for (QComboBox* list : { month_, day_, year_ })
        list->setEnabled(model_.listsEnabled());
}
