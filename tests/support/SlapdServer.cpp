#include "tests/support/SlapdServer.h"

#include "tests/support/ServerProcess.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;
using namespace server_process;

namespace {

constexpr const char* kSlapd = "/usr/sbin/slapd";
constexpr const char* kSchemaDir = "/etc/ldap/schema";
constexpr const char* kModuleDir = "/usr/lib/ldap";
constexpr auto kStartTimeout = std::chrono::seconds(10);

// slapd.conf takes double-quoted arguments; temporary paths may hold blanks.
std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// An enforcing AppArmor profile for /usr/sbin/slapd (Ubuntu ships one) allows
// only the packaged paths, not our temporary directory. Profiles attach by
// path, so a copy of the binary runs unconfined.
bool appArmorConfinesSlapd()
{
    std::ifstream enabled("/sys/module/apparmor/parameters/enabled");
    std::string flag;
    if (!(enabled >> flag) || flag != "Y")
        return false;
    std::ifstream profiles("/sys/kernel/security/apparmor/profiles");
    if (!profiles)
        return fs::exists("/etc/apparmor.d/usr.sbin.slapd");
    for (std::string line; std::getline(profiles, line);)
        if (line.find("slapd") != std::string::npos && line.find("(enforce)") != std::string::npos)
            return true;
    return false;
}

} // namespace

std::string SlapdServer::dataDirectory()
{
    if (const char* dir = std::getenv("ORN_DATA_DIR"); dir && *dir)
        return dir;
    // This file lives in tests/support/ of the source tree.
    return (fs::path(__FILE__).parent_path().parent_path().parent_path() / "data").string();
}

std::string SlapdServer::testDirectoryLdif()
{
    return dataDirectory() + "/test-directory.ldif";
}

SlapdServer::SlapdServer(SlapdOptions options)
    : options_(std::move(options))
{
    if (::access(kSlapd, X_OK) != 0)
        throw std::runtime_error(std::string(kSlapd) + " is missing: install the Debian package slapd");
    std::string schema = dataDirectory() + "/orn.schema";
    if (!fs::exists(schema))
        throw std::runtime_error("cannot find " + schema + " (set ORN_DATA_DIR)");

    dir_ = makeTemporaryDirectory("orn-slapd");

    try {
        fs::create_directory(dir_ + "/db");
        if (!options_.secondSuffix.empty())
            fs::create_directory(dir_ + "/db2");
        slapd_ = kSlapd;
        if (appArmorConfinesSlapd()) {
            slapd_ = dir_ + "/slapd";
            fs::copy_file(kSlapd, slapd_);
        }
        writeConfig();
        if (!options_.ldifFile.empty())
            load(options_.ldifFile);
        if (!options_.ldifText.empty()) {
            writeFile(dir_ + "/given.ldif", options_.ldifText);
            load(dir_ + "/given.ldif");
        }
        if (!options_.secondSuffix.empty()) {
            writeFile(dir_ + "/second.ldif", options_.secondLdifText);
            load(dir_ + "/second.ldif", options_.secondSuffix);
        }
        // Our port holder keeps our own tests apart; another program may still
        // have taken the port in between, and then a fresh port is tried.
        for (int attempt = 0;; ++attempt) {
            reservePort();
            launch();
            if (waitUntilAnswering())
                return;
            bool portTaken = !running() && launchLog().find("Address already in use") != std::string::npos;
            if (!portTaken || attempt == 4) {
                bool timedOut = running();
                kill();
                throw std::runtime_error("slapd " + std::string(timedOut ? "did not answer within 10 s" : "exited")
                    + " on " + url() + " (directory " + dir_ + "). Its output:\n" + log());
            }
            portHolder_.release();
            ldapsPortHolder_.release();
            port_ = 0;
            ldapsPort_ = 0;
        }
    } catch (...) {
        kill();
        portHolder_.release();
        ldapsPortHolder_.release();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        throw;
    }
}

SlapdServer::~SlapdServer()
{
    stop();
    portHolder_.release();
    ldapsPortHolder_.release();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::string SlapdServer::url() const
{
    return "ldap://" + host_ + ":" + std::to_string(port_);
}

std::string SlapdServer::log() const
{
    return readFile(dir_ + "/slapadd.log") + readFile(dir_ + "/slapd.log");
}

void SlapdServer::writeConfig() const
{
    auto limit = [](int value) { return value < 0 ? std::string("unlimited") : std::to_string(value); };
    std::ostringstream conf;
    for (const char* name : { "core", "cosine", "inetorgperson", "nis" })
        conf << "include " << quoted(std::string(kSchemaDir) + "/" + name + ".schema") << "\n";
    conf << "include " << quoted(dataDirectory() + "/orn.schema") << "\n";
    conf << "pidfile " << quoted(dir_ + "/slapd.pid") << "\n";
    conf << "argsfile " << quoted(dir_ + "/slapd.args") << "\n";
    conf << "modulepath " << kModuleDir << "\nmoduleload back_mdb\n";
    if (options_.allowBindV2)
        conf << "allow bind_v2\n";
    conf << "sizelimit " << limit(options_.sizeLimit) << "\n";
    conf << "timelimit " << limit(options_.timeLimit) << "\n";
    if (!options_.tlsCertificateFile.empty()) {
        conf << "TLSCertificateFile " << quoted(options_.tlsCertificateFile) << "\n";
        conf << "TLSCertificateKeyFile " << quoted(options_.tlsKeyFile) << "\n";
    }
    conf << options_.frontendAccess << "\n";

    conf << "database mdb\n";
    // Address space only; the large searches of the benchmarks need room.
    conf << "maxsize 1073741824\n";
    // A test database need not survive a crash.
    conf << "dbnosync\n";
    conf << "directory " << quoted(dir_ + "/db") << "\n";
    conf << "suffix " << quoted(suffix()) << "\n";
    conf << "rootdn " << quoted(adminDn()) << "\n";
    conf << "rootpw " << adminPassword() << "\n";
    conf << "index objectClass eq\nindex uid,cn eq\nindex OrnAttrObjectLink eq\n";
    const std::string access = options_.access
        + "access to attrs=userPassword\n"
          "    by users write\n"
          "    by anonymous auth\n"
          "    by * none\n"
          "access to *\n"
          "    by users write\n"
          "    by * read\n";
    conf << access;
    if (!options_.secondSuffix.empty()) {
        conf << "\ndatabase mdb\ndbnosync\n";
        conf << "directory " << quoted(dir_ + "/db2") << "\n";
        conf << "suffix " << quoted(options_.secondSuffix) << "\n";
        conf << access;
    }
    writeFile(dir_ + "/slapd.conf", conf.str());
}

void SlapdServer::load(const std::string& ldifPath, const std::string& suffix)
{
    std::vector<std::string> args { "slapadd", "-q", "-f", dir_ + "/slapd.conf", "-l", ldifPath };
    if (!suffix.empty())
        args.insert(args.end(), { "-b", suffix });
    runToEnd(slapd_, args, dir_ + "/slapadd.log", "slapadd could not load " + ldifPath);
}

std::vector<std::string> SlapdServer::ldapsearchValues(const std::string& dn, const std::string& attribute) const
{
    // -tt writes every value to a file of its own, bytes as they are.
    const std::string folder = dir_ + "/ldapsearch";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    const std::string output = folder + "/output";
    runToEnd("/usr/bin/ldapsearch",
        { "ldapsearch", "-LLL", "-tt", "-T", folder, "-o", "ldif-wrap=no", "-x", "-H", url(), "-D", adminDn(), "-w",
            adminPassword(), "-s", "base", "-b", dn, "(objectClass=*)", attribute },
        output, "ldapsearch could not read " + dn);
    std::vector<std::string> values;
    std::istringstream lines(readFile(output));
    const std::string marker = ":< file://";
    for (std::string line; std::getline(lines, line);)
        if (std::size_t at = line.find(marker); at != std::string::npos)
            values.push_back(readFile(line.substr(at + marker.size())));
    return values;
}

std::string SlapdServer::ldapsearchEntry(const std::string& dn) const
{
    const std::string output = dir_ + "/ldapsearch-entry";
    std::filesystem::remove(output);
    runToEnd("/usr/bin/ldapsearch",
        { "ldapsearch", "-LLL", "-o", "ldif-wrap=no", "-x", "-H", url(), "-D", adminDn(), "-w", adminPassword(), "-s",
            "base", "-b", dn, "(objectClass=*)" },
        output, "ldapsearch could not read " + dn);
    std::string entry = readFile(output);
    return entry.substr(entry.find('\n') + 1);
}

void SlapdServer::reservePort()
{
    port_ = portHolder_.hold(port_);
    if (!options_.tlsCertificateFile.empty())
        ldapsPort_ = ldapsPortHolder_.hold(ldapsPort_);
}

std::string SlapdServer::launchLog() const
{
    std::string text = readFile(dir_ + "/slapd.log");
    return logStart_ < text.size() ? text.substr(logStart_) : std::string();
}

void SlapdServer::launch()
{
    std::error_code missing;
    auto size = fs::file_size(dir_ + "/slapd.log", missing);
    logStart_ = missing ? 0 : size;
    // "-d none" keeps slapd in the foreground, our child, and logs only
    // what it always logs: start, stop and errors.
    std::string listeners = url() + "/";
    if (ldapsPort_ != 0)
        listeners += " ldaps://" + host_ + ":" + std::to_string(ldapsPort_) + "/";
    pid_ = spawn(slapd_, { "slapd", "-f", dir_ + "/slapd.conf", "-h", listeners, "-d", "none" }, dir_ + "/slapd.log");
}

bool SlapdServer::waitUntilAnswering()
{
    // slapd logs "slapd starting" only once its listener is bound, so the
    // answer cannot have come from another program on this port.
    return server_process::waitUntilAnswering(pid_, kStartTimeout,
        [this] { return answersBind(host_, port_) && launchLog().find("slapd starting") != std::string::npos; });
}

void SlapdServer::stop()
{
    endChild(pid_, SIGTERM, 5000);
}

void SlapdServer::kill()
{
    endChild(pid_, SIGKILL, 0);
}

void SlapdServer::freeze()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGSTOP);
    // Until every thread has stopped, a request may still be answered.
    int status = 0;
    while (::waitpid(pid_, &status, WUNTRACED) < 0 && errno == EINTR) { }
}

void SlapdServer::thaw()
{
    if (pid_ > 0)
        ::kill(pid_, SIGCONT);
}

void SlapdServer::restart()
{
    stop();
    launch();
    if (!waitUntilAnswering()) {
        kill();
        throw std::runtime_error("slapd did not start again on " + url() + ". Its output:\n" + log());
    }
}
