// The probe's log.
#include "tests/toolkit/probe/probe_log.h"

#include <cstdarg>
#include <cstdio>

void Log(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
    putchar('\n');
    fflush(stdout);
}
