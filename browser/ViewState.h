// The state that lives as long as the main view: the current connection,
// the connection flags, the two held search results, the directory tree and
// the attribute list with their selection, paging and editing state, the
// loaded DNs, the schema lists and the clipboard of the entry operations.
// One object, owned by the main view and passed by reference;
// the core has no global variables.
#pragma once

#include "browser/DialogModel.h"
#include "browser/logs/ErrorLog.h"
#include "browser/properties/AttributeList.h"
#include "browser/session/ConnectionSecurity.h"
#include "browser/session/ProfileTable.h"
#include "browser/tree/DirectoryTree.h"
#include "ldap/OrnResult.h"
#include "tools/schema/SchemaModel.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

// The current connection. The password is typed at login and never written
// to any file or log.
struct ConnectionSettings {
    std::string profileName;
    std::string host;
    int32_t port = 0;
    std::string baseDn;
    std::string userId;
    std::string password;
    std::string userType; // "Valid User" or "Anonymous User" after a login
    std::string bindDn;
    ConnectionSecurity security = ConnectionSecurity::Plain;
    // "host:port=fingerprint" of a certificate the user trusted once: the
    // second connect of the same login does not ask again.
    std::string trustedOnce;

    void clear() { *this = ConnectionSettings{}; }
};

struct ConnectionFlags {
    bool viewNotConnected = true; // Login enabled while true, Logout while false
    bool loggedIn = false;
    bool treeActive = false;
    bool connectionLost = false; // a library call met a transport failure: log out next
    bool treeTeardown = false;   // the tree is being emptied: ignore selection changes
};

// A search result held by the view. Taking the place for a new result
// releases the old one first; the destructor releases what is left.
class HeldResult {
public:
    HeldResult() = default;
    ~HeldResult() { release(); }
    HeldResult(const HeldResult&) = delete;
    HeldResult& operator=(const HeldResult&) = delete;

    EntryRecord** place()
    {
        release();
        return &result_;
    }
    EntryRecord* get() const { return result_; }
    void release();
    // Changes whenever the held result is replaced or released, so a cursor
    // into it can tell that it has gone stale.
    uint64_t generation() const { return generation_; }

private:
    EntryRecord* result_ = nullptr;
    uint64_t generation_ = 0;
};

// What the tree's selection tells the commands and the command table.
struct SelectionState {
    std::string label;       // the selected node's label
    std::string fullDn;      // its DN rebuilt from the labels; the base DN for the root
    std::string parentLabel; // empty for the root
    std::string rootLabel;
    int level = 2;            // 2 for the root, 1 for a child of the root, 0 deeper
    bool hasChildren = true;  // the last one-level search of the selection found an entry
    bool isLink = false;      // the label begins with "cn=Ref:"
    std::string expandingDn;  // the DN of the node being expanded
};

// Paging of the children of the node last selected or expanded, served from
// the general result slot. When the server pages, the slot holds one page
// of them and the cookie asks the server for the next.
struct PagingState {
    int childCount = 0;         // the node's children as far as known (see countKnown)
    int pageOffset = 0;         // children of the node already in the tree
    bool firstNext = false;     // Show Next must first skip what the node shows
    bool noMoreEntries = false; // the node shows every child: Show Next is disabled
    bool rootInserted = false;
    // Where the next Show Next continues in the held result; valid while the
    // result's generation is cursorGeneration. cursorIndex is its place among
    // all the node's children.
    const EntryRecord* cursor = nullptr;
    uint64_t cursorGeneration = 0;
    int cursorIndex = 0;

    // The one-level search held in the general slot: whose children, with
    // which code, when, and the slot's generation then.
    std::string heldDn;
    int32_t heldCode = 0;
    std::tm heldAt {};
    uint64_t heldGeneration = 0;
    int heldStart = 0;        // the held page's first entry among all the children
    std::string cookie;       // the server's cookie for the next page; empty after the last
    int estimate = 0;         // the server's estimate of the children, 0 when it gives none
    bool countKnown = true;   // childCount is the estimate or the whole list, not "at least"
    std::string limitNotice;  // a limit cut the list short: the status bar says so as the command ends
    bool resumeFromStart = false; // the server dropped the held node's pages: Show Next starts them again
};

// In-place editing of the attribute list and the modes of the link view.
struct EditingState {
    int row = -1;
    std::string value;     // the row's value when the edit began
    std::string attribute; // the row's attribute name
    int state = 0;         // 1 from the start of an edit, 2 once an edit was refused
    std::string newValue;
    std::string namingAttribute; // the selected DN's text before its first "="
    bool followLink = false;     // show the entry an object link points to
    bool keepDn = false;         // show dnToShow instead of the selection
    std::string dnToShow;
    std::string lastValue; // the last value shown or selected
};

// What Cut, Copy and Copy Object Link hold for the next Paste or Paste
// Object Link. Refresh Tree and logout clear it.
struct ClipboardState {
    bool cutPending = false;  // a Paste moves sourceDn
    bool copyPending = false; // a Paste copies sourceDn; cut and copy exclude each other
    std::string sourceDn;
    std::string sourceLabel; // its RDN, which the copy or the moved entry keeps
    bool linkCopied = false;  // a Paste Object Link links to linkSourceDn
    std::string linkSourceDn;
    std::string linkSourceLabel;
};

struct ViewState {
    ConnectionSettings connection;
    ConnectionFlags flags;
    HeldResult generalResult;
    HeldResult rootDseResult;
    std::string subschemaDn;
    // The root DSE lists the simple paged results control: the tree asks for pages.
    bool serverPages = false;
    int pageSize = 100;
    // How long a connect waits for the host; set in the login dialogs, kept
    // for the rest of the run.
    int connectTimeLimitSeconds = 30;
    bool xmlRendering = false; // the Xml Rendering switch: the template commands work while it is on
    // The folder the last profile-file operation ran in: the logs are viewed there.
    std::string workingFolder;
    // The profiles as last loaded from OrnIni.ini.
    ProfileTable profiles;
    // Holds the LDIF log open while an import runs.
    ErrorLog errorLog;

    DirectoryTree tree;
    AttributeList attributes;
    SelectionState selection;
    PagingState paging;
    EditingState editing;
    // Every DN inserted into the tree since the last tree load, the base DN first.
    std::vector<std::string> loadedDns;
    ClipboardState clipboard;

    ObjectClassList objectClasses;
    AttributeTypeList attributeTypes;
    // The raw name text of every attribute type with several names, for the
    // syntax lookup of names that are not the first.
    std::vector<std::string> multiNames;
    // The class chosen last in the Schema Manager, Add New Object Class or
    // Create Object, and the attribute chosen last in the Schema Manager.
    std::string selectedClassName;
    std::string selectedAttributeName;
    // The Schema Manager window's model: modeless, it outlives the command
    // that opened it, until it ends and the next command makes a new one.
    std::unique_ptr<DialogModel> schemaManager;
    // The LDAP Search window's model, kept the same way.
    std::unique_ptr<DialogModel> ldapSearch;
};
