// Add Attribute against slapd: what an inetOrgPerson is offered (its
// superior classes included), the syntax field, and the server's answers.
#include "browser/properties/AddAttributeDialog.h"
#include "tests/browser/properties/AttributeEditingFixture.h"

#include <strings.h>

class AddAttributeDialogTest : public EditSuite {
protected:
    template <class User>
    void addAttribute(User user)
    {
        select("uid=adder");
        onDialog<AddAttributeDialog>(desktop, user);
        AddAttributeCommand(context);
    }
};

TEST_F(AddAttributeDialogTest, OffersTheAttributesOfTheClassesAndTheirSuperiors)
{
    browse();
    state.flags.loggedIn = false;
    AddAttributeCommand(context);
    state.flags.loggedIn = true;
    AddAttributeCommand(context); // nothing selected after the tree load
    EXPECT_EQ(desktop.boxes,
        Boxes({ errorBox("Access denied"), errorBox("Please select an Item") }));

    addAttribute([this](AddAttributeDialog& dialog) {
        const Strings& items = dialog.attributes().items;
        // inetOrgPerson's, organizationalPerson's, person's and top's, each once.
        for (const char* name : { "employeeNumber", "ou", "telephoneNumber", "sn", "objectClass" })
            EXPECT_EQ(std::count(items.begin(), items.end(), name), 1) << name;
        EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
            [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }));
        dialog.ok();
        EXPECT_FALSE(dialog.ended() || dialog.okEnabled());

        // mail is the first of two names; o inherits the syntax of its supertype name.
        const std::vector<std::pair<std::string, std::string>> syntaxes {
            { "telephoneNumber", "1.3.6.1.4.1.1466.115.121.1.50{32}" },
            { "mail", "1.3.6.1.4.1.1466.115.121.1.26{256}" },
            { "o", "1.3.6.1.4.1.1466.115.121.1.15{32768}" },
        };
        for (const auto& [name, syntax] : syntaxes) {
            dialog.chooseAttribute(indexOf(dialog.attributes().items, name));
            EXPECT_EQ(dialog.syntax(), syntax) << name;
        }
        state.attributeTypes.clear();
        dialog.chooseAttribute(indexOf(dialog.attributes().items, "mail"));
        EXPECT_EQ(dialog.syntax(), "Attribute syntax not available in schema");
        EXPECT_TRUE(dialog.okEnabled());
    });
    EXPECT_EQ(desktop.dialogsRun, Strings({ AddAttributeDialog::kResource }));
}

TEST_F(AddAttributeDialogTest, TheServerJudgesTheValue)
{
    browse();
    struct Case {
        std::string attribute;
        std::string value;
        int32_t answer; // 0: added, the entry shown again
    };
    // An empty value is sent as it is: slapd refuses it for a directory string.
    for (const Case& c : std::vector<Case> { { "telephoneNumber", "+1 555 0199", 0 }, { "description", "", 21 } }) {
        SCOPED_TRACE(c.attribute);
        desktop.boxes.clear();
        addAttribute([&](AddAttributeDialog& dialog) {
            dialog.chooseAttribute(indexOf(dialog.attributes().items, c.attribute));
            dialog.setValue(c.value);
            dialog.ok();
            EXPECT_EQ(dialog.ended(), c.answer == 0);
        });
        bool added = !serverValues("uid=adder," + kEditDn, c.attribute).empty();
        EXPECT_EQ(added, c.answer == 0);
        EXPECT_EQ(row(c.attribute, c.value) >= 0, c.answer == 0);
        if (c.answer) {
            std::string text = OrnLdapService::LdapErrorToString(c.answer);
            EXPECT_EQ(desktop.boxes, Boxes({ errorBox(text, "Server Response") }));
            EXPECT_NE(read("Generror.err").find(text), std::string::npos);
        } else {
            EXPECT_TRUE(desktop.boxes.empty());
        }
    }
}

// The entry went after it was shown: the dialog says what the server answered.
TEST_F(AddAttributeDialogTest, AnEntryGoneFromTheServerGetsTheServersAnswer)
{
    browse();
    select("uid=adder");
    state.editing.dnToShow = "uid=gone," + kEditDn;
    state.editing.keepDn = true;
    AddAttributeDialog dialog(context);
    dialog.open();
    EXPECT_EQ(desktop.boxes, Boxes({ errorBox("No Such Objects", "Server Response") }));
    EXPECT_TRUE(dialog.attributes().items.empty());
}
