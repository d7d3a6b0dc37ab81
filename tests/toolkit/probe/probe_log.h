// The probe's log: one line on standard output per fact, flushed at once, which the end-to-end
// checks read.
#pragma once

void Log(const char* format, ...);
