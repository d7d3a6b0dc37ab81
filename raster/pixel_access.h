// Word-level pixel access shared by the rasterizers: aligned 32-bit loads and stores, the keep-mask
// write (a 1 bit keeps the old pixel bit), and the masks of the formats that pack several pixels
// into a 32-bit word (4- and 8-bit indices, 16-bit colours, one plane of 1-bit pixels).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace raster {

inline uint32_t Load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }

inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, sizeof v); }

// new = (keep AND (old XOR value)) XOR value.
inline void MaskedStore32(uint8_t* p, uint32_t keep, uint32_t value)
{
    Store32(p, (keep & (Load32(p) ^ value)) ^ value);
}

constexpr uint32_t RotateLeft16(uint32_t w) { return (w << 16) | (w >> 16); }

// The pixel position of an address, counted in memory (the pixel buffers start on page
// boundaries, so this equals the position counted from the buffer's start).
inline uintptr_t AddressOf(const uint8_t* p) { return reinterpret_cast<uintptr_t>(p); }

// Pixel i of a word: which bits hold it.
enum class WordOrder {
    kLowFirst,  // pixel 0 in the lowest bits (8- and 16-bit pixels: the lowest-addressed byte first)
    kNibbles,   // 4-bit pixels: pixel 0 the high nibble of the lowest byte, pixel 1 its low nibble
    kBits,      // 1-bit pixels: pixel 0 bit 7 of the lowest byte, most significant bit first
};

template <int32_t Bits, WordOrder Order>
struct WordLayout {
    static constexpr int32_t kPixelsPerWord = 32 / Bits;
    static constexpr int32_t kIndexShift = Bits == 1 ? 5 : Bits == 4 ? 3 : Bits == 8 ? 2 : 1;

    static constexpr uint32_t PixelMask(int32_t i)
    {
        constexpr uint32_t ones = Bits == 32 ? 0xFFFFFFFFu : (1u << Bits) - 1;
        if (Order == WordOrder::kNibbles) return ones << (8 * (i >> 1) + ((i & 1) ? 0 : 4));
        if (Order == WordOrder::kBits) return 1u << (8 * (i >> 3) + 7 - (i & 7));
        return ones << (Bits * i);
    }
    // The bit position of pixel i's lowest bit.
    static constexpr int32_t PixelShift(int32_t i)
    {
        if (Order == WordOrder::kNibbles) return 8 * (i >> 1) + ((i & 1) ? 0 : 4);
        if (Order == WordOrder::kBits) return 8 * (i >> 3) + 7 - (i & 7);
        return Bits * i;
    }

    using Masks = std::array<uint32_t, kPixelsPerWord>;
    // Single-pixel write masks.
    static constexpr Masks MakePixel()
    {
        Masks m{};
        for (int32_t i = 0; i < kPixelsPerWord; ++i) m[i] = PixelMask(i);
        return m;
    }
    // Leading keep masks by start index s: pixels 0 .. s - 1 kept.
    static constexpr Masks MakeLeading()
    {
        Masks m{};
        for (int32_t s = 0; s < kPixelsPerWord; ++s)
            for (int32_t i = 0; i < s; ++i) m[s] |= PixelMask(i);
        return m;
    }
    // Trailing keep masks by end index r: pixels r .. last kept; none for r = 0.
    static constexpr Masks MakeTrailing()
    {
        Masks m{};
        for (int32_t r = 1; r < kPixelsPerWord; ++r)
            for (int32_t i = r; i < kPixelsPerWord; ++i) m[r] |= PixelMask(i);
        return m;
    }
    static constexpr Masks kPixel = MakePixel();
    static constexpr Masks kLeadingKeep = MakeLeading();
    static constexpr Masks kTrailingKeep = MakeTrailing();
};

// Runs store(q) for the `words` 32-bit words from `p` (32-bit aligned): one word at a time up to a
// 16-byte boundary, then four words a step, which the compiler joins into single 16-byte stores,
// then the rest.
template <class Store>
inline void ForWordRun(uint8_t* p, int32_t words, Store&& store)
{
    for (; words > 0 && (AddressOf(p) & 15) != 0; --words, p += 4) store(p);
    for (; words >= 4; words -= 4, p += 16) {
        store(p);
        store(p + 4);
        store(p + 8);
        store(p + 12);
    }
    for (; words > 0; --words, p += 4) store(p);
}

// A span of count pixels from pixel `index` of the word at `word`, all pixels from `pattern`:
// partial end words through the keep masks, whole words between stored directly. The half-tone
// form ORs `halftoneKeep` into every mask, the whole words included.
template <class Layout, bool Halftone>
inline void FillWordSpan(uint8_t* word, int32_t index, int32_t count, uint32_t pattern, uint32_t halftoneKeep)
{
    constexpr int32_t kPerWord = Layout::kPixelsPerWord;
    const uint32_t extra = Halftone ? halftoneKeep : 0;
    const int32_t end = index + count;
    if (end < kPerWord) {
        MaskedStore32(word, Layout::kLeadingKeep[index] | Layout::kTrailingKeep[end] | extra, pattern);
        return;
    }
    int32_t words = end >> Layout::kIndexShift;
    const int32_t trailing = end & (kPerWord - 1);
    if (index != 0) {
        MaskedStore32(word, Layout::kLeadingKeep[index] | extra, pattern);
        word += 4;
        --words;
    }
    if constexpr (Halftone)
        ForWordRun(word, words, [extra, pattern](uint8_t* q) { MaskedStore32(q, extra, pattern); });
    else
        ForWordRun(word, words, [pattern](uint8_t* q) { Store32(q, pattern); });
    word += 4 * words;
    if (trailing != 0) MaskedStore32(word, Layout::kTrailingKeep[trailing] | extra, pattern);
}

}  // namespace raster
