#include "browser/session/ProfileFile.h"
#include "tests/browser/session/ProfileTestSupport.h"

#include <filesystem>

namespace {

Box appBox(const std::string& text, MessageIcon icon = MessageIcon::Error) { return plainBox(text, kAppTitle, icon); }

const Box kInvalid = appBox("Configuration File Data is Invalid");
const Box kNotFound = appBox("Configuration file not found");
const Box kNotModified = appBox("The configuration file could not be modified");
const Box kRemoved = appBox("Your profile has been removed successfully from the configuration file", MessageIcon::Warning);

class ProfileFile : public ProfileTest {
protected:
    bool load() { return LoadProfiles(desktop, state); }
    // Loads the file and lists the user details of name.
    Strings details(const std::string& name)
    {
        EXPECT_TRUE(load());
        return ListUserDetails(state.profiles, name);
    }
};

} // namespace

TEST_F(ProfileFile, LinesRoundTripThroughTheFile)
{
    struct Case {
        ProfileFields fields;
        std::string line;
        int32_t port;
    };
    // A service account's DN makes a line of 400 characters.
    const std::string account = "cn=" + std::string(373, 's') + ",o=x";
    const Case cases[] = {
        {{"main", "h", "389", "o=x", "u"}, "main=h;389;o=x;u;", 389},
        {{"svc", "h", "389", "o=x", account}, "svc=h;389;o=x;" + account + ";", 389},
        {{"main", "h", "389", "o=x", ""}, "main=h;389;o=x;;", 389}, // no user ID: two ";" in a row
        {{"dir 2", "10.0.0.7", "636", "ou=a, o=b=c", "cn=Ann Lee,o=b"}, "dir 2=10.0.0.7;636;ou=a, o=b=c;cn=Ann Lee,o=b;", 636},
        {{"x", "h", " 12ab", "o", "u"}, "x=h; 12ab;o;u;", 12}, // port by the atoi rule, saturating
        {{"x", "h", "99999999999", "o", "u"}, "x=h;99999999999;o;u;", 2147483647},
        // The mode rides in the host field, where older builds read it as part of the host.
        {{"s", "h", "636", "o=x", "u", ConnectionSecurity::Ldaps}, "s=ldaps://h;636;o=x;u;", 636},
        {{"t", "h", "389", "o=x", "", ConnectionSecurity::StartTls}, "t=starttls://h;389;o=x;;", 389},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::filesystem::remove("OrnIni.ini");
        EXPECT_EQ(ComposeProfileLine(c.fields), c.line);
        ASSERT_TRUE(AppendProfile(desktop, state, c.line));
        EXPECT_EQ(readIni(), c.line + "\n");
        EXPECT_EQ(details(c.fields.name), Strings {c.line.substr(c.fields.name.size() + 1, c.line.size() - c.fields.name.size() - 2)});
        state.connection.password = "secret";
        ASSERT_TRUE(ParseProfile(desktop, state, 0));
        const ConnectionSettings& got = state.connection;
        EXPECT_EQ(Strings({got.profileName, got.host, got.baseDn, got.userId}),
                  Strings({c.fields.name, c.fields.host, c.fields.baseDn, c.fields.userId}));
        EXPECT_EQ(got.port, c.port);
        EXPECT_EQ(got.security, c.fields.security);
        EXPECT_EQ(got.password, "secret");
    }
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(state.workingFolder, std::filesystem::current_path().string());
}

TEST_F(ProfileFile, NameListHidesNamesThatPrefixAListedOne)
{
    struct Case {
        Strings names;
        Strings listed;
    };
    const Case cases[] = {
        {{"abc", "ab"}, {"abc"}},         // ab begins abc
        {{"ab", "abc"}, {"ab", "abc"}},   // but abc does not begin ab
        {{"Main", "main", "MAIN"}, {"Main"}}, // case is ignored
        {{"a", "b", "a", "c"}, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        ProfileTable table;
        for (const std::string& name : c.names)
            table.lines.push_back(name + "=h;1;o;;");
        EXPECT_EQ(ListProfileNames(table), c.listed);
    }
}

TEST_F(ProfileFile, UserDetailsAreTheLinesThatBeginWithTheName)
{
    writeIni("a=h1;1;o=a;u1;\nba=h2;2;o=b;;\na=h3;3;o=a;;\nxa=h4;4;o;a=h1;\n");
    EXPECT_EQ(details("a"), Strings({"h1;1;o=a;u1", "h3;3;o=a;"}));
    EXPECT_EQ(state.profiles.detailIndex, std::vector<int>({0, 2}));
    EXPECT_EQ(ListUserDetails(state.profiles, "ba"), Strings {"h2;2;o=b;"});
    EXPECT_EQ(state.profiles.detailIndex, std::vector<int>({1}));
    ASSERT_TRUE(ParseProfile(desktop, state, 0));
    EXPECT_EQ(state.connection.host, "h2");
    EXPECT_TRUE(ListUserDetails(state.profiles, "").empty());
}

TEST_F(ProfileFile, LoadSkipsBlankLinesAndKeepsALastLineWithoutLineFeed)
{
    writeIni("\n\r\na=h;1;o;first;\r\n\nb=h;2;o;last;");
    ASSERT_TRUE(load());
    EXPECT_EQ(state.profiles.lines, Strings({"a=h;1;o;first;", "b=h;2;o;last;"}));
    EXPECT_FALSE(state.profiles.noProfile);
    EXPECT_EQ(ListUserDetails(state.profiles, "b"), Strings {"h;2;o;last"});
    ASSERT_TRUE(ParseProfile(desktop, state, 0));
    EXPECT_EQ(state.connection.userId, "last");

    // An append starts a line of its own.
    ASSERT_TRUE(AppendProfile(desktop, state, "c=h;3;o;;"));
    EXPECT_EQ(readIni(), "\n\r\na=h;1;o;first;\r\n\nb=h;2;o;last;\nc=h;3;o;;\n");

    // Only blank lines: an empty table, the flag as it was, in both directions.
    writeIni("\n\n");
    for (bool flag : {false, true}) {
        state.profiles.noProfile = flag;
        ASSERT_TRUE(load());
        EXPECT_TRUE(state.profiles.lines.empty());
        EXPECT_EQ(state.profiles.noProfile, flag);
    }
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(ProfileFile, MalformedLinesAreInvalidAndLeaveTheConnectionAlone)
{
    for (std::string line : {"a", "a;h;1;o;u;", "a=h;1;o", "a=h;1", "a=", "=h;1"}) {
        SCOPED_TRACE(line);
        desktop.boxes.clear();
        state.profiles.lines = {line};
        state.profiles.detailIndex = {0};
        state.connection.clear();
        state.connection.host = "before";
        EXPECT_FALSE(ParseProfile(desktop, state, 0));
        EXPECT_EQ(desktop.boxes, std::vector<Box> {kInvalid});
        EXPECT_TRUE(desktop.systemModal.back());
        EXPECT_EQ(state.connection.host, "before");
        EXPECT_EQ(state.connection.profileName, "");
    }
    // The least a line needs; no final ";" keeps the user ID whole.
    state.profiles.lines = {"=;;;", "n=h;p;b;uid"};
    state.profiles.detailIndex = {0, 1};
    EXPECT_TRUE(ParseProfile(desktop, state, 0));
    EXPECT_TRUE(ParseProfile(desktop, state, 1));
    EXPECT_EQ(state.connection.userId, "uid");
    EXPECT_FALSE(ParseProfile(desktop, state, 2)); // not a list position
}

TEST_F(ProfileFile, MissingOrUnreadableFileMeansNoProfile)
{
    const Box missing = appBox("User profile does not exist.Please create a profile", MessageIcon::Information);
    writeIni("a=h;1;o;;\n");
    ASSERT_TRUE(load());
    EXPECT_FALSE(state.profiles.noProfile);

    std::filesystem::remove("OrnIni.ini");
    EXPECT_FALSE(load());
    std::filesystem::create_directory("OrnIni.ini");
    EXPECT_FALSE(load());
    EXPECT_EQ(desktop.boxes, std::vector<Box>({missing, missing}));
    EXPECT_EQ(desktop.systemModal, std::vector<bool>({true, true}));
    EXPECT_TRUE(state.profiles.noProfile);
    EXPECT_TRUE(state.profiles.lines.empty());
    EXPECT_EQ(state.workingFolder, folder());
}

TEST_F(ProfileFile, FilesOverTheLimitAreRefusedWholeLongLinesKept)
{
    const std::string line = "a=h;1;o;;";
    std::string file;
    for (std::size_t i = 0; i < ProfileTable::kMaxLines; ++i)
        file += line + "\n";
    writeIni(file);
    ASSERT_TRUE(load());
    EXPECT_EQ(state.profiles.lines.size(), 1024u);

    // A 1025th line, to the file or through an append.
    EXPECT_FALSE(AppendProfile(desktop, state, "b=h;1;o;;"));
    EXPECT_EQ(readIni(), file);
    writeIni(file + "b=h;1;o;;\n");
    EXPECT_FALSE(load());
    EXPECT_TRUE(state.profiles.lines.empty());
    EXPECT_TRUE(state.profiles.noProfile);

    // One long line no longer hides every profile.
    const std::string longLine = "b=h;1;o;cn=" + std::string(2000, 'x') + ";";
    writeIni("a=h;1;o;;\n" + longLine + "\n");
    EXPECT_TRUE(load());
    EXPECT_EQ(state.profiles.lines, Strings({"a=h;1;o;;", longLine}));
    EXPECT_EQ(desktop.boxes,
              std::vector<Box>({appBox("The configuration file already holds 1024 lines. Please remove a profile before adding another."),
                                appBox("The configuration file has more than 1024 lines. No profile has been loaded.")}));
    EXPECT_EQ(desktop.systemModal, std::vector<bool>({true, true}));
}

TEST_F(ProfileFile, FormsThatWouldNotReadBackAreRefused)
{
    const Box separator = appBox("A profile name cannot contain \"=\", and no field can contain \";\" or a line break.");
    struct Case {
        ProfileFields fields;
        const Box* refusal;
    };
    const Case cases[] = {
        {{"n", "h", "1", "o", ""}, nullptr},
        {{"n=m", "h", "1", "o", ""}, &separator},
        {{"n", "h;2", "1", "o", ""}, &separator},
        {{"n", "h", "1", "o", "u\nv"}, &separator},
        {{"n", "h", "1", "o", "u;"}, &separator},
        {{"n", "h", "1", "o", std::string(1000, 'x')}, nullptr},
    };
    for (const Case& c : cases) {
        desktop.boxes.clear();
        std::optional<std::string> line = ComposeCheckedProfileLine(desktop, c.fields);
        EXPECT_EQ(line.has_value(), c.refusal == nullptr) << c.fields.name << c.fields.host << c.fields.userId;
        EXPECT_EQ(desktop.boxes, c.refusal ? std::vector<Box> {*c.refusal} : std::vector<Box> {});
        if (line) {
            EXPECT_EQ(*line, ComposeProfileLine(c.fields));
        }
    }
    EXPECT_FALSE(desktop.systemModal.front());
}

TEST_F(ProfileFile, RewritesReplaceOrRemoveExactlyTheChosenLine)
{
    // The same line twice, a blank line, and lines of other profiles that hold its text.
    writeIni("a=h;1;o;u;\nba=h;1;o;u;\n\na=h;1;o;u;\nxa=h;1;o;u;\n");
    ASSERT_EQ(details("a"), Strings({"h;1;o;u", "h;1;o;u"}));
    ASSERT_TRUE(ReplaceProfile(desktop, state, 0, "a=new;9;o=n;;"));
    EXPECT_EQ(readIni(), "a=new;9;o=n;;\nba=h;1;o;u;\na=h;1;o;u;\nxa=h;1;o;u;\n");
    EXPECT_TRUE(desktop.boxes.empty());
    ASSERT_TRUE(RemoveProfile(desktop, state, 1));
    EXPECT_EQ(readIni(), "a=new;9;o=n;;\nba=h;1;o;u;\nxa=h;1;o;u;\n");
    EXPECT_EQ(state.profiles.lines, Strings({"a=new;9;o=n;;", "ba=h;1;o;u;", "xa=h;1;o;u;"}));
    EXPECT_TRUE(state.profiles.detailIndex.empty()); // the list shown is out of date
    EXPECT_EQ(desktop.boxes, std::vector<Box> {kRemoved});
    EXPECT_TRUE(desktop.systemModal.back());
    EXPECT_FALSE(std::filesystem::exists("TmpIni.ini"));
}

// As root a read-only file does not stop a write; a directory in the way does.
TEST_F(ProfileFile, FailedRewritesLeaveFileAndTableAsTheyWere)
{
    const std::string text = "a=h1;1;o;u1;\na=h2;2;o;u2;\n";
    for (const char* obstacle : {"TmpIni.ini", "OrnIni.ini"}) {
        for (bool remove : {false, true}) {
            SCOPED_TRACE(std::string(obstacle) + (remove ? " remove" : " replace"));
            std::filesystem::remove_all("TmpIni.ini");
            std::filesystem::remove_all("OrnIni.ini");
            writeIni(text);
            ASSERT_EQ(details("a").size(), 2u);
            const ProfileTable before = state.profiles;
            std::filesystem::remove(obstacle);
            std::filesystem::create_directories(std::string(obstacle) + "/in-the-way");
            desktop.boxes.clear();
            EXPECT_FALSE(remove ? RemoveProfile(desktop, state, 0) : ReplaceProfile(desktop, state, 0, "a=x;1;o;;"));
            EXPECT_EQ(desktop.boxes, std::vector<Box> {remove ? kNotModified : kNotFound});
            EXPECT_TRUE(desktop.systemModal.back());
            EXPECT_EQ(state.profiles.lines, before.lines);
            EXPECT_EQ(state.profiles.detailIndex, before.detailIndex);
            EXPECT_TRUE(obstacle == std::string("OrnIni.ini") ? std::filesystem::exists("OrnIni.ini/in-the-way") : readIni() == text);
        }
    }
    // Nor can an append write into a directory.
    desktop.boxes.clear();
    EXPECT_FALSE(AppendProfile(desktop, state, "b=h;1;o;;"));
    EXPECT_EQ(desktop.boxes, std::vector<Box> {kNotFound});
}
