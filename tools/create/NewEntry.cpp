#include "tools/create/NewEntry.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/ViewState.h"
#include "browser/properties/DnEscape.h"
#include "browser/session/ServerWaits.h"
#include "browser/tree/DnLabels.h"
#include "ldap/AttrMod.h"
#include "ldap/OrnInterface.h"

#include <strings.h>

NewEntry::NewEntry(const std::string& attribute, const std::string& value, std::string parentDn)
    : rdn_(attribute + "=" + EscapeDnValue(value))
    , dn_(rdn_ + "," + parentDn)
{
}

NewEntry& NewEntry::attribute(std::string type, std::vector<std::string> values)
{
    attributes_.emplace_back(std::move(type), std::move(values));
    return *this;
}

int32_t NewEntry::add(AppContext& context) const
{
    // As BerValues, so that a value goes whole and an empty one goes empty.
    std::vector<std::vector<BerValue>> values(attributes_.size());
    std::vector<std::vector<BerValue*>> valueLists(attributes_.size());
    std::vector<AttrMod> mods(attributes_.size());
    std::vector<AttrMod*> list;
    for (std::size_t i = 0; i < attributes_.size(); ++i) {
        for (const std::string& value : attributes_[i].second)
            values[i].push_back({ static_cast<uint32_t>(value.size()), const_cast<char*>(value.data()) });
        for (BerValue& value : values[i])
            valueLists[i].push_back(&value);
        valueLists[i].push_back(nullptr);
        mods[i].op = ATTR_MOD_ADD | ATTR_MOD_BVALUES;
        mods[i].type = const_cast<char*>(attributes_[i].first.c_str());
        mods[i].bvalues = valueLists[i].data();
        list.push_back(&mods[i]);
    }
    list.push_back(nullptr);
    WaitingFor waiting(context, "Adding " + dn_);
    return context.service.OrnAddSync(dn_.c_str(), list.data());
}

std::string ParentDn(const AppContext& context)
{
    const ViewState& state = context.state;
    const TreeNode* node = state.tree.selected();
    if (!node)
        return {};
    const std::string& baseDn = state.connection.baseDn;
    if (strcasecmp(node->label.c_str(), baseDn.c_str()) == 0)
        return baseDn;
    return BuildFullDn(*node);
}

DialogResult AddNewEntry(AppContext& context, const NewEntry& entry, std::string& labelText)
{
    const int32_t added = entry.add(context);
    if (added > 0) {
        ReportServerResponse(context, added);
        return DialogResult::None;
    }
    if (added < 0) {
        ReportConnectionLost(context, kConnectionTimedOutAgain, added);
        return DialogResult::Cancel;
    }
    context.state.loadedDns.push_back(entry.dn());
    labelText = entry.rdn();
    return DialogResult::Ok;
}
