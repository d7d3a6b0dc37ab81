// The credits text's characters, bounded by the array's count.
#include "player/credits_text.h"

#include <cstdlib>
#include <cstring>

#include "foundation/dynamic_array.h"

size_t CreditsTextLength(const DynamicArray* text)
{
    if (!text || !text->ArrayData()) return 0;
    const size_t bytes = size_t(text->ArrayCount()) * size_t(text->ElementSize());
    return strnlen(static_cast<const char*>(text->ArrayData()), bytes);
}

char* CopyCreditsText(const DynamicArray* text)
{
    const size_t length = CreditsTextLength(text);
    if (length == 0) return nullptr;
    auto* copy = static_cast<char*>(std::calloc(length + 1, 1));
    if (copy) std::memcpy(copy, text->ArrayData(), length);
    return copy;
}
