#include "browser/session/NewProfileDialog.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ProfileManagerDialog.h"
#include "browser/session/Registry.h"
#include "browser/session/SetEntriesDialog.h"
#include "tests/browser/session/ProfileTestSupport.h"

#include <filesystem>

namespace {

using NewField = NewProfileDialog::Field;
using ManagerField = ProfileManagerDialog::Field;

const Box kEmpty = plainBox("One or more fields are empty .Please fill in all the fields.");
const Box kSaved = plainBox("Your profile has been successfully saved", "Save Profile");
const Box kSelectBoth = plainBox("Please select profile Name and user detail", "Error");
const Box kClickBelow = plainBox("Please Click on a profile below or enter a new profile", "Error");
const Box kSaveFirst = plainBox("Please Save your Profile", "Error");
// h2 is reached over LDAPS: Edit shows its scheme, so that Save keeps it.
const std::string kFile = "abc=h1;1;o=a;u1;\nab=h0;0;o;;\nabc=ldaps://h2;2;o=b;;\nbabc=h3;3;o=c;u3;\n";

using ProfileDialogs = ProfileTest;

// Profile Name, Host, Port, User ID, Base DN.
void fill(NewProfileDialog& dialog, const Strings& values)
{
    const NewField order[] = {NewField::ProfileName, NewField::Host, NewField::Port, NewField::UserId};
    for (std::size_t i = 0; i < 4; ++i)
        dialog.setText(order[i], values[i]);
    dialog.typeBaseDn(values[4]);
}

// Host, Base DN, Port, Profile Name, User ID.
Strings lower(const ProfileManagerDialog& dialog)
{
    Strings texts;
    for (ManagerField f : {ManagerField::Host, ManagerField::BaseDn, ManagerField::Port, ManagerField::ProfileName, ManagerField::UserId})
        texts.push_back(dialog.field(f).text + (dialog.field(f).enabled ? "" : " (off)"));
    return texts;
}

} // namespace

TEST_F(ProfileDialogs, NewProfileEnablingRules)
{
    NewProfileDialog dialog(desktop, state);
    EXPECT_EQ(dialog.field(NewField::Port).text, "389");
    EXPECT_EQ(dialog.version().items, Strings({"2", "3"}));
    EXPECT_EQ(dialog.ldapVersion(), 3);
    dialog.chooseVersion(0);
    EXPECT_EQ(dialog.ldapVersion(), 2);

    // A port at the default of the mode left follows to the new mode's; a typed one stays.
    EXPECT_EQ(dialog.security().items, Strings({"None", "LDAPS", "StartTLS"}));
    for (auto [mode, port] : {std::pair {1, "636"}, {2, "389"}, {1, "636"}, {0, "389"}}) {
        dialog.chooseSecurity(mode);
        EXPECT_EQ(dialog.field(NewField::Port).text, port) << mode;
    }
    dialog.setText(NewField::Port, "10389");
    dialog.chooseSecurity(1);
    EXPECT_EQ(dialog.field(NewField::Port).text, "10389");
    dialog.chooseSecurity(0);

    EXPECT_TRUE(dialog.anonymous());
    for (bool ticked : {true, false, true}) {
        EXPECT_EQ(dialog.anonymous(), ticked);
        EXPECT_EQ(dialog.field(NewField::UserId).enabled, !ticked);
        EXPECT_EQ(dialog.field(NewField::Password).enabled, !ticked);
        dialog.toggleAnonymous();
    }

    int fetches = 0;
    dialog.fetchDnsHandler = [&](NewProfileDialog& d) {
        ++fetches;
        d.setBaseDnItems({"o=a", "o=b"});
    };
    EXPECT_FALSE(dialog.fetchDnsEnabled());
    for (auto [host, enabled] : {std::pair {"h", true}, {"  \t ", false}, {" 10.0.0.1 ", true}, {"", false}}) {
        dialog.setText(NewField::Host, host);
        EXPECT_EQ(dialog.fetchDnsEnabled(), enabled) << '"' << host << '"';
        dialog.fetchDns();
    }
    EXPECT_EQ(fetches, 2); // only while enabled
    dialog.chooseBaseDn(1);
    EXPECT_EQ(dialog.baseDn().text, "o=b");
}

TEST_F(ProfileDialogs, NewProfileSaveAppendsAndReloads)
{
    NewProfileDialog dialog(desktop, state);
    for (std::size_t blank = 0; blank < 4; ++blank) {
        Strings values {"main", "h", "389", "", "o=x"};
        values[blank == 3 ? 4 : blank].clear();
        fill(dialog, values);
        dialog.saveProfile();
    }
    EXPECT_EQ(desktop.boxes, Boxes(4, kEmpty));
    EXPECT_EQ(desktop.systemModal, std::vector<bool>(4, false));
    EXPECT_FALSE(std::filesystem::exists("OrnIni.ini"));

    // A user ID typed before Anonymous Binding was ticked is saved; the password never is.
    desktop.boxes.clear();
    dialog.toggleAnonymous();
    fill(dialog, {"main", "h", "389", "u", "o=x"});
    dialog.setText(NewField::Password, "secret");
    dialog.toggleAnonymous();
    dialog.saveProfile();
    fill(dialog, {"other", "h", "389", "", "o=y"});
    dialog.saveProfile();
    EXPECT_EQ(readIni(), "main=h;389;o=x;u;\nother=h;389;o=y;;\n");
    EXPECT_EQ(state.profiles.lines.size(), 2u);
    EXPECT_FALSE(state.profiles.noProfile);
    EXPECT_EQ(desktop.boxes, Boxes(2, kSaved));
    EXPECT_TRUE(desktop.systemModal.back());
    EXPECT_FALSE(dialog.ended());
}

TEST_F(ProfileDialogs, NewProfileLoginEndsTheDialogOnlyWhenItSucceeds)
{
    for (bool succeeds : {false, true}) {
        NewProfileDialog dialog(desktop, state);
        dialog.login(); // nothing plugged in yet
        EXPECT_FALSE(dialog.ended());
        dialog.loginHandler = [&](NewProfileDialog& d) { return d.field(NewField::Host).text == "h" && succeeds; };
        dialog.setText(NewField::Host, "h");
        dialog.login();
        EXPECT_EQ(dialog.result(), succeeds ? DialogResult::Ok : DialogResult::None);
    }
}

class ProfileManager : public ProfileDialogs {
protected:
    void SetUp() override
    {
        ProfileDialogs::SetUp();
        writeIni(kFile);
        ASSERT_TRUE(LoadProfiles(desktop, state));
    }
    // Chooses abc and its second user detail, h2, then edits it.
    static void editSecond(ProfileManagerDialog& dialog)
    {
        dialog.chooseName(0);
        dialog.chooseDetail(1);
        dialog.edit();
    }
};

TEST_F(ProfileManager, ChoicesEnableEditAndEditEnablesTheLowerPart)
{
    ProfileManagerDialog dialog(desktop, state);
    EXPECT_EQ(dialog.names().items, Strings({"abc", "babc"}));
    EXPECT_EQ(dialog.names().text, "----- Please Click Your User Profile----");
    EXPECT_FALSE(dialog.editEnabled() || dialog.deleteEnabled() || dialog.saveEnabled());
    EXPECT_EQ(lower(dialog), Strings({" (off)", " (off)", "0 (off)", " (off)", " (off)"}));

    dialog.chooseName(0);
    EXPECT_EQ(dialog.details().items, Strings({"h1;1;o=a;u1", "ldaps://h2;2;o=b;"}));
    EXPECT_FALSE(dialog.editEnabled());
    dialog.chooseDetail(1);
    EXPECT_TRUE(dialog.editEnabled() && dialog.deleteEnabled());
    EXPECT_FALSE(dialog.saveEnabled());
    dialog.edit();
    EXPECT_TRUE(dialog.saveEnabled());
    EXPECT_EQ(lower(dialog), Strings({"ldaps://h2", "o=b", "2", "abc", ""}));

    // Choosing a name again clears and locks the lower part.
    dialog.chooseName(1);
    EXPECT_EQ(dialog.details().items, Strings {"h3;3;o=c;u3"});
    EXPECT_EQ(dialog.details().text, "");
    EXPECT_EQ(lower(dialog), Strings({" (off)", " (off)", "0 (off)", " (off)", " (off)"}));
    EXPECT_FALSE(dialog.saveEnabled());
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(ProfileManager, EditAndDeleteWithoutBothChoicesSayWhy)
{
    using Step = std::function<void(ProfileManagerDialog&)>;
    const Box deleteSaveFirst = plainBox("Please Save your Profile");
    const struct {
        const char* what;
        Step prepare;
        Boxes edit;
        Boxes remove;
    } cases[] = {
        {"just opened", [](ProfileManagerDialog&) {}, {kSelectBoth}, {kClickBelow}},
        {"name box emptied", [](ProfileManagerDialog& d) { d.chooseName(0); d.chooseDetail(0); d.typeName(""); }, {kSelectBoth}, {kClickBelow}},
        {"name typed over a choice", [](ProfileManagerDialog& d) { d.chooseName(0); d.chooseDetail(0); d.typeName("abc"); }, {kSaveFirst}, {deleteSaveFirst}},
        {"name chosen, no detail", [](ProfileManagerDialog& d) { d.chooseName(0); }, {kClickBelow}, {kClickBelow}},
        {"name chosen, detail typed", [](ProfileManagerDialog& d) { d.chooseName(0); d.typeDetail("h9"); }, {}, {deleteSaveFirst}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileManagerDialog dialog(desktop, state);
        c.prepare(dialog);
        desktop.boxes.clear();
        dialog.edit();
        EXPECT_EQ(desktop.boxes, c.edit);
        desktop.boxes.clear();
        dialog.deleteProfile();
        EXPECT_EQ(desktop.boxes, c.remove);
        EXPECT_FALSE(dialog.ended() || dialog.saveEnabled());
    }
    EXPECT_EQ(readIni(), kFile);
}

TEST_F(ProfileManager, SaveReplacesTheChosenLine)
{
    ProfileManagerDialog dialog(desktop, state);
    editSecond(dialog);
    dialog.setText(ManagerField::Port, "");
    dialog.save();
    dialog.setText(ManagerField::Port, "636");
    dialog.setText(ManagerField::UserId, "cn=u");
    dialog.setText(ManagerField::Host, "new");
    std::filesystem::create_directory("TmpIni.ini"); // the rewrite fails
    dialog.save();
    EXPECT_EQ(desktop.boxes, Boxes({kEmpty, plainBox("Configuration file not found", kAppTitle, MessageIcon::Error)}));
    EXPECT_FALSE(dialog.ended());
    EXPECT_EQ(state.connection.port, 2); // as parsed, not as saved

    desktop.boxes.clear();
    std::filesystem::remove("TmpIni.ini");
    state.connection.host = "kept";
    dialog.save();
    EXPECT_EQ(readIni(), "abc=h1;1;o=a;u1;\nab=h0;0;o;;\nabc=new;636;o=b;cn=u;\nbabc=h3;3;o=c;u3;\n");
    EXPECT_EQ(desktop.boxes, Boxes {plainBox("Your profile has been changed successfully...")});
    EXPECT_EQ(dialog.result(), DialogResult::Ok);
    const ConnectionSettings& saved = state.connection;
    EXPECT_EQ(Strings({std::to_string(saved.port), saved.baseDn, saved.userId, saved.host}), Strings({"636", "o=b", "cn=u", "kept"}));
}

TEST_F(ProfileManager, DeleteRemovesTheChosenDetailOnly)
{
    ProfileManagerDialog dialog(desktop, state);
    editSecond(dialog);
    dialog.deleteProfile();
    EXPECT_EQ(readIni(), "abc=h1;1;o=a;u1;\nab=h0;0;o;;\nbabc=h3;3;o=c;u3;\n");
    EXPECT_EQ(desktop.boxes, Boxes {plainBox("Your profile has been removed successfully from the configuration file", kAppTitle, MessageIcon::Warning)});
    EXPECT_EQ(dialog.result(), DialogResult::Ok);
}

TEST_F(ProfileDialogs, SetEntriesTakesEffectAtOnceAndOkStoresIt)
{
    Registry registry(folder() + "/registry");
    for (bool ok : {false, true}) {
        state.pageSize = 100;
        SetEntriesDialog dialog(desktop, state, registry);
        EXPECT_EQ(dialog.entries(), "100");
        // Only whole numbers from 1 up change the page size; OK refuses the rest.
        struct Row {
            const char* text;
            int size;
            bool valid;
        };
        for (auto [text, size, valid] : {Row {"25", 25, true}, {"", 25, false}, {"2x", 25, false}, {" +40 ", 40, true},
                                         {"+-3", 40, false}, {"-3", 40, false}, {"0", 40, false}, {"250", 250, true}}) {
            dialog.setEntries(text);
            EXPECT_EQ(state.pageSize, size) << text;
            if (!valid && ok) {
                dialog.ok();
                EXPECT_FALSE(dialog.ended()) << text;
            }
        }
        EXPECT_EQ(desktop.boxes, ok ? Boxes(5, errorBox("Please enter a whole number of entries from 1 up.")) : Boxes());
        desktop.boxes.clear();
        EXPECT_EQ(registry.readEntries(), 100);
        ok ? dialog.ok() : dialog.cancel();
        EXPECT_EQ(dialog.result(), ok ? DialogResult::Ok : DialogResult::Cancel);
        EXPECT_EQ(state.pageSize, 250);
        EXPECT_EQ(registry.readEntries(), ok ? 250 : 100);
    }
    // A value that cannot be stored still closes the dialog.
    Registry unwritable("/proc/orn-no-registry");
    SetEntriesDialog dialog(desktop, state, unwritable);
    dialog.ok();
    EXPECT_TRUE(dialog.ended());
}

TEST_F(ProfileDialogs, RegistryEntriesRoundTripWithTheAtoiRule)
{
    Registry registry(folder() + "/Velmora Inc/Velmora LDAP Browser/2.0");
    EXPECT_EQ(registry.readEntries(), 100); // nothing stored yet
    ASSERT_TRUE(registry.writeEntries(250));
    EXPECT_EQ(registry.readEntries(), 250);
    // A page of no entries is no page size.
    for (auto [text, entries] : { std::pair { "42 entries", 42 }, { "many", 100 }, { "0", 100 }, { "-5", 100 } }) {
        std::ofstream(registry.folder() + "/entries") << text;
        EXPECT_EQ(registry.readEntries(), entries) << text;
    }
    EXPECT_FALSE(Registry("/proc/orn-registry-cannot-exist").writeEntries(5));
}
