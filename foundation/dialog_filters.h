// The texts that the file dialogs are given: filter lists built from a file object's type
// filters, and the files chosen in a multiple-selection dialog taken apart into path records.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/result_code.h"

class DynamicArray;

// Filter texts are kept as "description|pattern|" pairs, one after another.
// The Save dialog's filters: the texts with every "|" turned into a zero byte, ending in two
// zero bytes.
std::string SaveDialogFilter(const char* filterTexts);
// The Open dialog's filters: "All Supported File Types" with every pattern joined by ";" (or
// "*." and the default extension when there are fewer than two), then the object's own pairs;
// both stop before an "All Files (*.*)|*.*|" entry.
std::string OpenDialogFilter(const char* filterTexts, const char* defaultExtension);

// The filters of the "Add Textures" dialog.
extern const char kAddTexturesFilters[];
// The result of a multiple-selection dialog (a full path, or a directory followed by file
// names, each ending in a zero byte, the list ending in two) appended to a list of PathRecord
// values; names whose path would not fit are left out. 0, or -4 when the list cannot grow.
ResultCode AppendChosenFiles(const char* buffer, int32_t bufferLength, DynamicArray* paths);
