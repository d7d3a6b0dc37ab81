// WalkPathPoint: stream operation, converting angles between 1/256 turns and radians.
#include "foundation/walk_path_point.h"

#include "foundation/memory_stream.h"
#include "foundation/typed_value.h"

ResultCode WalkPathPoint::Write(MemoryStream* stream)
{
    // Angles go out as radians; when reading, an angle that is not read comes back as it was.
    FixedVector3 position = {x, y, z};
    Fixed angles[3] = {roll, pitch, heading};
    for (Fixed& a : angles) a = FixDiv(FixMul(a, kFixedPi), kFixedHalfTurn);
    ResultCode result = SerializeTypedValue(stream, &position, kTypedVector);
    if (result == kResultOk) result = SerializeTypedValue(stream, angles, kTypedAngles);
    if (!stream->StreamIsWriting()) {
        x = position.x;
        y = position.y;
        z = position.z;
        for (Fixed& a : angles) a = FixDiv(FixMul(a, kFixedHalfTurn), kFixedPi);
        roll = angles[0];
        pitch = angles[1];
        heading = angles[2];
    }
    return result;
}
