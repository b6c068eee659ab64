#include "browser/CommandReports.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/ViewState.h"
#include "browser/logs/Clock.h"
#include "browser/session/Logout.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnInterface.h"

#include <new>

bool ReportError(AppContext& context, const std::string& message, LogMode mode)
{
    std::string record;
    try {
        record = formatLogRecord(context.clock.now(), context.state.connection.host, message);
    } catch (const std::bad_alloc&) {
        context.desktop.inform("Memory Allocation failed", "OUT OF MEMORY");
        return false;
    }
    ErrorLog::Append appended = context.state.errorLog.append(mode, record);
    if (appended == ErrorLog::Append::CannotOpen)
        context.desktop.inform("Could not create file");
    return appended == ErrorLog::Append::Written;
}

void ReportToGeneralLog(AppContext& context, const std::string& message)
{
    if (!ReportError(context, message, LogMode::General))
        context.desktop.inform("Could not generate error log file", "Error");
}

void ReportServerResponse(AppContext& context, int32_t code)
{
    std::string text = OrnLdapService::LdapErrorToString(code);
    context.desktop.error(text, "Server Response");
    ReportToGeneralLog(context, text);
}

std::string LimitText(int32_t code)
{
    std::string text = OrnLdapService::LdapErrorToString(code);
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string IncompleteListText(int32_t code, int shown)
{
    return "The server stopped after " + std::to_string(shown) + " entries (" + LimitText(code)
        + "). The list is incomplete.";
}

void ReportIncompleteList(AppContext& context, int32_t code, int shown)
{
    context.desktop.inform(IncompleteListText(code, shown), "Incomplete List", MessageIcon::Warning);
}

void ReportConnectionLost(AppContext& context, const std::string& wording, int32_t code)
{
    context.state.flags.connectionLost = true;
    context.desktop.error(code == ORN_WAIT_CANCELLED ? kWaitCancelled : wording, "Error");
    ReportToGeneralLog(context, "Connection to the Server " + context.state.connection.host + " lost");
}

bool ReportSearchCancelled(AppContext& context, int32_t code)
{
    if (code != ORN_SEARCH_CANCELLED)
        return false;
    context.desktop.setStatusText(kSearchCancelled);
    return true;
}

bool CallSucceeded(AppContext& context, int32_t code)
{
    if (code > 0)
        ReportServerResponse(context, code);
    if (code < 0 && !ReportSearchCancelled(context, code)) {
        ReportConnectionLost(context, kConnectionTimedOut, code);
        Logout(context);
    }
    return code == 0;
}
