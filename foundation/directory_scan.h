// Directory scans: the files of one type in a directory become file objects in a list kept in
// name order.
#pragma once

#include <cstdint>

#include "foundation/disk_file_stream.h"

class DynamicArray;

// Inserts a file object into a list of file-object pointers by name (byte order, case as
// stored), from index `first` on; equal names go after the ones already there. 0, or the
// list's code when it cannot take the object.
ResultCode InsertFileSorted(DynamicArray* list, DiskFileStream* file, int32_t first);
// Scans the directory named by the record's text for files of the type, adding a new file
// object (kind 11) for each to the list: sorted by name, with a file whose upper-cased name is
// the priority name first. Returns the list's count, or -1 without a list.
int32_t ScanDirectory(const PathRecord* directory, const char* priorityName, uint32_t typeCode, DynamicArray* list);
// The search pattern of a scan: the directory, a "\" when it has none at its end, "*." and the
// type code's characters; -1 when it would not fit.
ResultCode ScanPattern(const char* directory, uint32_t typeCode, char* pattern);
