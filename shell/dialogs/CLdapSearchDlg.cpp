#include "shell/dialogs/CLdapSearchDlg.h"

#include "browser/AppContext.h"
#include "shell/AttributeTableView.h"
#include "shell/dialogs/ChoiceListWidget.h"
#include "shell/dialogs/DialogLayout.h"
#include "tools/search/SearchDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

const char* const kNameWidgets[] = { "name0", "name1", "name2" };
// Of the value, name and syntax columns.
constexpr int kColumnWidths[] = { 150, 85, 100 };
const char* const kValueWidgets[] = { "value0", "value1", "value2" };

} // namespace

CLdapSearchDlg::CLdapSearchDlg(LdapSearchDialog& model, QWidget* parent)
    : BoundDialog(model, parent)
    , model_(model)
    , objectClass_(NamedCombo(this, "objectClass", true))
    , filterType_(NamedCombo(this, "filterType", false))
    , filter_(NamedEdit(this, "filter"))
    , baseDn_(NamedEdit(this, "baseDn"))
    , results_(NamedList(this, "results"))
    , attributes_(new AttributeTableView(model.context(), model.attributes(), model.editedList(), this))
{
    setModal(false);
    attributes_->setObjectName("attributes");
    // Value, name and syntax in the model; name first on the screen.
    for (int column : { 0, 1, 2 })
        attributes_->setColumnWidth(column, kColumnWidths[column]);
    attributes_->horizontalHeader()->moveSection(1, 0);
    baseDn_->setReadOnly(true);

    QPushButton* search = NamedPushButton(this, "search", tr("&Search"));
    QPushButton* save = NamedPushButton(this, "saveSearch", tr("S&ave Search..."));
    QPushButton* clear = NamedPushButton(this, "clear", tr("C&lear"));
    QPushButton* close = NamedPushButton(this, "close", tr("&Close"));
    search->setDefault(true);

    auto* found = new QGridLayout;
    found->addWidget(new QLabel(tr("Search results"), this), 0, 0);
    found->addWidget(new QLabel(tr("Search Result Screen"), this), 0, 1);
    found->addWidget(results_, 1, 0);
    found->addWidget(attributes_, 1, 1);
    found->setColumnStretch(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* each : { search, save, clear, close })
        buttons->addWidget(each);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(conditions());
    whole->addLayout(found, 1);
    whole->addLayout(buttons);
    resize(760, 600);

    // The keyboard goes through the conditions in reading order.
    QWidget* order[] = { objectClass_, names_[0], values_[0], names_[1], values_[1], names_[2], values_[2],
        filterType_, filter_, results_, attributes_, search, save, clear, close };
    for (std::size_t at = 1; at < std::size(order); ++at)
        setTabOrder(order[at - 1], order[at]);

    bindChoices(
        *objectClass_, [this](int index) { model_.chooseClass(index); },
        [this](std::string text) { model_.typeClass(std::move(text)); });
    for (int row = 0; row < 3; ++row) {
        bindChoices(*names_[row], [this, row](int index) { model_.chooseName(row, index); }, {});
        bindText(*values_[row], [this, row](std::string text) { model_.setValue(row, std::move(text)); });
    }
    bindChoices(*filterType_, [this](int index) { model_.chooseFilterType(index); }, {});
    bindText(*filter_, [this](std::string text) { model_.typeFilter(std::move(text)); });
    OnChoose(
        *results_, [this](int row) { model_.chooseResult(row); }, [this] { refresh(); });
    bindButton(*search, [this] { model_.search(); });
    bindButton(*save, [this] { model_.saveSearch(); });
    bindButton(*clear, [this] { model_.clear(); });
    bindButton(*close, [this] { model_.close(); });
    bind();
}

// The class, the three conditions joined by "=", the filter type, the
// filter that will be sent and the base of the last search.
QLayout* CLdapSearchDlg::conditions()
{
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("ObjectClass"), this), 0, 0);
    grid->addWidget(objectClass_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Attribute Names"), this), 1, 1);
    grid->addWidget(new QLabel(tr("Attribute Values"), this), 1, 3);
    for (int row = 0; row < 3; ++row) {
        names_[row] = NamedCombo(this, kNameWidgets[row], false);
        values_[row] = NamedEdit(this, kValueWidgets[row]);
        grid->addWidget(names_[row], row + 2, 1);
        grid->addWidget(new QLabel(QStringLiteral("="), this), row + 2, 2);
        grid->addWidget(values_[row], row + 2, 3);
    }
    grid->addWidget(new QLabel(tr("Filter Type"), this), 5, 0);
    grid->addWidget(filterType_, 5, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Filter"), this), 6, 0);
    grid->addWidget(filter_, 6, 1, 1, 3);
    grid->addWidget(new QLabel(tr("BaseDN"), this), 7, 0);
    grid->addWidget(baseDn_, 7, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grid;
}

void CLdapSearchDlg::refresh()
{
    display(*objectClass_, model_.objectClass());
    for (int row = 0; row < 3; ++row) {
        display(*names_[row], model_.name(row));
        display(*values_[row], model_.value(row));
    }
    display(*filterType_, model_.filterType());
    display(*filter_, model_.filter());
    baseDn_->setText(QString::fromStdString(model_.baseDn()));
    DisplayChoices(*results_, model_.results());
}
