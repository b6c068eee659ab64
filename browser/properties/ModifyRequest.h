// One modify request built from values held as bytes. The service reads
// null-terminated arrays of AttrMod pointers and of value pointers; the
// request owns the values and builds those arrays only when it is sent, so
// that nothing points into a container that has since grown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AppContext;

class ModifyRequest {
public:
    // Adds one change (ATTR_MOD_ADD, ATTR_MOD_DELETE or ATTR_MOD_REPLACE);
    // the server applies the changes in this order.
    ModifyRequest& change(int32_t op, std::string type, std::vector<std::string> values);

    // OrnModifySync on the DN: 0, a server result code, or a library code.
    int32_t send(AppContext& context, const std::string& dn);

private:
    struct Change {
        int32_t op;
        std::string type;
        std::vector<std::string> values;
    };
    std::vector<Change> changes_;
};
