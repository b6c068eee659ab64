// Delete benchmark: Delete Object on a subtree of 10,000 entries, four
// levels deep (the container, 9 departments of 10 teams, 110 people in each
// team), against `ldapdelete -r` of an identical subtree on the same slapd.
// The directory holds one pair of such subtrees per run, so that every
// delete starts from a whole subtree. Both sides are child processes timed
// from fork to wait4 (connect and bind included; ours also loads the tree's
// first page, which is what the program does before a delete can be asked
// for); they alternate, and the table shows medians and their ratio.
//
//   delete_bench [--runs N]
#include "bench/BigNode.h"
#include "bench/ChildRun.h"
#include "browser/BrowserSession.h"
#include "browser/tree/TreeCommands.h"
#include "ldap/OrnInterface.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/SlapdServer.h"
#include "tools/entries/EntryCommands.h"

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

constexpr int kDepartments = 9;
constexpr int kTeams = 10;
constexpr int kPeople = 110;
constexpr int kEntries = 1 + kDepartments * (1 + kTeams * (1 + kPeople));
static_assert(kEntries == 10000);
constexpr int kMaxRuns = 9;
constexpr int kChildLimitSeconds = 600;
// Bump when the generated directory changes, so a cached file is not reused.
constexpr const char* kLdifName = "delete-subtrees-9x10000-v1.ldif";

// The subtree a run deletes: side 0 ours, side 1 ldapdelete's.
std::string subtreeDn(int run, int side)
{
    return "ou=" + std::string(side == 0 ? "Ours" : "Theirs") + std::to_string(run) + "," + SlapdServer::suffix();
}

void writeSubtree(std::ofstream& out, const std::string& top)
{
    out << "dn: " << top << "\nobjectClass: organizationalUnit\nou: " << top.substr(3, top.find(',') - 3) << "\n\n";
    for (int d = 0; d < kDepartments; ++d) {
        const std::string department = "ou=Dept" + std::to_string(d) + "," + top;
        out << "dn: " << department << "\nobjectClass: organizationalUnit\nou: Dept" << d << "\n\n";
        for (int t = 0; t < kTeams; ++t) {
            const std::string team = "ou=Team" + std::to_string(t) + "," + department;
            out << "dn: " << team << "\nobjectClass: organizationalUnit\nou: Team" << t << "\n\n";
            for (int p = 0; p < kPeople; ++p) {
                const std::string uid = "u" + std::to_string(d) + "-" + std::to_string(t) + "-" + std::to_string(p);
                out << "dn: uid=" << uid << "," << team << "\nobjectClass: inetOrgPerson\nuid: " << uid
                    << "\ncn: Person " << uid << "\nsn: " << p << "\nmail: " << uid << "@example.com\n\n";
            }
        }
    }
}

// Deterministic: the same file on every machine and every run.
void writeLdif(const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "dn: " << SlapdServer::suffix() << "\nobjectClass: dcObject\nobjectClass: organization\n"
        << "dc: example\no: Example Corporation\n\n";
    for (int run = 0; run < kMaxRuns; ++run)
        for (int side = 0; side < 2; ++side)
            writeSubtree(out, subtreeDn(run, side));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// ---- The child's side: Delete Object as the program runs it ---------------

int deleteAsTheProgramDoes(const char* host, uint16_t port, const std::string& dn)
{
    FakeDesktop desktop; // answers Yes to "Delete selected Container?"
    BrowserSession session { desktop, std::make_unique<SystemClock>(), Registry { "/nonexistent" } };
    ViewState& state = session.state();
    OrnLdapService& service = session.service();
    AppContext& context = session.context();
    ConnectAsAdmin(service, host, port);
    state.connection.host = host;
    state.connection.port = port;
    state.connection.baseDn = SlapdServer::suffix();
    state.subschemaDn = "cn=Subschema";
    state.flags = { .viewNotConnected = false, .loggedIn = true, .treeActive = true };
    LoadTree(context);
    TreeNode* node = nullptr;
    for (const auto& child : state.tree.root()->children)
        if (child->label + "," + SlapdServer::suffix() == dn)
            node = child.get();
    if (!node)
        throw std::runtime_error("the tree does not show " + dn);
    SelectNode(context, node);
    desktop.progress.clear();
    DeleteObjectCommand(context);
    const std::size_t steps = std::count(desktop.progress.begin(), desktop.progress.end(), "step it");
    if (desktop.boxes.size() != 1 || steps != kEntries)
        throw std::runtime_error("Delete Object deleted " + std::to_string(steps) + " entries and showed "
            + std::to_string(desktop.boxes.size()) + " boxes");
    return 0;
}

// ---- The parent's side ------------------------------------------------------

int countBelow(const SlapdServer& slapd, const std::string& dn)
{
    OrnLdapService service("127.0.0.1", slapd.port());
    if (service.OrnInitialise() != 0
        || service.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), 160) != 0)
        throw std::runtime_error("cannot connect and bind");
    EntryRecord* result = nullptr;
    char noAttributes[] = "1.1";
    char* wanted[] = { noAttributes, nullptr };
    const int32_t found = service.OrnSearchSync(dn.c_str(), "objectClass=*", wanted, 0, 2, &result);
    const int count = found == 0 ? service.OrnCountEntries(result) : 0;
    OrnLdapService::OrnFreeResult(result);
    return count;
}

} // namespace

int main(int argc, char** argv)
try {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0)
        return deleteAsTheProgramDoes(argv[2], static_cast<uint16_t>(std::atoi(argv[3])), argv[4]);
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::clamp(std::atoi(argv[2]), 1, kMaxRuns);
    else if (argc != 1) {
        std::fprintf(stderr, "usage: delete_bench [--runs N] (N at most %d)\n", kMaxRuns);
        return 2;
    }
    ::setenv("LDAPNOINIT", "1", 1);
    ::unsetenv("VELMORA_TRACE");
    fs::path self = fs::canonical("/proc/self/exe");
    SlapdOptions options;
    options.ldifFile = cachedLdif(self.parent_path(), kLdifName, writeLdif);
    options.sizeLimit = -1;
    options.timeLimit = -1;
    auto loadStart = WallClock::now();
    SlapdServer slapd(options);
    std::printf("Delete benchmark: slapd on %s; a subtree of %d entries, 4 levels deep, deleted by Delete Object "
                "and by ldapdelete -r (loaded in %.1f s); %d alternating runs each, medians.\n\n",
        slapd.url().c_str(), kEntries, std::chrono::duration<double>(WallClock::now() - loadStart).count(), runs);
    std::fflush(stdout);

    std::vector<double> wall[2], cpu[2];
    for (int run = 0; run < runs; ++run) {
        for (int side = 0; side < 2; ++side) {
            const std::string dn = subtreeDn(run, side);
            if (countBelow(slapd, dn) != kEntries)
                throw std::runtime_error(dn + " is not whole");
            const std::vector<std::string> args = side == 0
                ? std::vector<std::string> { self.string(), "--child", "127.0.0.1", std::to_string(slapd.port()), dn }
                : std::vector<std::string> { "/usr/bin/ldapdelete", "-x", "-H", slapd.url(), "-D",
                      SlapdServer::adminDn(), "-w", SlapdServer::adminPassword(), "-r", dn };
            Run measured = runChild(args, false, kChildLimitSeconds);
            if (countBelow(slapd, dn) != 0)
                throw std::runtime_error(dn + " is still there");
            wall[side].push_back(measured.wallSeconds);
            cpu[side].push_back(measured.cpuSeconds);
        }
    }
    const double w[2] = { median(wall[0]), median(wall[1]) };
    const double c[2] = { median(cpu[0]), median(cpu[1]) };
    std::printf("%-28s | %8s | %14s\n", "", "wall s", "client CPU s");
    std::printf("%-28s | %8.3f | %14.3f\n", "Delete Object", w[0], c[0]);
    std::printf("%-28s | %8.3f | %14.3f\n", "ldapdelete -r", w[1], c[1]);
    std::printf("%-28s | %8.2f | %14.2f   (goal: wall at most 1.30)\n", "ratio", w[0] / w[1], c[0] / c[1]);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "delete_bench: %s\n", error.what());
    return 1;
}
