// The textured rasterizer's work arrays of the current render context: four rings of five
// arrays handed out in turn (so that one polygon's data survives while up to four more are
// prepared), a single buffer, a pair and four edge arrays, all kept locked and grown on demand;
// and the square-root table.
#pragma once

#include <cstdint>
#include <type_traits>

#include "foundation/fixed.h"
#include "foundation/result_code.h"
#include "render/render_context.h"

// 256 entries, 64..255 filled: entry i is the 16.16 square root of i / 256.
extern Fixed SqrtTable[256];

// Builds the square-root table and makes the current context's arrays.
ResultCode InitRasterBuffers();
void FreeRasterBuffers();

// The data of the ring's next array (8-byte, 12-byte, 8-byte and 12-byte elements).
void* NextRingA();
void* NextRingB();
void* NextRingC();
void* NextRingD();

// Every ring array holds at least 4 n elements afterwards (unless memory ran out).
void GrowRings(int32_t n);
// The elements every ring array holds.
int32_t RingCapacity();
// The single buffer (12-byte elements) holds at least n; its data, or null when it cannot.
void* GrowBuffer(int32_t n);
// Both arrays of the pair (12 and 8 bytes) hold at least 2 n.
void GrowPair(int32_t n);
// The four edge arrays (8, 12, 8 and 8 bytes) hold at least 2 n.
void GrowEdgeArrays(int32_t n);
// The pair's and the edge arrays' data, kept beside them.
void* PairData(int32_t which);
void* EdgeArrayData(int32_t which);

void BuildSqrtTable();

// The 16.16 square root by table, 8 significant bits; 0 for x <= 0. The value is scaled into
// the table's range by powers of four, so one routine serves 32- and 64-bit operands.
template <class Int>
Int TableSqrt(Int x)
{
    if (x <= 0) return 0;
    int32_t k = 0;
    auto v = std::make_unsigned_t<Int>(x);
    while (v > 0xFFFF) {
        v >>= 2;
        ++k;
    }
    while (v < 0x4000) {
        v <<= 2;
        --k;
    }
    const Int r = SqrtTable[v >> 8];
    return k >= 0 ? Int(std::make_unsigned_t<Int>(r) << k) : r >> -k;
}
inline Fixed FastSqrt(Fixed x) { return TableSqrt(x); }
