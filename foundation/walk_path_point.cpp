// WalkPathPoint: stream operation, converting angles between 1/256 turns and radians.
#include "foundation/walk_path_point.h"

#include "foundation/memory_stream.h"
#include "foundation/typed_value.h"

Fixed TurnStepsToRadians(Fixed steps)
{
    return FixDiv(FixMul(steps, kFixedPi), kFixedHalfTurn);
}

Fixed RadiansToTurnSteps(Fixed radians)
{
    Fixed steps = FixDiv(FixMul(radians, kFixedHalfTurn), kFixedPi);
    // The truncations of the two conversions leave the angle a step or two short; a few steps
    // find the one that gives the radians back whenever one does.
    for (int i = 0; i < 4 && TurnStepsToRadians(steps) < radians; ++i) steps = Fixed(uint32_t(steps) + 1);
    for (int i = 0; i < 4 && TurnStepsToRadians(steps) > radians; ++i) steps = Fixed(uint32_t(steps) - 1);
    return steps;
}

ResultCode WalkPathPoint::Write(MemoryStream* stream)
{
    // Angles go out as radians; when reading, an angle that is not read comes back as it was.
    FixedVector3 position = {x, y, z};
    Fixed angles[3] = {roll, pitch, heading};
    for (Fixed& a : angles) a = TurnStepsToRadians(a);
    ResultCode result = SerializeTypedValue(stream, &position, kTypedVector);
    if (result == kResultOk) result = SerializeTypedValue(stream, angles, kTypedAngles);
    if (!stream->StreamIsWriting()) {
        x = position.x;
        y = position.y;
        z = position.z;
        for (Fixed& a : angles) a = RadiansToTurnSteps(a);
        roll = angles[0];
        pitch = angles[1];
        heading = angles[2];
    }
    return result;
}
