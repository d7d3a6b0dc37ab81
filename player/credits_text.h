// The characters of a model's credits text: the array's bytes within its element count (the file
// stores no terminator), up to the first NUL among them.
#pragma once

#include <cstddef>

class DynamicArray;

// The number of characters of the text; 0 for none.
size_t CreditsTextLength(const DynamicArray* text);
// A zero-terminated copy of those characters, to be freed with std::free; null when the text
// has none or memory is short.
char* CopyCreditsText(const DynamicArray* text);
