// Controls on the wire and the simple paged results control.
#include "ldap/OrnControl.h"

#include "ldap/ElementLimit.h"
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kControls = 0xA0; // [0] Controls
constexpr uint32_t kBoolean = 0x01;
constexpr uint32_t kOctetString = 0x04;

// One control as it lies in the message, checked before anything is allocated.
struct ControlSpan {
    const uint8_t* oid;
    uint32_t oidLength;
    int32_t critical;
    const uint8_t* value; // null: no value
    uint32_t valueLength;
};

// Control ::= SEQUENCE {
//      controlType             LDAPOID,
//      criticality             BOOLEAN DEFAULT FALSE,
//      controlValue            OCTET STRING OPTIONAL }
bool readControl(BerCodec& codec, BerBuffer* ber, ControlSpan* span)
{
    uint32_t length = 0;
    if (codec.ber_skip_tag(ber, &length) == BER_ERROR)
        return false;
    ElementLimit control(ber, ber->ptr + length);
    if (codec.ber_skip_tag(ber, &length) != kOctetString)
        return false;
    *span = { .oid = ber->ptr, .oidLength = length, .critical = 0, .value = nullptr, .valueLength = 0 };
    ber->ptr += length;
    if (ber->ptr < ber->end && codec.ber_peek_tag(ber, &length) == kBoolean) {
        int critical = 0;
        if (codec.ber_get_boolean(ber, &critical) == BER_ERROR)
            return false;
        span->critical = critical != 0 ? 1 : 0;
    }
    if (ber->ptr < ber->end) {
        if (codec.ber_skip_tag(ber, &length) != kOctetString)
            return false;
        span->value = ber->ptr;
        span->valueLength = length;
        ber->ptr += length;
    }
    return ber->ptr == ber->end;
}

// A copy with a terminating zero, so that an OID reads as text.
char* copyBytes(const void* bytes, uint32_t length)
{
    auto* copy = static_cast<char*>(ornMalloc(std::size_t(length) + 1));
    if (copy) {
        if (length > 0)
            std::memcpy(copy, bytes, length);
        copy[length] = '\0';
    }
    return copy;
}

OrnControl* newControl(const void* oid, uint32_t oidLength, int32_t critical, const void* value, uint32_t valueLength)
{
    auto* control = static_cast<OrnControl*>(ornCalloc(1, sizeof(OrnControl)));
    if (!control)
        return nullptr;
    control->critical = critical;
    control->oid = copyBytes(oid, oidLength);
    if (control->oid && value) {
        control->value.bytes = copyBytes(value, valueLength);
        control->value.length = valueLength;
    }
    if (!control->oid || (value && !control->value.bytes)) {
        OrnFreeControl(control);
        return nullptr;
    }
    return control;
}

} // namespace

void OrnFreeControl(OrnControl* control)
{
    if (!control)
        return;
    ornFree(control->oid);
    ornFree(control->value.bytes);
    ornFree(control);
}

void OrnFreeControls(OrnControl** controls)
{
    if (!controls)
        return;
    for (OrnControl** control = controls; *control; ++control)
        OrnFreeControl(*control);
    ornFree(controls);
}

// Controls ::= SEQUENCE OF control Control
// key: t=[0] {s=controlType b=criticality o=controlValue}
int32_t ornPutControls(BerCodec& codec, BerBuffer* ber, OrnControl** controls)
{
    if (!controls || !*controls)
        return 0;
    if (codec.ber_printf(ber, "t{", kControls) == -1)
        return -1;
    for (OrnControl** at = controls; *at; ++at) {
        const OrnControl& control = **at;
        if (!control.oid || codec.ber_printf(ber, "{s", control.oid) == -1)
            return -1;
        // FALSE is the default, and is left out.
        if (control.critical && codec.ber_printf(ber, "b", 1) == -1)
            return -1;
        if (control.value.bytes && codec.ber_printf(ber, "o", control.value.bytes, control.value.length) == -1)
            return -1;
        if (codec.ber_printf(ber, "}") == -1)
            return -1;
    }
    return codec.ber_printf(ber, "}") == -1 ? -1 : 0;
}

int32_t ornReadControls(BerCodec& codec, BerBuffer* ber, OrnControl*** out)
{
    *out = nullptr;
    uint32_t length = 0;
    if (ber->ptr >= ber->end || codec.ber_skip_tag(ber, &length) != kControls)
        return 0;
    std::vector<ControlSpan> spans;
    {
        ElementLimit list(ber, ber->ptr + length);
        while (ber->ptr < ber->end) {
            // readControl ends at the control's end, or fails.
            ControlSpan span {};
            if (!readControl(codec, ber, &span))
                return 0;
            spans.push_back(span);
        }
    }
    if (spans.empty())
        return 0;
    auto** controls = static_cast<OrnControl**>(ornCalloc(spans.size() + 1, sizeof(OrnControl*)));
    if (!controls)
        return MALLOC_ERROR;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const ControlSpan& span = spans[i];
        controls[i] = newControl(span.oid, span.oidLength, span.critical, span.value, span.valueLength);
        if (!controls[i]) {
            OrnFreeControls(controls);
            return MALLOC_ERROR;
        }
    }
    *out = controls;
    return 0;
}

// realSearchControlValue ::= SEQUENCE {
//      size            INTEGER (0..maxInt),
//      cookie          OCTET STRING }
// key: i=size o=cookie
int32_t OrnCreatePageControl(int32_t page_size, const BerValue* cookie, int32_t critical, OrnControl** out)
{
    if (!out || page_size < 0)
        return INVALID_INPUT;
    *out = nullptr;
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(BER_MINIMAL_LENGTHS);
    if (!ber)
        return MALLOC_ERROR;
    const char* cookieBytes = cookie && cookie->bytes ? cookie->bytes : "";
    const uint32_t cookieLength = cookie && cookie->bytes ? cookie->length : 0;
    int32_t result = 0;
    if (codec.ber_printf(ber, "{io}", page_size, cookieBytes, cookieLength) == -1) {
        result = ORN_BER_ENCODE_ERROR;
    } else {
        const uint32_t oidLength = static_cast<uint32_t>(std::strlen(ORN_CONTROL_PAGEDRESULTS));
        *out = newControl(ORN_CONTROL_PAGEDRESULTS, oidLength, critical ? 1 : 0, ber->buf,
            static_cast<uint32_t>(ber->ptr - ber->buf));
        if (!*out)
            result = MALLOC_ERROR;
    }
    codec.ber_free(ber, 1);
    return result;
}

int32_t OrnParsePageControl(OrnControl** controls, int32_t* estimate, BerValue** cookie)
{
    if (!estimate || !cookie)
        return INVALID_INPUT;
    const OrnControl* found = nullptr;
    for (OrnControl** at = controls; at && *at && !found; ++at)
        if ((*at)->oid && std::strcmp((*at)->oid, ORN_CONTROL_PAGEDRESULTS) == 0)
            found = *at;
    if (!found)
        return ORN_CONTROL_NOT_FOUND;
    if (!found->value.bytes)
        return ORN_BER_DECODE_ERROR;
    BerCodec codec;
    BerBuffer ber;
    codec.ber_init(&ber, 0);
    ber.buf = ber.ptr = reinterpret_cast<uint8_t*>(found->value.bytes); // only ever read
    ber.end = ber.buf + found->value.length;
    int32_t size = 0;
    BerValue* next = nullptr;
    if (codec.ber_scanf(&ber, "{iO}", &size, &next) == BER_ERROR)
        return ORN_BER_DECODE_ERROR;
    if (!next)
        return MALLOC_ERROR;
    *estimate = size < 0 ? 0 : size;
    *cookie = next;
    return 0;
}
