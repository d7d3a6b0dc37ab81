// Transform: places a scene object, a surface or a polygon element by scale, shear, rotation
// and translation in 16.16 fixed point, with the sines, cosines and reciprocal scales cached so
// that mapping a point costs only multiplications and additions. Its 2-D view serves polygon
// elements lying in a surface, its 1-D view a single axis.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/root_object.h"

class MemoryStream;

// Bytes of the stored forms.
constexpr int32_t kTransformBytes = 48;
constexpr int32_t kTransform2DBytes = 24;
constexpr int32_t kTransform1DBytes = 8;

class Transform : public RootObject {
public:
    // --- set-up and fields ---
    void TransformInit() { TransformReset(); }
    // Zero position, angles and shear, unit scale.
    void TransformReset();
    // Releases a transform made with new.
    void TransformFree() { delete this; }
    void SetPosition(Fixed x, Fixed y, Fixed z);
    // Angles in radians about Y, X and Z; refreshes the cached sines and cosines.
    void SetRotation(Fixed ay, Fixed ax, Fixed az);
    void SetShear(Fixed h0, Fixed h1, Fixed h2);
    // Refreshes the cached reciprocals (0x7FFFFFFF for a zero scale).
    void SetScale(Fixed sx, Fixed sy, Fixed sz);
    Fixed* GetPosition(Fixed (&out)[3]) const;
    Fixed* GetRotation(Fixed (&out)[3]) const;
    Fixed* GetShear(Fixed (&out)[3]) const;
    Fixed* GetScale(Fixed (&out)[3]) const;
    void TransformCopyTo(Transform* destination) const;

    // --- mapping points: local to parent, and back ---
    FixedVector3* TransformPoint(FixedVector3* out, Fixed x, Fixed y, Fixed z) const;
    FixedVector3* InverseTransformPoint(FixedVector3* out, Fixed x, Fixed y, Fixed z) const;

    // --- changes applied after the transform, about a centre in parent coordinates ---
    void Translate(Fixed dx, Fixed dy, Fixed dz);
    void Untranslate(Fixed dx, Fixed dy, Fixed dz);
    void RotateAbout(Fixed dy, Fixed dx, Fixed dz, Fixed cx, Fixed cy, Fixed cz);
    void ShearAbout(Fixed h0, Fixed h1, Fixed h2, Fixed cx, Fixed cy, Fixed cz);
    void ScaleAbout(Fixed sx, Fixed sy, Fixed sz, Fixed cx, Fixed cy, Fixed cz);
    void UnrotateAbout(Fixed dy, Fixed dx, Fixed dz, Fixed cx, Fixed cy, Fixed cz);
    void UnshearAbout(Fixed h0, Fixed h1, Fixed h2, Fixed cx, Fixed cy, Fixed cz);
    void UnscaleAbout(Fixed sx, Fixed sy, Fixed sz, Fixed cx, Fixed cy, Fixed cz);
    // Afterwards this maps a point as it did, followed by the other transform.
    void AppendTransform(const Transform* other);
    // Undoes AppendTransform of the same other transform.
    void RemoveTransform(const Transform* other);

    // --- two-dimensional view: position x, y; angle about Z; shear h0; scale x, y ---
    // Each setter replaces the whole 3-D vector (z position 0, other angles and shears 0,
    // z scale 1.0).
    void SetPosition2D(Fixed x, Fixed y) { SetPosition(x, y, 0); }
    void SetAngle2D(Fixed angle) { SetRotation(0, 0, angle); }
    void SetShear2D(Fixed h) { SetShear(h, 0, 0); }
    void SetScale2D(Fixed sx, Fixed sy) { SetScale(sx, sy, kFixedOne); }
    FixedPoint* GetPosition2D(FixedPoint* out) const;
    Fixed GetAngle2D() const { return Rotation[2]; }
    Fixed GetShear2D() const { return Shear[0]; }
    FixedPoint* GetScale2D(FixedPoint* out) const;
    FixedPoint* TransformPoint2D(FixedPoint* out, Fixed x, Fixed y) const;
    FixedPoint* InverseTransformPoint2D(FixedPoint* out, Fixed x, Fixed y) const;
    void Translate2D(Fixed dx, Fixed dy);
    void Untranslate2D(Fixed dx, Fixed dy);
    void Rotate2D(Fixed angle, Fixed cx, Fixed cy);
    void Unrotate2D(Fixed angle, Fixed cx, Fixed cy);
    void Shear2D(Fixed h, Fixed cx, Fixed cy);
    void Unshear2D(Fixed h, Fixed cx, Fixed cy);
    void Scale2D(Fixed sx, Fixed sy, Fixed cx, Fixed cy);
    void Unscale2D(Fixed sx, Fixed sy, Fixed cx, Fixed cy);

    // --- one-dimensional view: position x, scale x ---
    void SetPosition1D(Fixed x) { SetPosition(x, 0, 0); }
    void SetScale1D(Fixed s) { SetScale(s, kFixedOne, kFixedOne); }
    Fixed GetPosition1D() const { return Position[0]; }
    Fixed GetScale1D() const { return Scale[0]; }
    Fixed TransformPoint1D(Fixed x) const;
    Fixed InverseTransformPoint1D(Fixed x) const;
    void Translate1D(Fixed d);
    void Untranslate1D(Fixed d);
    void Scale1D(Fixed s, Fixed c);
    void Unscale1D(Fixed s, Fixed c);

    // --- stored forms, moved in the stream's direction: reading returns 0, writing the code of
    // the first write that failed ---
    // 48 bytes: position, rotation (about Y, X, Z), shear, scale, big-endian Fixed values.
    // Reading starts from the defaults and stops at the first value the stream cannot give.
    ResultCode StreamTransform(MemoryStream* stream);
    // 24 bytes: position x, y; angle; shear; scale x, y.
    ResultCode StreamTransform2D(MemoryStream* stream);
    // 8 bytes: position x; scale x.
    ResultCode StreamTransform1D(MemoryStream* stream);

    // The parameters, read-only for callers: they change only through the operations above,
    // which keep the caches in step.
    Fixed Position[3] = {0, 0, 0};
    Fixed Rotation[3] = {0, 0, 0};  // radians about Y, X, Z
    Fixed Shear[3] = {0, 0, 0};     // x += h0 y + h1 z, y += h2 z
    Fixed Scale[3] = {kFixedOne, kFixedOne, kFixedOne};
    Fixed Sines[3] = {0, 0, 0};
    Fixed Cosines[3] = {kFixedOne, kFixedOne, kFixedOne};
    Fixed InverseScale[3] = {kFixedOne, kFixedOne, kFixedOne};
};
