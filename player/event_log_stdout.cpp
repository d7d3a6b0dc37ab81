// The test build's log: each fact a line on standard output.
#include "player/event_log.h"

#include <cstdarg>
#include <cstdio>

void LogEvent(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stdout, format, arguments);
    va_end(arguments);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
