#include "browser/CommandTable.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/HelpCommand.h"
#include "browser/ViewState.h"
#include "browser/logs/LogCommands.h"
#include "browser/properties/AttributeEditing.h"
#include "browser/properties/EntryProperties.h"
#include "browser/session/LoginCommand.h"
#include "browser/session/Logout.h"
#include "browser/session/ProfileFile.h"
#include "browser/session/ProfileManagerDialog.h"
#include "browser/session/RootDseDialog.h"
#include "browser/session/SetEntriesDialog.h"
#include "browser/tree/TreeCommands.h"
#include "templates/TemplateCommands.h"
#include "tools/create/CreateCommands.h"
#include "tools/entries/EntryCommands.h"
#include "tools/ldif/LdifCommands.h"
#include "tools/schema/SchemaManagerDialog.h"
#include "tools/search/SearchDialog.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool always(const ViewState&)
{
    return true;
}
bool notConnected(const ViewState& state)
{
    return state.flags.viewNotConnected;
}
bool connected(const ViewState& state)
{
    return !state.flags.viewNotConnected;
}
bool writable(const ViewState& state)
{
    return connected(state) && state.flags.loggedIn;
}
// Cut, Copy and Copy Object Link take leaf entries only.
bool leafSelected(const ViewState& state)
{
    return writable(state) && !state.selection.hasChildren;
}
bool pastePending(const ViewState& state)
{
    return writable(state) && (state.clipboard.cutPending || state.clipboard.copyPending);
}
bool linkCopied(const ViewState& state)
{
    return writable(state) && state.clipboard.linkCopied;
}
bool moreEntries(const ViewState& state)
{
    return connected(state) && !state.paging.noMoreEntries;
}
bool selectionIsLink(const ViewState& state)
{
    return state.selection.isLink;
}
bool xmlRendering(const ViewState& state)
{
    return state.xmlRendering;
}
// A template is made of the entry the attribute list shows.
bool entryToTemplate(const ViewState& state)
{
    return state.xmlRendering && !state.attributes.rows().empty();
}

// Adapts a core operation that has nothing to tell the shell.
template <void (*Operation)(AppContext&)> CommandOutcome done(AppContext& context)
{
    Operation(context);
    return CommandOutcome::Done;
}
template <void (*Operation)(AppContext&, LogMode), LogMode Log> CommandOutcome onLog(AppContext& context)
{
    Operation(context, Log);
    return CommandOutcome::Done;
}

CommandOutcome logout(AppContext& context)
{
    return Logout(context) == LogoutResult::ExitProgram ? CommandOutcome::CloseWindow : CommandOutcome::Done;
}

CommandOutcome profileManager(AppContext& context)
{
    // A missing file has been reported by now; the dialog still opens, empty.
    LoadProfiles(context.desktop, context.state);
    ProfileManagerDialog dialog(context.desktop, context.state);
    context.desktop.runModal(dialog);
    return CommandOutcome::Done;
}

CommandOutcome setEntriesToView(AppContext& context)
{
    SetEntriesDialog dialog(context.desktop, context.state, context.registry);
    context.desktop.runModal(dialog);
    return CommandOutcome::Done;
}

CommandOutcome editAttribute(AppContext& context)
{
    return CanStartValueEdit(context, EditTrigger::Command) ? CommandOutcome::EditValue : CommandOutcome::Done;
}

CommandOutcome flipXmlRendering(AppContext& context)
{
    context.state.xmlRendering = !context.state.xmlRendering;
    return CommandOutcome::Done;
}

using enum CommandId;
constexpr KeyScope kWindow = KeyScope::Window;

const std::vector<Command> kCommands {
    { Login, "login", "&Login...\tF6", { "F6" }, kWindow, "Login LDAP Server\nLogin", notConnected, nullptr,
        done<LoginCommand> },
    { Logout, "logout", "Log&out\tF7", { "F7" }, kWindow, "Logout LDAP Server\nLogout", connected, nullptr, logout },
    { NewProfile, "new-profile", "&New Profile...\t F8", { "F8" }, kWindow, "Create New Profile\nCreate New Profile",
        always, nullptr, done<NewProfileCommand> },
    { ProfileManager, "profile-manager", "Profile &Manager...\t F9", { "F9" }, kWindow,
        "Edit the existing Profile\nEdit Profile", always, nullptr, profileManager },
    { Exit, "exit", "E&xit ", {}, kWindow, "Quit the application\nExit", always, nullptr, nullptr },
    { Cut, "cut", "Cu&t\tCtrl+X", { "Ctrl+X", "Shift+Del" }, kWindow, "Cut the selection \nCut", leafSelected, nullptr,
        done<CutCommand> },
    { Copy, "copy", "&Copy\tCtrl+C", { "Ctrl+C", "Ctrl+Ins" }, kWindow, "Copy the selection \nCopy", leafSelected,
        nullptr, done<CopyCommand> },
    { Paste, "paste", "&Paste\tCtrl+V", { "Ctrl+V", "Shift+Ins" }, kWindow, "Paste The cut/copy Selection \nPaste",
        pastePending, nullptr, done<PasteCommand> },
    { CopyObjectLink, "copy-object-link", "Co&py Object Link \tCtrl+R", { "Ctrl+R" }, kWindow,
        "Copy Link of the selected object \nCopy Object Link", leafSelected, nullptr, done<CopyObjectLinkCommand> },
    { PasteObjectLink, "paste-object-link", "Pa&ste Object Link\t Ctrl+P", { "Ctrl+P" }, kWindow,
        "Paste Link \nPaste Object Link", linkCopied, nullptr, done<PasteObjectLinkCommand> },
    { EditAttribute, "edit-attribute", "Edit Attribute\t F2", { "F2" }, KeyScope::AttributeList, "Edit Attribute",
        connected, nullptr, editAttribute },
    { Toolbar, "toolbar", "&Toolbar", {}, kWindow, "Show or hide the toolbar\nToggle ToolBar", always, nullptr,
        nullptr },
    { StatusBar, "status-bar", "&Status Bar", {}, kWindow, "Show or hide the status bar\nToggle StatusBar", always,
        nullptr, nullptr },
    { SetEntriesToView, "set-entries", "Set Entries to &View...", {}, kWindow,
        "Set the number of entries to view at a time\nSet Entries to View", connected, nullptr, setEntriesToView },
    { CountEntries, "count-entries", "&Count No of Entries", {}, kWindow,
        "Count No of Entries From a Specific Subtree\nNo of Entries", connected, nullptr, done<::CountEntries> },
    { RefreshTree, "refresh-tree", "&Refresh Tree\tF5", { "F5" }, kWindow, "Refresh the data on screen \nRefresh",
        connected, nullptr, done<::RefreshTree> },
    { RootDseProperties, "root-dse", "Root &DSE Properties", {}, kWindow, "View Root DSE \nRoot DSE", connected,
        nullptr, done<::RootDseProperties> },
    { CreateObject, "create-object", "Crea&te Object...\t Ctrl+T", { "Ctrl+T" }, kWindow,
        "Create New Object\nCreate Object", connected, nullptr, done<CreateObjectCommand> },
    { AddUser, "add-user", "&User\tCtrl+U", { "Ctrl+U" }, kWindow, "Add New User\nAdd User", connected, nullptr,
        done<AddUserCommand> },
    { AddOrgUnit, "add-org-unit", "&Organisation Unit\tCtrl+O", { "Ctrl+O" }, kWindow,
        "Add Organisation Unit\n Add OU", connected, nullptr, done<AddOrgUnitCommand> },
    { AddAttribute, "add-attribute", "Add Att&ribute...  \tShft+R", { "Shift+R" }, kWindow, "Add Attribute to Object",
        connected, nullptr, done<AddAttributeCommand> },
    { DeleteObject, "delete-object", "&Delete Object\t Del", { "Del" }, KeyScope::Tree, "Delete Selection\nDelete",
        connected, nullptr, done<DeleteObjectCommand> },
    { DeleteAttribute, "delete-attribute", "Delete &Attribute", {}, kWindow, nullptr, connected, nullptr,
        done<DeleteAttributeCommand> },
    { XmlRendering, "xml-rendering", "Xml Rendering", {}, kWindow, nullptr, always, xmlRendering, flipXmlRendering },
    { CreateXmlTemplate, "create-xml-template", "Create XML Template...", {}, kWindow,
        "Create XML Template of selected object\n Create Template", entryToTemplate, nullptr,
        done<CreateXmlTemplateCommand> },
    { ModifyXmlTemplate, "modify-xml-template", "Modify XML Template...", {}, kWindow,
        "Modify XML Template\n Modify Template", xmlRendering, nullptr, done<ModifyXmlTemplateCommand> },
    { ViewGeneralLog, "view-general-log", "View &General Log\tCtrl+Shift+G", { "Ctrl+Shift+G" }, kWindow,
        "View general log file \nView General Log", always, nullptr, onLog<ViewLog, LogMode::General> },
    { ViewLdifLog, "view-ldif-log", "View &LDIF Log \tCtrl+Shift+F", { "Ctrl+Shift+F" }, kWindow,
        "View LDIF log file \nView LDIF Log", always, nullptr, onLog<ViewLog, LogMode::Ldif> },
    { DeleteLdifLog, "delete-ldif-log", "Delete LDI&F Log\tCtrl+Shift+D", { "Ctrl+Shift+D" }, kWindow,
        "Delete LDIF Log\n Delete the entire LDIF Log Info", always, nullptr, onLog<DeleteLog, LogMode::Ldif> },
    { DeleteGeneralLog, "delete-general-log", "Delete General L&og\tCtrl+Shift+L", { "Ctrl+Shift+L" }, kWindow,
        "Delete General Log\nDelete Log Info", always, nullptr, onLog<DeleteLog, LogMode::General> },
    { HelpTopics, "help-topics", "Help &Topics", {}, kWindow, nullptr, always, nullptr, done<::HelpTopics> },
    { About, "about", "&About Velmora LDAP Browser", {}, kWindow, "Velmora LDAP Browser Version 2.0\nAbout", always,
        nullptr, nullptr },
    { ShowNext, "show-next", "Show Next", {}, kWindow,
        "Show the next set of entries as entered in Set Entries to View \nShow Next ", moreEntries, nullptr,
        done<::ShowNext> },
    { RefreshNode, "refresh-node", "Refresh &Node\tF4", { "F4", "Ctrl+F4" }, kWindow,
        "Refresh the selected node \nRefresh Node", connected, nullptr, done<::RefreshNode> },
    { ViewOriginalProperties, "view-original-properties", "&View Original Properties", {}, kWindow,
        "View original properties ", selectionIsLink, nullptr, done<::ViewOriginalProperties> },
    { SchemaManager, "schema-manager", "Schema &Manager...\tCtrl+M", { "Ctrl+M" }, kWindow,
        "View Schema Mananger\nSchema Manager", connected, nullptr, done<SchemaManagerCommand> },
    { LdapSearch, "ldap-search", "LDAP Search...\tCtrl+F", { "Ctrl+F" }, kWindow, "LDAP Search\nLDAP Search",
        connected, nullptr, done<LdapSearchCommand> },
    { ImportLdif, "import-ldif", "Import LDIF File...\tCtrl+I", { "Ctrl+I" }, kWindow,
        "Import LDIF File from selected path \nImport LDIF", connected, nullptr, done<ImportLdifCommand> },
    { ExportLdif, "export-ldif", "Export LDIF File...\tCtrl+E", { "Ctrl+E" }, kWindow,
        "Export LDIF File to the selected path \nExport LDIF", connected, nullptr, done<ExportLdifCommand> },
};

constexpr MenuEntry kSeparator { true };
constexpr MenuEntry item(CommandId id, const char* label = nullptr)
{
    return { false, id, label };
}

constexpr MenuEntry popup(const char* title, const std::vector<MenuEntry>& entries)
{
    return { false, CommandId::Login, title, &entries };
}

const std::vector<MenuEntry> kAddMenu { item(AddUser), item(AddOrgUnit) };

const std::vector<Menu> kMenuBar {
    { "  &Connect",
        { item(Login), item(Logout), kSeparator, item(NewProfile), item(ProfileManager), kSeparator, item(Exit) } },
    { "&Edit",
        { item(Cut), item(Copy), item(Paste), kSeparator, item(CopyObjectLink), item(PasteObjectLink), kSeparator,
            item(EditAttribute) } },
    { "&View",
        { item(Toolbar), item(StatusBar), kSeparator, item(SetEntriesToView), item(CountEntries), item(RefreshTree),
            kSeparator, item(RootDseProperties) } },
    { "&Object",
        { item(CreateObject), popup("&Add	", kAddMenu), item(AddAttribute), item(DeleteObject),
            item(DeleteAttribute) } },
    { "&Tools", { item(SchemaManager), item(LdapSearch), kSeparator, item(ImportLdif), item(ExportLdif) } },
    { "XML Options", { item(XmlRendering), item(CreateXmlTemplate), item(ModifyXmlTemplate) } },
    { "&Log Manager",
        { item(ViewGeneralLog), item(ViewLdifLog), kSeparator, item(DeleteLdifLog), item(DeleteGeneralLog) } },
    { "&Help", { item(HelpTopics), item(About) } },
};

const std::vector<MenuEntry> kToolbar {
    item(Login),
    item(Logout),
    kSeparator,
    item(NewProfile),
    item(ProfileManager),
    kSeparator,
    item(CreateObject),
    item(AddUser),
    item(AddOrgUnit),
    kSeparator,
    item(DeleteObject),
    kSeparator,
    item(Cut),
    item(Copy),
    item(Paste),
    kSeparator,
    item(CopyObjectLink),
    item(PasteObjectLink),
    kSeparator,
    item(RefreshTree),
    item(ShowNext),
    item(SchemaManager),
    item(LdapSearch),
    kSeparator,
    item(ExportLdif),
    item(ImportLdif),
    kSeparator,
    item(CreateXmlTemplate),
    item(ModifyXmlTemplate),
    kSeparator,
    item(SetEntriesToView),
    item(RootDseProperties),
};

const std::vector<MenuEntry> kTreeMenu {
    item(Cut, "&Cut"),
    item(Copy, "Copy"),
    item(Paste, "Paste"),
    kSeparator,
    item(DeleteObject, "Delete"),
    kSeparator,
    item(CreateXmlTemplate, "Create XML &Template..."),
    kSeparator,
    item(CopyObjectLink, "Copy Object Link "),
    item(PasteObjectLink, "Paste Object Link"),
    item(ViewOriginalProperties, "&View Original Properties"),
    kSeparator,
    item(ImportLdif, "Import LDIF File"),
    item(ExportLdif, "Export LDIF File"),
    kSeparator,
    item(LdapSearch, "LDAP &Search"),
    kSeparator,
    item(RefreshNode, "Refresh &Node\tF4"),
    item(RefreshTree, "&Refresh  Tree\tF5"),
};

const std::vector<MenuEntry> kAttributeMenu {
    item(AddAttribute, "Add Attribute..."),
    item(DeleteAttribute, "&Delete Attribute"),
};

std::string promptPart(const Command& command, bool tip)
{
    if (!command.prompt)
        return {};
    std::string prompt = command.prompt;
    std::size_t newline = prompt.find('\n');
    if (newline == std::string::npos)
        return tip ? std::string() : prompt;
    return tip ? prompt.substr(newline + 1) : prompt.substr(0, newline);
}

} // namespace

const std::vector<Command>& Commands()
{
    return kCommands;
}

const Command& FindCommand(CommandId id)
{
    auto found = std::find_if(kCommands.begin(), kCommands.end(), [id](const Command& c) { return c.id == id; });
    if (found == kCommands.end())
        throw std::logic_error("command missing from the table");
    return *found;
}

const std::vector<Menu>& MenuBar()
{
    return kMenuBar;
}
const std::vector<MenuEntry>& ToolbarLayout()
{
    return kToolbar;
}
const std::vector<MenuEntry>& TreeContextMenu()
{
    return kTreeMenu;
}
const std::vector<MenuEntry>& AttributeContextMenu()
{
    return kAttributeMenu;
}

bool AttributeContextMenuAvailable(const ViewState& state)
{
    return state.flags.treeActive;
}

std::string StatusPrompt(const Command& command)
{
    return promptPart(command, false);
}

std::string ToolTip(const Command& command)
{
    return promptPart(command, true);
}

const char* EntryLabel(const MenuEntry& entry)
{
    return entry.label ? entry.label : FindCommand(entry.id).label;
}

CommandOutcome RunCommand(AppContext& context, CommandId id)
{
    const Command& command = FindCommand(id);
    if (!command.run || !command.enabled(context.state))
        return CommandOutcome::Done;
    return command.run(context);
}
