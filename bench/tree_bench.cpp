// Tree benchmark: the first page of a node with 100,000 and with 1,000,000
// children. One slapd per size holds the node (the LDIF is generated once
// and kept in the build folder); each measurement is a child process of its own, so that
// its peak RSS (wait4's rusage) is its own:
//   expand      connect, bind, read the root DSE as a login does, then
//               ExpandNode on the node with page size 100 until the first
//               page is in the tree model (the tree is built in the model,
//               without the root's own searches); slapd offers the simple
//               paged results control, so the tree asks for one page;
//   whole       the same one-level search without paging: OrnSearchSync of
//               every child with the two attributes the tree asks for
//               (100,000 children only);
//   ldapsearch  OpenLDAP's ldapsearch -z 100 of the same container with the
//               same attributes, the whole process (exec, connect, bind).
// The wall time of expand and ldapsearch is the child's whole run, from
// fork to exit; that of whole is taken inside the child around the search.
// They alternate; medians.
//
//   tree_bench [--runs N]
#include "bench/BigNode.h"
#include "bench/ChildRun.h"
#include "browser/BrowserSession.h"
#include "browser/session/ServerInfo.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/SlapdServer.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPageSize = 100;
constexpr int kChildLimitSeconds = 300;

// ---- The child's side -------------------------------------------------------

double measureExpand(const char* host, uint16_t port)
{
    FakeDesktop desktop;
    BrowserSession session { desktop, std::make_unique<SystemClock>(), Registry { "/nonexistent" } };
    ViewState& state = session.state();
    AppContext& context = session.context();
    auto start = WallClock::now();
    ConnectAsAdmin(session.service(), host, port);
    state.connection.host = host;
    state.connection.port = port;
    state.connection.baseDn = SlapdServer::suffix();
    state.flags.viewNotConnected = false;
    ReadServerInfo(context);
    state.pageSize = kPageSize;
    TreeNode* root = state.tree.setRoot(SlapdServer::suffix(), NodeImage::Root);
    state.paging.rootInserted = true;
    TreeNode* node = state.tree.append(root, "ou=Big", NodeImage::Container);
    state.tree.select(node);
    ExpandNode(context);
    double seconds = SecondsSince(start);
    if (!state.serverPages || node->children.size() != kPageSize)
        throw std::runtime_error("ExpandNode showed " + std::to_string(node->children.size()) + " children"
            + (state.serverPages ? "" : " without paging"));
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

// ---- The parent's side ------------------------------------------------------

// One measurement in a child process of its own: the wall time it reports
// (ldapsearch: its whole run) and its peak RSS.
Run measured(const std::string& self, const std::string& what, uint16_t port)
{
    if (what == "ldapsearch") {
        // -z 100 ends in sizeLimitExceeded, ldapsearch's exit status 4.
        const std::string command = "/usr/bin/ldapsearch -x -LLL -H ldap://127.0.0.1:" + std::to_string(port) + " -D '"
            + SlapdServer::adminDn() + "' -w " + SlapdServer::adminPassword() + " -s one -z "
            + std::to_string(kPageSize) + " -b '" + BigNodeDn()
            + "' '(objectclass=*)' hasSubordinates numSubordinates >/dev/null 2>&1; test $? -eq 4";
        return runChild({ "/bin/sh", "-c", command }, false, kChildLimitSeconds, { "LDAPNOINIT=1" });
    }
    Run run = runChild({ self, "--child", what, "127.0.0.1", std::to_string(port) }, true, kChildLimitSeconds);
    // The whole run of ours too, to stand beside ldapsearch's.
    if (what != "expand")
        run.wallSeconds = std::atof(run.output.c_str());
    return run;
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
    fs::path self = fs::canonical("/proc/self/exe");
    for (const int children : { kBigNodeChildren, kMillionChildren }) {
        SlapdOptions options = BigNodeServerOptions(children);
        auto loadStart = WallClock::now();
        SlapdServer slapd(options);
        std::printf("Tree benchmark: slapd on %s, %d children of 7 attributes under %s (loaded in %.1f s); "
                    "page size %d; %d alternating runs each, medians.\n\n",
            slapd.url().c_str(), children, BigNodeDn().c_str(), SecondsSince(loadStart), kPageSize, runs);
        std::fflush(stdout);

        // Untimed: warms slapd's caches.
        const int sides = children == kBigNodeChildren ? 3 : 2;
        measured(self, sides == 3 ? "whole" : "expand", slapd.port());
        const char* const kinds[3] = { "expand", "ldapsearch", "whole" };
        std::vector<double> wall[3], rss[3];
        for (int i = 0; i < runs; ++i)
            for (int side = 0; side < sides; ++side) {
                Run run = measured(self, kinds[side], slapd.port());
                wall[side].push_back(run.wallSeconds);
                rss[side].push_back(static_cast<double>(run.maxRssKb) / 1024.0);
            }
        const char* const labels[3]
            = { "ExpandNode, first page (paged)", "ldapsearch -z 100", "OrnSearchSync, every child" };
        std::printf("%-34s | %8s | %12s\n", "", "wall s", "peak RSS MB");
        for (int side = 0; side < sides; ++side)
            std::printf("%-34s | %8.3f | %12.1f\n", labels[side], median(wall[side]), median(rss[side]));
        std::printf("%-34s | %8.2f | %12.2f\n\n", "ratio ExpandNode / ldapsearch", median(wall[0]) / median(wall[1]),
            median(rss[0]) / median(rss[1]));
        std::fflush(stdout);
    }
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "tree_bench: %s\n", error.what());
    return 1;
}
