// Limits that every reader of the scene model applies to counts and lengths taken from a file:
// what a stream really has left to read, and whether a count of records can fit in it.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class MemoryStream;

// The result of a read whose count or length is negative or larger than the data that follows.
constexpr ResultCode kResultBadCount = kResultShortRead;

// The bytes that can still be read: up to the end of the current chunk and never past the end
// of the data; 0 when the position already lies beyond either.
int32_t BytesLeftToRead(MemoryStream* stream);

// True when `count` records of at least `recordBytes` bytes each can follow in the stream.
bool CountFits(MemoryStream* stream, int32_t count, int32_t recordBytes);
