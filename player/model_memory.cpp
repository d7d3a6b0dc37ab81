// The model memory estimate.
#include "player/model_memory.h"

#include <algorithm>

#include "model/model_object.h"

namespace {

constexpr int64_t kBaseBytes = 1024000;
constexpr int64_t kBytesPerObject = 1500;
constexpr int64_t kBytesPerFace = 250;
constexpr int64_t kBytesPerElement = 630;
constexpr int64_t kRounding = 1024;

// The statistics' counters this estimate reads.
constexpr int kNodesCounter = 0;
constexpr int kFacesCounter = 5;
constexpr int kElementsCounter = 8;
constexpr int kStatisticsCounters = 9;

int64_t Count(int32_t count)
{
    return std::max<int64_t>(count, 0);
}

}  // namespace

int64_t ModelMemoryEstimate(int32_t objects, int32_t faces, int32_t elements)
{
    const int64_t bytes = kBaseBytes + kBytesPerObject * Count(objects) + kBytesPerFace * Count(faces) +
                          kBytesPerElement * Count(elements);
    return (bytes + kRounding - 1) / kRounding * kRounding;
}

int64_t ModelMemoryEstimateOf(const ModelObject& root)
{
    int32_t counters[kStatisticsCounters];
    root.ModelStatistics(counters);
    return ModelMemoryEstimate(counters[kNodesCounter], counters[kFacesCounter], counters[kElementsCounter]);
}
