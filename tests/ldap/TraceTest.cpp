#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

TEST(Trace, RedirectedLinesArriveWholeAndNullTurnsTracingOff)
{
    const std::string dn = "cn=" + std::string(600, 'x') + ",dc=example,dc=com";
    int null = ::open("/dev/null", O_WRONLY);
    std::string traced = traceOf([&] {
        ornTrace("OrnSocket:OrnConnect: Function Start:\n");
        ornTracef("io:Decode: Bind Response: Mesg Id =%d : result = %d \n", 1, 49);
        ornTracef("OrnQuery: base=%s\n", dn.c_str());
        int capture = ornTraceRedirect(null);
        ornTrace("discarded\n");
        EXPECT_EQ(ornTraceRedirect(capture), -1);
        ornTrace("back\n");
    });
    ::close(null);
    EXPECT_EQ(traced,
        "OrnSocket:OrnConnect: Function Start:\nio:Decode: Bind Response: Mesg Id =1 : result = 49 \nOrnQuery: base="
            + dn + "\nback\n");
}

namespace {

// VELMORA_TRACE as a fresh process finds it: FILE stands for the case's file.
struct Environment {
    const char* name;
    const char* variable; // nullptr: unset
    const char* fileBefore; // nullptr: no file
    bool dies; // ends on an uncaught exception rather than exit()
    const char* standardError; // a regular expression
    const char* fileAfter; // nullptr: no file
};

const Environment kEnvironment[] = {
    { "Unset", nullptr, nullptr, false, "^$", nullptr },
    { "Empty", "", nullptr, false, "^$", nullptr },
    { "NewFile", "FILE", nullptr, false, "^$", "one\ntwo 2\n" },
    { "FileAppendedTo", "FILE", "zero\n", false, "^$", "zero\none\ntwo 2\n" },
    { "StandardError", "-", nullptr, false, "^one\ntwo 2\n$", nullptr },
    { "Unopenable", "/nonexistent/trace", nullptr, false,
        "^VELMORA_TRACE: cannot open /nonexistent/trace: [^\n]+; tracing is off\n$", nullptr },
    { "UncaughtException", "FILE", nullptr, true, "terminate called", "one\ntwo 2\n" },
};

// Off, the argument is never formatted: formatting it would crash.
const char* const kUnformattable = reinterpret_cast<const char*>(1);

std::string contents(const fs::path& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

void PrintTo(const Environment& row, std::ostream* out)
{
    *out << row.name;
}

class TraceEnvironment : public testing::TestWithParam<Environment> { };

} // namespace

// Each case runs in a child process of its own that starts afresh, so the
// variable is read again. The child changes it after the first line: it must
// not be read a second time.
TEST_P(TraceEnvironment, ChoosesWhereLinesGoOnceAtFirstUse)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Environment& row = GetParam();
    fs::path file = fs::path(testing::TempDir()) / (std::string("orn-trace-") + row.name);
    fs::remove(file);
    if (row.fileBefore)
        std::ofstream(file) << row.fileBefore;
    if (!row.variable)
        ::unsetenv("VELMORA_TRACE");
    else
        ::setenv("VELMORA_TRACE", std::strcmp(row.variable, "FILE") == 0 ? file.c_str() : row.variable, 1);
    bool on = row.fileAfter || (row.variable && std::strcmp(row.variable, "-") == 0);

    auto traceAndEnd = [&] {
        ornTrace("one\n");
        ::setenv("VELMORA_TRACE", "/nonexistent/again", 1);
        ornTracef("two %s\n", on ? "2" : kUnformattable);
        if (row.dies)
            std::terminate();
        std::exit(0);
    };
    auto ended = [&](int status) {
        return row.dies ? WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT
                        : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    EXPECT_EXIT(traceAndEnd(), ended, row.standardError);
    ::unsetenv("VELMORA_TRACE");

    EXPECT_EQ(fs::exists(file) ? contents(file) : "(none)", row.fileAfter ? row.fileAfter : "(none)");
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Cases, TraceEnvironment, testing::ValuesIn(kEnvironment),
    [](const auto& param) { return std::string(param.param.name); });
