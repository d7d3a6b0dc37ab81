// The body of the version chunk ("VERS"): the file format version as one big-endian word.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class MemoryStream;

// The version this program writes; readers accept 1.x (up to, not including, 0x02000000).
constexpr uint32_t kFileVersion = 0x01000000;

// Writing: stores kFileVersion as the stream's version and writes it. Reading: reads the word
// and, when that succeeded, stores it as the stream's version. The caller opens and closes the
// chunk and checks the range.
ResultCode SerializeVersionChunk(MemoryStream* stream);
