// A session through the window against a real slapd: login through the
// Login dialog's widgets, the tree and the attribute list it fills, clicks
// and double-clicks in the tree, paging, an in-place edit, the attribute and
// root DSE dialogs, and the logout. Qt's model tester watches both panes'
// models throughout and aborts the test on any breach of the model contract.
#include "tests/shell/SessionFixture.h"

#include "browser/properties/AddAttributeDialog.h"
#include "browser/session/LoginDialog.h"
#include "browser/session/RootDseDialog.h"
#include "shell/DirectoryTreeModel.h"
#include "shell/ServerWaitView.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

namespace {

using enum CommandId;
using Box = FakeDesktop::Box;

class Session : public SessionFixture<Session> { };

TEST_F(Session, LoginShowsTheRootAndItsChildrenAndClicksBrowse)
{
    login("uid=alice,ou=People,dc=example,dc=com", "alice-pw");
    EXPECT_EQ(
        frame->windowTitle().toStdString(), "Velmora LDAP Browser: LDAP:\\\\127.0.0.1 :" + port() + ": Valid User");
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    EXPECT_FALSE(frame->commands().action(Login)->isEnabled());
    EXPECT_TRUE(frame->commands().action(Logout)->isEnabled());

    ASSERT_EQ(tree().model()->rowCount(), 1);
    const QModelIndex root = tree().model()->index(0, 0);
    EXPECT_EQ(root.data().toString(), SlapdServer::suffix());
    EXPECT_TRUE(tree().isExpanded(root));
    EXPECT_EQ(sortedLabels(root), (QStringList { "ou=Groups", "ou=People", "ou=Projects" }));

    const QModelIndex people = node(root, "ou=People");
    click(people);
    EXPECT_EQ(valueOf("description"), "Everyone who can log in");
    EXPECT_EQ(
        frame->statusPane().text().toStdString(), "Node Selected: ou=People," + std::string(SlapdServer::suffix()));

    // Two to a page: the double-click shows two, Show Next the third.
    frame->view().context().state.pageSize = 2;
    doubleClick(people);
    EXPECT_EQ(tree().model()->rowCount(people), 2);
    EXPECT_EQ(boxes.boxes.size(), 1u); // the first two will be displayed
    trigger(ShowNext);
    settle();
    EXPECT_EQ(sortedLabels(people), (QStringList { "uid=alice", "uid=bob", "uid=carol" }));
    EXPECT_TRUE(tree().isExpanded(people));
    // The three images tell the root, a container and an entry without children apart.
    doubleClick(node(people, "uid=bob"));
    const qint64 rootImage = qvariant_cast<QIcon>(root.data(Qt::DecorationRole)).cacheKey();
    const qint64 containerImage = qvariant_cast<QIcon>(people.data(Qt::DecorationRole)).cacheKey();
    const qint64 leafImage = qvariant_cast<QIcon>(node(people, "uid=bob").data(Qt::DecorationRole)).cacheKey();
    EXPECT_NE(rootImage, containerImage);
    EXPECT_NE(containerImage, leafImage);
    EXPECT_NE(rootImage, leafImage);
}

TEST_F(Session, ArrowsShowWhichNodesHaveChildrenBeforeTheyAreOpened)
{
    login("uid=alice,ou=People,dc=example,dc=com", "alice-pw");
    const QModelIndex people = node(tree().model()->index(0, 0), "ou=People");
    ASSERT_EQ(tree().model()->rowCount(people), 0);
    EXPECT_TRUE(tree().model()->hasChildren(people));

    // The arrow left of the node loads its children as a double-click does.
    const QRect row = tree().visualRect(people);
    QTest::mouseClick(
        tree().viewport(), Qt::LeftButton, {}, QPoint(row.left() - tree().indentation() / 2, row.center().y()));
    settle();
    EXPECT_EQ(sortedLabels(people), (QStringList { "uid=alice", "uid=bob", "uid=carol" }));
    EXPECT_TRUE(tree().isExpanded(people));
    EXPECT_EQ(tree().currentIndex(), people);

    const QModelIndex alice = node(people, "uid=alice");
    EXPECT_FALSE(tree().model()->hasChildren(alice));
    EXPECT_EQ(DirectoryTreeModel::nodeAt(alice)->image, NodeImage::Leaf);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
}

// While the server hangs, the window takes no input: a click on Logout made
// during the wait never runs. From half a second on the wait names what it
// waits for, and its Cancel ends the search at once and keeps the session.
TEST_F(Session, AWaitOnAHungServerTakesNoInputAndEndsOnCancel)
{
    login("uid=alice,ou=People,dc=example,dc=com", "alice-pw");
    const QModelIndex people = node(tree().model()->index(0, 0), "ou=People");
    click(people);
    // Past the five seconds a click's search serves the double-click that
    // follows, counted in the clock's whole seconds, so that the double-click
    // searches again.
    QTest::qWait(6500);
    auto* logout = frame->toolBar().widgetForAction(frame->commands().action(Logout));
    ASSERT_NE(logout, nullptr);

    bool clicked = false;
    QString shown;
    QTimer::singleShot(ServerWaitView::kShowAfterMs / 5, [&] {
        QTest::mouseClick(logout, Qt::LeftButton);
        clicked = true;
    });
    QTimer::singleShot(ServerWaitView::kShowAfterMs * 2, [&] {
        auto* wait = frame->findChild<QProgressDialog*>("serverWait");
        if (!wait)
            return;
        shown = wait->labelText();
        if (auto* cancel = wait->findChild<QPushButton*>())
            cancel->click();
    });
    server().freeze();
    QTest::mouseDClick(tree().viewport(), Qt::LeftButton, {}, tree().visualRect(people).center());
    settle();
    server().thaw();

    EXPECT_TRUE(clicked);
    EXPECT_EQ(shown.toStdString(), "Reading the entries below ou=People," + std::string(SlapdServer::suffix()));
    EXPECT_EQ(frame->statusPane().text().toStdString(), "The search was cancelled.");
    EXPECT_EQ(frame->findChild<QProgressDialog*>("serverWait"), nullptr);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
    EXPECT_TRUE(state().flags.loggedIn);
    EXPECT_EQ(tree().model()->rowCount(people), 0);

    doubleClick(people);
    EXPECT_EQ(sortedLabels(people), (QStringList { "uid=alice", "uid=bob", "uid=carol" }));
}

TEST_F(Session, AValueEditedInPlaceReachesTheServer)
{
    login("uid=alice,ou=People,dc=example,dc=com", "alice-pw");
    openAlice();
    int row = rowOf("telephoneNumber");
    ASSERT_GE(row, 0);
    selectRow(row);
    QTest::keyClick(&list(), Qt::Key_F2);
    settle();
    auto* editor = list().findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "+1 555 0101");
    editor->selectAll();
    QTest::keyClicks(editor, "+1 555 0199");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();

    // Shown again from the server.
    click(tree().model()->index(0, 0));
    click(node(node(tree().model()->index(0, 0), "ou=People"), "uid=alice"));
    EXPECT_EQ(valueOf("telephoneNumber"), "+1 555 0199");
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;

    // Edit Attribute opens the same editor; Escape sends nothing.
    selectRow(rowOf("mail"));
    trigger(EditAttribute);
    editor = list().findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "changed");
    QTest::keyClick(editor, Qt::Key_Escape);
    settle();
    EXPECT_EQ(valueOf("mail"), "alice@example.com");
}

TEST_F(Session, AddAttributeAndRootDseDialogsShowWhatTheServerHolds)
{
    login("uid=alice,ou=People,dc=example,dc=com", "alice-pw");
    openAlice();
    onDialog(AddAttributeDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Add Attribute to Object");
        EXPECT_FALSE(child<QAbstractButton>(dialog, "ok").isEnabled());
        auto& names = child<QComboBox>(dialog, "attributes");
        const int description = names.findText("description");
        ASSERT_GE(description, 0);
        choose(dialog, "attributes", description);
        EXPECT_TRUE(child<QAbstractButton>(dialog, "ok").isEnabled());
        EXPECT_FALSE(child<QLineEdit>(dialog, "syntax").text().isEmpty());
        type(dialog, "value", "Added through the dialog");
        press(dialog, "ok");
    });
    trigger(AddAttribute);
    EXPECT_EQ(valueOf("description"), "Added through the dialog");

    onDialog(RootDseDialog::kResource, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Root DSE Information");
        auto& rows = child<QTableWidget>(dialog, "list");
        QStringList naming;
        for (int row = 0; row < rows.rowCount(); ++row)
            if (rows.item(row, 0)->text() == "namingContexts")
                naming << rows.item(row, 1)->text();
        EXPECT_EQ(naming, QStringList { SlapdServer::suffix() });
        press(dialog, "close");
    });
    trigger(RootDseProperties);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
}

TEST_F(Session, LogoutEmptiesTheViewAndExitClosesTheWindow)
{
    login("", "");
    EXPECT_EQ(
        frame->windowTitle().toStdString(), "Velmora LDAP Browser: LDAP:\\\\127.0.0.1 :" + port() + ": Anonymous User");
    boxes.answer(MessageAnswer::No); // Login to different LDAP Server?
    boxes.answer(MessageAnswer::No); // Do you want to exit?
    trigger(Logout);
    EXPECT_EQ(frame->windowTitle(), "Velmora LDAP Browser      Not Connected");
    EXPECT_EQ(tree().model()->rowCount(), 0);
    EXPECT_EQ(list().model()->rowCount(), 0);
    EXPECT_TRUE(frame->commands().action(Login)->isEnabled());

    login("", "");
    boxes.answer(MessageAnswer::No);
    boxes.answer(MessageAnswer::Yes);
    trigger(Logout);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(boxes.boxes.back(),
        (Box { "Do you want to exit Velmora LDAP Browser ?", "Exit ", MessageIcon::None, MessageButtons::YesNo }));
}

} // namespace
