// PathRecord: a full path with the offsets of its directory, name and extension; the rule that
// splits a path into those parts; four-character extension codes; directory components and the
// paths put together from them.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class DynamicArray;
class FileLookups;

// Longest path the program handles, terminator included.
constexpr int32_t kPathLength = 260;

struct PathRecord {
    char text[kPathLength];   // the full path, zero-terminated
    int16_t directoryLength;  // characters of the directory including its final separator (offset of the name)
    int16_t pointOffset;      // offset of the point before the extension (the end of the name)
    int16_t nameLength;       // characters of the name without its extension
    int16_t extensionLength;  // characters of the extension with its point; 0 without an extension
    int16_t fileNameLength;   // name length + extension length
};

// The parts of a path text by the extension rule: scanning back from the end, the first separator
// ("\" or "/") ends the search; the first point decides: a point followed by one to three characters starts the
// extension, a point as the last character ends the name (extension length 1, no extension
// characters), a point followed by four or more characters stays part of the name.
struct PathParts {
    int32_t directoryLength;
    int32_t pointOffset;
    int32_t nameLength;
    int32_t extensionLength;
};
PathParts SplitPath(const char* text);

void ClearPathRecord(PathRecord* record);
void PathRecordClear(PathRecord* record);
void CopyPathRecord(PathRecord* destination, const PathRecord* source);
// Frees a record made with `new PathRecord{}`.
void DeletePathRecord(PathRecord* record);
// Copies the text into the record and computes its offsets; -1 (record unchanged) when it does
// not fit.
ResultCode SetPathRecordText(PathRecord* record, const char* text);
// The name with its extension, and the directory part; the destination holds kPathLength bytes.
void PathRecordGetName(const PathRecord* record, char* destination);
void PathRecordGetDirectory(const PathRecord* record, char* destination);
// Replaces the part behind the directory and recomputes the offsets; -1 (record unchanged) when
// the path would not fit.
ResultCode PathRecordSetName(PathRecord* record, const char* name);

// The first four characters after the point, upper-cased, packed big-endian ("bmp" gives
// 'B' 'M' 'P' 0); 0 for an empty extension.
uint32_t ExtensionCode(const char* extension);
// The record's extension code, stored only when the record has an extension.
void GetPathExtensionCode(const PathRecord* record, uint32_t* destination);
// 1 for the extensions of the maker's model files (ZMB, TKP, TRK, QVR), else 0.
int32_t IsModelFileType(const PathRecord* record);
int32_t SamePathName(const char* a, const char* b);

// Directory components: a DynamicArray of kPathLength-byte entries, each a length-prefixed text
// (first byte the length), innermost first, split at either separator; the drive ahead of a colon
// is the last component, without its colon. Null when a component is longer than 255 characters or memory is short.
DynamicArray* PathComponents(const char* directory);
// "X:\" from the last component, the others outermost first, each followed by "\", then the
// file name; 0 when that file opens for reading, -1 otherwise or when the path would not fit.
// With lookups, the system is asked about a path only when they do not know it yet.
ResultCode PathFromComponents(const DynamicArray* components, const char* fileName, PathRecord* destination,
                              FileLookups* lookups = nullptr);
// The relative components followed by the base components from index `ups` on, then
// PathFromComponents; -1 when `ups` lies outside the base components.
ResultCode PathFromRelative(const DynamicArray* baseComponents, const DynamicArray* relativeComponents,
                            int32_t ups, const char* fileName, PathRecord* destination,
                            FileLookups* lookups = nullptr);
