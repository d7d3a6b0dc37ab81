// The picture readers' in-memory target for fuzzing: the test reader that keeps decoded rows in
// memory, refusing pictures too large to be made (as an offscreen that cannot be had), and the
// checks every read must pass.
#pragma once

#include <cstdlib>

#include "tests/textures/memory_image_reader.h"

// The largest picture the fuzz target makes: a million pixels.
constexpr int64_t kFuzzMaxPixels = int64_t(1) << 20;

template <class Reader>
class FuzzImageReader : public MemoryImageReader<Reader> {
public:
    using MemoryImageReader<Reader>::MemoryImageReader;

    ResultCode MakeOffscreen(const PortRect& rect, int32_t depth) override
    {
        if (rect.Width() < 0 || rect.Height() < 0 || int64_t(rect.Width()) * rect.Height() > kFuzzMaxPixels) return kResultFailed;
        return MemoryImageReader<Reader>::MakeOffscreen(rect, depth);
    }
};

// Pixel access is always ended as often as it was begun.
template <class Reader>
void CheckImageReader(const FuzzImageReader<Reader>& reader)
{
    if (reader.begun != reader.ended) std::abort();
}
