// The port through which the core reaches the desktop: message boxes, the
// status bar and its progress indicator, the window title, the wait cursor,
// documents, pauses, dialogs and waits on the server. The Qt shell
// implements it with widgets; tests implement it with a scripted fake that
// records every call.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

class DialogModel;

// Boxes without a title of their own carry the application's.
inline constexpr const char* kAppTitle = "Velmora LDAP Browser";

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::string text;
    std::string title = kAppTitle;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool systemModal = false;
};

enum class DialogResult { None, Ok, Cancel };

// A file open or save dialog: its filters as (label, pattern) pairs, the
// first one chosen at the start. A save dialog asks before it overwrites.
struct FileDialogRequest {
    std::vector<std::pair<std::string, std::string>> filters;
    std::string fileName; // proposed at the start; may be empty
};

// The file the user chose and the index of the filter chosen with it.
struct FileChoice {
    std::string path;
    int filter = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual MessageAnswer messageBox(const MessageBoxRequest& box) = 0;
    // The first pane of the status bar.
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setProgressRange(int lower, int upper) = 0;
    virtual void setProgressStep(int step) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress() = 0;
    virtual void setWindowTitle(const std::string& title) = 0;
    virtual void setWaitCursor(bool busy) = 0;
    // Opens a document with the program the desktop associates with it.
    virtual bool openDocument(const std::string& path) = 0;
    virtual void pause(int milliseconds) = 0;
    // Empty when the user cancelled the file dialog.
    virtual std::optional<FileChoice> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<FileChoice> saveFileName(const FileDialogRequest& request) = 0;
    // Runs the dialog until its model says it has ended; returns its result.
    virtual DialogResult runModal(DialogModel& dialog) = 0;
    // Shows the dialog and returns at once; the model lives until it ends.
    virtual void showModeless(DialogModel& dialog) = 0;
    // Asked every few tens of milliseconds while the core waits for the
    // server, with what it waits for and how long it has waited. The desktop
    // keeps its windows painted and takes no other input meanwhile; after
    // half a second it shows the wait with a Cancel button. False once the
    // user has cancelled.
    virtual bool serverWaitGoesOn(const std::string& what, int waitedMs) = 0;
    // The wait last asked about is over.
    virtual void serverWaitEnded() = 0;

    // Shorthands for the common boxes.
    void inform(const std::string& text, const std::string& title = kAppTitle,
                MessageIcon icon = MessageIcon::None)
    {
        messageBox({text, title, icon, MessageButtons::Ok, false});
    }
    void error(const std::string& text, const std::string& title = kAppTitle)
    {
        messageBox({text, title, MessageIcon::Error, MessageButtons::Ok, false});
    }
};

// The wait cursor for as long as the object lives.
class WaitCursor {
public:
    explicit WaitCursor(Desktop& desktop) : desktop_(desktop) { desktop_.setWaitCursor(true); }
    ~WaitCursor() { desktop_.setWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Desktop& desktop_;
};
