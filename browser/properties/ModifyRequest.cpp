#include "browser/properties/ModifyRequest.h"

#include "ldap/AttrMod.h"
#include "ldap/OrnInterface.h"

#include <utility>

ModifyRequest& ModifyRequest::change(int32_t op, std::string type, std::vector<std::string> values)
{
    changes_.push_back({ op, std::move(type), std::move(values) });
    return *this;
}

int32_t ModifyRequest::send(OrnLdapService& service, const std::string& dn)
{
    std::vector<std::vector<char*>> values(changes_.size());
    std::vector<AttrMod> mods(changes_.size());
    std::vector<AttrMod*> list;
    for (std::size_t i = 0; i < changes_.size(); ++i) {
        Change& change = changes_[i];
        for (std::string& value : change.values)
            values[i].push_back(value.data());
        values[i].push_back(nullptr);
        mods[i].op = change.op;
        mods[i].type = change.type.data();
        mods[i].values = values[i].data();
        list.push_back(&mods[i]);
    }
    list.push_back(nullptr);
    return service.OrnModifySync(dn.c_str(), list.data());
}
