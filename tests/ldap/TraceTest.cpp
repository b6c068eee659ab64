#include "OrnTrace.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

TEST(Trace, LinesReachTheChosenFileWholeAndNullIsSkipped)
{
    char path[] = "/tmp/orn-trace-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ornTraceRedirect(fd);
    ornTrace("OrnSocket:OrnConnect: Function Start:\n");
    ornTracef("io:Decode: Bind Response: Mesg Id =%d : result = %d \n", 1, 49);
    ornTraceFlush();

    int null = open("/dev/null", O_WRONLY);
    ornTraceRedirect(null);
    ornTrace("discarded\n");
    ornTraceRedirect(STDERR_FILENO);
    close(null);
    close(fd);

    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(text.str(), "OrnSocket:OrnConnect: Function Start:\nio:Decode: Bind Response: Mesg Id =1 : result = 49 \n");
    std::remove(path);
}
