#include "browser/properties/ModifyRequest.h"

#include "browser/AppContext.h"
#include "browser/session/ServerWaits.h"
#include "ldap/AttrMod.h"
#include "ldap/OrnInterface.h"

#include <utility>

ModifyRequest& ModifyRequest::change(int32_t op, std::string type, std::vector<std::string> values)
{
    changes_.push_back({ op, std::move(type), std::move(values) });
    return *this;
}

int32_t ModifyRequest::send(AppContext& context, const std::string& dn)
{
    // As BerValues, so that a value goes whole, zero bytes and all.
    std::vector<std::vector<BerValue>> values(changes_.size());
    std::vector<std::vector<BerValue*>> valueLists(changes_.size());
    std::vector<AttrMod> mods(changes_.size());
    std::vector<AttrMod*> list;
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        Change& change = changes_[i];
        for (std::string& value : change.values)
            values[i].push_back({ static_cast<uint32_t>(value.size()), value.data() });
        for (BerValue& value : values[i])
            valueLists[i].push_back(&value);
        valueLists[i].push_back(nullptr);
        mods[i].op = change.op | ATTR_MOD_BVALUES;
        mods[i].type = change.type.data();
        mods[i].bvalues = valueLists[i].data();
        list.push_back(&mods[i]);
    }
    list.push_back(nullptr);
    WaitingFor waiting(context, "Saving the change to " + dn);
    return context.service.OrnModifySync(dn.c_str(), list.data());
}
