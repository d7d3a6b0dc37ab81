// FileLookups: the file names one read has asked the system about and what it said of each,
// whether a file of that name opens. Names are compared as the system compares them (letters in
// either case, either slash, "." directories and doubled separators the same), so that each file
// is asked about once a read however many spellings and references name it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

// The path as the system tells files apart: ASCII letters in upper case, "/" as "\", every
// component "." and every empty component between two separators left out. Two paths of one key
// name one file; a path's key is built in one pass over it.
std::string FileNameKey(const char* path);

// Whether the system takes the path's last component for one of its devices (the console, the
// null device, a serial or printer port, the clock), whatever extension follows the name: such a
// name opens no file, and reading it may wait on the device.
bool NamesADevice(const char* path);

class FileLookups {
public:
    // Whether a file of the path opens for reading: the system asked the first time the path's key
    // comes up, and its answer kept. A device's name is no file, and the system is not asked.
    bool Opens(const char* path);
    // Forgets every answer: a new read asks again.
    void Clear();
    // The system look-ups made since the last Clear.
    int64_t Asked() const { return asked_; }
    // What they weigh: one for each, and one more for every folder on its way past the
    // kFoldersOfAnyLookup-th, each of which the system walks (and under Wine, a folder named in
    // another letter case, reads whole) as it walks the first ones.
    int64_t Weight() const { return weight_; }

private:
    std::unordered_map<std::string, bool> answers_;
    int64_t asked_ = 0;
    int64_t weight_ = 0;
};

// The folders on its way that any look-up may walk for its own weight: as deep as the paths of
// honest models' pictures go (a drive, a user's documents, projects, a model's own folders).
constexpr int64_t kFoldersOfAnyLookup = 8;
