// Export and import against slapd: round trips that keep every byte, files
// that OpenLDAP's tools write and read, the import's summary and log, and
// exports that fail without touching the file.
#include "tests/browser/BrowserTest.h"
#include "tests/support_tests/LdapUtils.h"
#include "tools/ldif/LdifCommands.h"
#include "tools/ldif/LdifDialogs.h"

#include <filesystem>

namespace {

using namespace std::string_literals;

const std::string kBase = SlapdServer::suffix();
const std::string kSubtree = "ou=Ldif," + kBase;

// Values an LDIF writer can lose: a leading blank, colon or "<", a
// trailing blank, CR LF inside, an empty value, binary bytes, UTF-8 names.
const std::string kSubtreeLdif
    = "dn: ou=Ldif,dc=example,dc=com\n"
      "objectClass: organizationalUnit\n"
      "ou: Ldif\n"
      "description:: IGxlYWRpbmcgYmxhbms=\n"
      "description:: OmNvbG9u\n"
      "description:: PGFuZ2xl\n"
      "description:: dHJhaWxpbmcg\n"
      "description:: dHdvDQpsaW5lcw==\n"
      "\n"
      "dn:: Y249Wm/DqyDDhW5nc3Ryw7ZtLG91PUxkaWYsZGM9ZXhhbXBsZSxkYz1jb20=\n"
      "objectClass: inetOrgPerson\n"
      "cn:: Wm/DqyDDhW5nc3Ryw7Zt\n"
      "sn:: w4VuZ3N0csO2bQ==\n"
      "jpegPhoto:: /9j/4AAQSkZJRgAAAwYJDA8SFRgbHiEkJyotMDM2OTw/QkVIS05RVFdaXWBjZmlsb3J1eHt+gYSHio2Qk5aZnJ+ipa"
      "irrrG0t7q9wMPGyczP0tXY297h5Ofq7fDz9vn8///Z\n"
      "audio:\n"
      "\n"
      "dn: ou=Locked,dc=example,dc=com\n"
      "objectClass: organizationalUnit\n"
      "ou: Locked\n"
      "\n"
      "dn: ou=Inner,ou=Ldif,dc=example,dc=com\n"
      "objectClass: organizationalUnit\n"
      "ou: Inner\n"
      "\n";

const std::string kBaseOnlyLdif = "dn: dc=example,dc=com\nobjectClass: dcObject\nobjectClass: organization\n"
                                  "dc: example\no: Example Corporation\n\n";

const std::string kAdminBind = " -D '"s + SlapdServer::adminDn() + "' -w " + SlapdServer::adminPassword();

SlapdOptions baseOnly()
{
    SlapdOptions options;
    options.ldifText = kBaseOnlyLdif;
    return options;
}

// ldapsearch's LDIF of the subtree, as the admin sees it.
std::string subtreeOf(const SlapdServer& server, const std::string& base = kSubtree)
{
    return ::search(server.url(), base, "(objectClass=*)", "", kAdminBind);
}

std::string logged(const std::string& message)
{
    return "12/05/26$16:01:02$ServerIp 127.0.0.1 " + message + "\n";
}

class LdifSlapdTest : public BrowserTest {
protected:
    static void SetUpTestSuite()
    {
        SlapdOptions options;
        options.ldifFile = SlapdServer::testDirectoryLdif();
        options.ldifText = kSubtreeLdif;
        // Bound users other than the admin may not add below ou=Locked.
        options.access = "access to dn.subtree=\"ou=Locked,dc=example,dc=com\"\n    by * read\n";
        startServer(options);
    }

    LdifSlapdTest() { logInAsAdmin(); }

    // The session moves to server, bound as the admin or as alice.
    void connectTo(const SlapdServer& server, bool admin = true)
    {
        service.DestroyAll();
        service.OrnSetPortNo(server.port());
        ASSERT_EQ(service.OrnInitialise(), 0);
        ASSERT_EQ(admin ? service.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimpleBind)
                        : service.OrnBindSync(("uid=alice,ou=People," + kBase).c_str(), "alice-pw", kSimpleBind),
            0);
        state.connection.port = server.port();
    }

    // Import File through its dialog, which must have ended.
    void importFile(const std::string& name)
    {
        desktop = FakeDesktop {};
        onDialog<ImportLdifDialog>(desktop, [&](ImportLdifDialog& dialog) {
            dialog.setFileName(" " + name + " ");
            dialog.ok();
            EXPECT_TRUE(dialog.ended());
        });
        ImportLdifCommand(context);
    }

    static Box importResult(const std::string& summary)
    {
        return { summary + " \n\nRefresh the page to see the item imported", "Import Result", MessageIcon::Warning,
            MessageButtons::Ok };
    }
};

TEST_F(LdifSlapdTest, ARoundTripKeepsEveryByteAndPlainValuesStayPlain)
{
    desktop = FakeDesktop {};
    ExportLdif(context, kSubtree, "out.ldif");
    EXPECT_EQ(desktop.boxes, Boxes { plainBox("Export completed", "Export", MessageIcon::Information) });
    const std::string written = read("out.ldif");
    EXPECT_EQ(written.substr(0, 62), "dn:ou=Ldif,dc=example,dc=com\nobjectClass:organizationalUnit\nou");
    EXPECT_NE(written.find("\naudio:\n"), std::string::npos);

    SlapdServer target(baseOnly());
    connectTo(target);
    importFile("out.ldif");
    EXPECT_EQ(desktop.boxes, Boxes { importResult("3 Entries Copied") });
    EXPECT_EQ(subtreeOf(target), subtreeOf(server()));
    EXPECT_NE(std::find(state.loadedDns.begin(), state.loadedDns.end(), "ou=Inner," + kSubtree), state.loadedDns.end());
}

TEST_F(LdifSlapdTest, OpenLdapToolsReadOurFilesAndWeReadTheirs)
{
    ExportLdif(context, kSubtree, "ours.ldif");
    // ldapsearch folds at 76 columns and writes base64 where it must.
    write("theirs.ldif",
        run("ldapsearch -x -LLL -H " + server().url() + kAdminBind + " -b '" + kSubtree + "' '(objectClass=*)'")
            .output);
    ASSERT_NE(read("theirs.ldif").find("\n "), std::string::npos) << "nothing folded";

    SlapdServer intoOurs(baseOnly());
    connectTo(intoOurs);
    importFile("theirs.ldif");
    EXPECT_EQ(desktop.boxes, Boxes { importResult("3 Entries Copied") });
    EXPECT_EQ(subtreeOf(intoOurs), subtreeOf(server()));

    SlapdServer intoLdapadd(baseOnly());
    Outcome added = run("ldapadd -x -H " + intoLdapadd.url() + kAdminBind + " -f ours.ldif");
    EXPECT_EQ(added.status, 0) << added.output;
    EXPECT_EQ(subtreeOf(intoLdapadd), subtreeOf(server()));
}

TEST_F(LdifSlapdTest, TheSummaryCountsAndTheLdifLogNamesEveryRejection)
{
    struct Case {
        const char* what;
        std::string file;
        Boxes boxes;
        std::string log; // without the summary's record
    };
    const std::vector<Case> cases {
        { "all added, the last without an empty line after it",
            "dn: ou=S1,dc=example,dc=com\nobjectClass: organizationalUnit\nou: S1\n\n"
            "dn:ou=S2,dc=example,dc=com\nobjectclass:organizationalUnit\nou:S2",
            { importResult("2 Entries Copied") }, "" },
        { "one added, one there already",
            "dn: ou=S3,dc=example,dc=com\nobjectClass: organizationalUnit\nou: S3\n\n"
            "dn: ou=People,dc=example,dc=com\nobjectClass: organizationalUnit\nou: People\n\n",
            { importResult("1 Entries Copied 1 Entries Rejected") }, logged("ou=People,dc=example,dc=com") },
        { "change records are refused at their line and nothing of them is sent",
            "version: 1\n\ndn: ou=People,dc=example,dc=com\nchangetype: delete\n\n"
            "dn: ou=S4,dc=example,dc=com\nchangetype: modify\nadd: description\ndescription: x\n-\n\n"
            "dn: ou=S5,dc=example,dc=com\nobjectClass: organizationalUnit\nou:< file:///etc/hostname\n",
            { errorBox("3 Entries Rejected") },
            logged("Line 4: the change type delete is not supported; the entry ou=People,dc=example,dc=com at "
                   "line 3 was not imported")
                + logged("Line 7: the change type modify is not supported; the entry ou=S4,dc=example,dc=com at "
                         "line 6 was not imported")
                + logged("Line 14: the value of ou is read from a URL, which is not supported; the entry "
                         "ou=S5,dc=example,dc=com at line 12 was not imported") },
        { "a file with no entry", "# nothing\n\n", { errorBox("Import Failed") }, "" },
    };
    for (const Case& c : cases) {
        std::filesystem::remove(kLdifLogName);
        write("in.ldif", c.file);
        importFile("in.ldif");
        EXPECT_EQ(desktop.boxes, c.boxes) << c.what;
        const std::string summary = c.boxes.front().text.substr(0, c.boxes.front().text.find(" \n"));
        EXPECT_EQ(read(kLdifLogName), c.log + logged(summary)) << c.what;
    }
    EXPECT_EQ(server().ldapsearchValues("ou=People," + kBase, "ou"), Strings { "People" });
}

TEST_F(LdifSlapdTest, InsufficientAccessStopsTheImportAtOnce)
{
    connectTo(server(), false);
    write("in.ldif",
        "dn: ou=N1,ou=Locked,dc=example,dc=com\nobjectClass: organizationalUnit\nou: N1\n\n"
        "dn: ou=N2,dc=example,dc=com\nobjectClass: organizationalUnit\nou: N2\n\n");
    importFile("in.ldif");
    EXPECT_EQ(
        desktop.boxes, Boxes { errorBox("Cannot Import Objects. Insufficient Access Rights", "Server Response") });
    EXPECT_EQ(read(kLdifLogName), logged("ou=N1,ou=Locked,dc=example,dc=com"));
    EXPECT_EQ(read(kGeneralLogName), logged(OrnLdapService::LdapErrorToString(50)));
    EXPECT_EQ(::search(server().url(), kBase, "(ou=N*)", "dn"), "");
}

TEST_F(LdifSlapdTest, AFailedExportLeavesTheOldFileAsItWas)
{
    write("old.ldif", "old\n");
    desktop = FakeDesktop {};
    ExportLdif(context, "ou=Missing," + kBase, "old.ldif");
    ExportLdif(context, kSubtree, "no/such/folder.ldif");
    EXPECT_EQ(desktop.boxes,
        (Boxes { errorBox(OrnLdapService::LdapErrorToString(32), "Server Response"), errorBox("File open Error") }));
    EXPECT_EQ(read("old.ldif"), "old\n");
    // A cancelled search is a failed export too.
    desktop.cancelWaitAt(1);
    server().freeze();
    ExportLdif(context, kSubtree, "old.ldif");
    server().thaw();
    EXPECT_EQ(read("old.ldif"), "old\n");
    Strings files;
    for (const auto& file : std::filesystem::directory_iterator(folder()))
        files.push_back(file.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (Strings { kGeneralLogName, "old.ldif" })) << "a part file was left";
}

TEST_F(LdifSlapdTest, TheDialogsAskForANameAndTheExportForASelection)
{
    std::string stored;
    ExportLdifDialog exportDialog(desktop, stored);
    exportDialog.ok();
    desktop.chooseFile(FileChoice { "/tmp/a", 0 });
    exportDialog.browse();
    EXPECT_EQ(exportDialog.fileName().text, "/tmp/a.ldif");
    desktop.chooseFile(FileChoice { "/tmp/b", 1 });
    exportDialog.browse();
    exportDialog.setFileName(exportDialog.fileName().text + "  ");
    exportDialog.ok();
    EXPECT_EQ(stored, "/tmp/b");

    ImportLdifDialog importDialog(context);
    importDialog.ok();
    importDialog.setFileName("missing.ldif");
    importDialog.ok();
    EXPECT_FALSE(importDialog.ended());
    desktop.chooseFile(FileChoice { "/tmp/c", 0 });
    importDialog.browse();
    EXPECT_EQ(importDialog.fileName().text, "/tmp/c");
    const std::string filters = " Ldif File(.Ldif)|*.Ldif All Files (*.*)|*.*";
    EXPECT_EQ(desktop.fileDialogs, (Strings { "save" + filters, "save" + filters, "open" + filters }));

    state.tree.clear();
    onDialog<ExportLdifDialog>(desktop, [](ExportLdifDialog& dialog) {
        dialog.setFileName("x.ldif");
        dialog.ok();
    });
    ExportLdifCommand(context);
    EXPECT_EQ(desktop.boxes,
        (Boxes { errorBox("Please specify the file name"), errorBox("Please specify the file name"),
            errorBox("File does not exist"), errorBox("Please select object or subtree to export") }));
    EXPECT_FALSE(std::filesystem::exists("x.ldif"));
}

} // namespace
