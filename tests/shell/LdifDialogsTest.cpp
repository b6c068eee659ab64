// The two LDIF dialogs worked through their widgets: Browse through the file
// dialog, the name typed, OK; the import's status line follows its entries.
#include "tests/shell/ShellFixture.h"

#include "tools/ldif/LdifDialogs.h"

#include <QLabel>

namespace {

class LdifDialogs : public ShellTest {
protected:
    LdifDialogs()
    {
        frame->desktop().setFileDialogSeam([this](bool save, const FileDialogRequest& request) {
            fileDialogs.push_back((save ? "save " : "open ") + request.filters.front().second);
            return std::optional<FileChoice>(FileChoice { "chosen", save ? 0 : 1 });
        });
        state().flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
        state().connection.baseDn = "dc=example,dc=com";
        state().tree.select(state().tree.setRoot("dc=example,dc=com", NodeImage::Root));
        frame->commands().refresh();
    }

    std::vector<std::string> fileDialogs;
    std::string statusAtSummary;
};

TEST_F(LdifDialogs, ExportTakesTheBrowsedNameWithItsEnding)
{
    onDialog(ExportLdifDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Export LDIF File");
        press(dialog, "browse");
        EXPECT_EQ(child<QLineEdit>(dialog, "fileName").text(), "chosen.ldif");
        type(dialog, "fileName", "  ");
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible());
        type(dialog, "fileName", "out.ldif");
        press(dialog, "ok");
    });
    // Nothing is connected, so the search finds the connection gone.
    trigger(CommandId::ExportLdif);
    EXPECT_EQ(fileDialogs, std::vector<std::string> { "save *.Ldif" });
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "Please specify the file name");
    EXPECT_EQ(boxes.boxes[1].text, "Please Login. Connection timed out");
    EXPECT_EQ(read("out.ldif"), "");
}

TEST_F(LdifDialogs, ImportShowsEachEntryInItsStatusLine)
{
    write("in.ldif", "dn: cn=a,dc=example,dc=com\nchangetype: delete\n\n");
    onDialog(ImportLdifDialog::kResource, [this](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Import LDIF File");
        press(dialog, "browse");
        EXPECT_EQ(child<QLineEdit>(dialog, "fileName").text(), "chosen");
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible()) << "no file named chosen";
        type(dialog, "fileName", "in.ldif");
        auto& status = child<QLabel>(dialog, "status");
        frame->desktop().setMessageBoxSeam([this, &status](const MessageBoxRequest& box) {
            statusAtSummary = status.text().toStdString();
            return boxes.messageBox(box);
        });
        press(dialog, "ok");
    });
    trigger(CommandId::ImportLdif);
    EXPECT_EQ(fileDialogs, std::vector<std::string> { "open *.Ldif" });
    EXPECT_EQ(statusAtSummary, "dn: cn=a,dc=example,dc=com");
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "File does not exist");
    EXPECT_EQ(boxes.boxes[1].text, "1 Entries Rejected");
}

} // namespace
