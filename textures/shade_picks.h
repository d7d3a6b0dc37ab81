// The per-colour steps of the shade table build: arranging the four picks of a 2 x 2 dither cell,
// replicating a pick across its byte for a packed depth, and the plane patterns of the 4-plane
// format.
#pragma once

#include <cstdint>

// Two equal picks end on a diagonal of the cell: when p1 = p3 or p4 = p2, p3 and p4 are exchanged;
// else when p1 = p2 or p4 = p3, p2 and p4 are.
void ArrangeDitherPicks(uint8_t picks[4]);

// A pick of `bits` bits (1, 2, 4 or 8) repeated across a byte.
uint8_t ReplicatePick(uint8_t pick, int32_t bits);

// The plane pattern of two 4-bit picks: for plane p (0 to 3, plane 0 in bits 24 to 31, plane 3 in
// bits 0 to 7) the byte holds 0xAA when bit p of the first pick is set, OR 0x55 when bit p of the
// second pick is set.
uint32_t PlanarPattern(uint8_t first, uint8_t second);
