// WalkRecord: the walk observer as a model file holds it: the eye's
// place (whole world units), its angles (roll, pitch, heading in 1/256 turns), the lens, and
// the recorded walk path; stored as the body of the "QPRF" chunk.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/root_object.h"

class WalkPathPoint;

// Appends a copy of the point to the path; kResultOutOfMemory, or the append's failure, when it
// cannot.
ResultCode AppendPathPointCopy(DynamicArray* path, const WalkPathPoint& point);

class WalkRecord : public RootObject {
public:
    // Slot 0, Serialize: the "QPRF" chunk body. Reading leaves the observer unchanged for a
    // body of version 2 or later, and the path unchanged when its count does not fit the body.
    ResultCode Write(MemoryStream* stream) override;
    ResultCode Serialize(MemoryStream* stream) { return Write(stream); }

    // Clears every value and makes the empty path; kResultOutOfMemory without it.
    ResultCode Init(void* owner);
    // Frees the points, the path and the observer.
    void Free();
    void Destroy() { Free(); }

    // Each 16.16 value rounded half up to a whole number; positions clamped to 16 bits.
    void SetPositionFixed(Fixed x, Fixed y, Fixed z);
    void SetAnglesFixed(Fixed roll, Fixed pitch, Fixed heading);
    // Both, then a path point when recording is on.
    void SetAndRecord(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading);
    // Appends a point of the current values, up to the 32767 points a chunk can count.
    void RecordPathPoint();
    // Frees every point; a locked path is left as it is.
    void ClearPath();
    void SetRecording(int16_t flag, int16_t clear);
    // The position, and roll, pitch and heading in radians.
    void GetPlacement(FixedVector3* position, Fixed angles[3]) const;

    int32_t PathCount() const { return Path ? Path->ArrayCount() : 0; }
    WalkPathPoint* PathPoint(int32_t index) const;

    void* Owner = nullptr;
    DynamicArray* Path = nullptr;  // WalkPathPoint pointers, owned
    Fixed Position[3] = {0, 0, 0};
    Fixed PreviousPosition[3] = {0, 0, 0};
    Fixed Angles[3] = {0, 0, 0};  // roll, pitch, heading
    Fixed PreviousAngles[3] = {0, 0, 0};
    int16_t Recording = 0;
    int16_t PathIndex = 0;
    int16_t LensNumerator = 35;
    int16_t LensDenominator = 36;
};
