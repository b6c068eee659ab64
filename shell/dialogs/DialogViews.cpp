#include "DialogViews.h"

#include "AddAttributeDialog.h"
#include "CAddAttributeDlg.h"
#include "CDeleteLogDlg.h"
#include "CLogViewerDlg.h"
#include "CLoginDlg.h"
#include "CNewProfileDlg.h"
#include "CProfileManagerDlg.h"
#include "CRootDseDlg.h"
#include "CSetEntriesDlg.h"
#include "DeleteLogDialog.h"
#include "LogViewerDialog.h"
#include "LoginDialog.h"
#include "RootDseDialog.h"
#include "SetEntriesDialog.h"

#include <map>
#include <string>

namespace {

template <class View, class Model> std::unique_ptr<QDialog> make(DialogModel& model, QWidget* parent)
{
    return std::make_unique<View>(dynamic_cast<Model&>(model), parent);
}

using Maker = std::unique_ptr<QDialog> (*)(DialogModel&, QWidget*);

const std::map<std::string, Maker>& makers()
{
    static const std::map<std::string, Maker> table {
        { "Login ", make<CLoginDlg, LoginDialog> },
        { "New Profile", make<CNewProfileDlg, NewProfileDialog> },
        { "Profile Manager", make<CProfileManagerDlg, ProfileManagerDialog> },
        { "Set Entries to View", make<CSetEntriesDlg, SetEntriesDialog> },
        { "View General Log File", make<CLogViewerDlg, LogViewerDialog> },
        { "Delete Log File", make<CDeleteLogDlg, DeleteLogDialog> },
        { "Add Attribute to Object", make<CAddAttributeDlg, AddAttributeDialog> },
        { "Root DSE Information", make<CRootDseDlg, RootDseDialog> },
    };
    return table;
}

} // namespace

std::unique_ptr<QDialog> CreateDialogView(DialogModel& model, QWidget* parent)
{
    auto found = makers().find(model.resourceName());
    if (found == makers().end())
        return nullptr;
    std::unique_ptr<QDialog> view = found->second(model, parent);
    view->setObjectName(QString::fromStdString(model.resourceName()));
    return view;
}
