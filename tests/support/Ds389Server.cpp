#include "tests/support/Ds389Server.h"

#include "tests/support/SlapdServer.h"

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;
using namespace server_process;

namespace {

constexpr const char* kNsSlapd = "/usr/sbin/ns-slapd";
constexpr const char* kTemplate = "/usr/share/dirsrv/data/template-dse.ldif";
constexpr const char* kConfigDir = "/etc/dirsrv";
constexpr auto kStartTimeout = std::chrono::seconds(20);
// The slapd fixture's rules: anyone reads all but userPassword, bound users write.
constexpr const char* kAccessRules
    = "aci: (targetattr!=\"userPassword\")(version 3.0; acl \"Anonymous read\"; "
      "allow (read, search, compare) userdn = \"ldap:///anyone\";)\n"
      "aci: (targetattr=\"*\")(version 3.0; acl \"Bound users write\"; allow (all) userdn = \"ldap:///all\";)";

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The definitions of an OpenLDAP schema file as 389's schema LDIF lines:
// "attributetype ( ... )" becomes "attributeTypes: ( ... )" on one line.
std::string schemaLines(const std::string& openLdapSchema)
{
    std::string text;
    std::istringstream lines(openLdapSchema);
    for (std::string line; std::getline(lines, line);)
        if (line.empty() || line[0] != '#')
            text += line + " ";
    std::string out;
    for (const auto& [keyword, name] : { std::pair { "attributetype", "attributeTypes" }, { "objectclass", "objectClasses" } }) {
        for (std::size_t at = lower(text).find(keyword); at != std::string::npos;
             at = lower(text).find(keyword, at + 1)) {
            std::size_t open = text.find('(', at);
            int depth = 0;
            std::size_t end = open;
            for (; end < text.size(); ++end) {
                depth += text[end] == '(' ? 1 : text[end] == ')' ? -1 : 0;
                if (depth == 0)
                    break;
            }
            std::string definition;
            for (char c : text.substr(open, end + 1 - open))
                if (!(c == ' ' && !definition.empty() && definition.back() == ' '))
                    definition += c == '\t' ? ' ' : c;
            out += std::string(name) + ": " + definition + "\n";
        }
    }
    return out;
}

// The records of an LDIF text without its comments; the suffix's record gains
// the access rules, and is made when the text has none.
std::string importLdif(const std::string& given)
{
    std::vector<std::string> records(1);
    bool inComment = false;
    std::istringstream lines(given);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty()) {
            inComment = false;
            if (!records.back().empty())
                records.emplace_back();
            continue;
        }
        if (line[0] == '#' || (inComment && line[0] == ' ')) {
            inComment = true;
            continue;
        }
        inComment = false;
        records.back() += line + "\n";
    }
    const std::string suffixDn = "dn: " + std::string(Ds389Server::suffix()) + "\n";
    bool suffixFound = false;
    for (auto& record : records)
        if (lower(record.substr(0, suffixDn.size())) == lower(suffixDn)) {
            record += std::string(kAccessRules) + "\n";
            suffixFound = true;
        }
    std::string out;
    if (!suffixFound)
        out = suffixDn + "objectClass: top\nobjectClass: domain\ndc: example\n" + kAccessRules + "\n\n";
    for (const auto& record : records)
        if (!record.empty())
            out += record + "\n";
    return out;
}

// root runs the server as the package's user; anyone else as themselves.
std::string serverUser()
{
    if (::geteuid() == 0)
        return "dirsrv";
    const passwd* me = ::getpwuid(::geteuid());
    if (!me)
        throw std::runtime_error("cannot tell who runs the tests");
    return me->pw_name;
}

void giveTo(const std::string& dir, const std::string& user)
{
    if (::geteuid() != 0)
        return;
    const passwd* owner = ::getpwnam(user.c_str());
    if (!owner)
        throw std::runtime_error("no user " + user + ": install the Debian package 389-ds-base");
    auto give = [&](const fs::path& path) {
        if (::lchown(path.c_str(), owner->pw_uid, owner->pw_gid) != 0)
            throw std::runtime_error(systemError("chown " + path.string()));
    };
    give(dir);
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        give(entry.path());
}

} // namespace

Ds389Server::Ds389Server(Ds389Options options)
    : options_(std::move(options))
    , user_(serverUser())
{
    if (::access(kNsSlapd, X_OK) != 0 || !fs::exists(kTemplate))
        throw ServerUnavailable(std::string(kNsSlapd) + " is missing: install the Debian package 389-ds-base");
    if (::access((std::string(kConfigDir) + "/config/slapd-collations.conf").c_str(), R_OK) != 0)
        throw ServerUnavailable(std::string(kConfigDir) + " is readable only by root and the group dirsrv");
    dir_ = makeTemporaryDirectory("orn-389");
    try {
        port_ = portHolder_.hold();
        makeInstance();
        std::string ldif;
        if (!options_.ldifFile.empty())
            ldif = readFile(options_.ldifFile) + "\n";
        import(importLdif(ldif + options_.ldifText));
        launch();
        if (!waitUntilAnswering()) {
            const bool timedOut = running();
            stop();
            throw std::runtime_error("ns-slapd " + std::string(timedOut ? "did not answer within 20 s" : "exited")
                + " on " + url() + " (directory " + dir_ + "). Its log:\n" + log());
        }
    } catch (...) {
        stop();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        throw;
    }
}

Ds389Server::~Ds389Server()
{
    stop();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::string Ds389Server::url() const
{
    return "ldap://" + host_ + ":" + std::to_string(port_);
}

std::string Ds389Server::log() const
{
    return readFile(dir_ + "/log/errors") + readFile(dir_ + "/log/stdout");
}

void Ds389Server::stop()
{
    endChild(pid_, SIGTERM, 10000);
}

void Ds389Server::makeInstance() const
{
    for (const char* sub : { "etc/schema", "db", "bak", "ldif", "lock", "log", "run", "tmp", "certs" })
        fs::create_directories(dir_ + "/" + sub);
    // The instance's own schema: 389's user schema file plus ours.
    writeFile(dir_ + "/etc/schema/99user.ldif",
        readFile(std::string(kConfigDir) + "/schema/99user.ldif")
            + schemaLines(readFile(SlapdServer::dataDirectory() + "/orn.schema")));
    for (const char* name : { "slapd-collations.conf", "certmap.conf" })
        fs::copy_file(std::string(kConfigDir) + "/config/" + name, dir_ + "/etc/" + name);

    runToEnd("/usr/bin/pwdhash", { "pwdhash", "-s", "SSHA512", adminPassword() }, dir_ + "/tmp/hash",
        "pwdhash failed");
    std::string hash = readFile(dir_ + "/tmp/hash");
    while (!hash.empty() && std::isspace(static_cast<unsigned char>(hash.back())))
        hash.pop_back();

    std::string dse = readFile(kTemplate);
    const std::pair<const char*, std::string> fields[] = {
        { "%schema_dir%", dir_ + "/etc/schema" }, { "%lock_dir%", dir_ + "/lock" }, { "%tmp_dir%", dir_ + "/tmp" },
        { "%cert_dir%", dir_ + "/certs" }, { "%ldif_dir%", dir_ + "/ldif" }, { "%bak_dir%", dir_ + "/bak" },
        { "%run_dir%", dir_ + "/run" }, { "%inst_dir%", dir_ }, { "%log_dir%", dir_ + "/log" },
        { "%fqdn%", "localhost" }, { "%ds_user%", user_ }, { "%rootdn%", adminDn() }, { "%ds_passwd%", hash },
        { "%ldapi_enabled%", "off" }, { "%ldapi%", dir_ + "/run/slapd.socket" }, { "%ldapi_autobind%", "off" },
        { "%ds_suffix%", suffix() }, { "%config_dir%", dir_ + "/etc" }, { "%db_dir%", dir_ + "/db" },
        { "%db_home_dir%", dir_ + "/db" }, { "%db_lib%", "mdb" },
        // Loopback only.
        { "nsslapd-port: %ds_port%", "nsslapd-port: " + std::to_string(port_) + "\nnsslapd-listenhost: " + host_ },
    };
    for (const auto& [field, value] : fields)
        replaceAll(dse, field, value);
    while (dse.size() > 1 && dse.back() == '\n' && dse[dse.size() - 2] == '\n')
        dse.pop_back();
    // One blank line between entries: two make "Entry has no dn".
    dse += "\ndn: cn=userRoot,cn=ldbm database,cn=plugins,cn=config\nobjectClass: top\n"
           "objectClass: extensibleObject\nobjectClass: nsBackendInstance\ncn: userRoot\nnsslapd-suffix: "
        + std::string(suffix()) + "\nnsslapd-cachememsize: 10485760\nnsslapd-readonly: off\n"
        + "nsslapd-require-index: off\nnsslapd-directory: " + dir_ + "/db/userRoot\n\n"
        + "dn: cn=\"" + suffix() + "\",cn=mapping tree,cn=config\nobjectClass: top\nobjectClass: extensibleObject\n"
        + "objectClass: nsMappingTree\ncn: " + suffix() + "\nnsslapd-state: backend\nnsslapd-backend: userRoot\n";
    writeFile(dir_ + "/etc/dse.ldif", dse);
    giveTo(dir_, user_);
}

void Ds389Server::import(const std::string& ldif) const
{
    const std::string file = dir_ + "/ldif/import.ldif";
    writeFile(file, ldif);
    giveTo(dir_, user_);
    bool imported = true;
    try {
        runToEnd(kNsSlapd, { "ns-slapd", "ldif2db", "-D", dir_ + "/etc", "-n", "userRoot", "-i", file },
            dir_ + "/log/stdout", "ldif2db");
    } catch (const std::runtime_error&) {
        imported = false;
    }
    // An entry the schema refuses is skipped, and the import may still
    // succeed: a test would miss the entry.
    const std::string errors = readFile(dir_ + "/log/errors");
    if (!imported || errors.find("Skipping entry") != std::string::npos)
        throw std::runtime_error("ns-slapd could not import the suite's LDIF whole:\n" + errors);
}

void Ds389Server::launch()
{
    // The server binds beside our holder with SO_REUSEADDR; "-d 0" keeps it
    // in the foreground, our child, and started as its user it keeps the
    // signal that ends it with the test process.
    pid_ = spawn(kNsSlapd, { "ns-slapd", "-D", dir_ + "/etc", "-i", dir_ + "/run/slapd.pid", "-d", "0" },
        dir_ + "/log/stdout", user_);
}

bool Ds389Server::waitUntilAnswering()
{
    return server_process::waitUntilAnswering(pid_, kStartTimeout, [this] { return answersBind(host_, port_); });
}
