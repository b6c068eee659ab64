// Search window benchmark: what the LDAP Search window adds to a subtree
// search that matches 100,000 entries. One slapd holds them (the tree
// benchmark's node); each measurement is this program run again as a child
// process, so that its peak RSS (wait4's rusage) is its own:
//   window  Search in the window's model with the filter (objectclass=*)
//           below ou=Big, until the results list is filled and the first
//           entry's attributes are shown;
//   search  one OrnSearchSync of the same search (all attributes), then free.
// Both connect and bind the same way first. Wall time is taken inside the
// child around the measured call. The two alternate; the table shows medians.
//
//   search_window_bench [--runs N]
#include "bench/BigNode.h"
#include "browser/BrowserSession.h"
#include "ldap/OrnInterface.h"
#include "tests/support/FakeDesktop.h"
#include "tools/search/SearchDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

constexpr const char* kFilter = "(objectclass=*)";
// The node and its children.
constexpr int kFound = kBigNodeChildren + 1;
constexpr int32_t kScopeSubtree = 2;

double measureWindow(const char* host, uint16_t port)
{
    FakeDesktop desktop;
    BrowserSession session { desktop, std::make_unique<SystemClock>(), Registry { "/nonexistent" } };
    ViewState& state = session.state();
    ConnectAsAdmin(session.service(), host, port);
    state.connection.host = host;
    state.connection.port = port;
    state.connection.baseDn = BigNodeDn();
    state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    LdapSearchDialog window(session.context());
    if (window.filter().text != kFilter)
        throw std::runtime_error("the window composes " + window.filter().text);

    auto start = WallClock::now();
    window.search();
    double seconds = SecondsSince(start);
    if (window.results().items.size() != kFound || window.attributes().size() == 0 || !desktop.boxes.empty())
        throw std::runtime_error("the window found " + std::to_string(window.results().items.size()) + " entries");
    return seconds;
}

double measureSearch(const char* host, uint16_t port)
{
    OrnLdapService service;
    ConnectAsAdmin(service, host, port);
    EntryRecord* result = nullptr;
    auto start = WallClock::now();
    int32_t code = service.OrnSearchSync(BigNodeDn().c_str(), kFilter, nullptr, 0, kScopeSubtree, &result);
    int found = code == 0 ? service.OrnCountEntries(result) : -1;
    OrnLdapService::OrnFreeResult(result);
    double seconds = SecondsSince(start);
    if (found != kFound)
        throw std::runtime_error("the search found " + std::to_string(found) + " entries");
    return seconds;
}

} // namespace

int main(int argc, char** argv)
try {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        const uint16_t port = static_cast<uint16_t>(std::atoi(argv[4]));
        double seconds = std::strcmp(argv[2], "window") == 0 ? measureWindow(argv[3], port) : measureSearch(argv[3], port);
        std::printf("%.6f\n", seconds);
        return 0;
    }
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[2]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: search_window_bench [--runs N]\n");
        return 2;
    }
    auto loadStart = WallClock::now();
    SlapdServer slapd(BigNodeServerOptions());
    std::printf("Search window benchmark: slapd on %s, %d entries of up to 7 attributes below %s (loaded in %.1f s); "
                "filter %s, subtree; %d alternating runs each, medians.\n\n",
        slapd.url().c_str(), kFound, BigNodeDn().c_str(), SecondsSince(loadStart), kFilter, runs);
    std::fflush(stdout);
    const char* const kinds[2] = { "window", "search" };
    const char* const labels[2] = { "Search until the list is filled", "OrnSearchSync subtree, then free" };
    CompareInChildren(std::filesystem::canonical("/proc/self/exe"), slapd.port(), runs, kinds, labels);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "search_window_bench: %s\n", error.what());
    return 1;
}
