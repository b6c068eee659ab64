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
    AddAttribute, DeleteAttribute, RefreshNode, CreateObject, AddUser, AddOrgUnit, SchemaManager,
    ImportLdif, ExportLdif };

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
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory }))) << "leaf selected: nothing to show next";

    connect(false, true, true);
    EXPECT_EQ(names(enabled()), names(joined({ kAlways, kDirectory, { ViewOriginalProperties } }))) << "link selected";
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
    QMenu* object = menus[3]->menu();
    EXPECT_EQ(shown(object->actions()),
        (std::vector<std::string> { "Crea&te Object...\t Ctrl+T", "&Add\t", "Add Att&ribute...  \tShft+R",
            "Delete &Attribute" }));
    ASSERT_NE(object->actions()[1]->menu(), nullptr);
    EXPECT_EQ(shown(object->actions()[1]->menu()->actions()),
        (std::vector<std::string> { "&User\tCtrl+U", "&Organisation Unit\tCtrl+O" }));

    // The Tools menu stands between Object and XML Options.
    EXPECT_EQ(menus[4]->text(), "&Tools");
    EXPECT_EQ(shown(menus[4]->menu()->actions()),
        (std::vector<std::string> {
            "Schema &Manager...\tCtrl+M", "-", "Import LDIF File...\tCtrl+I", "Export LDIF File...\tCtrl+E" }));
    EXPECT_EQ(menus[5]->text(), "XML Options");

    QToolBar& toolBar = frame->toolBar();
    EXPECT_EQ(shown(toolBar.actions()), expected(ToolbarLayout()));
    // After Refresh Tree and Show Next.
    const QList<QAction*> tools = toolBar.actions();
    const auto showNext = std::find(tools.begin(), tools.end(), frame->commands().action(ShowNext));
    ASSERT_NE(showNext, tools.end());
    EXPECT_EQ(*(showNext - 1), frame->commands().action(RefreshTree));
    EXPECT_EQ(*(showNext + 1), frame->commands().action(SchemaManager));
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
    EXPECT_EQ(shown(tree->actions()), expected(TreeContextMenu()));
    EXPECT_EQ(tree->actions().last()->text(), "&Refresh  Tree\tF5");
    EXPECT_FALSE(tree->actions().first()->isEnabled()) << "no link selected";
    EXPECT_TRUE(tree->actions().last()->isEnabled());

    std::unique_ptr<QMenu> list(frame->commands().contextMenu(AttributeContextMenu(), frame.get()));
    EXPECT_EQ(shown(list->actions()), (std::vector<std::string> { "Add Attribute...", "&Delete Attribute" }));
}

} // namespace
