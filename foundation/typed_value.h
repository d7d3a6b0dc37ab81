// Typed values: the compound values that record routines move through a MemoryStream by kind
// (numbers, points, rectangles, fixed-point triples, colours, texts), each with its wire form.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class MemoryStream;

// What the value's address points at, and how it travels (big-endian throughout).
enum TypedValueKind : int32_t {
    kTypedLong = 101,         // int32: high 16 bits, then low 16 bits
    kTypedPoint = 102,        // two int32: the low 16 bits of each; reading fills only those
    kTypedRect = 103,         // four int32: the low 16 bits of each; reading fills only those
    kTypedShortTriple = 104,  // three 16-bit numbers
    kTypedShortTriple2 = 105, // three 16-bit numbers, same form as 104
    kTypedFixedPoint = 106,   // FixedPoint: x, y as kTypedLong
    kTypedVector = 107,       // FixedVector3: x, y, z as kTypedLong
    kTypedAngles = 108,       // three Fixed angles, same form as 107
    kTypedFixedTriple = 109,  // three Fixed values, same form as 107
    kTypedColor = 110,        // RGBColor48 as the word 0x00RRGGBB of the channels' high bytes
    kTypedColorCode = 111,    // four uint16 (red, green, blue, code) as 0xCCRRGGBB
    kTypedText = 112,         // zero-terminated text in a 256-byte buffer: length byte, text, pad
    kTypedLengthText = 113,   // length-prefixed text: length byte, text, pad
};

// Moves one value in the stream's direction; the code of the first transfer that did not
// return 0, or 0. Texts are padded to an even byte count. An unknown kind moves nothing and
// returns kResultBadValueSize.
ResultCode SerializeTypedValue(MemoryStream* stream, void* value, TypedValueKind kind);

// Reading: 1 when the next big-endian 32-bit word equals *word, else 0. Writing: the code of
// writing *word.
int32_t StreamMatchWord(MemoryStream* stream, uint32_t* word);
