// Process-wide state words that the lower layers read: the low-memory level, the memory guard
// flag, the counts of the runs during which nothing may close the frame, the depth of texture
// files being added, and the user-interrupt poll of long frames.
#pragma once

#include <cstdint>

// The counts below are raised for a scope with CountRaised.
#include "foundation/count_raised.h"

// 0 none; 1 and 2 raised. Readers turn a raised level into their out-of-memory results.
extern int32_t LowMemoryLevel;
// Set to 0 before and 1 after a pixel-map allocation; nothing tests it.
extern int32_t MemoryGuardFlag;
// The number of model reads in progress, raised by the model reader for the whole of a read:
// nothing may close the frame or open another model meanwhile, and views draw nothing.
extern int32_t ModelLoadingCount;
// Raised while a walk path plays; nothing may close the frame or open a model meanwhile.
extern int32_t WalkPathPlayCount;
// Raised while an about window runs its loop; nothing may close the frame or end the session
// meanwhile.
extern int32_t AboutWindowCount;
// How many texture files are being added (each under the texture progress window, which is open
// while this is above 0): the averaging pixel copy reports each row to that window meanwhile.
extern int32_t TextureAddingDepth;

// The memory test made after a failed load: always 0 (no pressure).
inline int32_t GetMemoryPressure() { return 0; }
inline void SetMemoryGuardFlag(int32_t value) { MemoryGuardFlag = value; }
// The user-interrupt poll of a long frame: always 0.
inline int32_t InterruptRequested() { return 0; }
