// The memory a model is reckoned to need once loaded: a fixed share, and shares for each object,
// face and polygon element of its tree, in whole kilobytes.
#pragma once

#include <cstdint>

class ModelObject;

// 1,024,000 + 1,500 per object + 250 per face + 630 per polygon element, rounded up to a
// multiple of 1,024 bytes. Negative counts count as 0.
int64_t ModelMemoryEstimate(int32_t objects, int32_t faces, int32_t elements);
// The same for the tree under the root, by its statistics: every node, the faces and the
// polygon elements of its surfaces.
int64_t ModelMemoryEstimateOf(const ModelObject& root);
