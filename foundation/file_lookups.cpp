// The file names a read has asked the system about, and their keys.
#include "foundation/file_lookups.h"

#include <cstdio>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

std::string FileNameKey(const char* path)
{
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    // Two separators that begin the path begin a network path, and stay.
    const bool network = separator(path[0]) && separator(path[1]);
    std::string key = network ? "\\\\" : "";
    const char* c = network ? path + 2 : path;
    // At the start of a component: a component "." followed by a separator or the end is dropped,
    // as are the separators after a separator.
    bool componentStart = true;
    for (; *c != '\0'; ++c) {
        if (componentStart && (separator(*c) || (*c == '.' && (c[1] == '\0' || separator(c[1]))))) continue;
        char letter = separator(*c) ? '\\' : *c;
        if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
        key.push_back(letter);
        componentStart = letter == '\\';
    }
    CountTurns(c - path);
    return key;
}

bool FileLookups::Opens(const char* path)
{
    const auto [entry, added] = answers_.try_emplace(FileNameKey(path), false);
    if (!added) return entry->second;
    ++asked_;
    CountTurns(kFileLookupTurns);
    std::FILE* file = std::fopen(path, "rb");
    if (file) std::fclose(file);
    entry->second = file != nullptr;
    return entry->second;
}

void FileLookups::Clear()
{
    answers_.clear();
    asked_ = 0;
}
