// "LDAP Search": the modeless window that composes a filter, searches below
// the tree's selection, lists what it found and shows the chosen entry's
// attributes, whose values are edited in place as in the main view.
#pragma once

#include "shell/dialogs/BoundDialog.h"

#include <array>

class AttributeTableView;
class LdapSearchDialog;
class QListWidget;

class CLdapSearchDlg final : public BoundDialog {
public:
    CLdapSearchDlg(LdapSearchDialog& model, QWidget* parent);

private:
    void refresh() override;
    QLayout* conditions();

    LdapSearchDialog& model_;
    QComboBox* objectClass_;
    std::array<QComboBox*, 3> names_;
    std::array<QLineEdit*, 3> values_;
    QComboBox* filterType_;
    QLineEdit* filter_;
    QLineEdit* baseDn_;
    QListWidget* results_;
    AttributeTableView* attributes_;
};
