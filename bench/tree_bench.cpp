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
#include "bench/ChildRun.h"
#include "browser/BrowserSession.h"
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
using WallClock = std::chrono::steady_clock;

namespace {

constexpr int kChildren = 100000;
constexpr int kPageSize = 100;
constexpr int kChildLimitSeconds = 300;
// Bump when the generated directory changes, so a cached file is not reused.
constexpr const char* kLdifName = "tree-children-100000-v1.ldif";

std::string nodeDn()
{
    return std::string("ou=Big,") + SlapdServer::suffix();
}

// Deterministic: the same file on every machine and every run.
void writeLdif(const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "dn: " << SlapdServer::suffix() << "\nobjectClass: dcObject\nobjectClass: organization\n"
        << "dc: example\no: Example Corporation\n\n";
    out << "dn: " << nodeDn() << "\nobjectClass: organizationalUnit\nou: Big\n\n";
    char uid[16];
    for (int i = 0; i < kChildren; ++i) {
        std::snprintf(uid, sizeof uid, "user%06d", i);
        out << "dn: uid=" << uid << "," << nodeDn() << "\n"
            << "objectClass: inetOrgPerson\nuid: " << uid << "\ncn: User " << i << "\nsn: Number " << i
            << "\nmail: " << uid << "@example.com\ntelephoneNumber: +1 555 " << 1000 + i % 9000
            << "\ndescription: one of many children of a single node\n\n";
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// ---- The child's side -------------------------------------------------------

void connect(OrnLdapService& service, const char* host, uint16_t port)
{
    service.OrnSetLdapVersion(3);
    service.OrnSetHostName(host);
    service.OrnSetPortNo(port);
    if (service.OrnInitialise() != 0
        || service.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), 160) != 0)
        throw std::runtime_error("cannot connect and bind");
}

double secondsSince(WallClock::time_point start)
{
    return std::chrono::duration<double>(WallClock::now() - start).count();
}

double measureExpand(const char* host, uint16_t port)
{
    FakeDesktop desktop;
    BrowserSession session { desktop, std::make_unique<SystemClock>(), Registry { "/nonexistent" } };
    ViewState& state = session.state();
    OrnLdapService& service = session.service();
    AppContext& context = session.context();
    connect(service, host, port);
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
    double seconds = secondsSince(start);
    if (node->children.size() != kPageSize || state.paging.childCount != kChildren)
        throw std::runtime_error("ExpandNode showed " + std::to_string(node->children.size()) + " of "
            + std::to_string(state.paging.childCount) + " children");
    return seconds;
}

double measureSearch(const char* host, uint16_t port)
{
    OrnLdapService service;
    connect(service, host, port);
    EntryRecord* result = nullptr;
    // The attributes the tree asks for.
    std::string has = "hasSubordinates";
    std::string count = "numSubordinates";
    char* wanted[] = { has.data(), count.data(), nullptr };
    auto start = WallClock::now();
    int32_t found = service.OrnSearchSync(nodeDn().c_str(), "objectclass=*", wanted, 0, 1, &result);
    double seconds = secondsSince(start);
    int children = found == 0 ? service.OrnCountEntries(result) : -1;
    OrnLdapService::OrnFreeResult(result);
    if (children != kChildren)
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
// and its peak RSS.
Run measured(const std::string& self, const char* what, uint16_t port)
{
    Run run = runChild({ self, "--child", what, "127.0.0.1", std::to_string(port) }, true, kChildLimitSeconds);
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
    SlapdOptions options;
    options.ldifFile = cachedLdif(self.parent_path(), kLdifName, writeLdif);
    options.sizeLimit = -1;
    options.timeLimit = -1;
    auto loadStart = WallClock::now();
    SlapdServer slapd(options);
    std::printf("Tree benchmark: slapd on %s, %d children of 7 attributes under %s (loaded in %.1f s); "
                "page size %d; %d alternating runs each, medians.\n\n",
        slapd.url().c_str(), kChildren, nodeDn().c_str(), secondsSince(loadStart), kPageSize, runs);
    std::fflush(stdout);

    // Untimed: warms slapd's caches for both.
    measured(self, "search", slapd.port());
    std::vector<double> wall[2], rss[2];
    const char* const kinds[2] = { "expand", "search" };
    for (int i = 0; i < runs; ++i)
        for (int side = 0; side < 2; ++side) {
            Run run = measured(self, kinds[side], slapd.port());
            wall[side].push_back(run.wallSeconds);
            rss[side].push_back(static_cast<double>(run.maxRssKb) / 1024.0);
        }
    double w[2] = { median(wall[0]), median(wall[1]) };
    double r[2] = { median(rss[0]), median(rss[1]) };
    std::printf("%-34s | %8s | %12s\n", "", "wall s", "peak RSS MB");
    std::printf("%-34s | %8.3f | %12.1f\n", "ExpandNode until the first page", w[0], r[0]);
    std::printf("%-34s | %8.3f | %12.1f\n", "OrnSearchSync one level", w[1], r[1]);
    std::printf("%-34s | %8.2f | %12.2f\n", "ratio", w[0] / w[1], r[0] / r[1]);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "tree_bench: %s\n", error.what());
    return 1;
}
