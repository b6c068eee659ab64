// The desktop for core tests: records every message box, status text,
// title and progress call and every wait on the server, answers boxes and
// waits from a script, and runs dialogs through handlers that drive their
// models as a user would.
#pragma once

#include "browser/Desktop.h"
#include "browser/DialogModel.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

class FakeDesktop : public Desktop {
public:
    struct Box {
        std::string text;
        std::string title;
        MessageIcon icon;
        MessageButtons buttons;
        bool operator==(const Box&) const = default;
    };
    using DialogHandler = std::function<void(DialogModel&)>;

    // The answers the next boxes get, in order; when none is left a box is
    // answered Ok, or Yes when it has no Ok button.
    void answer(MessageAnswer next) { answers_.push_back(next); }

    // How the next dialog with this resource name is driven. The handler
    // works the model; if it has not ended the model, the dialog is cancelled.
    void onDialog(const std::string& resourceName, DialogHandler handler)
    {
        handlers_[resourceName].push_back(std::move(handler));
    }

    MessageAnswer messageBox(const MessageBoxRequest& box) override
    {
        boxes.push_back({box.text, box.title, box.icon, box.buttons});
        if (!answers_.empty()) {
            MessageAnswer next = answers_.front();
            answers_.pop_front();
            return next;
        }
        return box.buttons == MessageButtons::YesNo || box.buttons == MessageButtons::YesNoCancel
            ? MessageAnswer::Yes
            : MessageAnswer::Ok;
    }
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void setProgressRange(int lower, int upper) override { progress.push_back("range " + std::to_string(lower) + " " + std::to_string(upper)); }
    void setProgressStep(int step) override { progress.push_back("step " + std::to_string(step)); }
    void setProgressPosition(int position) override { progress.push_back("position " + std::to_string(position)); }
    void stepProgress() override { progress.push_back("step it"); }
    void setWindowTitle(const std::string& title) override { titles.push_back(title); }
    void setWaitCursor(bool busy) override { waitCursor = busy; }
    bool openDocument(const std::string& path) override
    {
        openedDocuments.push_back(path);
        return true;
    }
    void pause(int milliseconds) override { pauses.push_back(milliseconds); }

    // The answer the next file dialog gets; none left: cancelled.
    void chooseFile(std::optional<FileChoice> next) { fileChoices_.push_back(std::move(next)); }
    std::optional<FileChoice> openFileName(const FileDialogRequest& request) override
    {
        return fileDialog("open", request);
    }
    std::optional<FileChoice> saveFileName(const FileDialogRequest& request) override
    {
        return fileDialog("save", request);
    }

    DialogResult runModal(DialogModel& dialog) override
    {
        dialogsRun.push_back(dialog.resourceName());
        auto found = handlers_.find(dialog.resourceName());
        if (found == handlers_.end() || found->second.empty())
            throw std::logic_error("no handler for dialog \"" + dialog.resourceName() + "\"");
        DialogHandler handler = std::move(found->second.front());
        found->second.pop_front();
        handler(dialog);
        if (!dialog.ended())
            dialog.cancel();
        return dialog.result();
    }
    // A modeless window stays open after the call: a handler, if the test
    // gave one, works it as far as the test wants.
    void showModeless(DialogModel& dialog) override
    {
        dialogsRun.push_back(dialog.resourceName());
        auto found = handlers_.find(dialog.resourceName());
        if (found == handlers_.end() || found->second.empty())
            return;
        DialogHandler handler = std::move(found->second.front());
        found->second.pop_front();
        handler(dialog);
    }

    // The next wait on the server is cancelled at its n-th ask (1: the first
    // ask, one slice into the wait); until then, and after, waits go on.
    void cancelWaitAt(int ask) { cancelAt_ = ask; }
    bool serverWaitGoesOn(const std::string& what, int) override
    {
        if (asks_++ == 0)
            waitsFor.push_back(what);
        if (cancelAt_ == 0 || asks_ < cancelAt_)
            return true;
        cancelAt_ = 0;
        return false;
    }
    void serverWaitEnded() override
    {
        asks_ = 0;
        ++waitsEnded;
    }

    std::string lastStatus() const { return statusTexts.empty() ? std::string() : statusTexts.back(); }
    std::string lastTitle() const { return titles.empty() ? std::string() : titles.back(); }

    std::vector<Box> boxes;
    std::vector<std::string> statusTexts;
    std::vector<std::string> titles;
    std::vector<std::string> progress;
    std::vector<std::string> openedDocuments;
    std::vector<int> pauses;
    std::vector<std::string> dialogsRun;
    bool waitCursor = false;
    std::vector<std::string> waitsFor; // what each wait on the server was for
    int waitsEnded = 0;

    // "open" or "save" for each file dialog, then its filters.
    std::vector<std::string> fileDialogs;

private:
    std::optional<FileChoice> fileDialog(const char* kind, const FileDialogRequest& request)
    {
        std::string shown = kind;
        for (const auto& [label, pattern] : request.filters)
            shown += " " + label + "|" + pattern;
        fileDialogs.push_back(shown);
        if (fileChoices_.empty())
            return std::nullopt;
        std::optional<FileChoice> next = std::move(fileChoices_.front());
        fileChoices_.pop_front();
        return next;
    }

    std::deque<MessageAnswer> answers_;
    std::deque<std::optional<FileChoice>> fileChoices_;
    int cancelAt_ = 0;
    int asks_ = 0;
    std::map<std::string, std::deque<DialogHandler>> handlers_;
};

// Readable failure messages when boxes are compared.
inline void PrintTo(const FakeDesktop::Box& box, std::ostream* out)
{
    *out << "{\"" << box.text << "\", \"" << box.title << "\", icon " << static_cast<int>(box.icon) << ", buttons "
         << static_cast<int>(box.buttons) << "}";
}
