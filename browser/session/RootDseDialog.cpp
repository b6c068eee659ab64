#include "browser/session/RootDseDialog.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/properties/AttributeList.h"
#include "browser/session/Logout.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnInterface.h"

RootDseDialog::RootDseDialog(AppContext& context)
    : context_(context)
{
}

void RootDseDialog::open()
{
    HeldResult& result = context_.state.rootDseResult;
    // "*" alone would leave out the operational attributes.
    std::string user = "*";
    std::string operational = "+";
    char* every[] = { user.data(), operational.data(), nullptr };
    constexpr int32_t kScopeBase = 0;
    WaitingFor waiting(context_, "Reading the root DSE");
    int32_t found = context_.service.OrnSearchSync("", "objectclass=*", every, 0, kScopeBase, result.place());
    if (found > 0)
        ReportServerResponse(context_, found);
    if (found < 0) {
        if (!ReportSearchCancelled(context_, found))
            ReportConnectionLost(context_, kConnectionTimedOut, found);
        end(DialogResult::Cancel);
    }
    if (found != 0)
        return;
    const EntryRecord* entry = result.get();
    if (!entry || entry->end_of_search) {
        context_.desktop.error("Cannot Access Server Root DSE", "Error");
        end(DialogResult::Cancel);
        return;
    }
    for (const AttrRecord* attribute = entry->attrs; attribute; attribute = attribute->next)
        for (const ValueRecord* value = attribute->values; value; value = value->next) {
            bool empty = !value->data || !*value->data;
            rows_.push_back({ attribute->name ? attribute->name : "", empty ? kNoValue : value->data });
        }
    changed();
}

void RootDseProperties(AppContext& context)
{
    RootDseDialog dialog(context);
    dialog.open();
    if (!dialog.ended())
        context.desktop.runModal(dialog);
    if (context.state.flags.connectionLost)
        Logout(context);
}
