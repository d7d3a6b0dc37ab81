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
    WalkObserver();
    ~WalkObserver() override;

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
    // Plays the path from the current point, over and over, each point standing for at least a
    // tick of the system clock, until a click waits (whole key presses are taken and play goes
    // on; a WM_QUIT stops it and is posted again). Nothing is recorded meanwhile.
    void PlayPath();
    // Takes what the model file held: place, angles, lens and the path (copied).
    void ReadWalkRecord(const WalkRecord& record);

    int32_t PathCount() const;
    int32_t PathIndex() const;
    // The next play starts from the first point; the eye stays where it is.
    void RewindPath();
    bool IsRecording() const;
    // True while PlayPath runs (the program refuses to open or close documents meanwhile).
    bool IsPlaying() const { return playing_; }
    // The first word of the world root the eye stands in (0 without a model).
    int32_t WorldRootWord() const;
    // Appends copies of the points from `first` to `last` to the list of point pointers, in
    // reverse order when `last` is lower; both are clamped to the path. The list owns the copies.
    ResultCode CopyPathPoints(int32_t first, int32_t last, DynamicArray* target) const;
    // The 16.16 values, their previous copies and the path.
    const WalkRecord& State() const { return *walk_; }

private:
    // The walk's own move: the 16.16 copies follow the observer after it, then a point is
    // recorded when recording is on.
    void FollowMove();
    // A path point when recording is on and no path plays.
    void RecordWhenRecording();
    // Shows each point in turn, over and over, until input ends play.
    void PlayPoints();
    // After a point is shown: waits until it has stood for its tick, taking whole key presses
    // meanwhile. False when play must stop.
    bool HoldPoint(uint32_t shownAt);

    ViewBase* ownerDocument_ = nullptr;
    Owned<WalkRecord> walk_;
    bool playing_ = false;
};
