// The library's trace lines written while `call` runs, whatever VELMORA_TRACE
// says; the trace goes back where it was afterwards.
#pragma once

#include "ldap/OrnTrace.h"

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

inline std::string traceOf(const std::function<void()>& call)
{
    std::FILE* file = std::tmpfile();
    if (!file)
        throw std::runtime_error("no temporary file for the trace");
    int previous = ornTraceRedirect(fileno(file));
    call();
    ornTraceRedirect(previous); // writes out what is buffered
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}
