// The LDAP Search window worked through its widgets against slapd: opened
// from the tree's context menu below the selected entry, a condition
// composed, a typed filter, the found entry's value edited in place, Close.
#include "tests/shell/SessionFixture.h"

#include "tools/search/SearchDialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>

namespace {

using enum CommandId;

class SearchWindow : public SessionFixture<SearchWindow> {
protected:
    // Opens the window from the tree's menu with ou=People selected.
    QDialog& openBelowPeople()
    {
        login("uid=alice,ou=People,dc=example,dc=com", "alice-pw");
        click(node(tree().model()->index(0, 0), "ou=People"));
        onDialog(LdapSearchDialog::kResource, [this](QDialog& dialog) { window_ = &dialog; });
        std::unique_ptr<QMenu> menu(frame->commands().contextMenu(TreeContextMenu(), frame.get()));
        for (QAction* action : menu->actions())
            if (action->text() == "LDAP &Search")
                action->trigger();
        settle();
        if (!window_)
            throw std::runtime_error("no LDAP Search window");
        return *window_;
    }
    static QListWidget& results(QWidget& window) { return child<QListWidget>(window, "results"); }

    QPointer<QDialog> window_;
};

} // namespace

TEST_F(SearchWindow, AComposedSearchBelowTheSelectionAndAnEditOfWhatItFound)
{
    QDialog& window = openBelowPeople();
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(child<QComboBox>(window, "objectClass").currentText(), "*");
    EXPECT_EQ(child<QComboBox>(window, "filterType").currentText(), "All of the above keywords");
    QLineEdit& filter = child<QLineEdit>(window, "filter");
    EXPECT_EQ(filter.text(), "(objectclass=*)");

    choose(window, "name0", child<QComboBox>(window, "name0").findText("uid"));
    type(window, "value0", "a*");
    EXPECT_EQ(filter.text(), "(& (objectclass=*)(& (uid=a*)))");
    press(window, "search");
    settle();
    EXPECT_EQ(child<QLineEdit>(window, "baseDn").text(), "ou=People,dc=example,dc=com");
    ASSERT_EQ(results(window).count(), 1);
    EXPECT_EQ(results(window).item(0)->text(), "uid=alice");
    EXPECT_EQ(results(window).currentRow(), 0);

    // Name, value, syntax on the screen; the value edited with F2.
    auto& table = child<QTableView>(window, "attributes");
    EXPECT_EQ(table.model()->headerData(table.horizontalHeader()->logicalIndex(0), Qt::Horizontal).toString(),
        "Attribute Name");
    int mail = -1;
    for (int row = 0; row < table.model()->rowCount(); ++row)
        if (table.model()->index(row, 1).data().toString() == "mail")
            mail = row;
    ASSERT_GE(mail, 0);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(table.model()->index(mail, 1)).center());
    QTest::keyClick(&table, Qt::Key_F2);
    settle();
    auto* editor = table.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "alice@example.com");
    editor->selectAll();
    QTest::keyClicks(editor, "alice@search.example");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(server().ldapsearchValues("uid=alice,ou=People,dc=example,dc=com", "mail"),
        std::vector<std::string> { "alice@search.example" });
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;

    // A typed filter wins until the conditions change again.
    type(window, "filter", "(|(uid=bob)(uid=carol))");
    press(window, "search");
    settle();
    EXPECT_EQ(results(window).count(), 2);
    type(window, "value1", "x");
    EXPECT_EQ(filter.text(), "(& (objectclass=*)(& (uid=a*)))");

    press(window, "close");
    settle();
    EXPECT_TRUE(window_.isNull());
}
