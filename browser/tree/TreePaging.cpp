// The children of a node, a page at a time, taken from the general result
// slot: all of them, or one page of the server's when it pages.
#include "browser/tree/TreeSteps.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/Desktop.h"
#include "browser/SearchOutcome.h"
#include "browser/ViewState.h"
#include "browser/session/ServerInfo.h"
#include "browser/session/ServerWaits.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <strings.h>

namespace {

bool isEntry(const EntryRecord* entry)
{
    return entry && !entry->end_of_search;
}

const char* firstValue(const EntryRecord* entry, const char* attribute)
{
    for (const AttrRecord* attr = entry->attrs; attr; attr = attr->next)
        if (attr->name && strcasecmp(attr->name, attribute) == 0 && attr->values && attr->values->data)
            return attr->values->data;
    return nullptr;
}

// hasSubordinates (OpenLDAP, 389 DS) or else numSubordinates (389 DS);
// unknown when the server answers neither.
std::optional<bool> hasChildren(const EntryRecord* entry)
{
    if (const char* says = firstValue(entry, "hasSubordinates"))
        return strcasecmp(says, "TRUE") == 0;
    if (const char* count = firstValue(entry, "numSubordinates"))
        return std::strtol(count, nullptr, 10) > 0;
    return std::nullopt;
}

std::string firstPageNotice(int pageSize)
{
    std::string size = std::to_string(pageSize);
    return " The first " + size + " entries will be displayed. To view the next " + size
        + " entries use the Show Next button on the toolbar.";
}

} // namespace

int32_t SearchTree(AppContext& context, const std::string& dn, int32_t scope, EntryRecord** result)
{
    // The service wants a writable, null-terminated list.
    std::string has = "hasSubordinates";
    std::string count = "numSubordinates";
    char* wanted[] = { has.data(), count.data(), nullptr };
    WaitingFor waiting(
        context, (scope == kScopeSubtree ? "Counting the entries below " : "Reading the entries below ") + dn);
    return context.service.OrnSearchSync(dn.c_str(), "objectclass=*", wanted, 0, scope, result);
}

int EntryCount(AppContext& context, EntryRecord* result)
{
    return result ? std::max(0, context.service.OrnCountEntries(result)) : 0;
}

int PageSize(const AppContext& context)
{
    return std::max(1, context.state.pageSize);
}

void StartProgress(Desktop& desktop, int count)
{
    desktop.setProgressRange(0, count);
    desktop.setProgressStep(1);
}

bool ChildrenArrived(AppContext& context, int32_t code)
{
    if (!CutShort(code))
        return CallSucceeded(context, code);
    // Said as the command ends, never passed off as the whole list.
    PagingState& paging = context.state.paging;
    const int arrived = paging.heldStart + EntryCount(context, context.state.generalResult.get());
    paging.limitNotice = IncompleteListText(code, arrived);
    return true;
}

int32_t SearchChildren(AppContext& context, const std::string& dn)
{
    const int32_t found = FetchChildList(context, dn);
    if (found == 0 || CutShort(found))
        StartProgress(context.desktop, context.state.paging.childCount);
    return found;
}

const EntryRecord* TakeDns(AppContext& context, const EntryRecord* from, int count, ChildList& children)
{
    for (; count > 0 && isEntry(from); --count, from = from->next) {
        children.push_back({ EntryDn(from), hasChildren(from) });
        context.state.loadedDns.push_back(children.back().dn);
    }
    return from;
}

ChildList TakeFirstPage(AppContext& context)
{
    ViewState& state = context.state;
    PagingState& paging = state.paging;
    int pageSize = PageSize(context);
    if (paging.childCount >= pageSize)
        context.desktop.inform(firstPageNotice(pageSize), "Information", MessageIcon::Information);
    ChildList children;
    paging.cursor = TakeDns(context, state.generalResult.get(), pageSize, children);
    paging.cursorGeneration = state.generalResult.generation();
    paging.cursorIndex = paging.pageOffset = static_cast<int>(children.size());
    paging.noMoreEntries = !isEntry(paging.cursor) && paging.cookie.empty();
    RestStatus(context, kAppTitle);
    return children;
}

ChildList TakeAllChildren(AppContext& context, bool& failed)
{
    ViewState& state = context.state;
    ChildList children;
    failed = false;
    for (;;) {
        TakeDns(context, state.generalResult.get(), INT_MAX, children);
        if (state.paging.cookie.empty())
            return children;
        if (!ChildrenArrived(context, FetchNextPage(context))) {
            failed = true;
            return children;
        }
    }
}

void ShowNext(AppContext& context)
{
    ViewState& state = context.state;
    PagingState& paging = state.paging;
    if (state.tree.empty()) {
        paging.noMoreEntries = true;
        return;
    }
    // The server dropped the pages (another paged search came between):
    // they start again, and those the node shows are passed over.
    if (paging.resumeFromStart && !paging.noMoreEntries) {
        if (!ChildrenArrived(context, FetchChildList(context, paging.heldDn)))
            return;
        paging.firstNext = true;
    }
    if (!state.generalResult.get()) {
        paging.noMoreEntries = true;
        return;
    }
    // The cursor saves walking the pages already shown again, which over a
    // large result would make paging through it quadratic.
    if (paging.firstNext || !paging.cursor || paging.cursorGeneration != state.generalResult.generation()) {
        paging.cursor = state.generalResult.get();
        paging.cursorIndex = paging.heldStart;
    }
    paging.firstNext = false;
    ChildList children;
    const int pageSize = PageSize(context);
    while (static_cast<int>(children.size()) < pageSize) {
        if (!isEntry(paging.cursor)) {
            if (paging.cookie.empty() || !ChildrenArrived(context, FetchNextPage(context)))
                break;
            paging.cursor = state.generalResult.get();
            continue;
        }
        // Only what the node does not show yet.
        if (paging.cursorIndex >= paging.pageOffset)
            TakeDns(context, paging.cursor, 1, children);
        paging.cursor = paging.cursor->next;
        ++paging.cursorIndex;
    }
    // After a logout on the way there is no tree to add to.
    if (state.tree.empty())
        return;
    paging.cursorGeneration = state.generalResult.generation();
    paging.pageOffset += static_cast<int>(children.size());
    paging.noMoreEntries = !isEntry(paging.cursor) && paging.cookie.empty();

    InsertChildren(context, children);
    state.tree.setExpanded(state.tree.root(), true);
    context.desktop.setProgressPosition(paging.childCount);
    context.desktop.setProgressPosition(0);
    if (!paging.limitNotice.empty())
        RestStatus(context, kAppTitle);
}
