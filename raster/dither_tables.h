// Ordered-dither thresholds for the shaded rasterizers: the 8 x 8 Bayer matrix as fractions of one
// shade level in 16.16, in three layouts (computed when the program is compiled), and the one-pixel
// 8-bit palette probe that is made beside them at start-up.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class Q_Offscreen;

namespace dither_detail {

constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

template <class T, std::size_t Columns>
using Table = std::array<std::array<T, Columns>, 8>;

template <class T, std::size_t Columns, class Entry>
constexpr Table<T, Columns> MakeTable(Entry entry)
{
    Table<T, Columns> table{};
    for (int32_t r = 0; r < 8; ++r)
        for (int32_t c = 0; c < int32_t(Columns); ++c) table[r][c] = T(entry(r, c));
    return table;
}

// B[r][c] / 64 as a 16.16 fraction.
constexpr int32_t Threshold(int32_t r, int32_t c) { return kBayer[r][c] * 1024; }

}  // namespace dither_detail

// J[r][c] = B[r][c >> 1] x 1024: each threshold serves two neighbouring pixels. Rasterizers take row
// (y >> 1) & 7 and index it with the pixel's position modulo 16.
inline constexpr dither_detail::Table<uint16_t, 16> DitherJitterTable =
    dither_detail::MakeTable<uint16_t, 16>([](int32_t r, int32_t c) { return dither_detail::Threshold(r, c >> 1); });

// M[r][c] = B[r][c] x 1024.
inline constexpr dither_detail::Table<uint16_t, 8> DitherMatrixTable =
    dither_detail::MakeTable<uint16_t, 8>([](int32_t r, int32_t c) { return dither_detail::Threshold(r, c); });

// D[r][c] = J[r][2c + 2] - J[r][2c] for c < 7, D[r][7] = J[r][0] - J[r][14], D[r][8 + c] = D[r][c]:
// from the jitter of pixel pair k of a row, adding D[r][k], D[r][k + 1], ... gives the following pairs'.
inline constexpr dither_detail::Table<int32_t, 16> DitherDeltaTable =
    dither_detail::MakeTable<int32_t, 16>([](int32_t r, int32_t c) {
        const int32_t pair = c & 7;
        return pair < 7 ? int32_t(DitherJitterTable[r][2 * pair + 2]) - DitherJitterTable[r][2 * pair]
                        : int32_t(DitherJitterTable[r][0]) - DitherJitterTable[r][14];
    });

// The jitter windows of the direct-colour shaded spans: for row y, 16 entries made of row (y mod 8)
// of the matrix table and the row after it, row 0 following row 7.
inline constexpr dither_detail::Table<uint16_t, 16> DitherMatrixWindows =
    dither_detail::MakeTable<uint16_t, 16>([](int32_t r, int32_t c) {
        return c < 8 ? DitherMatrixTable[r][c] : DitherMatrixTable[(r + 1) & 7][c - 8];
    });

// The palette probe: a 1 x 1 offscreen of depth 8 through which colours are matched to 8-bit
// palette indices; null before InitDitherTables or when it could not be made.
Q_Offscreen* PaletteProbe();

// Makes the palette probe, once; later calls do nothing.
void InitDitherTables();
// Disposes of the palette probe.
void FreeDitherTables();
