#include "tools/ldif/LdifCommands.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "browser/ViewState.h"
#include "browser/session/Logout.h"
#include "browser/session/ServerWaits.h"
#include "ldap/AttrMod.h"
#include "ldap/OrnInterface.h"
#include "tools/ldif/LdifDialogs.h"
#include "tools/ldif/LdifReader.h"

#include <fstream>
#include <vector>

namespace {

constexpr int32_t kInsufficientAccess = 50;
// The progress indicator runs over the file's bytes, scaled to this range.
constexpr int kProgressRange = 1000;

// The add request of one record, each value as bytes.
int32_t addRecord(AppContext& context, const LdifRecord& record)
{
    const std::size_t count = record.attributes.size();
    std::vector<std::vector<BerValue>> values(count);
    std::vector<std::vector<BerValue*>> valueLists(count);
    std::vector<AttrMod> mods(count);
    std::vector<AttrMod*> list;
    for (std::size_t i = 0; i < count; ++i) {
        const LdifAttribute& attribute = record.attributes[i];
        for (const std::string& value : attribute.values)
            values[i].push_back({ static_cast<uint32_t>(value.size()), const_cast<char*>(value.data()) });
        for (BerValue& value : values[i])
            valueLists[i].push_back(&value);
        valueLists[i].push_back(nullptr);
        mods[i].op = ATTR_MOD_ADD | ATTR_MOD_BVALUES;
        mods[i].type = const_cast<char*>(attribute.type.c_str());
        mods[i].bvalues = valueLists[i].data();
        list.push_back(&mods[i]);
    }
    list.push_back(nullptr);
    return context.service.OrnAddSync(record.dn.c_str(), list.data());
}

// The LDIF log open for as long as the import runs.
struct LdifLogOpen {
    ErrorLog& log;
    ~LdifLogOpen() { log.closeLdifLog(); }
};

void reportSummary(AppContext& context, int copied, int rejected)
{
    std::string summary;
    if (copied > 0)
        summary = std::to_string(copied) + " Entries Copied";
    if (rejected > 0)
        summary += (summary.empty() ? "" : " ") + std::to_string(rejected) + " Entries Rejected";
    if (summary.empty())
        summary = "Import Failed";
    if (!ReportError(context, summary, LogMode::Ldif))
        context.desktop.error("Could not generate error log file", "Error");
    if (copied > 0)
        context.desktop.inform(
            summary + " \n\nRefresh the page to see the item imported", "Import Result", MessageIcon::Warning);
    else
        context.desktop.error(summary, "Error");
}

} // namespace

bool ImportLdif(AppContext& context, ImportLdifDialog& dialog, const std::string& fileName)
{
    Desktop& desktop = context.desktop;
    LdifLogOpen logOpen { context.state.errorLog };
    if (!context.state.errorLog.openLdifLog())
        desktop.error("File does not exist", "Error");
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        desktop.error("File does not exist", "Error");
        return false;
    }
    in.seekg(0, std::ios::end);
    const auto size = static_cast<uint64_t>(std::max<std::streamoff>(in.tellg(), 1));
    in.seekg(0);
    desktop.setProgressRange(0, kProgressRange);
    desktop.setProgressStep(1);
    desktop.setProgressPosition(0);

    int copied = 0;
    int rejected = 0;
    LdifReader reader(in);
    LdifRecord record;
    while (reader.next(record)) {
        desktop.setProgressPosition(
            static_cast<int>(std::min<uint64_t>(size, reader.position()) * kProgressRange / size));
        if (record.faultLine != 0) {
            ++rejected;
            ReportError(context,
                "Line " + std::to_string(record.faultLine) + ": " + record.fault + "; the entry " + record.dn
                    + " at line " + std::to_string(record.line) + " was not imported",
                LogMode::Ldif);
            dialog.showStatus(Trimmed(record.firstLine, kLdifBlanks));
            continue;
        }
        int32_t added = 0;
        {
            WaitingFor waiting(context, "Importing " + record.dn);
            added = addRecord(context, record);
        }
        if (added == 0) {
            ++copied;
            context.state.loadedDns.push_back(record.dn);
        } else if (added > 0) {
            ReportError(context, record.dn, LogMode::Ldif);
            if (added == kInsufficientAccess) {
                ReportError(context, OrnLdapService::LdapErrorToString(added), LogMode::General);
                desktop.error("Cannot Import Objects. Insufficient Access Rights", "Server Response");
                desktop.setProgressPosition(0);
                return true;
            }
            ++rejected;
        } else {
            ReportConnectionLost(context, kConnectionTimedOutAgain, added);
            desktop.setProgressPosition(0);
            return true;
        }
        dialog.showStatus(Trimmed(record.firstLine, kLdifBlanks));
    }
    desktop.setProgressPosition(0);
    reportSummary(context, copied, rejected);
    return true;
}

void ImportLdifCommand(AppContext& context)
{
    ImportLdifDialog dialog(context);
    context.desktop.runModal(dialog);
    if (context.state.flags.connectionLost)
        Logout(context);
}
