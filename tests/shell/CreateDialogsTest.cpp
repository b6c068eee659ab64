// The object-creation dialogs worked through their widgets: the class list
// with type-ahead, the in-place value editor of Mandatory Attributes, and
// the name fields of Add User and Add Organisation Unit.
#include "tests/shell/ShellFixture.h"

#include "browser/CommandReports.h"
#include "tools/create/AddOrgUnitDialog.h"
#include "tools/create/AddUserDialog.h"
#include "tools/create/CreateObjectDialog.h"
#include "tools/create/MandatoryAttributesDialog.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTableWidget>

namespace {

class CreateDialogs : public ShellTest {
protected:
    // Logged in with the root selected; nothing is connected, so an add
    // finds the connection gone.
    void selectRoot(const std::string& subschemaDn = "")
    {
        state().flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
        state().connection.baseDn = "dc=example,dc=com";
        state().subschemaDn = subschemaDn;
        state().tree.select(state().tree.setRoot("dc=example,dc=com", NodeImage::Root));
        frame->commands().refresh();
    }
};

TEST_F(CreateDialogs, CreateObjectTypeAheadAndTheValuesEditedInPlace)
{
    selectRoot("CN=Aggregate,CN=Schema,CN=Configuration,DC=example,DC=com");
    onDialog(CreateObjectDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Create Object");
        auto& classes = child<QListWidget>(dialog, "classes");
        ASSERT_EQ(classes.count(), 5);
        EXPECT_EQ(classes.item(0)->text(), "computer");
        classes.setFocus();
        QTest::keyClicks(&classes, "us");
        EXPECT_EQ(classes.currentItem()->text(), "user");
        press(dialog, "create");
    });
    onDialog(MandatoryAttributesDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(child<QLabel>(dialog, "caption").text(), "Mandatory Attributes for user");
        EXPECT_EQ(child<QLabel>(dialog, "text").text(), "Please fill in all the attributes shown below");
        auto& list = child<QTableWidget>(dialog, "list");
        EXPECT_EQ(list.horizontalHeaderItem(0)->text(), "Attribute Name");
        EXPECT_EQ(list.columnWidth(0), 125);
        EXPECT_EQ(list.horizontalHeaderItem(1)->text(), "Attribute Value");
        ASSERT_EQ(list.rowCount(), 2);
        EXPECT_EQ(list.item(1, 0)->text(), "SamAccountName");
        EXPECT_EQ(list.item(1, 1)->text(), "( No Value )");

        // F2 on the value, typed, Enter: the model trims it.
        list.setFocus();
        list.setCurrentCell(1, 1);
        QTest::keyClick(&list, Qt::Key_F2);
        auto* editor = list.findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << "F2 opens the editor";
        QTest::keyClicks(editor, "  jdoe ");
        QTest::keyClick(editor, Qt::Key_Return);
        settle(); // the editor commits after the key
        EXPECT_EQ(list.item(1, 1)->text(), "jdoe");
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible()) << "cn is still without a value";
    });
    trigger(CommandId::CreateObject);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes.front().text, "Invalid Data Filled...Please Fill all the Details");
}

TEST_F(CreateDialogs, AddUserAndAddOrgUnitHandTheirFieldsToTheModel)
{
    selectRoot();
    onDialog(AddUserDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Add User ");
        type(dialog, "lastName", "Doe");
        press(dialog, "ok");
        ASSERT_TRUE(dialog.isVisible());
        type(dialog, "firstName", "Jane");
        press(dialog, "ok"); // reaches the server, which is not there
    });
    trigger(CommandId::AddUser);
    onDialog(AddOrgUnitDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Add Organisation Unit");
        press(dialog, "ok");
        ASSERT_TRUE(dialog.isVisible());
    });
    selectRoot();
    trigger(CommandId::AddOrgUnit);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, "Invalid Data. Please fill in data");
    EXPECT_EQ(boxes.boxes[1].text, kConnectionTimedOutAgain);
    EXPECT_EQ(boxes.boxes[2].text, "Invalid Data.Please fill in data");
}

} // namespace
