// Lists of file objects kept in name order, and the search pattern of a directory scan.
#include "foundation/directory_scan.h"

#include <cstring>

#include "foundation/dynamic_array.h"
#include "foundation/path_separators.h"

namespace {

DiskFileStream* FileAt(const DynamicArray* list, int32_t index)
{
    DiskFileStream* file = nullptr;
    IgnoreResult(list->ArrayGet(index, &file));  // null for an index outside the list
    return file;
}

int32_t CompareNames(const DiskFileStream* a, const DiskFileStream* b)
{
    return std::strcmp(a->Name(), b->Name());
}

}  // namespace

ResultCode InsertFileSorted(DynamicArray* list, DiskFileStream* file, int32_t first)
{
    int32_t count = list->ArrayCount();
    if (count == 0 || first >= count || CompareNames(file, FileAt(list, count - 1)) > 0) {
        return ResultOfIndex(list->Append(&file));
    }
    if (first < 0) first = 0;
    list->ArrayLock();
    int32_t low = first;
    int32_t high = count - 1;
    while (high - low + 1 >= 3) {
        int32_t middle = low + (high - low) / 2;
        if (CompareNames(file, FileAt(list, middle)) >= 0) low = middle + 1;
        else high = middle;
    }
    int32_t index = low;
    while (index <= high && CompareNames(file, FileAt(list, index)) >= 0) ++index;
    list->ArrayUnlock();
    return list->Insert(index, &file);
}

ResultCode ScanPattern(const char* directory, uint32_t typeCode, char* pattern)
{
    size_t length = std::strlen(directory);
    // An empty directory scans the current one.
    const char* separator = (length == 0 || IsPathSeparator(directory[length - 1])) ? "" : "\\";
    char type[5] = {char(typeCode >> 24), char(typeCode >> 16), char(typeCode >> 8), char(typeCode), '\0'};
    int written = std::snprintf(pattern, kPathLength, "%s%s*.%s", directory, separator, type);
    if (written < 0 || written >= kPathLength) {
        pattern[0] = '\0';
        return kResultLocked;
    }
    return kResultOk;
}
