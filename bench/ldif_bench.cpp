// LDIF benchmark: Export LDIF File of 100,000 entries against
// `ldapsearch -x -LLL -o ldif-wrap=no > file`, and Import LDIF File of
// 10,000 entries against `ldapadd -x -f`, on one slapd. Each run is a child
// process, timed around fork and wait4 (connect and bind included on both
// sides), with its peak RSS from wait4's rusage. The two sides alternate;
// the table shows medians. Each import run fills a container of its own.
//
//   ldif_bench [--runs N]
#include "bench/BigNode.h"
#include "bench/ChildRun.h"
#include "browser/BrowserSession.h"
#include "ldap/OrnInterface.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/SlapdServer.h"
#include "tools/ldif/LdifCommands.h"
#include "tools/ldif/LdifDialogs.h"

#include <algorithm>
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

constexpr int kExported = 100000;
constexpr int kImported = 10000;
constexpr int kChildLimitSeconds = 600;
// Bump when the generated directory changes, so a cached file is not reused.
constexpr const char* kLdifName = "ldif-export-100000-v1.ldif";

std::string exportDn()
{
    return std::string("ou=Big,") + SlapdServer::suffix();
}

void writeEntries(std::ostream& out, const std::string& parent, int count)
{
    char uid[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(uid, sizeof uid, "user%06d", i);
        out << "dn: uid=" << uid << "," << parent << "\n"
            << "objectClass: inetOrgPerson\nuid: " << uid << "\ncn: User " << i << "\nsn: Number " << i
            << "\nmail: " << uid << "@example.com\ntelephoneNumber: +1 555 " << 1000 + i % 9000
            << "\ndescription: one of many entries exported and imported\n\n";
    }
}

// Deterministic: the same file on every machine and every run.
void writeLdif(const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "dn: " << SlapdServer::suffix() << "\nobjectClass: dcObject\nobjectClass: organization\n"
        << "dc: example\no: Example Corporation\n\n";
    out << "dn: " << exportDn() << "\nobjectClass: organizationalUnit\nou: Big\n\n";
    writeEntries(out, exportDn(), kExported);
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// The file one import run reads: a container of its own and its entries.
std::string importFile(const fs::path& dir, const std::string& container)
{
    const std::string path = (dir / (container + ".ldif")).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string dn = "ou=" + container + "," + SlapdServer::suffix();
    out << "dn: " << dn << "\nobjectClass: organizationalUnit\nou: " << container << "\n\n";
    writeEntries(out, dn, kImported);
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
    return path;
}

// ---- The child's side -------------------------------------------------------

int childMain(const std::string& what, const char* host, uint16_t port, const std::string& file)
{
    FakeDesktop desktop;
    BrowserSession session { desktop, std::make_unique<SystemClock>(), Registry { "/nonexistent" } };
    OrnLdapService& service = session.service();
    ViewState& state = session.state();
    ConnectAsAdmin(service, host, port);
    state.connection.host = host;
    state.flags.viewNotConnected = false;
    if (what == "export") {
        ExportLdif(session.context(), exportDn(), file);
    } else {
        ImportLdifDialog dialog(session.context());
        dialog.setFileName(file);
        dialog.ok();
    }
    if (desktop.boxes.size() != 1)
        throw std::runtime_error("the " + what + " showed " + std::to_string(desktop.boxes.size()) + " boxes");
    std::printf("%s\n", desktop.boxes.front().text.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
try {
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
        return childMain(argv[2], argv[3], static_cast<uint16_t>(std::atoi(argv[4])), argv[5]);
    int runs = 3;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[2]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: ldif_bench [--runs N]\n");
        return 2;
    }
    const fs::path self = fs::canonical("/proc/self/exe");
    const fs::path dir = self.parent_path();
    // The import's children write their LDIF log into the current folder.
    fs::current_path(dir);
    SlapdOptions options;
    options.ldifFile = cachedLdif(dir, kLdifName, writeLdif);
    options.sizeLimit = -1;
    options.timeLimit = -1;
    SlapdServer slapd(options);
    const std::string port = std::to_string(slapd.port());
    const std::string bind
        = " -x -H " + slapd.url() + " -D '" + SlapdServer::adminDn() + "' -w " + SlapdServer::adminPassword();
    std::printf("LDIF benchmark: slapd on %s; export of %d entries of 7 attributes under %s; import of %d "
                "such entries into a new container per run; %d alternating runs each, medians.\n\n",
        slapd.url().c_str(), kExported, exportDn().c_str(), kImported, runs);
    std::fflush(stdout);

    const std::string ours = (dir / "ldif-bench-ours.ldif").string();
    const std::string theirs = (dir / "ldif-bench-ldapsearch.ldif").string();
    // Untimed: warms slapd's caches for both.
    runChild({ "/bin/sh", "-c",
                 "LDAPNOINIT=1 ldapsearch" + bind + " -LLL -o ldif-wrap=no -b '" + exportDn() + "' > " + theirs },
        false, kChildLimitSeconds);
    std::vector<double> wall[4], rss[4];
    for (int i = 0; i < runs; ++i) {
        Run run = runChild({ self.string(), "--child", "export", "127.0.0.1", port, ours }, true, kChildLimitSeconds);
        if (run.output != "Export completed\n")
            throw std::runtime_error("the export said " + run.output);
        wall[0].push_back(run.wallSeconds);
        rss[0].push_back(static_cast<double>(run.maxRssKb) / 1024.0);
        run = runChild(
            { "/bin/sh", "-c",
                "LDAPNOINIT=1 ldapsearch" + bind + " -LLL -o ldif-wrap=no -b '" + exportDn() + "' > " + theirs },
            false, kChildLimitSeconds);
        wall[1].push_back(run.wallSeconds);
        rss[1].push_back(static_cast<double>(run.maxRssKb) / 1024.0);

        const std::string ourFile = importFile(dir, "OursRun" + std::to_string(i));
        run = runChild({ self.string(), "--child", "import", "127.0.0.1", port, ourFile }, true, kChildLimitSeconds);
        if (run.output.rfind(std::to_string(kImported + 1) + " Entries Copied \n", 0) != 0)
            throw std::runtime_error("the import said " + run.output);
        wall[2].push_back(run.wallSeconds);
        rss[2].push_back(static_cast<double>(run.maxRssKb) / 1024.0);
        const std::string theirFile = importFile(dir, "LdapaddRun" + std::to_string(i));
        run = runChild({ "/bin/sh", "-c", "LDAPNOINIT=1 ldapadd" + bind + " -f " + theirFile + " > /dev/null" }, false,
            kChildLimitSeconds);
        wall[3].push_back(run.wallSeconds);
        rss[3].push_back(static_cast<double>(run.maxRssKb) / 1024.0);
        fs::remove(ourFile);
        fs::remove(theirFile);
    }
    const char* const names[4] = { "Export LDIF File", "ldapsearch -LLL > file", "Import LDIF File", "ldapadd -f" };
    std::printf("%-28s | %8s | %12s\n", "", "wall s", "peak RSS MB");
    for (int side = 0; side < 4; ++side)
        std::printf("%-28s | %8.3f | %12.1f\n", names[side], median(wall[side]), median(rss[side]));
    std::printf("%-28s | %8.2f |\n", "export ratio", median(wall[0]) / median(wall[1]));
    std::printf("%-28s | %8.2f |\n", "import ratio", median(wall[2]) / median(wall[3]));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "ldif_bench: %s\n", error.what());
    return 1;
}
