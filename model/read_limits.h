// Limits that every reader of the scene model applies to counts and lengths taken from a file:
// what a stream really has left to read, whether a count of records can fit in it, and how many
// faces the bytes read so far may bring.
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

// The faces the objects of one model may have in all grow with the bytes of the file read so
// far. Every object keeps its faces in memory and has them compared with those of each sibling
// its bounds meet for contacts, and a primitive of a few dozen bytes may have tens of thousands
// of faces (its segments multiply them), so a small file of many such objects would otherwise
// ask for memory and time out of all proportion to its size.
// Any model may have this many, whatever its size: four objects of the most faces an object can
// have (kMaxObjectFaces), and a few more.
constexpr int32_t kFacesOfAnyModel = 131072;
// Every further face takes this many bytes of the file read so far: the fewest that a face of a
// polygon object takes (its index count and three indices), so that every polygon object, prism
// and pointed primitive comes within the budget whatever the size of the model.
constexpr int32_t kFileBytesPerFace = 8;

// The faces a model may have once `bytesRead` bytes of its file are read.
int64_t FaceBudget(int64_t bytesRead);

// The result of an object whose faces would pass the budget (ModelHolder::FacesRead).
constexpr ResultCode kResultTooManyFaces = kResultShortRead;
