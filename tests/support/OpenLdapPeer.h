// The bytes that OpenLDAP's libldap sends for each request, taken through
// its public calls on one end of a socket pair and read from the other.
// Each call uses a fresh session, so its request carries message id 1.
// Only standard types cross this interface: OpenLDAP's headers and ours
// name some of the same things. Failures throw std::runtime_error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace openldap {

using Bytes = std::vector<uint8_t>;

// One attribute of an add, or one change of a modify (op 0 add, 1 delete,
// 2 replace; ignored by add). binary sends the values as counted strings.
struct Change {
    int op = 0;
    std::string type;
    std::vector<std::string> values;
    bool binary = false;
};

Bytes bindRequest(int version, const std::string& dn, const std::string& password);
Bytes unbindRequest();
// A simple paged results control made by ldap_create_page_control.
struct PageRequest {
    int size = 0;
    std::string cookie;
    bool critical = false;
};

// No attributes: a null attribute list. A page request sends its control along.
Bytes searchRequest(const std::string& base, int scope, int deref, int sizeLimit, int timeLimit, bool typesOnly,
    const std::string& filter, const std::vector<std::string>& attributes, const PageRequest* page = nullptr);
Bytes compareRequest(const std::string& dn, const std::string& type, const std::string& value);
Bytes addRequest(const std::string& dn, const std::vector<Change>& attributes);
Bytes modifyRequest(const std::string& dn, const std::vector<Change>& changes);
// A null newSuperior leaves the element out.
Bytes renameRequest(
    const std::string& dn, const std::string& newRdn, bool deleteOldRdn, const char* newSuperior = nullptr);
Bytes deleteRequest(const std::string& dn);
Bytes abandonRequest(int abandonId);

} // namespace openldap
