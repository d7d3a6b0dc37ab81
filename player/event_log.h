// The test build's log: the facts the end-to-end checks wait for, one line each on standard
// output, flushed at once. The shipped program links the silent half and writes nothing.
#pragma once

void LogEvent(const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;
