// The command table as the window shows it: which actions are enabled and
// checked in each state of the view, and the menus, toolbar, context menus
// and keys the window builds from the table.
#include "browser/logs/LogViewerDialog.h"
#include "tests/shell/ShellFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <set>
#include <vector>

namespace {

using enum CommandId;
using Ids = std::set<CommandId>;

const Ids kAlways { NewProfile, ProfileManager, Exit, Toolbar, StatusBar, XmlRendering, ViewGeneralLog, ViewLdifLog,
    DeleteLdifLog, DeleteGeneralLog, HelpTopics, About };
const Ids kDirectory { Logout, EditAttribute, SetEntriesToView, CountEntries, RefreshTree, RootDseProperties,
    AddAttribute, DeleteAttribute, RefreshNode, CreateObject, AddUser, AddOrgUnit, SchemaManager, LdapSearch, ImportLdif,
    ExportLdif, DeleteObject };
// A leaf is selected and a bind made.
const Ids kLeaf { Cut, Copy, CopyObjectLink };

Ids joined(std::initializer_list<Ids> parts)
{
    Ids all;
    for (const Ids& part : parts)
        all.insert(part.begin(), part.end());
    return all;
}

std::vector<std::string> names(const Ids& ids)
{
    std::vector<std::string> out;
    for (CommandId id : ids)
        out.push_back(FindCommand(id).name);
    return out;
}

// A menu's entries as labels, "-" for a separator.
std::vector<std::string> shown(const QList<QAction*>& actions)
{
    std::vector<std::string> out;
    for (QAction* action : actions)
        out.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return out;
}
std::vector<std::string> expected(const std::vector<MenuEntry>& entries)
{
    std::vector<std::string> out;
    for (const MenuEntry& entry : entries)
        out.push_back(entry.separator ? "-" : EntryLabel(entry));
    return out;
}

class CommandTable : public ShellTest {
protected:
    Ids enabled()
    {
        frame->commands().refresh();
        Ids on;
        for (const Command& command : Commands())
            if (frame->commands().action(command.id)->isEnabled())
                on.insert(command.id);
        return on;
    }
    void connect(bool hasChildren, bool isLink, bool noMoreEntries)
    {
        state().flags.viewNotConnected = false;
        state().flags.loggedIn = true;
        state().selection.hasChildren = hasChildren;
        state().selection.isLink = isLink;
        state().paging.noMoreEntries = noMoreEntries;
    }
};

TEST_F(CommandTable, EnablingFollowsTheStateOfTheView)
{
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, { Login } }))) << "not connected";

    connect(true, false, false);
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory, { ShowNext } }))) << "container selected";

    connect(false, false, true);
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory, kLeaf }))) << "leaf selected: nothing to show next";

    connect(false, true, true);
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory, kLeaf, { ViewOriginalProperties } })))
        << "link selected";

    // Paste once something is cut or copied, Paste Object Link once a link is copied.
    state().selection.isLink = false;
    state().clipboard.cutPending = true;
    state().clipboard.linkCopied = true;
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory, kLeaf, { Paste, PasteObjectLink } })));
    state().clipboard = ClipboardState {};
    state().clipboard.copyPending = true;
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory, kLeaf, { Paste } })));

    // Without a bind nothing may be written; Delete says so itself.
    state().flags.loggedIn = false;
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory })));
}

TEST_F(CommandTable, XmlRenderingIsASwitchWithACheckMark)
{
    QAction* xml = frame->commands().action(XmlRendering);
    ASSERT_TRUE(xml->isCheckable());
    EXPECT_FALSE(xml->isChecked());
    trigger(XmlRendering);
    EXPECT_TRUE(state().xmlRendering);
    EXPECT_TRUE(xml->isChecked());
    trigger(XmlRendering);
    EXPECT_FALSE(state().xmlRendering);
    EXPECT_FALSE(xml->isChecked());
}

TEST_F(CommandTable, ToolbarAndStatusBarTogglesShowTheirState)
{
    for (CommandId id : { Toolbar, StatusBar }) {
        QAction* toggle = frame->commands().action(id);
        QWidget* bar
            = id == Toolbar ? static_cast<QWidget*>(&frame->toolBar()) : static_cast<QWidget*>(frame->statusBar());
        EXPECT_TRUE(toggle->isChecked());
        trigger(id);
        EXPECT_TRUE(bar->isHidden());
        EXPECT_FALSE(toggle->isChecked());
        trigger(id);
        EXPECT_FALSE(bar->isHidden());
        EXPECT_TRUE(toggle->isChecked());
    }
}

TEST_F(CommandTable, MenusAndToolbarFollowTheTable)
{
    const QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(MenuBar().size()));
    for (qsizetype i = 0; i < menus.size(); ++i) {
        const Menu& layout = MenuBar()[static_cast<std::size_t>(i)];
        EXPECT_EQ(menus[i]->text().toStdString(), layout.title);
        EXPECT_EQ(shown(menus[i]->menu()->actions()), expected(layout.entries)) << layout.title;
    }
    EXPECT_EQ(menus[0]->text(), "  &Connect");
    EXPECT_EQ(shown(menus[0]->menu()->actions()),
        (std::vector<std::string> {
            "&Login...\tF6", "Log&out\tF7", "-", "&New Profile...\t F8", "Profile &Manager...\t F9", "-", "E&xit " }));

    // The Object menu holds a pop-up built from the table.
    EXPECT_EQ(shown(menus[1]->menu()->actions()),
        (std::vector<std::string> { "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "-",
            "Co&py Object Link \tCtrl+R", "Pa&ste Object Link\t Ctrl+P", "-", "Edit Attribute\t F2" }));
    QMenu* object = menus[3]->menu();
    EXPECT_EQ(shown(object->actions()),
        (std::vector<std::string> { "Crea&te Object...\t Ctrl+T", "&Add\t", "Add Att&ribute...  \tShft+R",
            "&Delete Object\t Del", "Delete &Attribute" }));
    ASSERT_NE(object->actions()[1]->menu(), nullptr);
    EXPECT_EQ(shown(object->actions()[1]->menu()->actions()),
        (std::vector<std::string> { "&User\tCtrl+U", "&Organisation Unit\tCtrl+O" }));

    // The Tools menu stands between Object and XML Options.
    EXPECT_EQ(menus[4]->text(), "&Tools");
    EXPECT_EQ(shown(menus[4]->menu()->actions()),
        (std::vector<std::string> {
            "Schema &Manager...\tCtrl+M", "LDAP Search...\tCtrl+F", "-", "Import LDIF File...\tCtrl+I",
            "Export LDIF File...\tCtrl+E" }));
    EXPECT_EQ(menus[5]->text(), "XML Options");

    QToolBar& toolBar = frame->toolBar();
    EXPECT_EQ(shown(toolBar.actions()), expected(ToolbarLayout()));
    // The entry operations after the creation group, each group apart.
    const QList<QAction*> tools = toolBar.actions();
    const auto deleteObject = std::find(tools.begin(), tools.end(), frame->commands().action(DeleteObject));
    ASSERT_NE(deleteObject, tools.end());
    EXPECT_EQ(*(deleteObject - 2), frame->commands().action(AddOrgUnit));
    EXPECT_EQ(shown(QList<QAction*>(deleteObject - 1, deleteObject + 9)),
        (std::vector<std::string> { "-", "&Delete Object\t Del", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
            "&Paste\tCtrl+V", "-", "Co&py Object Link \tCtrl+R", "Pa&ste Object Link\t Ctrl+P", "-" }));
    // After Refresh Tree and Show Next.
    const auto showNext = std::find(tools.begin(), tools.end(), frame->commands().action(ShowNext));
    ASSERT_NE(showNext, tools.end());
    EXPECT_EQ(*(showNext - 1), frame->commands().action(RefreshTree));
    EXPECT_EQ(*(showNext + 1), frame->commands().action(SchemaManager));
    EXPECT_EQ(*(showNext + 2), frame->commands().action(LdapSearch));
    EXPECT_EQ(frame->commands().action(SchemaManager)->toolTip(), "Schema Manager");
    for (QAction* action : toolBar.actions()) {
        if (action->isSeparator())
            continue;
        EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
        EXPECT_EQ(toolBar.widgetForAction(action)->size(), QSize(27, 27)) << action->objectName().toStdString();
    }
    QAction* login = frame->commands().action(Login);
    EXPECT_EQ(login->statusTip(), "Login LDAP Server");
    EXPECT_EQ(login->toolTip(), "Login");
}

TEST_F(CommandTable, EveryKeyIsValidAndBelongsToOneCommand)
{
    std::map<QKeySequence, std::string> owners;
    for (const Command& command : Commands()) {
        for (const char* key : command.keys) {
            if (!key)
                continue;
            QKeySequence sequence = QKeySequence::fromString(QLatin1String(key), QKeySequence::PortableText);
            EXPECT_FALSE(sequence.isEmpty()) << command.name << ": " << key;
            EXPECT_TRUE(owners.emplace(sequence, command.name).second)
                << key << " belongs to " << owners[sequence] << " and " << command.name;
            if (command.keyScope == KeyScope::Window) {
                EXPECT_TRUE(frame->commands().action(command.id)->shortcuts().contains(sequence)) << key;
            }
        }
    }
    EXPECT_EQ(frame->commands().action(RefreshNode)->shortcuts(),
        (QList<QKeySequence> { QKeySequence(Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_F4) }));
    EXPECT_EQ(frame->commands().action(Cut)->shortcuts(),
        (QList<QKeySequence> { QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete) }));
    // Del is the tree's own: no window shortcut.
    EXPECT_TRUE(frame->commands().action(DeleteObject)->shortcuts().isEmpty());
}

TEST_F(CommandTable, KeysRunOnlyEnabledCommands)
{
    bool viewed = false;
    onDialog(LogViewerDialog::kResource, [&](QDialog& dialog) {
        viewed = true;
        press(dialog, "close");
    });
    QTest::keyClick(frame.get(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(viewed);

    // Logout would ask "Login to different LDAP Server?" and Refresh Tree search, were they run.
    QTest::keyClick(frame.get(), Qt::Key_F7);
    QTest::keyClick(frame.get(), Qt::Key_F5);
    settle();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(frame->windowTitle(), kStartTitle);
}

TEST_F(CommandTable, ContextMenusCarryTheirOwnLabelsAndTheRules)
{
    connect(true, false, false);
    std::unique_ptr<QMenu> tree(frame->commands().contextMenu(TreeContextMenu(), frame.get()));
    EXPECT_EQ(shown(tree->actions()),
        (std::vector<std::string> { "&Cut", "Copy", "Paste", "-", "Delete", "-", "Create XML &Template...", "-",
            "Copy Object Link ", "Paste Object Link", "&View Original Properties", "-", "Import LDIF File",
            "Export LDIF File", "-", "LDAP &Search", "-", "Refresh &Node	F4", "&Refresh  Tree	F5" }));
    // The tree's menu as the view's state enables it: a container, then a
    // leaf, then a leaf with a copy held.
    auto enabledItems = [this] {
        std::unique_ptr<QMenu> menu(frame->commands().contextMenu(TreeContextMenu(), frame.get()));
        std::vector<std::string> on;
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                on.push_back(action->text().toStdString());
        return on;
    };
    using Labels = std::vector<std::string>;
    const Labels always { "Import LDIF File", "Export LDIF File", "LDAP &Search", "Refresh &Node\tF4",
        "&Refresh  Tree\tF5" };
    auto with = [&always](Labels labels) {
        labels.insert(labels.end(), always.begin(), always.end());
        return labels;
    };
    EXPECT_EQ(enabledItems(), with({ "Delete" }));
    connect(false, false, true);
    EXPECT_EQ(enabledItems(), with({ "&Cut", "Copy", "Delete", "Copy Object Link " }));
    state().clipboard.copyPending = true;
    state().clipboard.linkCopied = true;
    EXPECT_EQ(enabledItems(), with({ "&Cut", "Copy", "Paste", "Delete", "Copy Object Link ", "Paste Object Link" }));

    std::unique_ptr<QMenu> list(frame->commands().contextMenu(AttributeContextMenu(), frame.get()));
    EXPECT_EQ(shown(list->actions()), (std::vector<std::string> { "Add Attribute...", "&Delete Attribute" }));
}

} // namespace
