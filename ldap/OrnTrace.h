// The library's one trace sink. Every trace and error line goes to standard
// error as a whole line. When standard error is not a terminal the lines are
// collected in a buffer, written out when it fills, before the process could
// die on an error, and at exit, so that a large search is not dominated by
// its tracing.
#pragma once

#include <cstddef>

void ornTrace(const char* line);
void ornTracef(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ornTraceFlush();
// Sends the lines to fd instead of standard error: for fuzzers, whose own
// reports must stay on standard error while the traces go to /dev/null.
void ornTraceRedirect(int fd);
