// Splitting the command line, the program-name rule and the last-component replacement.
#include "player/command_line.h"

#include <cstring>
#include <new>

#include "foundation/path_separators.h"
#include "foundation/pointer_list.h"

namespace {

constexpr char kQuote = '"';
constexpr char kSpace = ' ';
constexpr char kProgramExtension[] = "exe";
constexpr size_t kProgramExtensionLength = sizeof kProgramExtension - 1;

const char* SkipSpaces(const char* p)
{
    while (*p == kSpace) ++p;
    return p;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

void SplitCommandLine(const char* text, DynamicArray* words)
{
    if (!text || !words) return;
    const char* p = SkipSpaces(text);
    while (*p) {
        char delimiter = kSpace;
        if (*p == kQuote) {
            ++p;
            delimiter = kQuote;
        }
        const char* end = p;
        while (*end && *end != delimiter) ++end;
        const size_t length = size_t(end - p);
        if (length > 0) {
            char* word = new (std::nothrow) char[length + 1];
            if (word) {
                std::memcpy(word, p, length);
                word[length] = '\0';
                if (words->Append(&word) < 0) delete[] word;
            }
        }
        p = *end ? end + 1 : end;
        p = SkipSpaces(p);
    }
}

void FreeCommandLineWords(DynamicArray* words)
{
    if (!words) return;
    for (int32_t i = 0; i < words->ArrayCount(); ++i) delete[] PointerAt<char>(words, i);
    IgnoreResult(words->ArraySetCount(0));
}

const char* CommandLineWord(const DynamicArray* words, int32_t index)
{
    return PointerAt<char>(words, index);
}

bool NamesProgram(const char* path)
{
    const size_t length = std::strlen(path);
    if (length <= kProgramExtensionLength) return false;
    const char* tail = path + length - kProgramExtensionLength;
    for (size_t i = 0; i < kProgramExtensionLength; ++i)
        if (Lower(tail[i]) != kProgramExtension[i]) return false;
    return true;
}

bool ReplaceLastPathComponent(char* path, size_t size, const char* name)
{
    const size_t keep = PathNameOffset(path, std::strlen(path));
    const size_t nameLength = std::strlen(name);
    if (keep + nameLength >= size) return false;
    std::memmove(path + keep, name, nameLength + 1);
    return true;
}
