// The command table of the main window: each command's menu label, keys,
// prompt, enabling rule and the core operation that carries it out, and the
// layouts of the menu bar, the toolbar and the two context menus. The shell
// builds its menus, toolbar and shortcuts from these tables and asks them
// what is enabled; it decides nothing itself. Commands of parts not built
// yet are absent, and so are their places in the layouts.
#pragma once

#include <array>
#include <string>
#include <vector>

struct AppContext;
struct ViewState;

enum class CommandId {
    Login,
    Logout,
    NewProfile,
    ProfileManager,
    Exit,
    Cut,
    Copy,
    Paste,
    CopyObjectLink,
    PasteObjectLink,
    EditAttribute,
    Toolbar,
    StatusBar,
    SetEntriesToView,
    CountEntries,
    RefreshTree,
    RootDseProperties,
    CreateObject,
    AddUser,
    AddOrgUnit,
    AddAttribute,
    DeleteObject,
    DeleteAttribute,
    XmlRendering,
    CreateXmlTemplate,
    ModifyXmlTemplate,
    ViewGeneralLog,
    ViewLdifLog,
    DeleteLdifLog,
    DeleteGeneralLog,
    HelpTopics,
    About,
    ShowNext,
    RefreshNode,
    ViewOriginalProperties,
    SchemaManager,
    LdapSearch,
    ImportLdif,
    ExportLdif,
};

// What the shell does once a core operation has returned.
enum class CommandOutcome {
    Done,
    CloseWindow, // the user chose to leave the program
    EditValue, // open the in-place editor on the selected attribute row
};

// Where a command's keys work: anywhere in the window; only in the
// attribute list, whose own keys they are there: they start its in-place
// editor, an edit the core judges by how it was asked for (EditTrigger); or
// only in the tree (Del deletes the selected entry there, and nowhere else).
enum class KeyScope { Window, AttributeList, Tree };

inline constexpr const char* kAboutText = "Velmora LDAP Browser Version 2.0";

struct Command {
    CommandId id;
    const char* name; // a stable short name: widget names, toolbar image names
    const char* label; // the menu text; after a tab, the keys as the menu shows them
    std::array<const char*, 2> keys; // portable key names ("Ctrl+Shift+G"); null when fewer
    KeyScope keyScope;
    const char* prompt; // the status-bar text, then after "\n" the tool tip; null: none
    bool (*enabled)(const ViewState&);
    bool (*checked)(const ViewState&); // null: no check mark kept by the core
    CommandOutcome (*run)(AppContext&); // null: the shell carries it out (toolbar and
                                        // status-bar toggles, Exit, About)
};

struct MenuEntry {
    bool separator = false;
    CommandId id = CommandId::Login;
    const char* label = nullptr; // a context menu's own label, else the command's
    // A pop-up menu: label is its title and these are its entries; id is unused.
    const std::vector<MenuEntry>* popup = nullptr;
};

struct Menu {
    const char* title;
    std::vector<MenuEntry> entries;
};

const std::vector<Command>& Commands();
const Command& FindCommand(CommandId id);

const std::vector<Menu>& MenuBar();
const std::vector<MenuEntry>& ToolbarLayout();
const std::vector<MenuEntry>& TreeContextMenu();
const std::vector<MenuEntry>& AttributeContextMenu();
// The attribute list offers its menu only while a tree is shown.
bool AttributeContextMenuAvailable(const ViewState& state);

// The two halves of the prompt; empty when there is none.
std::string StatusPrompt(const Command& command);
std::string ToolTip(const Command& command);
// The entry's own label, else its command's.
const char* EntryLabel(const MenuEntry& entry);

// Runs the command's core operation if it is enabled now; a key pressed
// while the command is disabled does nothing.
CommandOutcome RunCommand(AppContext& context, CommandId id);
