// The non-search operation calls: bind, compare, add, modify, modify RDN and
// delete, each synchronous (waits for the result code) and, apart from bind,
// asynchronous (returns the message id). They all run the same steps; only
// their log lines differ, and those are the tables below.
#include "ldap/Add.h"
#include "ldap/Authent.h"
#include "ldap/Delete.h"
#include "ldap/Modify.h"
#include "ldap/ModifyDn.h"
#include "ldap/OrnCallTexts.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"
#include "ldap/OrnQuery.h"
#include "ldap/OrnState.h"
#include "ldap/OrnTrace.h"

namespace {

using CallTexts = OrnCallTexts;

constexpr int32_t kCompareFalse = 5;
constexpr int32_t kCompareTrue = 6;

const CallTexts kBindSync {
    .start = "OrnInterface:OrnBindSync: Function Start \n",
    .notInitialised = "OrnInterface:OrnBindSync: Encode error\n",
    .send = { "OrnInterface:OrnBindSync: Encode error=%d\n", "OrnInterface:OrnBindSync: Encode error=%d\n",
              "OrnInterface:OrnBindSync: Socket send error=%d\n",
              "OrnInterface:OrnBindSync: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnBindSync: ornSaveValidNonSearchRequest\n",
    .failed = nullptr,
    .end = "OrnInterface:OrnBindSync: Function End\n",
};

const CallTexts kCompareSync {
    .start = "OrnInterface:OrnCompareSync: Function Start \n",
    .notInitialised = "OrnInterface:OrnCompareSync: Initialise error=%d\n",
    .send = { "OrnInterface:OrnCompareSync: Encode error=%d\n", "OrnInterface:OrnCompareSync: Encode error=%d\n",
              "OrnInterface:OrnCompareSync: Socket send error=%d\n",
              "OrnInterface:OrnCompareSync: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnCompareSync: ornSaveValidNonSearchRequest\n",
    .failed = nullptr,
    .end = "OrnInterface:OrnCompareSync: Function End\n",
    .compare = true,
};

const CallTexts kAddSync {
    .start = nullptr,
    .notInitialised = "OrnInterface:OrnAddSync: Initialise error=%d\n",
    .send = { "OrnInterface:OrnAddSync: Encode error=%d\n", "OrnInterface:OrnAddSync: Encode error=%d\n",
              "OrnInterface:OrnAddSync: Socket send error=%d\n",
              "OrnInterface:OrnAddSync: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnAddSync: ornSaveValidNonSearchRequest\n",
    .failed = "OrnInterface:OrnAddSync error=%d\n",
    .end = "OrnInterface:OrnAddSync: Function End\n",
};

const CallTexts kModifySync {
    .start = "OrnInterface:OrnModifySync: Function Start\n",
    .notInitialised = "OrnInterface:OrnModifySync: Initialise error=%d\n",
    .send = { "OrnInterface:OrnModifySync: Encode error=%d\n", "OrnInterface:OrnModifySync: Encode error=%d\n",
              "OrnInterface:OrnModifySync: Socket send error=%d\n",
              "OrnInterface:OrnModifySync: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnModifySync: ornSaveValidNonSearchRequest\n",
    .failed = "OrnInterface:OrnModifySync error=%d\n",
    .end = "OrnInterface:OrnModifySync: Function End\n",
};

const CallTexts kModifyRdnSync {
    .start = "OrnInterface:OrnModifyRdnSync: Function Start\n",
    .notInitialised = "OrnInterface:OrnModifyRdnSync: Initialise error=%d\n",
    .send = { "OrnInterface:OrnModifyRdnSync: Encode error=%d\n", "OrnInterface:OrnModifyRdnSync: Encode error=%d\n",
              "OrnInterface:OrnModifyRdnSync: Socket send error=%d\n",
              "OrnInterface:OrnModifyRdnSync: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnModifyRdnSync: ornSaveValidNonSearchRequest\n",
    .failed = "OrnInterface:OrnModifyRdnSync error=%d\n",
    .end = "OrnInterface:OrnModifyRdnSync: Function End\n",
};

const CallTexts kDeleteSync {
    .start = "OrnInterface:OrnDeleteSync: Function Start\n",
    .notInitialised = "OrnInterface:OrnDeleteSync: Initialise error=%d\n",
    .send = { "OrnInterface:OrnDeleteSync: Encode error=%d\n", "OrnInterface:OrnDeleteSync: Encode error=%d\n",
              "OrnInterface:OrnDeleteSync: Socket send error=%d\n", nullptr },
    .saving = "OrnInterface:OrnDeleteSync: ornSaveValidNonSearchRequest\n",
    .failed = "OrnInterface:OrnDeleteSync error=%d\n",
    .end = "OrnInterface:OrnDeleteSync: Function End\n",
};

const CallTexts kCompareAsync {
    .start = "OrnInterface:OrnCompare: Function Start \n",
    .notInitialised = "OrnInterface:OrnCompare: Initialise error=%d\n",
    .send = { "OrnInterface:OrnCompare: Encode error=%d\n", "OrnInterface:OrnCompare: Encode error=%d\n",
              "OrnInterface:OrnCompare: Socket send error=%d\n",
              "OrnInterface:OrnCompare: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnCompare: ornSaveValidNonSearchRequest\n",
    .failed = nullptr,
    .end = "OrnInterface:OrnCompare: Function End\n",
};

const CallTexts kAddAsync {
    .start = nullptr,
    .notInitialised = "OrnInterface:OrnAdd: Initialise error=%d\n",
    .send = { "OrnInterface:OrnAdd: Encode error=%d\n", "OrnInterface:OrnAdd: Encode error=%d\n",
              "OrnInterface:OrnAdd: Socket send error=%d\n", nullptr },
    .saving = nullptr,
    .failed = nullptr,
    .end = nullptr,
};

const CallTexts kModifyAsync {
    .start = "OrnInterface:OrnModify: Function Start\n",
    .notInitialised = "OrnInterface:OrnModify: Initialise error=%d\n",
    .send = { "OrnInterface:OrnModify: Encode error=%d\n", "OrnInterface:OrnModify: Encode error=%d\n",
              "OrnInterface:OrnModify: Socket send error=%d\n",
              "OrnInterface:OrnModify: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnModify: ornSaveValidNonSearchRequest\n",
    .failed = nullptr,
    .end = "OrnInterface:OrnModify: Function End\n",
};

const CallTexts kModifyRdnAsync {
    .start = "OrnInterface:OrnModifyRdn: Function Start\n",
    .notInitialised = "OrnInterface:OrnModifyRdn: Initialise error=%d\n",
    .send = { "OrnInterface:OrnModifyRdn: Encode error=%d\n", "OrnInterface:OrnModifyRdn: Encode error=%d\n",
              "OrnInterface:OrnModifyRdn: Socket send error=%d\n",
              "OrnInterface:OrnModifyRdn: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnModifyRdn: ornSaveValidNonSearchRequest\n",
    .failed = nullptr,
    .end = "OrnInterface:OrnModifyRdn: Function End\n",
};

const CallTexts kDeleteAsync {
    .start = "OrnInterface:OrnDelete: Function Start\n",
    .notInitialised = "OrnInterface:OrnDelete: Initialise error=%d\n",
    .send = { "OrnInterface:OrnDelete: Encode error=%d\n", "OrnInterface:OrnDelete: Encode error=%d\n",
              "OrnInterface:OrnDelete: Socket send error=%d\n",
              "OrnInterface:OrnDelete: Freeing memory alloc'd to BER\n" },
    .saving = "OrnInterface:OrnDelete: ornSaveValidNonSearchRequest\n",
    .failed = nullptr,
    .end = "OrnInterface:OrnDelete: Function End\n",
};

void trace(const char* line)
{
    if (line)
        ornTrace(line);
}

void trace(const char* format, int32_t code)
{
    if (format)
        ornTracef(format, code);
}

} // namespace

// Encodes with the next message id, sends, and frees the buffer on every path.
int32_t OrnLdapService::sendRequest(int32_t msgid, const Encoder& encode, const OrnSendTexts& texts)
{
    BerBuffer* ber = nullptr;
    BerCodec codec;
    if (int32_t encoded = encode(msgid, &ber); encoded != 0) {
        trace(texts.encodeError, encoded);
        codec.ber_free(ber, 1);
        return encoded;
    }
    if (!ber) {
        trace(texts.noBuffer, ORN_BER_ENCODE_ERROR);
        return ORN_BER_ENCODE_ERROR;
    }
    if (socket_.OrnSendData(ber->len, ber->fill) == 0) {
        trace(texts.sendError, ORN_SENDING_ERROR);
        codec.ber_free(ber, 1);
        return ErrorNo.load() == ORN_WAIT_CANCELLED ? closeCancelled() : ORN_SENDING_ERROR;
    }
    trace(texts.freeing);
    codec.ber_free(ber, 1);
    return 0;
}

// The checks, the send and the saved request: the message id, or a code.
int32_t OrnLdapService::sendAndSave(const CallTexts& texts, const Encoder& encode)
{
    trace(texts.start);
    if (IsRecvThreadExited())
        return RECV_THREAD_TERMINATED;
    if (!initialised_) {
        trace(texts.notInitialised, ORN_NOT_INITIALISED);
        return ORN_NOT_INITIALISED;
    }
    const int32_t msgid = ++lastMsgId_;
    if (int32_t sent = sendRequest(msgid, encode, texts.send); sent != 0)
        return sent;
    trace(texts.saving);
    if (int32_t saved = ornSaveValidNonSearchRequest(msgid); saved != 0)
        return saved;
    return msgid;
}

int32_t OrnLdapService::callSync(const CallTexts& texts, const Encoder& encode)
{
    const int32_t msgid = sendAndSave(texts, encode);
    if (msgid < 0)
        return msgid;
    const int32_t result = OrnLdapResult(msgid, nullptr);
    if (result != 0 && !texts.compare) {
        trace(texts.failed, result);
        return result;
    }
    ornTrace("OrnList:OrnIsEntry: Function End:\n");
    if (!texts.compare || result == kCompareFalse || result == kCompareTrue)
        trace(texts.end);
    return result;
}

namespace {

int32_t asyncEnd(const CallTexts& texts, int32_t msgid)
{
    if (msgid > 0)
        trace(texts.end);
    return msgid;
}

} // namespace

int32_t OrnLdapService::OrnBindSync(const char* dn, const char* password, int32_t method)
{
    Authent authent(ldapVersion_);
    const int32_t result = callSync(kBindSync, [&](int32_t msgid, BerBuffer** out) {
        return authent.OrnBind(dn, password, method, static_cast<uint8_t>(berOptions_), out, msgid);
    });
    if (result == 0)
        bound_ = 1;
    return result;
}

int32_t OrnLdapService::OrnCompareSync(const char* dn, const char* type, const char* value)
{
    return callSync(kCompareSync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnCompare(dn, type, value, static_cast<uint8_t>(berOptions_), out, msgid);
    });
}

int32_t OrnLdapService::OrnCompare(const char* dn, const char* type, const char* value)
{
    return asyncEnd(kCompareAsync, sendAndSave(kCompareAsync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnCompare(dn, type, value, static_cast<uint8_t>(berOptions_), out, msgid);
    }));
}

int32_t OrnLdapService::OrnAddSync(const char* dn, AttrMod** attrs)
{
    return callSync(kAddSync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnAdd(dn, attrs, static_cast<uint8_t>(berOptions_), out, msgid);
    });
}

int32_t OrnLdapService::OrnAdd(const char* dn, AttrMod** attrs)
{
    return asyncEnd(kAddAsync, sendAndSave(kAddAsync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnAdd(dn, attrs, static_cast<uint8_t>(berOptions_), out, msgid);
    }));
}

int32_t OrnLdapService::OrnModifySync(const char* dn, AttrMod** mods)
{
    return callSync(kModifySync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnModify(dn, mods, static_cast<uint8_t>(berOptions_), out, msgid);
    });
}

int32_t OrnLdapService::OrnModify(const char* dn, AttrMod** mods)
{
    return asyncEnd(kModifyAsync, sendAndSave(kModifyAsync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnModify(dn, mods, static_cast<uint8_t>(berOptions_), out, msgid);
    }));
}

int32_t OrnLdapService::OrnModifyRdnSync(
    const char* dn, const char* new_rdn, int32_t delete_old_rdn, const char* new_superior)
{
    return callSync(kModifyRdnSync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnModifyRdn(
            dn, new_rdn, delete_old_rdn, static_cast<uint8_t>(berOptions_), out, msgid, new_superior);
    });
}

int32_t OrnLdapService::OrnModifyRdn(
    const char* dn, const char* new_rdn, int32_t delete_old_rdn, const char* new_superior)
{
    return asyncEnd(kModifyRdnAsync, sendAndSave(kModifyRdnAsync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnModifyRdn(
            dn, new_rdn, delete_old_rdn, static_cast<uint8_t>(berOptions_), out, msgid, new_superior);
    }));
}

int32_t OrnLdapService::OrnDeleteSync(const char* dn)
{
    return callSync(kDeleteSync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnDelete(dn, static_cast<uint8_t>(berOptions_), out, msgid);
    });
}

int32_t OrnLdapService::OrnDelete(const char* dn)
{
    return asyncEnd(kDeleteAsync, sendAndSave(kDeleteAsync, [&](int32_t msgid, BerBuffer** out) {
        return ::OrnDelete(dn, static_cast<uint8_t>(berOptions_), out, msgid);
    }));
}
