// PlaneRecord: one cutting plane A x + B y + C z + D = 0 of a polygon object; faces keep the
// part on its non-negative side.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/root_object.h"

class MemoryStream;

constexpr int32_t kPlaneBytes = 16;

class PlaneRecord : public RootObject {
public:
    // StreamPlane: A, B, C, D as big-endian Fixed values, in the stream's direction. Returns the
    // code of the first value the stream could not move, else 0; reading applies the four
    // values only when all of them were read.
    ResultCode Write(MemoryStream* stream) override;
    ResultCode StreamPlane(MemoryStream* stream) { return Write(stream); }
    virtual void SetPlane(Fixed a, Fixed b, Fixed c, Fixed d);

    // Releases a record made with new.
    void PlaneFree() { delete this; }
    // (-A, -B, -C).
    Fixed* GetReversedNormal(Fixed (&out)[3]) const;
    // The plane after every coordinate was multiplied by the factor: D is multiplied, after all
    // four coefficients were shifted down together as far as the product needs to fit.
    void RescalePlane(Fixed factor);

    Fixed A = 0;
    Fixed B = 0;
    Fixed C = 0;
    Fixed D = 0;
};
