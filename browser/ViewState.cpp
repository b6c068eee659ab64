#include "browser/ViewState.h"

#include "ldap/OrnQuery.h"

void HeldResult::release()
{
    if (result_) {
        OrnFreeResult(result_);
        result_ = nullptr;
    }
    ++generation_;
}
