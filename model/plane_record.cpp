// PlaneRecord: a cutting plane, its stored form and its rescaling.
#include "model/plane_record.h"

#include "foundation/memory_stream.h"
#include "foundation/typed_value.h"

ResultCode PlaneRecord::Write(MemoryStream* stream)
{
    Fixed values[4] = {A, B, C, D};
    for (Fixed& value : values) {
        const ResultCode result = SerializeTypedValue(stream, &value, kTypedLong);
        if (result != kResultOk) return result;
    }
    if (!stream->StreamIsWriting()) SetPlane(values[0], values[1], values[2], values[3]);
    return kResultOk;
}

void PlaneRecord::SetPlane(Fixed a, Fixed b, Fixed c, Fixed d)
{
    A = a;
    B = b;
    C = c;
    D = d;
}

Fixed* PlaneRecord::GetReversedNormal(Fixed (&out)[3]) const
{
    out[0] = FixNeg(A);
    out[1] = FixNeg(B);
    out[2] = FixNeg(C);
    return out;
}

void PlaneRecord::RescalePlane(Fixed factor)
{
    const auto magnitude = [](Fixed v) { return v < 0 ? 0 - uint32_t(v) : uint32_t(v); };
    // Significant bits of the product D x factor beyond 31: the four coefficients may be scaled
    // down together without moving the plane.
    const int32_t excess = BitLength(magnitude(factor)) - 16 + BitLength(magnitude(D)) - 16 - 15;
    if (excess > 0) {
        A = ShiftRightSigned(A, excess);
        B = ShiftRightSigned(B, excess);
        C = ShiftRightSigned(C, excess);
        D = ShiftRightSigned(D, excess);
    }
    D = FixMul(D, factor);
}
