// Path separators: the system takes "\" and "/" alike between the parts of a path, so every split
// of a path looks for either.
#pragma once

#include <cstddef>

constexpr bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The offset of the file name within the first `length` characters of a path: just past its last
// separator, 0 without one.
constexpr size_t PathNameOffset(const char* path, size_t length)
{
    while (length > 0 && !IsPathSeparator(path[length - 1])) --length;
    return length;
}
