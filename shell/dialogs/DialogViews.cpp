#include "shell/dialogs/DialogViews.h"

#include "browser/logs/DeleteLogDialog.h"
#include "browser/logs/LogViewerDialog.h"
#include "browser/properties/AddAttributeDialog.h"
#include "browser/session/CertificateDialog.h"
#include "browser/session/LoginDialog.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/ProfileManagerDialog.h"
#include "browser/session/RootDseDialog.h"
#include "browser/session/SetEntriesDialog.h"
#include "tools/schema/AddAttributeTypeDialog.h"
#include "tools/schema/AddObjectClassDialog.h"
#include "tools/schema/SchemaDetailsDialogs.h"
#include "tools/schema/SchemaManagerDialog.h"
#include "tools/create/AddOrgUnitDialog.h"
#include "tools/create/AddUserDialog.h"
#include "tools/create/CreateObjectDialog.h"
#include "tools/create/MandatoryAttributesDialog.h"
#include "tools/ldif/LdifDialogs.h"
#include "templates/TemplateDialogs.h"
#include "templates/TemplateFormDialog.h"
#include "tools/search/SearchDialog.h"
#include "shell/dialogs/CAddAttributeDlg.h"
#include "shell/dialogs/CAddAttributeTypeDlg.h"
#include "shell/dialogs/CAddObjectClassDlg.h"
#include "shell/dialogs/CAddEntryDlgs.h"
#include "shell/dialogs/CCreateObjectDlg.h"
#include "shell/dialogs/CMandatoryAttributesDlg.h"
#include "shell/dialogs/CDeleteLogDlg.h"
#include "shell/dialogs/CLogViewerDlg.h"
#include "shell/dialogs/CCertificateDlg.h"
#include "shell/dialogs/CLoginDlg.h"
#include "shell/dialogs/CNewProfileDlg.h"
#include "shell/dialogs/CProfileManagerDlg.h"
#include "shell/dialogs/CRootDseDlg.h"
#include "shell/dialogs/CSchemaDetailsDlgs.h"
#include "shell/dialogs/CLdapSearchDlg.h"
#include "shell/dialogs/CSchemaManagerDlg.h"
#include "shell/dialogs/CSetEntriesDlg.h"
#include "shell/dialogs/CLdifDlgs.h"
#include "shell/dialogs/CTemplateDlgs.h"

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
        { LoginDialog::kResource, make<CLoginDlg, LoginDialog> },
        { NewProfileDialog::kResource, make<CNewProfileDlg, NewProfileDialog> },
        { CertificateDialog::kResource, make<CCertificateDlg, CertificateDialog> },
        { ProfileManagerDialog::kResource, make<CProfileManagerDlg, ProfileManagerDialog> },
        { SetEntriesDialog::kResource, make<CSetEntriesDlg, SetEntriesDialog> },
        { LogViewerDialog::kResource, make<CLogViewerDlg, LogViewerDialog> },
        { DeleteLogDialog::kResource, make<CDeleteLogDlg, DeleteLogDialog> },
        { AddAttributeDialog::kResource, make<CAddAttributeDlg, AddAttributeDialog> },
        { RootDseDialog::kResource, make<CRootDseDlg, RootDseDialog> },
        { SchemaManagerDialog::kResource, make<CSchemaManagerDlg, SchemaManagerDialog> },
        { LdapSearchDialog::kResource, make<CLdapSearchDlg, LdapSearchDialog> },
        { ClassDetailsDialog::kResource, make<CClassDetailsDlg, ClassDetailsDialog> },
        { AttributeDetailsDialog::kResource, make<CAttributeDetailsDlg, AttributeDetailsDialog> },
        { AddObjectClassDialog::kResource, make<CAddObjectClassDlg, AddObjectClassDialog> },
        { AddAttributeTypeDialog::kResource, make<CAddAttributeTypeDlg, AddAttributeTypeDialog> },
        { CreateObjectDialog::kResource, make<CCreateObjectDlg, CreateObjectDialog> },
        { MandatoryAttributesDialog::kResource, make<CMandatoryAttributesDlg, MandatoryAttributesDialog> },
        { AddUserDialog::kResource, make<CAddUserDlg, AddUserDialog> },
        { AddOrgUnitDialog::kResource, make<CAddOrgUnitDlg, AddOrgUnitDialog> },
        { ExportLdifDialog::kResource, make<CExportLdifDlg, ExportLdifDialog> },
        { ImportLdifDialog::kResource, make<CImportLdifDlg, ImportLdifDialog> },
        { SaveTemplateDialog::kResource, make<CSaveTemplateDlg, SaveTemplateDialog> },
        { TemplatePickerDialog::kModifyResource, make<CTemplatePickerDlg, TemplatePickerDialog> },
        { TemplatePickerDialog::kCreateResource, make<CTemplatePickerDlg, TemplatePickerDialog> },
        { TemplateEditorDialog::kResource, make<CTemplateEditorDlg, TemplateEditorDialog> },
        { TemplateFormDialog::kResource, make<CTemplateFormDlg, TemplateFormDialog> },
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
