// The LDAP Search window's model against slapd: the filters it composes and
// what they find, a typed filter, the boxes of an empty, refused, limited
// or lost search, an edit of a found entry, and Save Search.
#include "browser/properties/EntryProperties.h"
#include "browser/session/ServerInfo.h"
#include "ldap/AttrMod.h"
#include "tests/browser/BrowserTest.h"
#include "tools/search/SearchDialog.h"

#include <optional>

namespace {

const std::string kBase = SlapdServer::suffix();
const std::string kAlice = "uid=alice,ou=People," + kBase;
const std::string kBob = "uid=bob,ou=People," + kBase;
const std::string kCarol = "uid=carol,ou=People," + kBase;
// The entries of data/test-directory.ldif.
constexpr int kEntries = 12;
// What slapd hands anyone but the admin.
constexpr int kSizeLimit = 5;

} // namespace

class LdapSearchTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.sizeLimit = kSizeLimit;
        options.secondSuffix = "o=flat";
        options.secondLdifText = "dn: o=flat\nobjectClass: organization\no: flat\n\n"
                                 "dn: cn=top,o=flat\nobjectClass: organizationalRole\ncn: top\n";
        startServer(options);
    }

    // As after a login, which reads the attribute types for the syntax column.
    LdapSearchTest()
    {
        logInAsAdmin();
        ReadAttributeTypes(context);
    }

    LdapSearchDialog& open()
    {
        LdapSearchCommand(context);
        return dynamic_cast<LdapSearchDialog&>(*state.ldapSearch);
    }
    // Opens the window, composes and searches; the boxes and status texts
    // from the search on.
    LdapSearchDialog& search(const std::function<void(LdapSearchDialog&)>& compose = {})
    {
        LdapSearchDialog& window = open();
        if (compose)
            compose(window);
        desktop.boxes.clear();
        desktop.statusTexts.clear();
        window.search();
        return window;
    }
    static Strings found(const LdapSearchDialog& window)
    {
        Strings dns;
        for (std::size_t index = 0; index < window.foundDns().size(); ++index)
            dns.emplace_back(window.foundDns()[index]);
        return dns;
    }
    static void pickName(LdapSearchDialog& window, int row, const std::string& name)
    {
        window.chooseName(row, indexOf(window.name(row).items, name));
    }
};

TEST_F(LdapSearchTest, ComposedFiltersFindWhatTheySay)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> conditions;
        bool anyOf;
        std::string filter;
        Strings found;
    };
    const Case cases[] = {
        { "defaults", {}, false, "(objectclass=*)", {} },
        { "one", { { "uid", " alice " } }, false, "(& (objectclass=*)(& (uid=alice)))", { kAlice } },
        { "all of", { { "uid", "alice" }, { "uid", "bob" } }, false, "(& (objectclass=*)(& (uid=alice)(uid=bob)))",
            {} },
        { "any of", { { "uid", "alice" }, { "uid", "bob" } }, true, "(& (objectclass=*)(| (uid=alice)(uid=bob)))",
            { kAlice, kBob } },
        { "at least", { { "uidNumber", ">=10000" } }, false, "(& (objectclass=*)(& (uidNumber>=10000)))", { kCarol } },
        { "at most", { { "uidNumber", "<=10000" } }, false, "(& (objectclass=*)(& (uidNumber<=10000)))", {} },
        { "blank value", { { "uid", "  " }, { "", "x" }, { "sn", "Baker" } }, false,
            "(& (objectclass=*)(& (sn=Baker)))", { kBob } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state.ldapSearch.reset();
        LdapSearchDialog& window = search([&](LdapSearchDialog& w) {
            for (std::size_t row = 0; row < c.conditions.size(); ++row) {
                pickName(w, static_cast<int>(row), c.conditions[row].first);
                w.setValue(static_cast<int>(row), c.conditions[row].second);
            }
            w.chooseFilterType(c.anyOf ? 1 : 0);
        });
        EXPECT_EQ(window.filter().text, c.filter);
        EXPECT_EQ(window.baseDn(), kBase);
        if (c.conditions.empty()) {
            EXPECT_EQ(found(window).size(), static_cast<std::size_t>(kEntries));
            continue;
        }
        EXPECT_EQ(found(window), c.found);
        EXPECT_EQ(desktop.boxes,
            c.found.empty() ? Boxes { plainBox("No Records found", "Warning", MessageIcon::Warning) } : Boxes {});
        EXPECT_EQ(window.attributes().size() > 0, !c.found.empty());
    }
}

TEST_F(LdapSearchTest, TheListsComeFromTheSchemaAndTheChosenClass)
{
    LdapSearchDialog& window = open();
    EXPECT_EQ(desktop.statusTexts, Strings({ "LDAP Search in Progress Getting Schema Details", kAppTitle }));
    EXPECT_EQ(window.objectClass().text, "*");
    EXPECT_LT(indexOf(window.objectClass().items, "posixGroup"), static_cast<int>(window.objectClass().items.size()));
    const Strings& names = window.name(2).items;
    // cn is listed by its first name only, and no name lists classes.
    EXPECT_LT(indexOf(names, "cn"), static_cast<int>(names.size()));
    for (const char* absent : { "commonName", "objectClass", "objectClasses" })
        EXPECT_EQ(indexOf(names, absent), static_cast<int>(names.size())) << absent;

    window.chooseClass(indexOf(window.objectClass().items, "posixGroup"));
    EXPECT_EQ(window.name(0).items, Strings({ "cn", "gidNumber", "userPassword", "memberUid", "description" }));
    EXPECT_EQ(window.filter().text, "(objectclass=posixGroup)");
    window.search();
    EXPECT_EQ(window.results().items, Strings({ "cn=users" }));
}

// The filter field holds what is sent: a typed filter as it stands until the
// composing fields change again; one the compiler refuses is never sent.
TEST_F(LdapSearchTest, ATypedFilterIsSentAsItStands)
{
    LdapSearchDialog& window = open();
    window.typeFilter("(|(uid=alice)(cn=Bob Baker))");
    window.search();
    EXPECT_EQ(found(window), Strings({ kAlice, kBob }));

    window.typeFilter("(uid=alice");
    window.search();
    EXPECT_EQ(desktop.boxes,
        Boxes { errorBox("The filter (uid=alice is not a valid search filter. Nothing was sent.") });
    EXPECT_EQ(found(window), Strings({ kAlice, kBob }));

    window.setValue(0, "x");
    EXPECT_EQ(window.filter().text, "(objectclass=*)");
    window.clear();
    EXPECT_TRUE(window.foundDns().size() == 0 && window.results().items.empty() && window.attributes().size() == 0);
}

TEST_F(LdapSearchTest, EachEndOfASearchIsShown)
{
    struct Case {
        const char* what;
        std::function<void()> login;
        Boxes boxes;
        Strings results;
    };
    const Case cases[] = {
        // A DN without ",": the list shows it whole.
        { "no comma", [this] { logInAsAdmin("o=flat"); }, {}, { "o=flat", "cn=top" } },
        { "refused base", [this] { logInAsAdmin("ou=Nowhere," + kBase); },
            { errorBox("No Such Objects", "Server Response") }, {} },
        { "size limit", [this] { logInAs(kAlice, "alice-pw"); },
            { { "The server stopped after 5 entries (Size Limit Exceeded). The list is incomplete.",
                "Incomplete List", MessageIcon::Warning, MessageButtons::Ok } },
            { "dc=example", "ou=People", "uid=alice", "uid=bob", "uid=carol" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service.DestroyAll();
        state.ldapSearch.reset();
        c.login();
        LdapSearchDialog& window = search();
        EXPECT_EQ(desktop.boxes, c.boxes);
        EXPECT_EQ(window.results().items, c.results);
        EXPECT_EQ(desktop.lastStatus(), kAppTitle);
        EXPECT_FALSE(window.ended());
    }
}

TEST_F(LdapSearchTest, AValueOfAFoundEntryIsEditedOnTheServer)
{
    LdapSearchDialog& window = search([](LdapSearchDialog& w) { w.typeFilter("(uid=alice)"); });
    ASSERT_EQ(found(window), Strings { kAlice });
    AttributeList& rows = window.attributes();
    int mail = -1;
    for (int row = 0; row < rows.size(); ++row)
        if (rows.row(row).name == "mail")
            mail = row;
    ASSERT_GE(mail, 0);
    EXPECT_EQ(rows.row(mail).syntax, "Case-Exact String (CES) {256}");
    rows.select(mail);
    EditedList list = window.editedList();
    ASSERT_TRUE(CanStartValueEdit(context, EditTrigger::DoubleClick, &list));
    EXPECT_EQ(BeginValueEdit(context, mail, &list), "alice@example.com");
    EndValueEdit(context, std::string("alice@new.example"), &list);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(rows.row(mail).value, "alice@new.example");
    EXPECT_TRUE(state.attributes.rows().empty());

    EntryRecord* found = nullptr;
    ASSERT_EQ(service.OrnSearchSync(kBase.c_str(), "(mail=alice@new.example)", nullptr, 0, 2, &found), 0);
    EXPECT_EQ(AttributeValues(found, "uid"), Strings { "alice" });
    OrnLdapService::OrnFreeResult(found);
}

TEST_F(LdapSearchTest, SaveSearchWritesEveryDnAndAddsTxtForTheTextType)
{
    struct Case {
        FileChoice choice;
        std::string written;
    };
    const Case cases[] = {
        { { "found", 0 }, "found.txt" },
        { { "found.txt", 0 }, "found.txt" },
        { { "found.dns", 1 }, "found.dns" },
    };
    LdapSearchDialog& window = search([](LdapSearchDialog& w) { w.typeFilter("(|(uid=alice)(uid=bob))"); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice.path);
        std::filesystem::remove(c.written);
        desktop.chooseFile(c.choice);
        window.saveSearch();
        EXPECT_EQ(read(c.written), kAlice + "\n" + kBob + "\n");
    }
    EXPECT_EQ(desktop.fileDialogs.back(), "save Text File(.txt)|*.txt All Files (*.*)|*.*");
    EXPECT_FALSE(std::filesystem::exists("found.txt.txt"));
}

TEST_F(LdapSearchTest, ALostConnectionClosesTheWindowAndLogsOut)
{
    // Lost while the schema is read, and while searching in the open window.
    const std::function<void()> losses[] = {
        [this] {
            service.DestroyAll();
            LdapSearchCommand(context);
            EXPECT_EQ(desktop.dialogsRun, Strings {});
        },
        [this] {
            LdapSearchDialog& window = open();
            EXPECT_EQ(&open(), &window);
            service.DestroyAll();
            window.search();
        },
    };
    for (const std::function<void()>& lose : losses) {
        desktop = FakeDesktop {};
        logInAsAdmin();
        lose();
        EXPECT_EQ(desktop.boxes, Boxes { errorBox("Please Login again. Connection timed out") });
        EXPECT_TRUE(state.ldapSearch->ended());
        expectLoggedOut();
    }
}
