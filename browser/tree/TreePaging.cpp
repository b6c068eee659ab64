// The children of a node, a page at a time: one one-level search fetches
// them all into the general result slot, and each page is taken from there.
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

const EntryRecord* skipEntries(const EntryRecord* entry, int count)
{
    for (; count > 0 && isEntry(entry); --count)
        entry = entry->next;
    return entry;
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
    ReportIncompleteList(context, code, EntryCount(context, context.state.generalResult.get()));
    return true;
}

int32_t SearchChildren(AppContext& context, const std::string& dn)
{
    ViewState& state = context.state;
    const int32_t found = SearchTree(context, dn, kScopeOneLevel, state.generalResult.place());
    if (found == 0 || CutShort(found)) {
        state.paging.childCount = EntryCount(context, state.generalResult.get());
        StartProgress(context.desktop, state.paging.childCount);
    }
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
    paging.pageOffset = static_cast<int>(children.size());
    paging.noMoreEntries = paging.pageOffset >= paging.childCount;
    context.desktop.setStatusText(kAppTitle);
    return children;
}

void ShowNext(AppContext& context)
{
    ViewState& state = context.state;
    PagingState& paging = state.paging;
    const EntryRecord* held = state.generalResult.get();
    if (!held || state.tree.empty()) {
        paging.noMoreEntries = true;
        return;
    }
    // The cursor saves walking the pages already shown again, which over a
    // large result would make paging through it quadratic.
    bool resume = !paging.firstNext && paging.cursor && paging.cursorGeneration == state.generalResult.generation();
    const EntryRecord* from = resume ? paging.cursor : skipEntries(held, paging.pageOffset);
    paging.firstNext = false;
    if (!isEntry(from)) {
        paging.noMoreEntries = true;
        return;
    }
    ChildList children;
    paging.cursor = TakeDns(context, from, PageSize(context), children);
    paging.cursorGeneration = state.generalResult.generation();
    paging.pageOffset += static_cast<int>(children.size());
    if (paging.pageOffset >= paging.childCount)
        paging.noMoreEntries = true;

    InsertChildren(context, children);
    state.tree.setExpanded(state.tree.root(), true);
    context.desktop.setProgressPosition(paging.childCount);
    context.desktop.setProgressPosition(0);
}
