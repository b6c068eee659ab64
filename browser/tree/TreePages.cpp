// The one-level searches of a node's children, a page at a time when the
// server offers the simple paged results control: only the page shown is
// held, whatever the number of children, and the server's cookie asks for
// the next.
#include "browser/tree/TreeSteps.h"

#include "browser/AppContext.h"
#include "browser/CommandReports.h"
#include "browser/SearchOutcome.h"
#include "browser/ViewState.h"
#include "browser/logs/Clock.h"
#include "browser/session/ServerWaits.h"
#include "ldap/OrnControl.h"
#include "ldap/OrnInterface.h"

#include <algorithm>
#include <memory>

namespace {

// The click that selects a node and the double-click that expands it share
// one search when they come within this many seconds.
constexpr double kHeldSeconds = 5;
// Counting keeps one page of DNs at a time.
constexpr int kCountPage = 1000;

double secondsBetween(std::tm earlier, std::tm later)
{
    return std::difftime(std::mktime(&later), std::mktime(&earlier));
}

// One page of the DN's children (scope) after the cookie into place, with
// the attributes given; the server's next cookie and estimate go to the
// paging state. A page size of 0 only ends the paged search.
int32_t searchPage(AppContext& context, const std::string& dn, int32_t scope, int size, char** attrs,
    EntryRecord** place)
{
    PagingState& paging = context.state.paging;
    BerValue cookie { static_cast<uint32_t>(paging.cookie.size()), paging.cookie.data() };
    OrnControl* made = nullptr;
    const int32_t created = OrnCreatePageControl(size, &cookie, 0, &made);
    const std::unique_ptr<OrnControl, void (*)(OrnControl*)> control(made, OrnFreeControl);
    paging.cookie.clear();
    paging.estimate = 0;
    if (created != 0)
        return created;
    OrnControl* controls[] = { control.get(), nullptr };
    OrnControl** response = nullptr;
    WaitingFor waiting(
        context, (scope == kScopeSubtree ? "Counting the entries below " : "Reading the entries below ") + dn);
    const int32_t found = context.service.OrnSearchSyncExt(
        dn.c_str(), "objectclass=*", attrs, 0, scope, controls, place, &response);
    int32_t estimate = 0;
    BerValue* next = nullptr;
    // A limit ends the paged search on the server too.
    if (found == 0 && OrnParsePageControl(response, &estimate, &next) == 0) {
        paging.cookie.assign(next->bytes, next->length);
        paging.estimate = estimate;
        BerCodec().ber_bvfree(next);
    }
    OrnFreeControls(response);
    return found;
}

// The attributes the tree shows children with.
int32_t searchChildPage(AppContext& context, const std::string& dn, int size)
{
    std::string has = "hasSubordinates";
    std::string count = "numSubordinates";
    char* wanted[] = { has.data(), count.data(), nullptr };
    return searchPage(context, dn, kScopeOneLevel, size, wanted, context.state.generalResult.place());
}

// What the held result tells of the number of children: the estimate, or
// what came so far, which is all once the last page has come.
void countChildren(AppContext& context)
{
    PagingState& paging = context.state.paging;
    const int arrived = paging.heldStart + EntryCount(context, context.state.generalResult.get());
    paging.childCount = std::max(paging.estimate, arrived);
    paging.countKnown = paging.cookie.empty() || paging.estimate > 0;
}

} // namespace

int32_t FetchChildList(AppContext& context, const std::string& dn)
{
    ViewState& state = context.state;
    PagingState& paging = state.paging;
    AbandonPages(context);
    paging.resumeFromStart = false;
    paging.heldDn = dn;
    paging.heldStart = 0;
    paging.heldAt = context.clock.now();
    const int32_t found = state.serverPages ? searchChildPage(context, dn, PageSize(context))
                                            : SearchTree(context, dn, kScopeOneLevel, state.generalResult.place());
    paging.heldCode = found;
    paging.heldGeneration = state.generalResult.generation();
    if (found == 0 || CutShort(found))
        countChildren(context);
    else
        paging.heldDn.clear(); // a refusal or a cancelled wait serves no later gesture
    return found;
}

bool HeldChildrenFresh(const AppContext& context, const std::string& dn)
{
    const PagingState& paging = context.state.paging;
    return !paging.heldDn.empty() && paging.heldDn == dn && paging.heldStart == 0
        && paging.heldGeneration == context.state.generalResult.generation()
        && secondsBetween(paging.heldAt, context.clock.now()) <= kHeldSeconds;
}

int32_t FetchNextPage(AppContext& context)
{
    PagingState& paging = context.state.paging;
    paging.heldStart += EntryCount(context, context.state.generalResult.get());
    const int32_t found = searchChildPage(context, paging.heldDn, PageSize(context));
    paging.heldCode = found;
    paging.heldGeneration = context.state.generalResult.generation();
    if (found == 0 || CutShort(found))
        countChildren(context);
    return found;
}

void AbandonPages(AppContext& context)
{
    PagingState& paging = context.state.paging;
    if (paging.cookie.empty())
        return;
    // Size 0 with the cookie: the server drops the rest (RFC 2696). Its
    // answer holds no entry, and a late one would be dropped by the library.
    HeldResult ended;
    searchPage(context, paging.heldDn, kScopeOneLevel, 0, nullptr, ended.place());
    paging.cookie.clear();
    paging.resumeFromStart = true;
}

int32_t CountSubtree(AppContext& context, const std::string& dn, int* count)
{
    *count = 0;
    HeldResult page;
    if (!context.state.serverPages) {
        const int32_t found = SearchTree(context, dn, kScopeSubtree, page.place());
        *count = EntryCount(context, page.get());
        return found;
    }
    // Counting needs no attribute (RFC 4511's "1.1").
    std::string none = "1.1";
    char* noAttributes[] = { none.data(), nullptr };
    AbandonPages(context);
    PagingState& paging = context.state.paging;
    int32_t found = 0;
    do {
        found = searchPage(context, dn, kScopeSubtree, kCountPage, noAttributes, page.place());
        *count += EntryCount(context, page.get());
    } while (found == 0 && !paging.cookie.empty());
    // The counting pages were no page of the held node's children.
    paging.cookie.clear();
    return found;
}

bool AllShown(const AppContext& context, int shown)
{
    const PagingState& paging = context.state.paging;
    return shown >= paging.childCount && paging.countKnown;
}

void RestStatus(AppContext& context, const char* text)
{
    PagingState& paging = context.state.paging;
    context.desktop.setStatusText(paging.limitNotice.empty() ? std::string(text) : paging.limitNotice);
    paging.limitNotice.clear();
}
