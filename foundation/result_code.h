// Result codes returned by the operations of every layer: 0 success, small positive values for
// partial success, negative values for failures.
#pragma once

#include <cstdint>

using ResultCode = int32_t;

constexpr ResultCode kResultOk = 0;
constexpr ResultCode kResultShortRead = 1;      // fewer bytes than asked before a chunk's or the data's end
constexpr ResultCode kResultLocked = -1;        // array locked; stream in the wrong direction or past its end
constexpr ResultCode kResultOutOfRange = -2;    // index out of range
constexpr ResultCode kResultStopped = -2;       // a reader under a progress window was stopped by the user
constexpr ResultCode kResultNotFound = -3;
constexpr ResultCode kResultOutOfMemory = -4;
constexpr ResultCode kResultBadValueSize = -1111;  // a value size code the stream does not know
