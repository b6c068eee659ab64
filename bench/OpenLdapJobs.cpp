// OpenLDAP's side of the codec jobs, through the fastest calls libldap
// exports: the request builders its own proxy back end uses (declared here,
// as no installed header does), and liblber's ber_scanf for decoding.
#include "bench/CodecJobs.h"

#include <lber.h>
#include <ldap.h>

#include <stdexcept>

extern "C" {
BerElement* ldap_build_search_req(LDAP* ld, const char* base, ber_int_t scope, const char* filter, char** attrs,
                                  ber_int_t attrsonly, LDAPControl** sctrls, LDAPControl** cctrls,
                                  ber_int_t timelimit, ber_int_t sizelimit, ber_int_t deref, ber_int_t* msgidp);
BerElement* ldap_build_add_req(LDAP* ld, const char* dn, LDAPMod** attrs, LDAPControl** sctrls, LDAPControl** cctrls,
                               ber_int_t* msgidp);
}

namespace {

class OpenLdapJobs final : public CodecJobs {
public:
    explicit OpenLdapJobs(const AddInput& input)
    {
        if (ldap_initialize(&ld_, "ldap://127.0.0.1:389") != LDAP_SUCCESS)
            throw std::runtime_error("ldap_initialize failed");
        int version = LDAP_VERSION3;
        ldap_set_option(ld_, LDAP_OPT_PROTOCOL_VERSION, &version);
        valueLists_ = input.valuePointers();
        for (std::size_t i = 0; i < input.types.size(); ++i)
            mods_.push_back(LDAPMod{LDAP_MOD_ADD, const_cast<char*>(input.types[i].c_str()),
                                    {valueLists_[i].data()}});
        for (LDAPMod& mod : mods_)
            modPointers_.push_back(&mod);
        modPointers_.push_back(nullptr);
    }

    ~OpenLdapJobs() override { ldap_unbind_ext(ld_, nullptr, nullptr); }

    std::size_t encodeSearch(const char* filter, char** attrs) override
    {
        ber_int_t msgid = 0;
        BerElement* ber = ldap_build_search_req(ld_, "", LDAP_SCOPE_SUBTREE, filter, attrs, 0, nullptr, nullptr, 0,
                                                0, LDAP_DEREF_NEVER, &msgid);
        return finish(ber);
    }

    std::size_t encodeAdd(const AddInput& input) override
    {
        ber_int_t msgid = 0;
        return finish(ldap_build_add_req(ld_, input.dn.c_str(), modPointers_.data(), nullptr, nullptr, &msgid));
    }

    std::size_t decodeEntry(const std::vector<uint8_t>& message) override
    {
        berval bytes{message.size(), reinterpret_cast<char*>(const_cast<uint8_t*>(message.data()))};
        BerElement* ber = ber_alloc_t(LBER_USE_DER);
        ber_init2(ber, &bytes, LBER_USE_DER);
        ber_int_t msgid = 0;
        char* dn = nullptr;
        std::size_t copied = 0;
        if (ber_scanf(ber, "{i{a", &msgid, &dn) != LBER_ERROR) {
            ++copied;
            ber_len_t length = 0;
            char* last = nullptr;
            for (ber_tag_t tag = ber_first_element(ber, &length, &last); tag != LBER_DEFAULT;
                 tag = ber_next_element(ber, &length, last)) {
                char* type = nullptr;
                berval** values = nullptr;
                if (ber_scanf(ber, "{a[V]}", &type, &values) == LBER_ERROR)
                    break;
                copied += 1 + static_cast<std::size_t>(ldap_count_values_len(values));
                ber_memfree(type);
                ber_bvecfree(values);
            }
        }
        ber_memfree(dn);
        ber_free(ber, 0);
        return copied;
    }

private:
    static std::size_t finish(BerElement* ber)
    {
        if (!ber)
            return 0;
        ber_len_t size = 0;
        ber_get_option(ber, LBER_OPT_BYTES_TO_WRITE, &size);
        ber_free(ber, 1);
        return size;
    }

    LDAP* ld_ = nullptr;
    std::vector<std::vector<char*>> valueLists_;
    std::vector<LDAPMod> mods_;
    std::vector<LDAPMod*> modPointers_;
};

} // namespace

CodecJobs* newOpenLdapJobs(const AddInput& input)
{
    return new OpenLdapJobs(input);
}
