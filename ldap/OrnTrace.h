// The library's one trace sink. Tracing is off unless the environment
// variable VELMORA_TRACE, read at the first trace call, names a file to append
// to or is "-" for standard error: off, a call costs a branch and formats
// nothing. On, whole lines are collected in a buffer, for a terminal too,
// and written out when it fills, at ornTraceFlush, at exit and before an
// uncaught exception ends the process. Any thread may call.
#pragma once

#include <cstddef>

void ornTrace(const char* line);
void ornTracef(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ornTraceFlush();
// Sends the lines to fd and turns tracing on, whatever VELMORA_TRACE says; a
// negative fd or /dev/null turns it off. Returns where the lines went before,
// -1 when off, so that a test capturing the trace can put it back. fd stays
// the caller's to close.
int ornTraceRedirect(int fd);
