// The state that lives as long as the main view: the current connection,
// the connection flags, the two held search results, and (as later parts
// arrive) the tree's selection, the loaded DNs, the schema lists and the
// clipboard. One object, owned by the main view and passed by reference;
// the core has no global variables.
#pragma once

#include "ErrorLog.h"
#include "OrnResult.h"
#include "ProfileTable.h"

#include <cstdint>
#include <string>

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

private:
    EntryRecord* result_ = nullptr;
};

struct ViewState {
    ConnectionSettings connection;
    ConnectionFlags flags;
    HeldResult generalResult;
    HeldResult rootDseResult;
    std::string subschemaDn;
    int pageSize = 100;
    // The folder the last profile-file operation ran in: the logs are viewed there.
    std::string workingFolder;
    // The profiles as last loaded from OrnIni.ini.
    ProfileTable profiles;
    // Holds the LDIF log open while an import runs.
    ErrorLog errorLog;
};
