#include "bench/BigNode.h"

#include "bench/ChildRun.h"
#include "ldap/OrnInterface.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kChildLimitSeconds = 300;

// Deterministic: the same file on every machine and every run.
void writeLdif(const std::string& path, int children)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "dn: " << SlapdServer::suffix() << "\nobjectClass: dcObject\nobjectClass: organization\n"
        << "dc: example\no: Example Corporation\n\n";
    out << "dn: " << BigNodeDn() << "\nobjectClass: organizationalUnit\nou: Big\n\n";
    char uid[16];
    for (int i = 0; i < children; ++i) {
        std::snprintf(uid, sizeof uid, "user%07d", i);
        out << "dn: uid=" << uid << "," << BigNodeDn() << "\n"
            << "objectClass: inetOrgPerson\nuid: " << uid << "\ncn: User " << i << "\nsn: Number " << i
            << "\nmail: " << uid << "@example.com\ntelephoneNumber: +1 555 " << 1000 + i % 9000
            << "\ndescription: one of many children of a single node\n\n";
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

template <int Children> void writeLdifOf(const std::string& path)
{
    writeLdif(path, Children);
}

// One measurement: the wall time the child reports and its peak RSS.
Run measured(const std::string& self, const char* kind, uint16_t port)
{
    Run run = runChild({ self, "--child", kind, "127.0.0.1", std::to_string(port) }, true, kChildLimitSeconds);
    run.wallSeconds = std::atof(run.output.c_str());
    return run;
}

} // namespace

std::string BigNodeDn()
{
    return std::string("ou=Big,") + SlapdServer::suffix();
}

SlapdOptions BigNodeServerOptions(int children)
{
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");
    SlapdOptions options;
    // Bump the names when the generated directory changes, so a cached file is not reused.
    if (children == kBigNodeChildren)
        options.ldifFile
            = cachedLdif(self.parent_path(), "tree-children-100000-v2.ldif", writeLdifOf<kBigNodeChildren>);
    else if (children == kMillionChildren)
        options.ldifFile
            = cachedLdif(self.parent_path(), "tree-children-1000000-v2.ldif", writeLdifOf<kMillionChildren>);
    else
        throw std::logic_error("no big node of " + std::to_string(children) + " children");
    options.sizeLimit = -1;
    options.timeLimit = -1;
    return options;
}

void ConnectAsAdmin(OrnLdapService& service, const char* host, uint16_t port)
{
    service.OrnSetLdapVersion(3);
    service.OrnSetHostName(host);
    service.OrnSetPortNo(port);
    if (service.OrnInitialise() != 0
        || service.OrnBindSync(SlapdServer::adminDn(), SlapdServer::adminPassword(), 160) != 0)
        throw std::runtime_error("cannot connect and bind");
}

double SecondsSince(WallClock::time_point start)
{
    return std::chrono::duration<double>(WallClock::now() - start).count();
}

void CompareInChildren(
    const std::string& self, uint16_t port, int runs, const char* const kinds[2], const char* const labels[2])
{
    // Untimed: warms slapd's caches for both.
    measured(self, kinds[1], port);
    std::vector<double> wall[2], rss[2];
    for (int i = 0; i < runs; ++i)
        for (int side = 0; side < 2; ++side) {
            Run run = measured(self, kinds[side], port);
            wall[side].push_back(run.wallSeconds);
            rss[side].push_back(static_cast<double>(run.maxRssKb) / 1024.0);
        }
    double w[2] = { median(wall[0]), median(wall[1]) };
    double r[2] = { median(rss[0]), median(rss[1]) };
    std::printf("%-34s | %8s | %12s\n", "", "wall s", "peak RSS MB");
    for (int side = 0; side < 2; ++side)
        std::printf("%-34s | %8.3f | %12.1f\n", labels[side], w[side], r[side]);
    std::printf("%-34s | %8.2f | %12.2f\n", "ratio", w[0] / w[1], r[0] / r[1]);
}
