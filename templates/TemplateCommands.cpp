#include "templates/TemplateCommands.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "templates/TemplateDialogs.h"
#include "templates/TemplateFiles.h"
#include "tools/create/CreateCommands.h"

#include <strings.h>

void CreateXmlTemplateCommand(AppContext& context)
{
    const std::vector<AttributeRow>& rows = context.state.attributes.rows();
    if (rows.empty())
        return;
    SaveTemplateDialog name(context.desktop);
    if (context.desktop.runModal(name) != DialogResult::Ok)
        return;
    std::vector<std::string> objectClasses, fields;
    for (const AttributeRow& row : rows) {
        if (strcasecmp(row.name.c_str(), "objectclass") == 0)
            objectClasses.push_back(row.value);
        else if (strcasecmp(row.name.c_str(), "dn") != 0)
            fields.push_back(row.name);
    }
    if (!WriteTemplateFile(name.fileName(), TemplateText(objectClasses, fields)))
        context.desktop.error("cannot open file for saving", "Error");
}

void ModifyXmlTemplateCommand(AppContext& context)
{
    std::string labelText;
    TemplatePickerDialog picker(context, TemplatePickerDialog::Purpose::Modify, labelText);
    picker.open();
    context.desktop.runModal(picker);
    // The editor's preview may have created an entry below the selected node.
    if (TreeNode* node = context.state.tree.selected())
        FinishCreation(context, *node, labelText, 500);
}
