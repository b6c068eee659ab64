#include "tests/support/OpenLdapPeer.h"

#include <ldap.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>

// Exported by libldap but declared only in its private header.
extern "C" int ldap_init_fd(ber_socket_t fd, int proto, const char* url, LDAP** ldp);

namespace openldap {
namespace {

constexpr int kProtoTcp = 1; // LDAP_PROTO_TCP of the private header

void check(int rc, const char* what)
{
    if (rc != LDAP_SUCCESS)
        throw std::runtime_error(std::string(what) + ": " + ldap_err2string(rc));
}

// Length of the complete element at the start of bytes, or 0 while the
// header or the contents are still incomplete.
std::size_t completeElement(const Bytes& bytes)
{
    if (bytes.size() < 2)
        return 0;
    std::size_t length = bytes[1];
    std::size_t header = 2;
    if (length & 0x80) {
        std::size_t octets = length & 0x7F;
        if (bytes.size() < 2 + octets)
            return 0;
        length = 0;
        for (std::size_t i = 0; i < octets; ++i)
            length = length << 8 | bytes[2 + i];
        header += octets;
    }
    return bytes.size() >= header + length ? header + length : 0;
}

// Reads one BER element; libldap has already written it when its call returns.
Bytes readElement(int fd)
{
    Bytes bytes;
    for (;;) {
        if (std::size_t total = completeElement(bytes); total != 0) {
            if (total != bytes.size())
                throw std::runtime_error("libldap sent more than one element");
            return bytes;
        }
        pollfd ready { fd, POLLIN, 0 };
        if (poll(&ready, 1, 2000) != 1)
            throw std::runtime_error("libldap sent an incomplete element");
        uint8_t chunk[4096];
        ssize_t got = recv(fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (got <= 0)
            throw std::runtime_error("socket closed before a complete element");
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

// A libldap session on one end of a socket pair; the test reads the other.
class Session {
public:
    explicit Session(int version = LDAP_VERSION3)
    {
        // No ldap.conf or .ldaprc may change the defaults under test.
        setenv("LDAPNOINIT", "1", 1);
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
            throw std::runtime_error("socketpair failed");
        peer_ = fds[1];
        int rc = ldap_init_fd(fds[0], kProtoTcp, "ldap://x", &ld_);
        if (rc != LDAP_SUCCESS) {
            close(fds[0]);
            close(peer_);
            check(rc, "ldap_init_fd");
        }
        check(ldap_set_option(ld_, LDAP_OPT_PROTOCOL_VERSION, &version), "LDAP_OPT_PROTOCOL_VERSION");
    }
    ~Session()
    {
        if (ld_)
            ldap_destroy(ld_); // closes libldap's end without sending an unbind
        close(peer_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    LDAP* ld() const { return ld_; }
    Bytes sent() const { return readElement(peer_); }
    // The unbind call frees the session itself.
    void released() { ld_ = nullptr; }

private:
    LDAP* ld_ = nullptr;
    int peer_ = -1;
};

berval counted(const std::string& text)
{
    return berval { static_cast<ber_len_t>(text.size()), const_cast<char*>(text.data()) };
}

// LDAPMod arrays and the value arrays they point into, kept alive together.
class Mods {
public:
    explicit Mods(const std::vector<Change>& changes)
    {
        for (const Change& change : changes) {
            auto mod = std::make_unique<LDAPMod>();
            mod->mod_op = change.op | (change.binary ? LDAP_MOD_BVALUES : 0);
            mod->mod_type = const_cast<char*>(change.type.c_str());
            if (change.binary) {
                auto& values = bvalues_.emplace_back();
                auto& records = records_.emplace_back();
                records.reserve(change.values.size());
                for (const std::string& value : change.values) {
                    records.push_back(counted(value));
                    values.push_back(&records.back());
                }
                values.push_back(nullptr);
                mod->mod_bvalues = values.data();
            } else {
                auto& values = values_.emplace_back();
                for (const std::string& value : change.values)
                    values.push_back(const_cast<char*>(value.c_str()));
                values.push_back(nullptr);
                mod->mod_values = values.data();
            }
            pointers_.push_back(mod.get());
            mods_.push_back(std::move(mod));
        }
        pointers_.push_back(nullptr);
    }
    LDAPMod** get() { return pointers_.data(); }

private:
    std::vector<std::unique_ptr<LDAPMod>> mods_;
    std::vector<LDAPMod*> pointers_;
    std::vector<std::vector<char*>> values_;
    std::vector<std::vector<berval>> records_;
    std::vector<std::vector<berval*>> bvalues_;
};

} // namespace

Bytes bindRequest(int version, const std::string& dn, const std::string& password)
{
    Session session(version);
    berval cred = counted(password);
    int msgid = 0;
    check(
        ldap_sasl_bind(session.ld(), dn.c_str(), LDAP_SASL_SIMPLE, &cred, nullptr, nullptr, &msgid), "ldap_sasl_bind");
    return session.sent();
}

Bytes unbindRequest()
{
    Session session;
    check(ldap_unbind_ext(session.ld(), nullptr, nullptr), "ldap_unbind_ext");
    session.released();
    return session.sent();
}

Bytes searchRequest(const std::string& base, int scope, int deref, int sizeLimit, int timeLimit, bool typesOnly,
    const std::string& filter, const std::vector<std::string>& attributes, const PageRequest* page)
{
    Session session;
    check(ldap_set_option(session.ld(), LDAP_OPT_DEREF, &deref), "LDAP_OPT_DEREF");
    check(ldap_set_option(session.ld(), LDAP_OPT_TIMELIMIT, &timeLimit), "LDAP_OPT_TIMELIMIT");
    std::vector<char*> names;
    for (const std::string& name : attributes)
        names.push_back(const_cast<char*>(name.c_str()));
    names.push_back(nullptr);
    int msgid = 0;
    LDAPControl* control = nullptr;
    if (page) {
        berval cookie = counted(page->cookie);
        check(ldap_create_page_control(session.ld(), page->size, &cookie, page->critical ? 1 : 0, &control),
            "ldap_create_page_control");
    }
    const std::unique_ptr<LDAPControl, void (*)(LDAPControl*)> owned(control, ldap_control_free);
    LDAPControl* controls[] = { control, nullptr };
    check(
        ldap_search_ext(session.ld(), base.c_str(), scope, filter.c_str(), attributes.empty() ? nullptr : names.data(),
            typesOnly ? 1 : 0, control ? controls : nullptr, nullptr, nullptr, sizeLimit, &msgid),
        "ldap_search_ext");
    return session.sent();
}

Bytes compareRequest(const std::string& dn, const std::string& type, const std::string& value)
{
    Session session;
    berval assertion = counted(value);
    int msgid = 0;
    check(ldap_compare_ext(session.ld(), dn.c_str(), type.c_str(), &assertion, nullptr, nullptr, &msgid),
        "ldap_compare_ext");
    return session.sent();
}

Bytes addRequest(const std::string& dn, const std::vector<Change>& attributes)
{
    Session session;
    Mods mods(attributes);
    int msgid = 0;
    check(ldap_add_ext(session.ld(), dn.c_str(), mods.get(), nullptr, nullptr, &msgid), "ldap_add_ext");
    return session.sent();
}

Bytes modifyRequest(const std::string& dn, const std::vector<Change>& changes)
{
    Session session;
    Mods mods(changes);
    int msgid = 0;
    check(ldap_modify_ext(session.ld(), dn.c_str(), mods.get(), nullptr, nullptr, &msgid), "ldap_modify_ext");
    return session.sent();
}

Bytes renameRequest(const std::string& dn, const std::string& newRdn, bool deleteOldRdn, const char* newSuperior)
{
    Session session;
    int msgid = 0;
    check(ldap_rename(session.ld(), dn.c_str(), newRdn.c_str(), newSuperior, deleteOldRdn ? 1 : 0, nullptr, nullptr,
              &msgid),
        "ldap_rename");
    return session.sent();
}

Bytes deleteRequest(const std::string& dn)
{
    Session session;
    int msgid = 0;
    check(ldap_delete_ext(session.ld(), dn.c_str(), nullptr, nullptr, &msgid), "ldap_delete_ext");
    return session.sent();
}

Bytes abandonRequest(int abandonId)
{
    Session session;
    check(ldap_abandon_ext(session.ld(), abandonId, nullptr, nullptr), "ldap_abandon_ext");
    return session.sent();
}

} // namespace openldap
