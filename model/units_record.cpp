// UnitsRecord: the stored form of a unit length, and which ratios of lengths may rescale.
#include "model/units_record.h"

#include <cmath>

#include "foundation/memory_stream.h"

ResultCode UnitsRecord::Write(MemoryStream* stream)
{
    double value = UnitLength;
    if (stream->StreamTransferValue(&value, kValue64) == kResultOk && !stream->StreamIsWriting())
        UnitLength = value;
    return kResultOk;
}

bool UsableUnitsRatio(double ratio)
{
    return std::isfinite(ratio) && ratio > 0.0 && X2Fix(ratio) > 0;
}

bool UnitsRescale(const UnitsRecord* from, const UnitsRecord* into)
{
    if (!from || !into) return false;
    const double ratio = into->UnitsRatioFrom(from);
    return UsableUnitsRatio(ratio) && (ratio < 0.9999 || ratio > 1.0001);
}
