// Transform: mapping points through scale, shear, rotation and translation, and composing
// further changes through a FixedMatrix3 split back into the parameters.
#include "model/transform.h"

#include <cmath>

#include "foundation/memory_stream.h"
#include "foundation/typed_value.h"
#include "model/fixed_matrix.h"

namespace {

bool IsUnitScale(const Fixed (&s)[3]) { return s[0] == kFixedOne && s[1] == kFixedOne && s[2] == kFixedOne; }
bool IsZero(const Fixed (&v)[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }

void SineCosine(Fixed angle, Fixed* sine, Fixed* cosine)
{
    if (angle == 0) {
        *sine = 0;
        *cosine = kFixedOne;
        return;
    }
    const double radians = Fix2X(angle);
    *sine = X2Fix(std::sin(radians));
    *cosine = X2Fix(std::cos(radians));
}

}  // namespace

// --- set-up and fields ---

void Transform::TransformReset()
{
    SetPosition(0, 0, 0);
    SetRotation(0, 0, 0);
    SetShear(0, 0, 0);
    SetScale(kFixedOne, kFixedOne, kFixedOne);
}

void Transform::SetPosition(Fixed x, Fixed y, Fixed z)
{
    Position[0] = x;
    Position[1] = y;
    Position[2] = z;
}

void Transform::SetRotation(Fixed ay, Fixed ax, Fixed az)
{
    Rotation[0] = ay;
    Rotation[1] = ax;
    Rotation[2] = az;
    for (int32_t i = 0; i < 3; ++i) SineCosine(Rotation[i], &Sines[i], &Cosines[i]);
}

void Transform::SetShear(Fixed h0, Fixed h1, Fixed h2)
{
    Shear[0] = h0;
    Shear[1] = h1;
    Shear[2] = h2;
}

void Transform::SetScale(Fixed sx, Fixed sy, Fixed sz)
{
    Scale[0] = sx;
    Scale[1] = sy;
    Scale[2] = sz;
    for (int32_t i = 0; i < 3; ++i) InverseScale[i] = FixDiv(kFixedOne, Scale[i]);
}

Fixed* Transform::GetPosition(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Position[i];
    return out;
}

Fixed* Transform::GetRotation(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Rotation[i];
    return out;
}

Fixed* Transform::GetShear(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Shear[i];
    return out;
}

Fixed* Transform::GetScale(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Scale[i];
    return out;
}

void Transform::TransformCopyTo(Transform* destination) const
{
    destination->SetPosition(Position[0], Position[1], Position[2]);
    destination->SetRotation(Rotation[0], Rotation[1], Rotation[2]);
    destination->SetShear(Shear[0], Shear[1], Shear[2]);
    destination->SetScale(Scale[0], Scale[1], Scale[2]);
}

// --- mapping points ---

FixedVector3* Transform::TransformPoint(FixedVector3* out, Fixed x, Fixed y, Fixed z) const
{
    if (!IsUnitScale(Scale)) {
        x = FixMul(x, Scale[0]);
        y = FixMul(y, Scale[1]);
        z = FixMul(z, Scale[2]);
    }
    if (!IsZero(Shear)) {
        x = FixAdd(x, FixAdd(FixMul(y, Shear[0]), FixMul(z, Shear[1])));
        y = FixAdd(y, FixMul(z, Shear[2]));
    }
    if (Rotation[2] != 0) {
        const Fixed s = Sines[2], c = Cosines[2];
        const Fixed nx = FixSub(FixMul(x, c), FixMul(y, s));
        y = FixAdd(FixMul(x, s), FixMul(y, c));
        x = nx;
    }
    if (Rotation[1] != 0) {
        const Fixed s = Sines[1], c = Cosines[1];
        const Fixed ny = FixSub(FixMul(y, c), FixMul(z, s));
        z = FixAdd(FixMul(y, s), FixMul(z, c));
        y = ny;
    }
    if (Rotation[0] != 0) {
        const Fixed s = Sines[0], c = Cosines[0];
        const Fixed nz = FixSub(FixMul(z, c), FixMul(x, s));
        x = FixAdd(FixMul(z, s), FixMul(x, c));
        z = nz;
    }
    out->x = FixAdd(x, Position[0]);
    out->y = FixAdd(y, Position[1]);
    out->z = FixAdd(z, Position[2]);
    return out;
}

FixedVector3* Transform::InverseTransformPoint(FixedVector3* out, Fixed x, Fixed y, Fixed z) const
{
    x = FixSub(x, Position[0]);
    y = FixSub(y, Position[1]);
    z = FixSub(z, Position[2]);
    if (Rotation[0] != 0) {
        const Fixed s = Sines[0], c = Cosines[0];
        const Fixed nz = FixAdd(FixMul(z, c), FixMul(x, s));
        x = FixAdd(FixMul(x, c), FixMul(z, FixNeg(s)));
        z = nz;
    }
    if (Rotation[1] != 0) {
        const Fixed s = Sines[1], c = Cosines[1];
        const Fixed ny = FixAdd(FixMul(y, c), FixMul(z, s));
        z = FixSub(FixMul(z, c), FixMul(y, s));
        y = ny;
    }
    if (Rotation[2] != 0) {
        const Fixed s = Sines[2], c = Cosines[2];
        const Fixed nx = FixAdd(FixMul(x, c), FixMul(y, s));
        y = FixSub(FixMul(y, c), FixMul(x, s));
        x = nx;
    }
    if (!IsZero(Shear)) {
        y = FixSub(y, FixMul(z, Shear[2]));
        x = FixSub(x, FixAdd(FixMul(y, Shear[0]), FixMul(z, Shear[1])));
    }
    if (!IsUnitScale(Scale)) {
        x = FixMul(x, InverseScale[0]);
        y = FixMul(y, InverseScale[1]);
        z = FixMul(z, InverseScale[2]);
    }
    out->x = x;
    out->y = y;
    out->z = z;
    return out;
}

// --- changes after the transform ---

namespace {

// The matrix of a transform's current scale, shear and rotation.
FixedMatrix3 CurrentMatrix(const Transform& t, bool withShape)
{
    FixedMatrix3 m;
    m.MatrixInit();
    if (withShape) {
        m.MatrixScale(t.Scale[0], t.Scale[1], t.Scale[2]);
        m.MatrixShear(t.Shear[0], t.Shear[1], t.Shear[2]);
    }
    m.MatrixRotateSinCos(t.Sines[2], t.Cosines[2], kAxisZ);
    m.MatrixRotateSinCos(t.Sines[1], t.Cosines[1], kAxisX);
    m.MatrixRotateSinCos(t.Sines[0], t.Cosines[0], kAxisY);
    return m;
}

}  // namespace

// Moves the position about the centre through the temporary's forward or inverse mapping.
// The temporary holds the centre as its position, so the inverse adds the centre back.
static void MapPositionAbout(Transform* self, const Transform& about, bool inverse)
{
    FixedVector3 p;
    const Fixed* c = about.Position;
    if (inverse) {
        about.InverseTransformPoint(&p, self->Position[0], self->Position[1], self->Position[2]);
        self->SetPosition(FixAdd(p.x, c[0]), FixAdd(p.y, c[1]), FixAdd(p.z, c[2]));
    } else {
        about.TransformPoint(&p, FixSub(self->Position[0], c[0]), FixSub(self->Position[1], c[1]),
                             FixSub(self->Position[2], c[2]));
        self->SetPosition(p.x, p.y, p.z);
    }
}

void Transform::Translate(Fixed dx, Fixed dy, Fixed dz)
{
    SetPosition(FixAdd(Position[0], dx), FixAdd(Position[1], dy), FixAdd(Position[2], dz));
}

void Transform::Untranslate(Fixed dx, Fixed dy, Fixed dz)
{
    SetPosition(FixSub(Position[0], dx), FixSub(Position[1], dy), FixSub(Position[2], dz));
}

void Transform::RotateAbout(Fixed dy, Fixed dx, Fixed dz, Fixed cx, Fixed cy, Fixed cz)
{
    if (dy == 0 && dx == 0 && dz == 0) return;
    Transform about;
    about.SetPosition(cx, cy, cz);
    about.SetRotation(dy, dx, dz);
    MapPositionAbout(this, about, false);
    FixedMatrix3 m = CurrentMatrix(*this, false);
    m.MatrixRotate(dz, kAxisZ);
    m.MatrixRotate(dx, kAxisX);
    m.MatrixRotate(dy, kAxisY);
    m.MatrixDecompose();
    SetRotation(m.Rotation[0], m.Rotation[1], m.Rotation[2]);
}

void Transform::UnrotateAbout(Fixed dy, Fixed dx, Fixed dz, Fixed cx, Fixed cy, Fixed cz)
{
    if (dy == 0 && dx == 0 && dz == 0) return;
    Transform about;
    about.SetPosition(cx, cy, cz);
    about.SetRotation(dy, dx, dz);
    MapPositionAbout(this, about, true);
    FixedMatrix3 m = CurrentMatrix(*this, false);
    m.MatrixRotate(FixNeg(dy), kAxisY);
    m.MatrixRotate(FixNeg(dx), kAxisX);
    m.MatrixRotate(FixNeg(dz), kAxisZ);
    m.MatrixDecompose();
    SetRotation(m.Rotation[0], m.Rotation[1], m.Rotation[2]);
}

// Takes scale, shear and rotation from a decomposed matrix.
static void SetShapeFrom(Transform* t, const FixedMatrix3& m)
{
    t->SetRotation(m.Rotation[0], m.Rotation[1], m.Rotation[2]);
    t->SetShear(m.Shear[0], m.Shear[1], m.Shear[2]);
    t->SetScale(m.Scale[0], m.Scale[1], m.Scale[2]);
}

void Transform::ShearAbout(Fixed h0, Fixed h1, Fixed h2, Fixed cx, Fixed cy, Fixed cz)
{
    if (h0 == 0 && h1 == 0 && h2 == 0) return;
    Transform about;
    about.SetPosition(cx, cy, cz);
    about.SetShear(h0, h1, h2);
    MapPositionAbout(this, about, false);
    FixedMatrix3 m = CurrentMatrix(*this, true);
    m.MatrixShear(h0, h1, h2);
    m.MatrixDecompose();
    SetShapeFrom(this, m);
}

void Transform::UnshearAbout(Fixed h0, Fixed h1, Fixed h2, Fixed cx, Fixed cy, Fixed cz)
{
    if (h0 == 0 && h1 == 0 && h2 == 0) return;
    Transform about;
    about.SetPosition(cx, cy, cz);
    about.SetShear(h0, h1, h2);
    MapPositionAbout(this, about, true);
    FixedMatrix3 m = CurrentMatrix(*this, true);
    m.MatrixShear(FixNeg(h0), FixSub(FixMul(h0, h2), h1), FixNeg(h2));  // the exact inverse
    m.MatrixDecompose();
    SetShapeFrom(this, m);
}

void Transform::ScaleAbout(Fixed sx, Fixed sy, Fixed sz, Fixed cx, Fixed cy, Fixed cz)
{
    if (sx == kFixedOne && sy == kFixedOne && sz == kFixedOne) return;
    Transform about;
    about.SetPosition(cx, cy, cz);
    about.SetScale(sx, sy, sz);
    MapPositionAbout(this, about, false);
    FixedMatrix3 m = CurrentMatrix(*this, true);
    m.MatrixScale(sx, sy, sz);
    m.MatrixDecompose();
    SetShapeFrom(this, m);
}

void Transform::UnscaleAbout(Fixed sx, Fixed sy, Fixed sz, Fixed cx, Fixed cy, Fixed cz)
{
    if (sx == kFixedOne && sy == kFixedOne && sz == kFixedOne) return;
    Transform about;
    about.SetPosition(cx, cy, cz);
    about.SetScale(sx, sy, sz);
    MapPositionAbout(this, about, true);
    FixedMatrix3 m = CurrentMatrix(*this, true);
    m.MatrixScale(FixDiv(kFixedOne, sx), FixDiv(kFixedOne, sy), FixDiv(kFixedOne, sz));
    m.MatrixDecompose();
    SetShapeFrom(this, m);
}

void Transform::AppendTransform(const Transform* other)
{
    ScaleAbout(other->Scale[0], other->Scale[1], other->Scale[2], 0, 0, 0);
    ShearAbout(other->Shear[0], other->Shear[1], other->Shear[2], 0, 0, 0);
    RotateAbout(other->Rotation[0], other->Rotation[1], other->Rotation[2], 0, 0, 0);
    Translate(other->Position[0], other->Position[1], other->Position[2]);
}

void Transform::RemoveTransform(const Transform* other)
{
    Untranslate(other->Position[0], other->Position[1], other->Position[2]);
    UnrotateAbout(other->Rotation[0], other->Rotation[1], other->Rotation[2], 0, 0, 0);
    UnshearAbout(other->Shear[0], other->Shear[1], other->Shear[2], 0, 0, 0);
    UnscaleAbout(other->Scale[0], other->Scale[1], other->Scale[2], 0, 0, 0);
}

// --- two-dimensional view ---

FixedPoint* Transform::GetPosition2D(FixedPoint* out) const
{
    out->x = Position[0];
    out->y = Position[1];
    return out;
}

FixedPoint* Transform::GetScale2D(FixedPoint* out) const
{
    out->x = Scale[0];
    out->y = Scale[1];
    return out;
}

FixedPoint* Transform::TransformPoint2D(FixedPoint* out, Fixed x, Fixed y) const
{
    if (Scale[0] != kFixedOne || Scale[1] != kFixedOne) {
        x = FixMul(x, Scale[0]);
        y = FixMul(y, Scale[1]);
    }
    if (Shear[0] != 0) x = FixAdd(x, FixMul(y, Shear[0]));
    if (Rotation[2] != 0) {
        const Fixed s = Sines[2], c = Cosines[2];
        const Fixed nx = FixSub(FixMul(x, c), FixMul(y, s));
        y = FixAdd(FixMul(x, s), FixMul(y, c));
        x = nx;
    }
    out->x = FixAdd(x, Position[0]);
    out->y = FixAdd(y, Position[1]);
    return out;
}

FixedPoint* Transform::InverseTransformPoint2D(FixedPoint* out, Fixed x, Fixed y) const
{
    x = FixSub(x, Position[0]);
    y = FixSub(y, Position[1]);
    if (Rotation[2] != 0) {
        const Fixed s = Sines[2], c = Cosines[2];
        const Fixed nx = FixAdd(FixMul(x, c), FixMul(y, s));
        y = FixSub(FixMul(y, c), FixMul(x, s));
        x = nx;
    }
    if (Shear[0] != 0) x = FixSub(x, FixMul(y, Shear[0]));
    if (Scale[0] != kFixedOne || Scale[1] != kFixedOne) {
        x = FixMul(x, InverseScale[0]);
        y = FixMul(y, InverseScale[1]);
    }
    out->x = x;
    out->y = y;
    return out;
}

void Transform::Translate2D(Fixed dx, Fixed dy)
{
    SetPosition2D(FixAdd(Position[0], dx), FixAdd(Position[1], dy));
}

void Transform::Untranslate2D(Fixed dx, Fixed dy)
{
    SetPosition2D(FixSub(Position[0], dx), FixSub(Position[1], dy));
}

// Moves the 2-D position about the centre (the temporary's position) forward or back.
static void MapPosition2DAbout(Transform* self, const Transform& about, bool inverse)
{
    FixedPoint p;
    const Fixed cx = about.Position[0], cy = about.Position[1];
    if (inverse) {
        about.InverseTransformPoint2D(&p, self->Position[0], self->Position[1]);
        self->SetPosition2D(FixAdd(p.x, cx), FixAdd(p.y, cy));
    } else {
        about.TransformPoint2D(&p, FixSub(self->Position[0], cx), FixSub(self->Position[1], cy));
        self->SetPosition2D(p.x, p.y);
    }
}

void Transform::Rotate2D(Fixed angle, Fixed cx, Fixed cy)
{
    if (angle == 0) return;
    Transform about;
    about.SetPosition2D(cx, cy);
    about.SetAngle2D(angle);
    MapPosition2DAbout(this, about, false);
    SetAngle2D(FixAdd(Rotation[2], angle));
}

void Transform::Unrotate2D(Fixed angle, Fixed cx, Fixed cy)
{
    if (angle == 0) return;
    Transform about;
    about.SetPosition2D(cx, cy);
    about.SetAngle2D(angle);
    MapPosition2DAbout(this, about, true);
    SetAngle2D(FixSub(Rotation[2], angle));
}

namespace {

FixedMatrix3 CurrentMatrix2D(const Transform& t)
{
    FixedMatrix3 m;
    m.MatrixInit();
    m.MatrixScale(t.Scale[0], t.Scale[1], kFixedOne);
    m.MatrixShear(t.Shear[0], 0, 0);
    m.MatrixRotateSinCos(t.Sines[2], t.Cosines[2], kAxisZ);
    return m;
}

}  // namespace

// Takes the 2-D scale, shear and angle from a decomposed matrix. The split turns a mirror into
// negated rows and scales on all three axes, with the Y angle at a half turn; a 2-D transform
// reads no Y angle, so the mirror is moved onto the x scale instead: the y scale and the shear
// change sign and the angle is that of the rotation whose rows are (-row 0, row 1).
static void SetShape2DFrom(Transform* t, FixedMatrix3& m)
{
    m.MatrixDecompose();
    Fixed sy = m.Scale[1], shear = m.Shear[0], angle = m.Rotation[2];
    if (m.Scale[2] < 0) {
        sy = FixNeg(sy);
        shear = FixNeg(shear);
        angle = X2Fix(std::atan2(double(m.Elements[1][0]), -double(m.Elements[1][1])));
    }
    t->SetAngle2D(angle);
    t->SetShear2D(shear);
    t->SetScale2D(m.Scale[0], sy);
}

void Transform::Shear2D(Fixed h, Fixed cx, Fixed cy)
{
    if (h == 0) return;
    Transform about;
    about.SetPosition2D(cx, cy);
    about.SetShear2D(h);
    MapPosition2DAbout(this, about, false);
    FixedMatrix3 m = CurrentMatrix2D(*this);
    m.MatrixShear(h, 0, 0);
    SetShape2DFrom(this, m);
}

void Transform::Unshear2D(Fixed h, Fixed cx, Fixed cy)
{
    if (h == 0) return;
    Transform about;
    about.SetPosition2D(cx, cy);
    about.SetShear2D(h);
    MapPosition2DAbout(this, about, true);
    FixedMatrix3 m = CurrentMatrix2D(*this);
    m.MatrixShear(FixNeg(h), 0, 0);
    SetShape2DFrom(this, m);
}

void Transform::Scale2D(Fixed sx, Fixed sy, Fixed cx, Fixed cy)
{
    if (sx == kFixedOne && sy == kFixedOne) return;
    Transform about;
    about.SetPosition2D(cx, cy);
    about.SetScale2D(sx, sy);
    MapPosition2DAbout(this, about, false);
    FixedMatrix3 m = CurrentMatrix2D(*this);
    m.MatrixScale(sx, sy, kFixedOne);
    SetShape2DFrom(this, m);
}

void Transform::Unscale2D(Fixed sx, Fixed sy, Fixed cx, Fixed cy)
{
    if (sx == kFixedOne && sy == kFixedOne) return;
    Transform about;
    about.SetPosition2D(cx, cy);
    about.SetScale2D(sx, sy);
    MapPosition2DAbout(this, about, true);
    FixedMatrix3 m = CurrentMatrix2D(*this);
    m.MatrixScale(FixDiv(kFixedOne, sx), FixDiv(kFixedOne, sy), kFixedOne);
    SetShape2DFrom(this, m);
}

// --- one-dimensional view ---

Fixed Transform::TransformPoint1D(Fixed x) const
{
    if (Scale[0] != kFixedOne) x = FixMul(x, Scale[0]);
    return FixAdd(x, Position[0]);
}

Fixed Transform::InverseTransformPoint1D(Fixed x) const
{
    x = FixSub(x, Position[0]);
    return Scale[0] != kFixedOne ? FixMul(x, InverseScale[0]) : x;
}

void Transform::Translate1D(Fixed d) { SetPosition1D(FixAdd(Position[0], d)); }

void Transform::Untranslate1D(Fixed d) { SetPosition1D(FixSub(Position[0], d)); }

void Transform::Scale1D(Fixed s, Fixed c)
{
    if (s == kFixedOne) return;
    SetPosition1D(FixAdd(FixMul(FixSub(Position[0], c), s), c));
    SetScale1D(FixMul(Scale[0], s));
}

void Transform::Unscale1D(Fixed s, Fixed c)
{
    if (s == kFixedOne) return;
    Transform about;
    about.SetPosition1D(c);
    about.SetScale1D(s);
    SetPosition1D(FixAdd(about.InverseTransformPoint1D(Position[0]), c));
    SetScale1D(FixDiv(Scale[0], s));
}

// --- stored forms ---

ResultCode Transform::StreamTransform(MemoryStream* stream)
{
    Fixed values[4][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {kFixedOne, kFixedOne, kFixedOne}};
    const bool writing = stream->StreamIsWriting();
    if (writing) {
        GetPosition(values[0]);
        GetRotation(values[1]);
        GetShear(values[2]);
        GetScale(values[3]);
    }
    const TypedValueKind kinds[4] = {kTypedVector, kTypedAngles, kTypedFixedTriple, kTypedVector};
    ResultCode result = kResultOk;
    for (int32_t i = 0; i < 4 && result == kResultOk; ++i) result = SerializeTypedValue(stream, values[i], kinds[i]);
    if (!writing) {
        SetPosition(values[0][0], values[0][1], values[0][2]);
        SetRotation(values[1][0], values[1][1], values[1][2]);
        SetShear(values[2][0], values[2][1], values[2][2]);
        SetScale(values[3][0], values[3][1], values[3][2]);
    }
    return writing ? result : kResultOk;
}

ResultCode Transform::StreamTransform2D(MemoryStream* stream)
{
    FixedPoint position = {0, 0}, scale = {kFixedOne, kFixedOne};
    Fixed angle = 0, shear = 0;
    const bool writing = stream->StreamIsWriting();
    if (writing) {
        GetPosition2D(&position);
        GetScale2D(&scale);
        angle = GetAngle2D();
        shear = GetShear2D();
    }
    ResultCode result = SerializeTypedValue(stream, &position, kTypedFixedPoint);
    if (result == kResultOk) result = SerializeTypedValue(stream, &angle, kTypedLong);
    if (result == kResultOk) result = SerializeTypedValue(stream, &shear, kTypedLong);
    if (result == kResultOk) result = SerializeTypedValue(stream, &scale, kTypedFixedPoint);
    if (!writing) {
        SetPosition2D(position.x, position.y);
        SetAngle2D(angle);
        SetShear2D(shear);
        SetScale2D(scale.x, scale.y);
    }
    return writing ? result : kResultOk;
}

ResultCode Transform::StreamTransform1D(MemoryStream* stream)
{
    Fixed position = 0, scale = kFixedOne;
    const bool writing = stream->StreamIsWriting();
    if (writing) {
        position = GetPosition1D();
        scale = GetScale1D();
    }
    ResultCode result = SerializeTypedValue(stream, &position, kTypedLong);
    if (result == kResultOk) result = SerializeTypedValue(stream, &scale, kTypedLong);
    if (!writing) {
        SetPosition1D(position);
        SetScale1D(scale);
    }
    return writing ? result : kResultOk;
}
