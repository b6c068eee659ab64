#include "tools/ldif/LdifCommands.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnInterface.h"
#include "tools/create/NewEntry.h"
#include "tools/ldif/LdifDialogs.h"
#include "tools/ldif/LdifWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kScopeSubtree = 2;
// Written out whenever this much is buffered, and at the end of each batch.
constexpr std::size_t kFlushBytes = 1 << 16;

// The new file beside the target. Removed unless committed, so a failed
// export leaves no trace and the old file stays as it was.
class PartFile {
public:
    explicit PartFile(const std::string& target)
        : target_(target)
    {
        std::vector<char> name(target.begin(), target.end());
        for (char c : std::string(".XXXXXX"))
            name.push_back(c);
        name.push_back('\0');
        fd_ = ::mkstemp(name.data());
        if (fd_ < 0)
            return;
        path_ = name.data();
        // mkstemp makes it private; an exported file is an ordinary one.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    ~PartFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            std::remove(path_.c_str());
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool open() const { return fd_ >= 0; }

    // Writes and empties buffer; after one failure, writes nothing more.
    void write(std::string& buffer)
    {
        for (std::size_t done = 0; good_ && done < buffer.size();) {
            const ssize_t n = ::write(fd_, buffer.data() + done, buffer.size() - done);
            good_ = n > 0;
            if (good_)
                done += static_cast<std::size_t>(n);
        }
        buffer.clear();
    }

    // Flushes to disk and renames over the target; false, the target
    // untouched, when any write failed.
    bool commit()
    {
        // A full disk may only show at fsync or close.
        bool written = good_ && ::fsync(fd_) == 0;
        written = ::close(fd_) == 0 && written;
        fd_ = -1;
        if (!written || std::rename(path_.c_str(), target_.c_str()) != 0)
            return false;
        path_.clear();
        return true;
    }

private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
    bool good_ = true;
};

struct ResultOwner {
    EntryRecord* head = nullptr;
    ~ResultOwner() { OrnLdapService::OrnFreeResult(head); }
};

// Streams the search into the file: 0 once it ended with success, else the
// search's code.
int32_t streamSearch(AppContext& context, const std::string& baseDn, PartFile& file)
{
    OrnLdapService& service = context.service;
    const int32_t msgid = service.OrnSearch(baseDn.c_str(), "objectClass=*", nullptr, 0, kScopeSubtree);
    if (msgid < 0)
        return msgid;
    std::string buffer;
    for (;;) {
        ResultOwner batch;
        const int32_t code = service.OrnLdapResult(msgid, &batch.head);
        bool ended = code != 0;
        for (const EntryRecord* entry = batch.head; entry; entry = entry->next) {
            if (entry->end_of_search) {
                ended = true;
                break;
            }
            AppendLdifEntry(buffer, *entry);
            if (buffer.size() >= kFlushBytes)
                file.write(buffer);
        }
        file.write(buffer);
        if (ended)
            return code;
    }
}

} // namespace

void ExportLdif(AppContext& context, const std::string& baseDn, const std::string& fileName)
{
    Desktop& desktop = context.desktop;
    context.state.generalResult.release();
    PartFile file(fileName);
    if (!file.open()) {
        desktop.error("File open Error", "Error");
        desktop.setStatusText(kAppTitle);
        return;
    }
    int32_t code = 0;
    {
        WaitingFor waiting(context, "Exporting " + baseDn);
        code = streamSearch(context, baseDn, file);
    }
    if (!CallSucceeded(context, code)) {
        desktop.setStatusText(kAppTitle);
        return;
    }
    if (!file.commit()) {
        desktop.error("The file " + fileName + " could not be written. It was left as it was.", "Error");
        desktop.setStatusText(kAppTitle);
        return;
    }
    desktop.setStatusText("Velmora Ldap Browser");
    desktop.inform("Export completed", "Export", MessageIcon::Information);
    desktop.setStatusText(kAppTitle);
}

void ExportLdifCommand(AppContext& context)
{
    std::string fileName;
    ExportLdifDialog dialog(context.desktop, fileName);
    if (context.desktop.runModal(dialog) != DialogResult::Ok)
        return;
    context.desktop.setStatusText("Exporting File in Progress");
    if (!context.state.tree.selected()) {
        context.desktop.error("Please select object or subtree to export", "Error");
        context.desktop.setStatusText(kAppTitle);
        return;
    }
    ExportLdif(context, ParentDn(context), fileName);
}
