// Tree benchmark: what the browser adds to a one-level search when a node
// with 100,000 children is double-clicked. One slapd holds the node; each
// measurement is this program run again as a child process, so that its
// peak RSS (wait4's rusage) is its own:
//   expand  ExpandNode on the node with page size 100, until the first page
//           is in the tree model (the node is selected in the model without
//           the selection's own one-level search);
//   search  one OrnSearchSync of the same one-level search (the same two
//           attributes asked for), then free.
// Both connect and bind the same way first. Wall time is taken inside the
// child around the measured call. The two alternate; the table shows medians.
//
//   tree_bench [--runs N]
#include "bench/BigNode.h"
#include "browser/BrowserSession.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"
#include "tests/support/FakeDesktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

constexpr int kPageSize = 100;

// ---- The child's side -------------------------------------------------------

double measureExpand(const char* host, uint16_t port)
{
    FakeDesktop desktop;
    BrowserSession session { desktop, std::make_unique<SystemClock>(), Registry { "/nonexistent" } };
    ViewState& state = session.state();
    OrnLdapService& service = session.service();
    AppContext& context = session.context();
    ConnectAsAdmin(service, host, port);
    state.connection.host = host;
    state.connection.port = port;
    state.connection.baseDn = SlapdServer::suffix();
    state.subschemaDn = "cn=Subschema";
    state.flags.viewNotConnected = false;
    state.pageSize = kPageSize;
    LoadTree(context);
    if (!state.tree.root() || state.tree.root()->children.size() != 1)
        throw std::runtime_error("the base DN does not show the one node");
    TreeNode* node = state.tree.root()->children.front().get();
    state.tree.select(node);

    auto start = WallClock::now();
    ExpandNode(context);
    double seconds = SecondsSince(start);
    if (node->children.size() != kPageSize || state.paging.childCount != kBigNodeChildren)
        throw std::runtime_error("ExpandNode showed " + std::to_string(node->children.size()) + " of "
            + std::to_string(state.paging.childCount) + " children");
    return seconds;
}

double measureSearch(const char* host, uint16_t port)
{
    OrnLdapService service;
    ConnectAsAdmin(service, host, port);
    EntryRecord* result = nullptr;
    // The attributes the tree asks for.
    std::string has = "hasSubordinates";
    std::string count = "numSubordinates";
    char* wanted[] = { has.data(), count.data(), nullptr };
    auto start = WallClock::now();
    int32_t found = service.OrnSearchSync(BigNodeDn().c_str(), "objectclass=*", wanted, 0, 1, &result);
    double seconds = SecondsSince(start);
    int children = found == 0 ? service.OrnCountEntries(result) : -1;
    OrnLdapService::OrnFreeResult(result);
    if (children != kBigNodeChildren)
        throw std::runtime_error("the search found " + std::to_string(children) + " children");
    return seconds;
}

int childMain(const std::string& what, const char* host, uint16_t port)
{
    double seconds = what == "expand" ? measureExpand(host, port) : measureSearch(host, port);
    std::printf("%.6f\n", seconds);
    return 0;
}

} // namespace

int main(int argc, char** argv)
try {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0)
        return childMain(argv[2], argv[3], static_cast<uint16_t>(std::atoi(argv[4])));
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[2]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: tree_bench [--runs N]\n");
        return 2;
    }
    auto loadStart = WallClock::now();
    SlapdServer slapd(BigNodeServerOptions());
    std::printf("Tree benchmark: slapd on %s, %d children of 7 attributes under %s (loaded in %.1f s); "
                "page size %d; %d alternating runs each, medians.\n\n",
        slapd.url().c_str(), kBigNodeChildren, BigNodeDn().c_str(), SecondsSince(loadStart), kPageSize, runs);
    std::fflush(stdout);
    const char* const kinds[2] = { "expand", "search" };
    const char* const labels[2] = { "ExpandNode until the first page", "OrnSearchSync one level" };
    CompareInChildren(std::filesystem::canonical("/proc/self/exe"), slapd.port(), runs, kinds, labels);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "tree_bench: %s\n", error.what());
    return 1;
}
