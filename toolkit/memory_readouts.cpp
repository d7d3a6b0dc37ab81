// Memory figures from the system's 64-bit memory status.
#include "toolkit/memory_readouts.h"

#include <windows.h>

uint64_t TotalMemorySize = 0;

namespace {

// The system's memory status; all zero when it cannot be read.
MEMORYSTATUSEX MemoryStatus()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) status = {};
    return status;
}

}  // namespace

uint64_t AvailableMemory()
{
    const MEMORYSTATUSEX status = MemoryStatus();
    return status.ullAvailPhys + status.ullAvailPageFile;
}

uint64_t TotalMemory()
{
    const MEMORYSTATUSEX status = MemoryStatus();
    return status.ullTotalPhys + status.ullTotalPageFile;
}
