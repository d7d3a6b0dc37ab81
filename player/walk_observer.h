// WalkObserver: the eye of a player document. The renderer's observer, which keeps the place in
// whole 16-bit world units and the angles in 1/256 turns, with 16.16 copies of place and angles,
// their values before the last change, and the recorded walk path, which can be recorded while
// the person walks, stepped through point by point, or played.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "render/observer.h"

class DynamicArray;
class ViewBase;
class WalkPathPoint;
class WalkRecord;

class WalkObserver : public Observer {
public:
    // --- the observer's operations, with the walk's own behaviour ---
    // The "QPRF" chunk body: version, place, angles in radians, lens, the path.
    ResultCode Write(MemoryStream* stream) override;
    // Clears the owner document, the 16.16 values and the recording; makes the empty path.
    ResultCode Init(ModelHolder* holder) override;
    // Frees the points, the path and the observer.
    void Free() override;
    // Each keeps the previous values, stores whole numbers in the 16.16 copies and passes the
    // change on to the observer.
    void SetObserverPosition(ShortVector3 position) override;
    void SetObserverPositionFixed(Fixed x, Fixed y, Fixed z) override;
    void SetObserverAngles(int16_t roll, int16_t pitch, int16_t heading) override;
    void LevelObserver() override;
    // Both moves record a path point while recording is on.
    void MoveObserverRelative(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                              int32_t dPitch, int32_t dRoll) override;
    void MoveObserverWithCollision(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                   int32_t dPitch, int32_t dRoll) override;

    // --- the walk ---
    // The document that hears of every point a playing path shows.
    void SetOwner(ViewBase* document) { ownerDocument_ = document; }
    ViewBase* OwnerDocument() const { return ownerDocument_; }
    // The position, and roll, pitch and heading in radians (16.16).
    void GetPlacement(FixedVector3* position, Fixed angles[3]) const;
    // Angles in 1/256 turns as 16.16, each rounded half up.
    void SetAnglesFixed(Fixed roll, Fixed pitch, Fixed heading);
    // Place and angles (16.16), then a path point when recording is on.
    void SetAndRecord(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading);
    void RecordPathPoint();
    void ClearPath();
    // Recording on or off; with clear 1 the path is emptied.
    void SetRecording(int16_t flag, int16_t clear);
    // Goes to point n; 1 (after a beep) when the path is empty or n was outside it and clamped.
    int32_t GoToPathPoint(int32_t n);
    // Plays the path from the current point, over and over, until a click or a key that is not
    // a whole press arrives (a WM_QUIT stops it and is posted again).
    void PlayPath();
    // Takes what the model file held: place, angles, lens and the path.
    void ReadWalkRecord(const WalkRecord& record);

    int32_t PathCount() const;
    int32_t PathIndex() const;
    bool IsRecording() const;
    bool IsPlaying() const { return playing_; }

private:
    // (The walk's state: the helper building this class lays it out; reuse the model's
    // WalkRecord for the 16.16 values, the path and the chunk body rather than copying it.)
    ViewBase* ownerDocument_ = nullptr;
    bool playing_ = false;
};
