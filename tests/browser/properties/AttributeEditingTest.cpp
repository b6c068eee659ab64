// In-place editing and Delete Attribute against slapd, and the lost
// connection for every command that changes the list's entry.
#include "browser/CommandReports.h"
#include "browser/properties/AddAttributeDialog.h"
#include "browser/properties/DnEscape.h"
#include "browser/session/RootDseDialog.h"
#include "tests/browser/properties/AttributeEditingFixture.h"

#include <functional>

using AttributeEditingTest = EditSuite;

const Box kRenameQuestion { "Delete old RDN?", "Delete", MessageIcon::Question, MessageButtons::YesNoCancel };

TEST_F(AttributeEditingTest, RefusalsSendNothing)
{
    browse();
    select("uid=fixed");
    state.attributes.select(-1);
    EXPECT_FALSE(CanStartValueEdit(context, EditTrigger::Command));
    state.attributes.select(0);
    state.flags.loggedIn = false;
    EXPECT_FALSE(CanStartValueEdit(context, EditTrigger::ListKey));
    EXPECT_FALSE(CanStartValueEdit(context, EditTrigger::DoubleClick));
    EXPECT_EQ(desktop.boxes,
        Boxes(
            { errorBox("Please select attribute to edit"), errorBox("Access denied"), errorBox("Access denied") }));
    state.flags.loggedIn = true;

    // slapd has no aci: the row stands for one that another server shows.
    state.attributes.append({ "(targetattr=*)", "aci", "Not Available" });
    const std::vector<std::pair<std::string, std::string>> refused { { "dn", "Cannot edit the attribute value" },
        { "objectClass", "Cannot edit Attribute value" }, { "aci", "" } };
    for (const auto& [name, refusal] : refused) {
        desktop.boxes.clear();
        int index = row(name);
        std::string before = state.attributes.row(index).value;
        edit(index, "changed");
        EXPECT_EQ(desktop.boxes, refusal.empty() ? Boxes() : Boxes({ errorBox(refusal) }));
        EXPECT_EQ(state.editing.state, refusal.empty() ? 1 : 2) << name;
        EXPECT_EQ(state.attributes.row(index).value, before);
    }
    EXPECT_EQ(serverValues(dnOf("uid=fixed"), "objectClass"), Strings({ "inetOrgPerson" }));
    EXPECT_EQ(read("Generror.err"), "<missing>");
}

TEST_F(AttributeEditingTest, ValueEditsKeepTheOtherValues)
{
    browse();
    select("uid=single");
    edit(row("description", "old"), "  new \t");
    EXPECT_EQ(serverValues(dnOf("uid=single"), "description"), Strings({ "new" }));
    EXPECT_GE(row("description", "new"), 0);

    select("uid=several");
    edit(row("mail", "b@x"), "B2@x");
    EXPECT_EQ(serverValues(dnOf("uid=several"), "mail"), Strings({ "B2@x", "a@x", "c@x" }));
    // A cleared value is deleted, one of several and a last one alike.
    edit(row("telephoneNumber", "2"), " ");
    edit(row("telephoneNumber", "1"), "");
    EXPECT_TRUE(serverValues(dnOf("uid=several"), "telephoneNumber").empty());
    EXPECT_EQ(row("telephoneNumber", ""), -1);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(AttributeEditingTest, RenameFollowsTheAnswerAndEscapesTheValue)
{
    browse();
    struct Case {
        std::string uid;
        MessageAnswer answer;
        std::string value;
        std::string label; // of the new node
        Strings uids; // afterwards, sorted
    };
    for (const Case& c : std::vector<Case> { { "yes", MessageAnswer::Yes, "yes2", "uid=yes2", { "yes2" } },
             { "no", MessageAnswer::No, "no2", "uid=no2", { "no", "no2" } },
             { "comma", MessageAnswer::Yes, "Smith, John", "uid=Smith\\, John", { "Smith, John" } } }) {
        SCOPED_TRACE(c.uid);
        desktop.boxes.clear();
        TreeNode* folder = select("uid=" + c.uid)->parent;
        desktop.answer(c.answer);
        edit(row("uid", c.uid), c.value);

        EXPECT_EQ(desktop.boxes, Boxes({ kRenameQuestion }));
        EXPECT_TRUE(serverValues(dnOf("uid=" + c.uid), "uid").empty());
        EXPECT_EQ(serverValues(dnOf(c.label), "uid"), c.uids);
        // The new node is selected in the old one's place and its entry shown.
        EXPECT_EQ(find(folder, "uid=" + c.uid), nullptr);
        EXPECT_EQ(state.tree.selected(), find(folder, c.label));
        EXPECT_EQ(state.selection.fullDn, dnOf(c.label));
        EXPECT_EQ(state.loadedDns.back(), dnOf(c.label));
        EXPECT_GE(row("uid", c.value), 0);
    }

    desktop.boxes.clear();
    TreeNode* kept = select("uid=cancel");
    desktop.answer(MessageAnswer::Cancel);
    edit(row("uid", "cancel"), "elsewhere");
    EXPECT_EQ(serverValues(dnOf("uid=cancel"), "uid"), Strings({ "cancel" }));
    EXPECT_EQ(desktop.boxes, Boxes({ kRenameQuestion }));
    EXPECT_EQ(state.tree.selected(), kept);
    EXPECT_GE(row("uid", "cancel"), 0);
}

TEST(DnEscapeTest, EscapesWhatRfc4514Asks)
{
    const std::vector<std::pair<std::string, std::string>> cases { { "plain text", "plain text" },
        { "a,b+c\"d\\e<f>g;h", "a\\,b\\+c\\\"d\\\\e\\<f\\>g\\;h" }, { "#tag", "\\#tag" }, { "mid#=", "mid#=" },
        { " both ", "\\ both\\ " }, { " ", "\\ " }, { "", "" }, { std::string("a\0b", 3), "a\\00b" } };
    for (const auto& [value, escaped] : cases)
        EXPECT_EQ(EscapeDnValue(value), escaped) << value;
}

TEST_F(AttributeEditingTest, DeleteAttributeValue)
{
    browse();
    select("uid=deleter");
    state.attributes.select(-1);
    DeleteAttributeCommand(context);
    state.attributes.select(row("mail", "drop@x"));
    desktop.answer(MessageAnswer::No);
    DeleteAttributeCommand(context);
    EXPECT_EQ(serverValues(dnOf("uid=deleter"), "mail"), Strings({ "drop@x", "keep@x" }));
    DeleteAttributeCommand(context);
    EXPECT_EQ(serverValues(dnOf("uid=deleter"), "mail"), Strings({ "keep@x" }));
    EXPECT_EQ(row("mail", "drop@x"), -1);

    // sn is a MUST of person: the refusal is shown and logged, the row stays.
    state.attributes.select(row("sn", "deleter"));
    DeleteAttributeCommand(context);
    const std::string refusal = OrnLdapService::LdapErrorToString(65);
    const Box question { "Delete selected attribute", "Delete", MessageIcon::Question, MessageButtons::YesNo };
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("Please select attribute for deletion"), question, question, question,
            errorBox(refusal, "Server Response") }));
    EXPECT_NE(read("Generror.err").find(refusal), std::string::npos);
    EXPECT_GE(row("sn", "deleter"), 0);
}

TEST_F(AttributeEditingTest, LostConnectionLogsOut)
{
    auto addMail = [this] {
        onDialog<AddAttributeDialog>(desktop, [](AddAttributeDialog& dialog) {
            dialog.chooseAttribute(indexOf(dialog.attributes().items, "mail"));
            server().stop();
            dialog.ok();
        });
        AddAttributeCommand(context);
    };
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* wording;
        bool stopFirst = true; // else the act stops the server itself
    };
    const std::vector<Case> cases {
        { "edit", [this] { edit(row("mail", "l@x"), "m@x"); }, kConnectionTimedOut },
        { "delete",
            [this] {
                state.attributes.select(row("mail", "l@x"));
                DeleteAttributeCommand(context);
            },
            kConnectionTimedOut },
        { "add attribute opening", [this] { AddAttributeCommand(context); }, kConnectionTimedOutAgain },
        { "add attribute OK", addMail, kConnectionTimedOutAgain, false },
        { "root DSE", [this] { RootDseProperties(context); }, kConnectionTimedOut },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        browse();
        select("uid=lost");
        if (c.stopFirst)
            server().stop();
        c.act();
        EXPECT_EQ(desktop.boxes.back(), errorBox(c.wording));
        EXPECT_NE(read("Generror.err").find(kLostLine), std::string::npos);
        expectLoggedOut();
        std::filesystem::remove("Generror.err");
        server().restart();
    }
    browse();
    EXPECT_EQ(serverValues(dnOf("uid=lost"), "mail"), Strings({ "l@x" }));
}

// A cancelled wait for a change closes the connection (the server may yet
// make the change) and logs out; a cancelled search only ends the command.
TEST_F(AttributeEditingTest, ACancelledWaitEndsTheChangeOrOnlyTheSearch)
{
    const std::string hung = dnOf("uid=hung");
    struct Case {
        const char* name;
        std::function<void()> act;
        std::string firstWait;
        bool keepsSession;
    };
    const std::vector<Case> cases {
        { "edit", [this] { edit(row("mail", "h@x"), "m@x"); }, "Saving the change to " + hung, false },
        { "delete",
            [this] {
                state.attributes.select(row("mail", "d@x"));
                DeleteAttributeCommand(context);
            },
            "Saving the change to " + hung, false },
        { "add attribute opening", [this] { AddAttributeCommand(context); }, "Reading " + hung, true },
        { "root DSE", [this] { RootDseProperties(context); }, "Reading the root DSE", true },
        // Last: the server makes each cancelled change once it answers again.
        { "rename", [this] { edit(row("uid", "hung"), "hung2"); }, "Renaming " + hung, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        browse();
        ASSERT_NE(select("uid=hung"), nullptr);
        desktop = FakeDesktop {};
        server().freeze();
        desktop.cancelWaitAt(2);
        c.act();
        server().thaw();

        ASSERT_FALSE(desktop.waitsFor.empty());
        EXPECT_EQ(desktop.waitsFor.front(), c.firstWait);
        if (c.keepsSession) {
            EXPECT_TRUE(desktop.boxes.empty());
            EXPECT_EQ(desktop.lastStatus(), kSearchCancelled);
            EXPECT_TRUE(state.flags.loggedIn);
            EXPECT_EQ(searchBase(), 0);
            service.DestroyAll();
        } else {
            ASSERT_FALSE(desktop.boxes.empty());
            EXPECT_EQ(desktop.boxes.back(), errorBox(kWaitCancelled));
            EXPECT_NE(read("Generror.err").find(kLostLine), std::string::npos);
            expectLoggedOut();
            std::filesystem::remove("Generror.err");
        }
    }
}
