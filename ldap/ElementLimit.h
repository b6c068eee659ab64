// Internal to the decoders: the bound that keeps every read inside the
// element being read.
#pragma once

#include "ldap/Ber.h"

// Narrows the readable end of ber to the end of the element entered, so no
// read inside can run past it, however its lengths lie. Elements nest; the
// end ber had before comes back when the limit goes.
class ElementLimit {
public:
    explicit ElementLimit(BerBuffer* ber) : ber_(ber), outerEnd_(ber->end) {}
    ElementLimit(BerBuffer* ber, uint8_t* end) : ElementLimit(ber) { enter(end); }
    ~ElementLimit() { ber_->end = outerEnd_; }
    ElementLimit(const ElementLimit&) = delete;
    ElementLimit& operator=(const ElementLimit&) = delete;

    // False when elements nest deeper than any LDAP message does.
    bool enter(uint8_t* end)
    {
        if (depth_ == kMaxDepth)
            return false;
        saved_[depth_++] = ber_->end;
        ber_->end = end;
        return true;
    }

    void leave()
    {
        if (depth_ > 0)
            ber_->end = saved_[--depth_];
    }

private:
    static constexpr int kMaxDepth = 16;
    BerBuffer* ber_;
    uint8_t* outerEnd_;
    uint8_t* saved_[kMaxDepth];
    int depth_ = 0;
};
