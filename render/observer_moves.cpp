// Moving the observer: steps along the heading through the byte sine table, turns, and the
// collision step that stops the eye short of solid faces.
#include "render/observer.h"

#include "foundation/ui_services.h"
#include "model/object_geometry.h"
#include "render/pick_geometry.h"
#include "render/sine_tables.h"

namespace {

// (v x step + 64) >> 7, rounded as the movement table is.
int32_t Scaled(int32_t sine, int32_t step)
{
    return ShiftRightSigned(sine * step + 64, 7);
}

int16_t ClampMoved(int32_t value)
{
    return int16_t(value < -32768 ? -32768 : value > 32766 ? 32767 : value);
}

int16_t Midpoint(int16_t a, int16_t b)
{
    return int16_t(ShiftRightSigned(int32_t(a) + int32_t(b), 1));
}

}  // namespace

void Observer::MovementStep(int32_t forward, int32_t sideways, int32_t* dx, int32_t* dy) const
{
    *dx = *dy = 0;
    if (forward != 0) {
        *dx = Scaled(SineTable8[(heading - 128) & 255], forward);
        *dy = Scaled(SineTable8[(heading + 64) & 255], forward);
    }
    if (sideways != 0) {
        *dx += Scaled(SineTable8[(heading + 64) & 255], sideways);
        *dy -= Scaled(SineTable8[(heading - 128) & 255], sideways);
    }
}

void Observer::StoreMovedPosition(int32_t dx, int32_t dy, int32_t up)
{
    x = ClampMoved(int32_t(x) + dx);
    y = ClampMoved(int32_t(y) + dy);
    z = ClampMoved(int32_t(z) + up);
}

void Observer::TurnBy(int32_t dHeading, int32_t dPitch, int32_t dRoll)
{
    heading = int16_t((heading + dHeading) & 255);
    pitch = int16_t((pitch + dPitch) & 255);
    roll = int16_t((roll + dRoll) & 255);
    UpdateTrig();
}

void Observer::MoveObserverRelative(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                    int32_t dPitch, int32_t dRoll)
{
    int32_t dx, dy;
    MovementStep(forward, sideways, &dx, &dy);
    if (dx == 0 && dy == 0 && up == 0 && dHeading == 0 && dPitch == 0 && dRoll == 0) return;
    StoreMovedPosition(dx, dy, up);
    TurnBy(dHeading, dPitch, dRoll);
    LocateEye();
    BumpSerial();
}

void Observer::MoveObserverWithCollision(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                         int32_t dPitch, int32_t dRoll)
{
    int32_t dx, dy;
    MovementStep(forward, sideways, &dx, &dy);
    if (dx == 0 && dy == 0 && up == 0 && dHeading == 0 && dPitch == 0 && dRoll == 0) return;
    const ShortVector3 start = {x, y, z};
    ObjectGeometry* const startCell = cell;
    StoreMovedPosition(dx, dy, up);
    LocateEye();
    auto nearbyCount = [this]() { return nearby ? nearby->ArrayCount() : 0; };
    if (cell != startCell || nearbyCount() != 0) {
        ShortVector3 target = {x, y, z};
        PickRay ray;
        double length;
        SegmentToRay(start, target, &ray, &length);
        double t;
        bool hit = startCell && PickPolygonList(startCell, ray, length, &t);
        if (!hit && cell) hit = PickPolygonList(cell, ray, length, &t);
        // Halves the step towards the start; false once the halving reaches either end, with
        // the eye put back at the start.
        auto halve = [&]() {
            const ShortVector3 middle = {Midpoint(target.x, start.x), Midpoint(target.y, start.y),
                                         Midpoint(target.z, start.z)};
            x = middle.x;
            y = middle.y;
            z = middle.z;
            LocateEye();
            if (middle == start || middle == target) {
                x = start.x;
                y = start.y;
                z = start.z;
                LocateEye();
                return false;
            }
            target = middle;
            return true;
        };
        if (hit) {
            PlayBeep(2);
            while (!(cell == startCell && nearbyCount() == 0) && halve()) {
            }
        } else if (nearbyCount() != 0) {
            PlayBeep(2);
            while (nearbyCount() != 0 && halve()) {
            }
        }
    }
    TurnBy(dHeading, dPitch, dRoll);
    BumpSerial();
}
