// UnitsRecord: the length of one coordinate unit of a scene object and its subtree.
#pragma once

#include "foundation/fixed.h"
#include "foundation/root_object.h"

class MemoryStream;

constexpr int32_t kUnitsBytes = 8;

class UnitsRecord : public RootObject {
public:
    // StreamUnits: the length as one big-endian IEEE-754 double; reading applies it only when
    // all eight bytes were read. Returns 0.
    ResultCode Write(MemoryStream* stream) override;
    ResultCode StreamUnits(MemoryStream* stream) { return Write(stream); }

    void UnitsInit() { UnitLength = 1.0; }
    // Releases a record made with new.
    void UnitsFree() { delete this; }
    UnitsRecord* UnitsSet(double value)
    {
        UnitLength = value;
        return this;
    }
    double UnitsGet() const { return UnitLength; }
    void UnitsCopyTo(UnitsRecord* destination) const { destination->UnitsSet(UnitLength); }
    // other / this, and this / other: plain divisions (see UsableUnitsRatio).
    double UnitsRatioFrom(const UnitsRecord* other) const { return other->UnitLength / UnitLength; }
    double UnitsRatioTo(const UnitsRecord* other) const { return UnitLength / other->UnitLength; }

    double UnitLength = 1.0;
};

// True when coordinates may be rescaled by the ratio of two unit lengths: finite, above 0 and
// above 0 still as a Fixed. Lengths read from a file may be 0, negative or not numbers at all.
bool UsableUnitsRatio(double ratio);
// True when a subtree in units `from` that joins a parent in units `into` is rescaled: both are
// given, and their ratio is usable and no ratio of one.
bool UnitsRescale(const UnitsRecord* from, const UnitsRecord* into);
