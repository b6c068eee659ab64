// Runs the ldap-utils commands (ldapsearch, ldapmodify, ldapwhoami, ...) that
// check a test server from outside, as an independent client sees it.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <stdexcept>
#include <string>

struct Outcome {
    int status = -1;
    std::string output;
};

// Runs an ldap-utils command; LDAPNOINIT keeps ~/.ldaprc and ldap.conf out of it.
inline Outcome run(const std::string& command, const std::string& input = "")
{
    std::string line = "LDAPNOINIT=1 " + command + " 2>&1";
    if (!input.empty())
        line = "printf '%s' '" + input + "' | " + line;
    Outcome result;
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("popen failed");
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}


// ldapsearch's LDIF, unwrapped, of what the filter finds below base; bind
// holds the options that bind, if any.
inline std::string search(const std::string& url, const std::string& base, const std::string& filter,
    const std::string& attributes, const std::string& bind = "")
{
    return run("ldapsearch -x -LLL -o ldif-wrap=no -H " + url + bind + " -b '" + base + "' '" + filter + "' "
        + attributes)
        .output;
}
