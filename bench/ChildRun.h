// What the benchmark programs share: a measured child process (wall time
// around fork and wait4, CPU time and peak RSS from wait4's rusage), the
// median of repeated runs, and a generated LDIF kept in the build folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct Run {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    long maxRssKb = 0;
    std::string output; // standard output, when captured
};

// Runs argv as a child, standard output to a pipe (capture) or /dev/null,
// with our environment plus the "NAME=value" entries of `environment`.
// A child still running after limitSeconds is killed; a child that fails
// throws std::runtime_error.
Run runChild(const std::vector<std::string>& args, bool capture, int limitSeconds,
    const std::vector<std::string>& environment = {});

double median(std::vector<double> values);

// dir/name, written by `write` the first time and reused afterwards. Bump
// the name when the generated directory changes.
std::string cachedLdif(const std::filesystem::path& dir, const char* name, void (*write)(const std::string& path));
