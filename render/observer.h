// Observer: the renderer's eye and the render state of one view: position and orientation with
// their sine and cosine cache, the option switches, the viewport and lens with the projection
// constants made from them (reciprocal tables and the power-of-two view pyramid), the object in
// which the eye stands and the objects around it.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/root_object.h"
#include "model/model_holder.h"
#include "model/short_vector.h"

class ObjectGeometry;
class SpanRegion;

// Option bits of SetObserverOptions.
constexpr int32_t kOptionSeeOwnInside = 0;     // through a see-through face from outside: the inside
constexpr int32_t kOptionSeeEnclosing = 1;     // through a see-through face from inside: the enclosure
constexpr int32_t kOptionSeeTouching = 2;      // ... and the faces of other objects touching it
constexpr int32_t kOptionFrameSeeThrough = 3;  // frame see-through and transparent faces
constexpr int32_t kOptionFill = 4;             // fill faces; the root fills the background
constexpr int32_t kOptionLitColours = 5;       // lit colours instead of base colours
constexpr int32_t kOptionHiddenLine = 7;       // faces in the background colour, edges black
constexpr int32_t kOptionBlackEdges = 8;       // edges black instead of 3/4 of the face colour
constexpr int32_t kOptionBlend = 9;            // blend with what lies behind see-through faces
constexpr int32_t kOptionDither = 10;          // colours matched with ColorToPixel, pattern 7
constexpr int32_t kOptionCollectBounds = 11;   // collect the scene bounds while drawing
constexpr int32_t kOptionTextures = 12;
constexpr int32_t kOptionVertexShading = 13;   // per-vertex shading values
constexpr int32_t kOptionCount = 14;

// Bits of drawFlags, as the face drawing routines take them.
constexpr int32_t kDrawFrame = 4;
constexpr int32_t kDrawFill = 8;
constexpr int32_t kDrawMatchColours = 16;
constexpr int32_t kDrawCollectBounds = 32;
constexpr int32_t kDrawVertexShading = 64;

// The largest projection scale in pixels.
constexpr int32_t kMaxProjectionScale = 8191;

// An angle of 256 steps per turn, kept in 0..255.
using BinaryAngle = int16_t;

class Observer : public RootObject {
public:
    // --- virtual operations, in their slot order ---
    // Slot 1: stores the owner, clears the eye, makes the lists and view buffers and attaches
    // the eye to the world. kResultOutOfMemory when a list or buffer could not be made.
    virtual ResultCode Init(ModelHolder* owner);
    // Slot 2: releases the lists, buffers and region, then the observer.
    virtual void Free();
    // Slot 3: when the position differs, stores it, finds the cell and bumps the serial.
    virtual void SetObserverPosition(ShortVector3 position);
    // Slot 4: each value rounded half up.
    virtual void SetObserverPositionFixed(Fixed x, Fixed y, Fixed z);
    // Slot 5: each angle masked to 0..255; bumps the serial when any changed.
    virtual void SetObserverAngles(int16_t roll, int16_t pitch, int16_t heading);
    // Slot 6: pitch and roll to 0.
    virtual void LevelObserver();
    // Slot 7: forward and sideways along the heading, up, and the angle steps.
    virtual void MoveObserverRelative(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                      int32_t dPitch, int32_t dRoll);
    // Slot 8: the same move, stopped short of solid faces.
    virtual void MoveObserverWithCollision(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                           int32_t dPitch, int32_t dRoll);

    void Destroy() { Free(); }

    // --- plain operations ---
    void SetObserverOptions(uint32_t mask);
    // The mask AND the set option bits.
    uint32_t GetObserverOptions(uint32_t mask) const;
    // Angles in 1/256 turns as 16.16 values: the bytes rounded, the cache from the exact values.
    void SetObserverAnglesFixed(Fixed roll, Fixed pitch, Fixed heading);
    void AttachObserverToWorld();
    // Finds the cell (the innermost visible object around the eye) and the objects whose
    // surfaces the eye stands on.
    void LocateEye();
    // Half-extents of the viewport in pixels.
    void SetViewportSize(int32_t width, int32_t height);
    // The lens as a ratio. A numerator or denominator of 0 or below is ignored.
    void SetViewZoom(int16_t numerator, int16_t denominator);
    // Places the eye so that the bounds collected under option 11 fill the view.
    void FitViewToBounds(int32_t aspectDen, int32_t aspectNum);

    void UpdateTrig();
    ResultCode AllocViewBuffers();
    void FreeViewBuffers();
    void BuildReciprocalTables();
    void SetViewportCorners(int32_t width, int32_t height);
    void BuildViewPyramid();

    // The table value of 1 / depth in the scale of whole units, depths above 65535 clamped.
    uint32_t Reciprocal(int32_t depth) const
    {
        if (depth < 0) depth = 0;
        if (depth > 0xFFFF) depth = 0xFFFF;
        if (depth < 8192) return recipTable1[depth];
        if (depth < 16384) return recipTable2[(depth - 8192) >> 2];
        if (depth < 32768) return recipTable3[(depth - 16384) >> 4];
        return recipTable4[(depth - 32768) >> 8];
    }
    bool Option(int32_t bit) const { return options[bit] != 0; }
    // The model's change serial (0 without a model).
    uint16_t Serial() const { return owner ? owner->ChangeSerial : 0; }
    void BumpSerial();

    // --- fields ---
    ModelHolder* owner = nullptr;
    uint8_t options[kOptionCount] = {};
    uint16_t drawFlags = 0;
    int16_t x = 0, y = 0, z = 0;
    BinaryAngle roll = 0, pitch = 0, heading = 0;
    int16_t sinRoll = 0, sinPitch = 0, sinHeading = 0;  // Q15 sine of minus each angle
    int16_t cosRoll = 0, cosPitch = 0, cosHeading = 0;
    ObjectGeometry* cell = nullptr;
    DynamicArray* nearby = nullptr;  // ObjectGeometry pointers
    int16_t zoomNum = 0, zoomDen = 0;
    int16_t scale = 0;
    int16_t objectCounter = 0;
    int16_t interruptible = 0;
    uint32_t* recipTable1 = nullptr;  // 8192 entries
    uint16_t* recipTable2 = nullptr;  // 2048
    uint16_t* recipTable3 = nullptr;  // 1024
    uint16_t* recipTable4 = nullptr;  // 128
    int32_t width = 0, height = 0;
    DynamicArray* corners = nullptr;  // four DevicePoints around the view centre
    SpanRegion* region = nullptr;
    int16_t xShiftDepth = 0, xShiftSide = 0, zShiftDepth = 0, zShiftSide = 0;
    int32_t xPlaneLength = 0, zPlaneLength = 0;
    int32_t xEdge = 0, zEdge = 0;
    int16_t guardShiftDepth = 0, guardShiftSide = 0;
    int32_t guardPlaneLength = 0;
    uint32_t frameStart = 0;
    int16_t abortFlag = 0;
    ShortVector3 boundsMin = {0, 0, 0};
    ShortVector3 boundsMax = {0, 0, 0};
    DynamicArray* clipIndices = nullptr;      // int32_t, as a face's ClipList
    DynamicArray* elementVertices = nullptr;  // 16-byte camera vertices

private:
    // The point clamped to 16 bits as a move stores it.
    void StoreMovedPosition(int32_t dx, int32_t dy, int32_t up);
    void TurnBy(int32_t dHeading, int32_t dPitch, int32_t dRoll);
    void MovementStep(int32_t forward, int32_t sideways, int32_t* dx, int32_t* dy) const;
};
