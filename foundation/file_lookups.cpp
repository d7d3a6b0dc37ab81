// The file names a read has asked the system about, and their keys.
#include "foundation/file_lookups.h"

#include <algorithm>
#include <cstdio>

#include "foundation/loop_turns.h"
#include "foundation/path_separators.h"
#include "foundation/system_weights.h"

std::string FileNameKey(const char* path)
{
    // Two separators that begin the path begin a network path, and stay.
    const bool network = IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
    std::string key = network ? "\\\\" : "";
    const char* c = network ? path + 2 : path;
    // At the start of a component: a component "." followed by a separator or the end is dropped,
    // as are the separators after a separator.
    bool componentStart = true;
    for (; *c != '\0'; ++c) {
        const bool dot = *c == '.' && (c[1] == '\0' || IsPathSeparator(c[1]));
        if (componentStart && (IsPathSeparator(*c) || dot)) continue;
        char letter = IsPathSeparator(*c) ? '\\' : *c;
        if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
        key.push_back(letter);
        componentStart = letter == '\\';
    }
    CountTurns(c - path);
    return key;
}

bool NamesADevice(const char* path)
{
    const char* name = path;
    const char* c = path;
    for (; *c != '\0'; ++c)
        if (IsPathSeparator(*c) || *c == ':') name = c + 1;
    CountTurns(c - path);
    // The name up to its first point, without the spaces that end it, in upper case.
    std::string stem;
    for (c = name; *c != '\0' && *c != '.' && stem.size() < 8; ++c)
        stem.push_back(*c >= 'a' && *c <= 'z' ? char(*c - 'a' + 'A') : *c);
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : kDevices)
        if (stem == device) return true;
    const bool port = stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0);
    return port && stem[3] >= '1' && stem[3] <= '9';
}

bool FileLookups::Opens(const char* path)
{
    const auto [entry, added] = answers_.try_emplace(FileNameKey(path), false);
    if (!added) return entry->second;
    if (NamesADevice(path)) return false;
    const int64_t folders = std::count(entry->first.begin(), entry->first.end(), '\\');
    const int64_t weight = 1 + std::max<int64_t>(folders - kFoldersOfAnyLookup, 0);
    ++asked_;
    weight_ += weight;
    CountTurns(kFileLookupTurns * weight + int64_t(entry->first.size()));
    std::FILE* file = std::fopen(path, "rb");
    if (file) std::fclose(file);
    entry->second = file != nullptr;
    return entry->second;
}

void FileLookups::Clear()
{
    answers_.clear();
    asked_ = 0;
    weight_ = 0;
}
