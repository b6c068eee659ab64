// Our requests against the bytes OpenLDAP's libldap sends for the same
// operation, over a deterministic corpus of well-formed requests.
#include "ldap/Abandon.h"
#include "ldap/Add.h"
#include "ldap/Authent.h"
#include "ldap/Delete.h"
#include "ldap/Modify.h"
#include "ldap/ModifyDn.h"
#include "ldap/OrnQuery.h"
#include "tests/ldap/Requests.h"
#include "tests/support/OpenLdapPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kCases = 150;
constexpr int32_t kMsgid = 1; // libldap's first id on a fresh session

// Small, fixed generator so that the corpus is the same everywhere.
class Corpus {
public:
    explicit Corpus(uint64_t seed)
        : state_(seed)
    {
    }

    uint32_t below(uint32_t n)
    {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<uint32_t>(state_ >> 33) % n;
    }
    bool chance(uint32_t percent) { return below(100) < percent; }

    // Lengths around the one- and two-octet length boundaries, or short.
    std::size_t length()
    {
        static const std::size_t kEdges[] = { 126, 127, 128, 129, 254, 255, 256, 257 };
        return chance(25) ? kEdges[below(8)] : 1 + below(20);
    }

    std::string text(std::size_t size, const char* alphabet)
    {
        std::string s;
        const std::size_t n = std::char_traits<char>::length(alphabet);
        for (std::size_t i = 0; i < size; ++i)
            s += alphabet[below(static_cast<uint32_t>(n))];
        return s;
    }

    // Characters a filter value may hold without escapes or blanks.
    std::string value()
    {
        return text(length(), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,:;=+-_@");
    }
    std::string anyText() { return text(length(), "abcdefghijklmnopqrstuvwxyz 0123456789()*\\=,.#!"); }
    std::string binary()
    {
        std::string s;
        for (std::size_t i = 0, n = length(); i < n; ++i)
            s += static_cast<char>(below(256));
        return s;
    }
    std::string attribute()
    {
        static const char* kKnown[] = { "cn", "sn", "objectClass", "mail", "uid", "description" };
        if (chance(50))
            return kKnown[below(6)];
        return text(1, "abcdefghijklmnopqrstuvwxyz") + text(below(12), "abcdefghijklmnopqrstuvwxyz0123456789-");
    }
    std::string dn()
    {
        std::string dn = attribute() + "=" + value();
        for (uint32_t i = below(3); i > 0; --i)
            dn += ",ou=" + value();
        return dn;
    }
    int32_t number()
    {
        static const int32_t kEdges[] = { 0, 1, 127, 128, 255, 256, 32767, 32768, 65535, 65536, 0x7FFFFFFF };
        return chance(50) ? kEdges[below(11)] : static_cast<int32_t>(below(100000));
    }

    std::string filter(int depth = 0)
    {
        switch (depth < 4 ? below(10) : 3 + below(7)) {
        case 0:
        case 1: {
            std::string f = below(2) == 0 ? "(&" : "(|";
            for (uint32_t i = 1 + below(3); i > 0; --i)
                f += filter(depth + 1);
            return f + ")";
        }
        case 2:
            return "(!" + filter(depth + 1) + ")";
        case 3:
            return "(" + attribute() + "=*)";
        case 4: {
            static const char* kOps[] = { "=", ">=", "<=", "~=" };
            return "(" + attribute() + kOps[below(4)] + value() + ")";
        }
        default: {
            static const char* kShapes[] = { "a*", "*a", "a*b", "*a*", "a*b*c", "*a*b*" };
            std::string shape = kShapes[below(6)], v;
            for (char c : shape)
                v += c == '*' ? std::string("*") : value();
            return "(" + attribute() + "=" + v + ")";
        }
        }
    }

private:
    uint64_t state_;
};

// Our AttrMod array for the peer's changes, with the storage it points into.
class Mods {
public:
    explicit Mods(const std::vector<openldap::Change>& changes)
    {
        for (const openldap::Change& change : changes) {
            auto mod = std::make_unique<AttrMod>();
            mod->op = change.op | (change.binary ? ATTR_MOD_BVALUES : 0);
            mod->type = const_cast<char*>(change.type.c_str());
            if (change.binary) {
                auto& records = records_.emplace_back();
                auto& values = bvalues_.emplace_back();
                records.reserve(change.values.size());
                for (const std::string& v : change.values) {
                    records.push_back(BerValue { static_cast<uint32_t>(v.size()), const_cast<char*>(v.data()) });
                    values.push_back(&records.back());
                }
                values.push_back(nullptr);
                mod->bvalues = values.data();
            } else {
                auto& values = values_.emplace_back();
                for (const std::string& v : change.values)
                    values.push_back(const_cast<char*>(v.c_str()));
                values.push_back(nullptr);
                mod->values = values.data();
            }
            pointers_.push_back(mod.get());
            mods_.push_back(std::move(mod));
        }
        pointers_.push_back(nullptr);
    }
    AttrMod** get() { return pointers_.data(); }

private:
    std::vector<std::unique_ptr<AttrMod>> mods_;
    std::vector<AttrMod*> pointers_;
    std::vector<std::vector<char*>> values_;
    std::vector<std::vector<BerValue>> records_;
    std::vector<std::vector<BerValue*>> bvalues_;
};

std::vector<openldap::Change> changes(Corpus& corpus, bool forAdd)
{
    std::vector<openldap::Change> list;
    for (uint32_t i = (forAdd ? 1 : 0) + corpus.below(4); i > 0; --i) {
        openldap::Change change;
        change.op = forAdd ? 0 : static_cast<int>(corpus.below(3));
        change.type = corpus.attribute();
        change.binary = corpus.chance(30);
        // Only a modify may leave the values out (delete the whole attribute).
        for (uint32_t j = (forAdd ? 1 : 0) + corpus.below(4); j > 0; --j)
            change.values.push_back(change.binary ? corpus.binary() : corpus.anyText());
        list.push_back(std::move(change));
    }
    return list;
}

// An add or a modify: a DN and its list of changes.
std::pair<Bytes, Bytes> withChanges(Corpus& c, std::string& what, bool add)
{
    std::string dn = what = c.dn();
    auto list = changes(c, add);
    Mods mods(list);
    return { add ? openldap::addRequest(dn, list) : openldap::modifyRequest(dn, list),
        encoded([&](BerBuffer** out) { return (add ? OrnAdd : OrnModify)(dn.c_str(), mods.get(), 1, out, kMsgid); }) };
}

// One kind of request: from the corpus, OpenLDAP's bytes and ours, and what
// names the case.
struct Kind {
    const char* name;
    uint64_t seed;
    std::function<std::pair<Bytes, Bytes>(Corpus&, std::string&)> one;
};

const Kind kKinds[] = {
    { "Bind", 1,
        [](Corpus& c, std::string& what) {
            int version = c.chance(20) ? 2 : 3;
            std::string dn = what = c.chance(15) ? "" : c.dn();
            std::string password = c.chance(15) ? "" : c.anyText();
            return std::pair { openldap::bindRequest(version, dn, password), encoded([&](BerBuffer** out) {
                                  return Authent(version).OrnBind(
                                      dn.c_str(), password.c_str(), LDAP_AUTH_SIMPLE_30, 1, out, kMsgid);
                              }) };
        } },
    { "Search", 2,
        [](Corpus& c, std::string& what) {
            std::string base = c.chance(10) ? "" : c.dn();
            int32_t scope = static_cast<int32_t>(c.below(3));
            int32_t deref = static_cast<int32_t>(c.below(4));
            int32_t sizeLimit = c.number();
            int32_t timeLimit = c.number();
            bool typesOnly = c.chance(30);
            std::string filter = what = c.filter();
            std::vector<std::string> attrs;
            for (uint32_t i = c.below(5); i > 0; --i)
                attrs.push_back(c.attribute());
            std::vector<char*> names;
            for (std::string& name : attrs)
                names.push_back(name.data());
            names.push_back(nullptr);
            // Some carry a paged results control, made by each side's own call;
            // libldap refuses a page size of 0.
            std::optional<openldap::PageRequest> page;
            if (c.chance(40))
                page = openldap::PageRequest { std::max(1, c.number()), c.chance(30) ? "" : c.binary(), c.chance(30) };
            OrnControl* control = nullptr;
            if (page) {
                BerValue cookie { static_cast<uint32_t>(page->cookie.size()), page->cookie.data() };
                EXPECT_EQ(OrnCreatePageControl(page->size, &cookie, page->critical ? 1 : 0, &control), 0);
            }
            const std::unique_ptr<OrnControl, void (*)(OrnControl*)> owned(control, OrnFreeControl);
            OrnControl* controls[] = { control, nullptr };
            return std::pair { openldap::searchRequest(base, scope, deref, sizeLimit, timeLimit, typesOnly, filter,
                                   attrs, page ? &*page : nullptr),
                encoded([&](BerBuffer** out) {
                    return OrnSearchExt(base.c_str(), filter.c_str(), attrs.empty() ? nullptr : names.data(),
                        typesOnly ? 1 : 0, scope, sizeLimit, timeLimit, deref, controls, 1, out, kMsgid);
                }) };
        } },
    { "Compare", 3,
        [](Corpus& c, std::string& what) {
            std::string dn = what = c.dn(), type = c.attribute(), value = c.anyText();
            return std::pair { openldap::compareRequest(dn, type, value), encoded([&](BerBuffer** out) {
                                  return OrnCompare(dn.c_str(), type.c_str(), value.c_str(), 1, out, kMsgid);
                              }) };
        } },
    { "Add", 4, [](Corpus& c, std::string& what) { return withChanges(c, what, true); } },
    { "Modify", 5, [](Corpus& c, std::string& what) { return withChanges(c, what, false); } },
    { "ModifyRdn", 6,
        [](Corpus& c, std::string& what) {
            std::string dn = what = c.dn(), rdn = c.attribute() + "=" + c.value();
            bool deleteOld = c.chance(50);
            return std::pair { openldap::renameRequest(dn, rdn, deleteOld), encoded([&](BerBuffer** out) {
                                  return OrnModifyRdn(dn.c_str(), rdn.c_str(), deleteOld ? 1 : 0, 1, out, kMsgid);
                              }) };
        } },
    // A move: the new superior as [0], an empty one (the root) included.
    { "ModifyDnNewSuperior", 9,
        [](Corpus& c, std::string& what) {
            std::string dn = what = c.dn(), rdn = c.attribute() + "=" + c.value();
            std::string superior = c.chance(10) ? "" : c.dn();
            bool deleteOld = c.chance(50);
            return std::pair { openldap::renameRequest(dn, rdn, deleteOld, superior.c_str()),
                encoded([&](BerBuffer** out) {
                    return OrnModifyRdn(
                        dn.c_str(), rdn.c_str(), deleteOld ? 1 : 0, 1, out, kMsgid, superior.c_str());
                }) };
        } },
    { "Delete", 7,
        [](Corpus& c, std::string& what) {
            std::string dn = what = c.dn();
            return std::pair { openldap::deleteRequest(dn),
                encoded([&](BerBuffer** out) { return OrnDelete(dn.c_str(), 1, out, kMsgid); }) };
        } },
    { "Abandon", 8,
        [](Corpus& c, std::string& what) {
            int32_t id = c.number();
            what = std::to_string(id);
            return std::pair { openldap::abandonRequest(id),
                encoded([&](BerBuffer** out) { return ornAbandon(1, out, kMsgid, id); }) };
        } },
};

void PrintTo(const Kind& kind, std::ostream* os)
{
    *os << kind.name;
}

class OpenLdapCrossCheck : public RequestTable<Kind> { };

// kCases requests of the kind, from a corpus of its own.
TEST_P(OpenLdapCrossCheck, SendsTheSameBytes)
{
    Corpus corpus(GetParam().seed);
    for (int i = 0; i < kCases; ++i) {
        std::string what;
        auto [theirs, ours] = GetParam().one(corpus, what);
        ASSERT_EQ(toHex(ours), toHex(theirs)) << "case " << i << ": " << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, OpenLdapCrossCheck, testing::ValuesIn(kKinds),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
