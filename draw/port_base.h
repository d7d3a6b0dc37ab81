// PortBase: the common base of every surface the program draws on (windows, panes, offscreens,
// pixel maps, pictures), the drawing-mode switches of the face drawing, the prepared device
// contexts the drawing layer hands out, and the block transfers between device contexts.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"
#include "foundation/port_rect.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"

// The kinds of port.
using PortKind = int32_t;
constexpr PortKind kPortOffscreen = -1;  // offscreen or memory pixel map
constexpr PortKind kPortWindow = -2;
constexpr PortKind kPortPane = -3;
constexpr PortKind kPortDialogPane = -4;
constexpr PortKind kPortPicture = -6;

struct PortResolution {
    int32_t horizontal;
    int32_t vertical;
};

class PortBase : public RootObject {
public:
    PortBase() = default;

    // --- virtual operations, in their fixed order after Write ---
    virtual ResultCode Activate() { return kResultOk; }
    virtual ResultCode Deactivate() { return kResultOk; }
    // Bits per pixel; the base answers the screen depth.
    virtual int32_t Depth();
    // A query that every port answers with 0.
    virtual int32_t PortQuery() { return 0; }
    // Copies the bounds out (panes and windows compute theirs).
    virtual void GetBounds(PortRect* rect) { *rect = bounds_; }
    // The DC to draw into, with the bounds in `rect`; the base has none (0).
    virtual HDC GetDrawingDC(PortRect* /*rect*/) { return nullptr; }
    virtual void ReleaseDrawingDC(HDC /*dc*/) {}
    virtual ResultCode Lock() { return kResultOk; }
    virtual void Unlock() {}

    // --- non-virtual operations ---
    void SetPortKind(PortKind kind) { kind_ = kind; }
    PortKind GetPortKind() const { return kind_; }
    // Stores the depth when the screen can do block transfers, else 0.
    void SetPortDepth(int32_t depth);
    void SetPortBounds(const PortRect& rect) { bounds_ = rect; }
    // The stored bounds, for ports whose GetBounds reports them as they are (offscreens).
    const PortRect& PortBounds() const { return bounds_; }
    void GetPortResolution(PortResolution* resolution) const { *resolution = resolution_; }

    // Selects the stock black brush, black pen and system font (and the program palette) into
    // the port's DC, keeping what they displace and the current port; RestorePortObjects puts
    // them back, deletes the port's own brush and pen and makes the saved port current again.
    void SelectPortObjects();
    void RestorePortObjects();
    // The colour cube index of the colour, with the port locked meanwhile.
    int32_t LockedColorCubeIndex(const RGBColor48& colour);

    HDC PortDC() const { return dc_; }
    // The bitmap the DC held before the port selected its own (an offscreen's placeholder).
    HBITMAP PortOldBitmap() const { return oldBitmap_; }
    void SetPortDC(HDC dc) { dc_ = dc; }
    int32_t PortDepthField() const { return depth_; }
    int32_t IsSized() const { return sized_; }

protected:
    // The part of every port initialiser that this base owns: kind, resolution 72 x 72 and
    // empty saved-object fields.
    void InitPortFields(PortKind kind);

    HDC dc_ = nullptr;
    HBRUSH savedBrush_ = nullptr;
    HPEN savedPen_ = nullptr;
    HDC savedPort_ = nullptr;
    HFONT savedFont_ = nullptr;
    HBITMAP oldBitmap_ = nullptr;
    HPALETTE savedPalette_ = nullptr;
    PortKind kind_ = 0;
    int32_t sized_ = 0;
    int32_t depth_ = 0;
    PortRect bounds_ = {0, 0, 0, 0};
    PortResolution resolution_ = {0, 0};
};

// Direct pixel drawing of faces (set from the registry switch); each returns the previous flag.
int32_t SetDirectPixelDrawing(int32_t flag);
int32_t GetDirectPixelDrawing();
// While set, faces are drawn with the system's polygon calls even with direct pixel drawing on.
int32_t SetGdiOnlyDrawing(int32_t flag);
int32_t GetGdiOnlyDrawing();

// A DC of the window (0: the screen) with the program palette selected and realised, WINDING
// fill and R2_COPYPEN. The palette it displaces is kept in one program-wide slot.
HDC PrepareWindowDC(HWND window);
// A memory DC compatible with `reference`, prepared as PrepareWindowDC prepares its DC.
HDC CreatePortMemoryDC(HDC reference);
// Puts the saved palette back into the DC and releases it.
void ReleasePortDC(HWND window, HDC dc);

// Copies `source` of one DC to `destination` of another: one BitBlt when the sizes agree, else a
// StretchBlt in COLORONCOLOR mode.
void BlitRect(HDC sourceDC, HDC destinationDC, const PortRect& source, const PortRect& destination,
              uint32_t rasterOperation);
// destination := (destination AND mask) OR (source AND NOT mask), through two scratch bitmaps:
// where the monochrome mask is white the destination stays, where it is black the source shows.
void MaskedCopy(HDC sourceDC, HDC destinationDC, HDC maskDC, const PortRect& source,
                const PortRect& destination, const PortRect& mask);
