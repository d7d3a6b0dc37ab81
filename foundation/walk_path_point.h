// WalkPathPoint: one recorded point of a walk path, the eye's position and its angles in 1/256
// turns; files hold the angles in radians.
#pragma once

#include "foundation/fixed.h"
#include "foundation/root_object.h"

class WalkPathPoint : public RootObject {
public:
    // Moves the position (kTypedVector), then the angles in radians (kTypedAngles); the code of
    // the first transfer that did not return 0, or 0.
    ResultCode Write(MemoryStream* stream) override;

    // Takes the six values of another point.
    void CopyFrom(const WalkPathPoint& other)
    {
        x = other.x;
        y = other.y;
        z = other.z;
        roll = other.roll;
        pitch = other.pitch;
        heading = other.heading;
    }

    Fixed x = 0;
    Fixed y = 0;
    Fixed z = 0;
    // The walk observer's angle order: roll, pitch, heading (1/256 turns, as 16.16).
    Fixed roll = 0;
    Fixed pitch = 0;
    Fixed heading = 0;
};

constexpr Fixed kFixedPi = 205887;            // pi x 65536, truncated
constexpr Fixed kFixedHalfTurn = 0x00800000;  // 128.0: half a turn in 1/256 turns

// An angle in 1/256 turns as the radians files hold: FixDiv (FixMul (angle, pi), 128.0).
Fixed TurnStepsToRadians(Fixed steps);
// The radians of a file back in 1/256 turns: FixDiv (FixMul (radians, 128.0), pi), moved by the
// last bit or two to the angle that TurnStepsToRadians turns into the same radians again, so that
// a model read and written again keeps its bytes.
Fixed RadiansToTurnSteps(Fixed radians);
