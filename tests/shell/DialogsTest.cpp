// The dialogs of the profile, page-size and log commands, worked through
// their widgets: what the user does reaches the model, and what the model
// holds is what the widgets show.
#include "tests/shell/ShellFixture.h"

#include "browser/logs/Clock.h"
#include "browser/logs/DeleteLogDialog.h"
#include "browser/logs/LogViewerDialog.h"
#include "browser/session/CertificateDialog.h"
#include "browser/session/NewProfileDialog.h"
#include "browser/session/ProfileManagerDialog.h"
#include "browser/session/Registry.h"
#include "browser/session/SetEntriesDialog.h"

#include "ldap/OrnTls.h"

#include <QCheckBox>
#include <QLabel>
#include <QTableWidget>

#include <ctime>

namespace {

using Dialogs = ShellTest;

std::string today()
{
    std::tm now = SystemClock().now();
    char date[16];
    std::strftime(date, sizeof date, "%m/%d/%y", &now);
    return date;
}

TEST_F(Dialogs, SetEntriesToViewChangesThePageSizeAsTypedAndStoresItOnOk)
{
    state().flags.viewNotConnected = false;
    frame->commands().refresh();
    onDialog(SetEntriesDialog::kResource, [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Set Entries to View");
        EXPECT_EQ(child<QLineEdit>(dialog, "entries").text(), "100");
        type(dialog, "entries", "25");
        EXPECT_EQ(state().pageSize, 25);
        press(dialog, "ok");
    });
    trigger(CommandId::SetEntriesToView);
    EXPECT_EQ(Registry().readEntries(), 25);
}

TEST_F(Dialogs, NewProfileSavesWhatWasTyped)
{
    onDialog(NewProfileDialog::kResource, [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "New Profile");
        EXPECT_FALSE(child<QLineEdit>(dialog, "userId").isEnabled()) << "anonymous binding is ticked";
        EXPECT_FALSE(child<QAbstractButton>(dialog, "fetchDns").isEnabled());
        type(dialog, "host", "ldap.example.com");
        EXPECT_TRUE(child<QAbstractButton>(dialog, "fetchDns").isEnabled());
        choose(dialog, "security", 1);
        EXPECT_EQ(child<QLineEdit>(dialog, "port").text(), "636");
        child<QComboBox>(dialog, "baseDn").setFocus();
        QTest::keyClicks(child<QComboBox>(dialog, "baseDn").lineEdit(), "o=x");
        type(dialog, "profileName", "main");
        press(dialog, "anonymous");
        ASSERT_TRUE(child<QLineEdit>(dialog, "userId").isEnabled());
        type(dialog, "userId", "jdoe");
        press(dialog, "saveProfile");
        EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open after a save";
    });
    trigger(CommandId::NewProfile);
    EXPECT_EQ(read("OrnIni.ini"), "main=ldaps://ldap.example.com;636;o=x;jdoe;\n");
    EXPECT_EQ(boxes.boxes.back().title, "Save Profile");
}

TEST_F(Dialogs, ProfileManagerEditsTheChosenUserDetail)
{
    write("OrnIni.ini", "main=h1;389;o=x;;\nmain=h2;389;o=x;bob;\nother=h3;10389;o=y;;\n");
    onDialog(ProfileManagerDialog::kResource, [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Profile Manager");
        EXPECT_EQ(child<QComboBox>(dialog, "profileNames").currentText(), "----- Please Click Your User Profile----");
        EXPECT_FALSE(child<QAbstractButton>(dialog, "edit").isEnabled());
        choose(dialog, "profileNames", 0);
        ASSERT_EQ(child<QComboBox>(dialog, "userDetails").count(), 2);
        choose(dialog, "userDetails", 1);
        ASSERT_TRUE(child<QAbstractButton>(dialog, "edit").isEnabled());
        EXPECT_FALSE(child<QLineEdit>(dialog, "host").isEnabled());
        press(dialog, "edit");
        EXPECT_EQ(child<QLineEdit>(dialog, "host").text(), "h2");
        EXPECT_EQ(child<QLineEdit>(dialog, "userId").text(), "bob");
        type(dialog, "host", "h9");
        press(dialog, "save");
        EXPECT_FALSE(dialog.isVisible());
    });
    trigger(CommandId::ProfileManager);
    EXPECT_EQ(read("OrnIni.ini"), "main=h1;389;o=x;;\nmain=h9;389;o=x;bob;\nother=h3;10389;o=y;;\n");
    EXPECT_EQ(boxes.boxes.back().text, "Your profile has been changed successfully...");
}

TEST_F(Dialogs, ServerCertificateShowsTheCertificateAndTakesTheAnswer)
{
    OrnTlsPeer peer;
    peer.subject = "CN=s";
    peer.issuer = "CN=ca";
    peer.notBefore = "Jan  1 00:00:00 2026 GMT";
    peer.notAfter = "Jan  1 00:00:00 2027 GMT";
    peer.fingerprint = "AB:CD";
    peer.reason = "certificate has expired";
    CertificateDialog model("h:636", peer, "");
    onDialog(CertificateDialog::kResource, [&](QDialog& dialog) {
        EXPECT_EQ(child<QLabel>(dialog, "warning").text(), "The certificate of h:636 cannot be verified: certificate has expired.");
        EXPECT_EQ(child<QLabel>(dialog, "issuer").text(), "CN=ca");
        EXPECT_EQ(child<QLabel>(dialog, "validity").text(), "Jan  1 00:00:00 2026 GMT to Jan  1 00:00:00 2027 GMT");
        EXPECT_EQ(child<QLabel>(dialog, "fingerprint").text(), "AB:CD");
        press(dialog, "trustAlways");
    });
    EXPECT_EQ(frame->desktop().runModal(model), DialogResult::Ok);
    EXPECT_EQ(model.trust(), CertificateDialog::Trust::Always);
}

TEST_F(Dialogs, LogViewerListsTheRecordsOfTheLog)
{
    write("Generror.err", today() + "$09:10:11$ServerIp h No Such Object\n" + today() + "$09:10:12$ServerIp h a$b\n");
    onDialog(LogViewerDialog::kResource, [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "General Log File");
        auto& list = child<QTableWidget>(dialog, "list");
        ASSERT_EQ(list.rowCount(), 2);
        EXPECT_EQ(list.item(1, 0)->text().toStdString(), today());
        EXPECT_EQ(list.item(1, 1)->text(), "09:10:12");
        EXPECT_EQ(list.item(1, 2)->text(), "ServerIp h a$b");
        EXPECT_EQ(list.horizontalHeaderItem(2)->text(), "Information");
        EXPECT_EQ(list.height(), dialog.height() - 100);
        press(dialog, "close");
    });
    trigger(CommandId::ViewGeneralLog);
}

TEST_F(Dialogs, DeleteLogByDateThroughTheLists)
{
    write("Ldiferror.err", "12/05/26$10:00:00$ServerIp h one\n12/06/26$10:00:00$ServerIp h two\n");
    onDialog(DeleteLogDialog::kResource, [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Delete LDIF Log");
        press(dialog, "deleteEntireLog");
        EXPECT_FALSE(child<QComboBox>(dialog, "month").isEnabled());
        press(dialog, "deleteEntireLog");
        ASSERT_TRUE(child<QComboBox>(dialog, "month").isEnabled());
        choose(dialog, "month", 11);
        choose(dialog, "day", 4);
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible()) << "no year chosen yet";
        choose(dialog, "year", 26);
        press(dialog, "ok");
    });
    trigger(CommandId::DeleteLdifLog);
    EXPECT_EQ(boxes.boxes.front().text, "Please Select a proper year");
    EXPECT_EQ(read("Ldiferror.err"), "12/06/26$10:00:00$ServerIp h two\n");
}

} // namespace
