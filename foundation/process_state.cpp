// Process-wide state words.
#include "foundation/process_state.h"

int32_t LowMemoryLevel = 0;
int32_t MemoryGuardFlag = 0;
int32_t ModelLoadingCount = 0;
int32_t WalkPathPlayCount = 0;
int32_t AboutWindowCount = 0;
int32_t TextureAddingDepth = 0;
