// MemPixMap's pixel block in the system's global memory.
#include "draw/mem_pix_map.h"

#include <windows.h>

#include "foundation/process_state.h"

void* MemPixMap::NewPixelBlock(size_t bytes)
{
    SetMemoryGuardFlag(0);
    void* block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, SIZE_T(bytes));
    SetMemoryGuardFlag(1);
    return block;
}

void MemPixMap::DisposePixelBlock(void* block)
{
    GlobalFree(block);
}
