// Result codes returned by the operations of every layer: 0 success, small positive values for
// partial success, negative values for failures.
#pragma once

#include <cstdint>

// The compiler warns where a caller leaves a code unread; a layer names codes of its own as
// `constexpr ResultCode kResultName{value};`.
enum [[nodiscard]] ResultCode : int32_t {
    kResultOk = 0,
    kResultShortRead = 1,      // fewer bytes than asked before a chunk's or the data's end
    kResultNothingDone = 1,    // a dialog cancelled, a file already open, a read asked to read nothing
    kResultLocked = -1,        // array locked; stream in the wrong direction or past its end
    kResultFailed = -1,        // any other failure without a code of its own
    kResultOutOfRange = -2,    // index out of range
    kResultStopped = -2,       // a reader under a progress window was stopped by the user
    kResultNotFound = -3,
    kResultOutOfMemory = -4,
    kResultBadValueSize = -1111,  // a value size code the stream does not know
};

// The code of an answer that is an index (or a count) or a negative code: kResultOk for an index.
constexpr ResultCode ResultOfIndex(int32_t indexOrCode)
{
    return indexOrCode < 0 ? ResultCode(indexOrCode) : kResultOk;
}

// Marks a call whose code is left unread on purpose.
constexpr void IgnoreResult(ResultCode) {}
