// The Schema Manager window and its dialogs worked through their widgets
// against slapd's schema: type-ahead in the long lists, the details, the
// list moves of Add New Object Class, the syntax choice of Add New
// Attribute, and the modeless window raised again by its command.
#include "tests/shell/ShellFixture.h"

#include "browser/session/LoginBind.h"
#include "tests/support/SuiteServer.h"
#include "tools/schema/AddAttributeTypeDialog.h"
#include "tools/schema/AddObjectClassDialog.h"
#include "tools/schema/SchemaDetailsDialogs.h"
#include "tools/schema/SchemaManagerDialog.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

using enum CommandId;

class SchemaDialogs : public ShellTest {
protected:
    static void SetUpTestSuite() { server_.start({}); }
    static void TearDownTestSuite() { server_.stop(); }
    void SetUp() override
    {
        ASSERT_TRUE(server_.started());
        AppContext& context = frame->view().context();
        context.service.OrnSetLdapVersion(3);
        context.service.OrnSetHostName("127.0.0.1");
        context.service.OrnSetPortNo(server_->port());
        ASSERT_EQ(context.service.OrnInitialise(), 0);
        ASSERT_EQ(context.service.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), kSimpleBind), 0);
        state().connection.host = "127.0.0.1";
        state().subschemaDn = "cn=Subschema";
        state().flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
        frame->commands().refresh();
    }

    // Opens the window through its command and keeps it.
    QDialog& openManager()
    {
        onDialog(SchemaManagerDialog::kResource, [this](QDialog& dialog) { manager_ = &dialog; });
        trigger(SchemaManager);
        settle();
        if (!manager_)
            throw std::runtime_error("no Schema Manager window");
        return *manager_;
    }

    static QListWidget& list(QWidget& dialog, const char* name) { return child<QListWidget>(dialog, name); }
    static int row(QListWidget& list, const QString& text)
    {
        const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? -1 : list.row(found.front());
    }
    static void pick(QListWidget& list, const QString& text) { list.setCurrentRow(row(list, text)); }

    static inline SuiteSlapd server_;
    QPointer<QDialog> manager_;
};

TEST_F(SchemaDialogs, TheWindowListsTheSchemaAndIsRaisedAgainByItsCommand)
{
    QDialog& window = openManager();
    EXPECT_EQ(window.windowTitle(), "Schema Manager");
    EXPECT_FALSE(window.isModal());
    QListWidget& classes = list(window, "classes");
    QListWidget& attributes = list(window, "attributes");
    EXPECT_GT(attributes.count(), 100);
    EXPECT_EQ(classes.currentRow(), 0);

    // Type-ahead picks a name; choosing in one list clears the other.
    attributes.setFocus();
    QTest::keyClicks(&attributes, "OrnAttr");
    EXPECT_EQ(attributes.currentItem()->text(), "OrnAttrObjectLink");
    EXPECT_EQ(state().selectedAttributeName, "OrnAttrObjectLink");
    EXPECT_EQ(classes.currentRow(), -1);
    classes.setFocus();
    QTest::keyClicks(&classes, "inetOrgP");
    EXPECT_EQ(state().selectedClassName, "inetOrgPerson");
    EXPECT_EQ(attributes.currentRow(), -1);

    onDialog(ClassDetailsDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "oid").text(), "2.16.840.1.113730.3.2.2");
        EXPECT_EQ(
            child<QPlainTextEdit>(dialog, "description").toPlainText(), "RFC2798: Internet Organizational Person");
        EXPECT_EQ(list(dialog, "superiors").item(0)->text(), "organizationalPerson");
        EXPECT_GT(list(dialog, "optional").count(), 20);
    });
    press(window, "classDetails");
    onDialog(AttributeDetailsDialog::kResource, [](QDialog& dialog) {
        // The whole syntax reads without resizing.
        QLineEdit& syntax = child<QLineEdit>(dialog, "syntax");
        EXPECT_EQ(syntax.text(), "1.3.6.1.4.1.1466.115.121.1.12 )");
        EXPECT_GE(syntax.width(), syntax.fontMetrics().horizontalAdvance(syntax.text()));
    });
    pick(attributes, "OrnAttrObjectLink");
    press(window, "attributeDetails");

    // Shown again: the same window, raised, not a second one.
    trigger(SchemaManager);
    settle();
    ASSERT_TRUE(manager_);
    EXPECT_EQ(manager_.data(), &window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(frame->findChildren<QDialog*>(QString::fromLatin1(SchemaManagerDialog::kResource)).size(), 1);

    press(window, "close");
    settle();
    EXPECT_TRUE(manager_.isNull());
    EXPECT_TRUE(state().objectClasses.empty());
}

TEST_F(SchemaDialogs, AddNewObjectClassMovesNamesBetweenItsLists)
{
    QDialog& window = openManager();
    onDialog(AddObjectClassDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(child<QComboBox>(dialog, "parent").currentText(), "top");
        QListWidget& available = list(dialog, "available");
        QListWidget& mandatory = list(dialog, "mandatory");
        QListWidget& optional = list(dialog, "optional");
        EXPECT_EQ(mandatory.item(0)->text(), "objectclass");
        EXPECT_EQ(optional.item(0)->text(), "aci");
        const int before = available.count();

        pick(available, "OrnAttrObjectLink");
        press(dialog, "addMandatory");
        pick(available, "description");
        press(dialog, "addOptional");
        EXPECT_EQ(available.count(), before - 2);
        EXPECT_EQ(row(available, "description"), -1);
        EXPECT_EQ(mandatory.item(1)->text(), "OrnAttrObjectLink");
        EXPECT_EQ(optional.item(1)->text(), "description");
        // Back to the available list, in its sorted place.
        pick(mandatory, "OrnAttrObjectLink");
        press(dialog, "removeMandatory");
        EXPECT_EQ(mandatory.count(), 1);
        EXPECT_GE(row(available, "OrnAttrObjectLink"), 0);
        EXPECT_EQ(available.count(), before - 1);
        // Nothing chosen: nothing moves.
        press(dialog, "removeOptional");
        press(dialog, "addMandatory");
        EXPECT_EQ(optional.count(), 2);

        // A parent brings its own lists.
        choose(dialog, "parent", child<QComboBox>(dialog, "parent").findText("person"));
        EXPECT_EQ(mandatory.count(), 2);
        EXPECT_EQ(mandatory.item(0)->text(), "sn");

        type(dialog, "oid", "1.2.3");
        type(dialog, "name", "myClass");
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible()) << "slapd refuses; the dialog stays";
    });
    press(window, "addNewClass");
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_EQ(boxes.boxes.back().title, "Server Response");
}

TEST_F(SchemaDialogs, AddNewAttributeOffersSixSyntaxesTheFirstChosen)
{
    QDialog& window = openManager();
    onDialog(AddAttributeTypeDialog::kResource, [](QDialog& dialog) {
        QComboBox& syntax = child<QComboBox>(dialog, "syntax");
        EXPECT_EQ(syntax.count(), 6);
        EXPECT_EQ(syntax.currentText(), "cis (case-ignore string) ");
        EXPECT_EQ(child<QLineEdit>(dialog, "description").text(), "User Defined Attrbute");
        type(dialog, "name", "myAttr");
        choose(dialog, "syntax", 5);
        // Each change is redrawn from the model: what it kept is shown.
        EXPECT_EQ(syntax.currentText(), "dn (distinguished name) ");
        EXPECT_EQ(child<QLineEdit>(dialog, "name").text(), "myAttr");
        press(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible());
    });
    press(window, "addNewAttribute");
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_EQ(boxes.boxes.back().title, "Server Response");
}

} // namespace
