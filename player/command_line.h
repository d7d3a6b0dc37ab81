// The program's command line: the words it splits into, the rule that passes over the names of
// programs, and the long-name expansion's replacement of a path's last component.
#pragma once

#include <cstddef>
#include <cstdint>

class DynamicArray;

// The longest path the program holds, its terminator included (the system's MAX_PATH).
constexpr size_t kCommandPathSize = 260;

// Appends each word of the text to the array of text pointers, each a new zero-terminated text
// of its own (freed with FreeCommandLineWords). Words are separated by spaces; a word that
// starts with a double quote runs to the next one (or to the end of the text) and keeps its
// spaces; an empty pair of quotes gives no word. Nothing past the text's terminator is read.
void SplitCommandLine(const char* text, DynamicArray* words);
// Frees the words' texts and empties the array.
void FreeCommandLineWords(DynamicArray* words);
const char* CommandLineWord(const DynamicArray* words, int32_t index);

// Whether the path names a program: longer than three characters, ending in "exe" in any case.
bool NamesProgram(const char* path);

// Replaces the text after the path's last '\' or '/' (the whole text without one) by the name;
// false, and the path unchanged, when the result would not fit in `size` bytes.
bool ReplaceLastPathComponent(char* path, size_t size, const char* name);
