// Q_Offscreen: the offscreen graphics world, a port over a top-down DIB section held in its own
// memory DC, so that the same pixels are drawn by the system through the DC and written by the
// rasterizers through the row table. Its first lock makes it the current port and publishes its
// pixel format and rasterizer set; it also reads and writes its image through a stream.
#pragma once

#include <cstdint>

#include "draw/color_match.h"
#include "draw/port_base.h"
#include "draw/raster_globals.h"
#include "foundation/rgb_color.h"

class DynamicArray;
class MemoryStream;
class PictureBudget;

// The most colours an indexed bitmap's table holds (8 bits a pixel).
constexpr int32_t kIndexColours = 256;

class Q_Offscreen : public PortBase {
public:
    Q_Offscreen() = default;
    // Releases the DC, the bitmap, the row table and (for a screen device) the colour-match
    // block, and clears every program-wide reference to this offscreen.
    ~Q_Offscreen() override;

    // --- PortBase operations ---
    // Makes this the shared render offscreen (disposing the one registered before) and locks it.
    ResultCode Activate() override;
    // Clears the registration without disposing, then unlocks.
    ResultCode Deactivate() override;
    // The screen depth; a screen device answers 0 when the screen cannot do block transfers.
    int32_t Depth() override;
    HDC GetDrawingDC(PortRect* rect) override;
    // The first lock selects the port objects, makes the memory DC current and publishes; every
    // lock sets the fore colour to black and the back colour to white.
    ResultCode Lock() override;
    void Unlock() override;

    // --- offscreen operations, in their fixed order ---
    virtual int32_t GetRowStride();
    virtual void GetPixelColor(RGBColor48* colour, int32_t x, int32_t y);
    virtual void SetPixelColor(int32_t x, int32_t y, const RGBColor48& colour);
    virtual uint8_t** GetRowTable();
    // Hands back the row table a drawing took with GetRowTable, with its number of rows, once
    // it reads no more texels; no port of this program keeps anything to hand back.
    virtual void ReleaseRowTable(uint8_t* const* /*rows*/, int32_t /*rowCount*/) {}
    virtual uint8_t* GetPixelBits();
    // The colour table of the image format through the stream: writing sends this offscreen's
    // colours, reading appends the stream's colours (RGBColor48) to `table`.
    virtual ResultCode TransferColorTable(MemoryStream* stream, DynamicArray* table, int32_t depth);
    // QOffscreenInit without a fill colour.
    virtual ResultCode InitNoFill(const PortRect& rect, int32_t depth, DynamicArray* table);
    // The pixel rows of the image format through the stream, `rowBytes` apart in the stream.
    virtual ResultCode TransferPixelRows(MemoryStream* stream, DynamicArray* table, int32_t totalBytes,
                                         int32_t rowBytes, int32_t firstRow, int32_t rows,
                                         int32_t flag, int32_t depth);
    // Change the lock count alone, without touching the current port.
    virtual void AddLock() { ++lockCount_; }
    virtual void RemoveLock() { --lockCount_; }

    // --- set-up and disposal ---
    // Depth 1, 4 or 8 asks for that depth, 0 or -1 for the screen's; `fill` (or none) paints the
    // new pixels. 0, or -1 when no memory DC or no bitmap could be made.
    ResultCode QOffscreenInit(const PortRect& rect, int32_t depth, const RGBColor48* fill);
    // Remakes the bitmap at the rectangle's size (a multiple of 32 pixels wide with at least 8 to
    // spare). -1 when no bitmap was made (the offscreen then has no pixel access) or for a screen
    // device, which keeps its bitmap.
    ResultCode OffscreenResize(const PortRect& rect);
    // Makes this a screen device offscreen from the reference DC (0: the screen).
    ResultCode OffscreenFromPort(HDC reference);
    // Initialises this offscreen to the port's bounds at the screen depth and copies the port.
    ResultCode PortToNewOffscreen(PortBase* port);
    void DisposeOffscreen() { delete this; }
    void Destroy() { DisposeOffscreen(); }

    // --- publication to the rasterizers ---
    // Copies the pixel format to the raster globals and chooses the rasterizer set.
    int32_t PublishRasterGlobals();
    // Unlocks the channel tables and withdraws them from the raster globals.
    void UnpublishRasterGlobals();
    // Borrows the screen device's colour-match block and installs the rasterizer set of this
    // pixel format; 1 when a set was chosen.
    int32_t SelectRasterProcs();

    // --- copies between ports (a block transfer, or the averaging pixel copy when either port
    // has no DC) ---
    void CopyOffscreenToPort(PortBase* destination, const PortRect& source, const PortRect& target);
    void CopyPortToOffscreen(PortBase* source, const PortRect& from, const PortRect& target);
    void CopyOffscreenToPortRop(PortBase* destination, const PortRect& source, const PortRect& target,
                                uint32_t rasterOperation);
    void CopyPortToOffscreenRop(PortBase* source, const PortRect& from, const PortRect& target,
                                uint32_t rasterOperation);
    // Into this offscreen: the source where the mask is black, this offscreen where it is white.
    void MaskedPortCopy(PortBase* source, PortBase* mask, const PortRect& from, const PortRect& target);

    // The averaging scaled copy into `destination`, through the ports' own pixel operations, with
    // the wait cursor and, while texture files are being added (TextureAddingDepth), each row's
    // progress in the texture progress window (the Quiet forms neither); the Locked forms lock this
    // source port around the copy.
    void ScaledPixelCopy(Q_Offscreen* destination, const PortRect& source, const PortRect& target);
    void LockedScaledPixelCopy(Q_Offscreen* destination, const PortRect& source, const PortRect& target);
    void QuietScaledPixelCopy(Q_Offscreen* destination, const PortRect& source, const PortRect& target);
    void LockedQuietScaledPixelCopy(Q_Offscreen* destination, const PortRect& source,
                                    const PortRect& target);

    // --- the image format: width, height, depth, flag, row bytes, total bytes, then the chunks
    // "CMAP" (the colours) and "DATA" (the rows) ---
    // Writes when the stream is writing, else reads (a non-zero flag then reads nothing and
    // answers 1); an image read spends on the model's picture budget, when one is given, before
    // its pixels are made. 0, -1, kResultPastBudget after the alert for an image that the budget
    // refuses, or the stream's result.
    ResultCode ReadWriteOffscreenImage(MemoryStream* stream, DynamicArray* table, int32_t flag,
                                       PictureBudget* pictures = nullptr);

    // --- colour matching against the borrowed colour-match block ---
    uint32_t MatchColorDithered(const RGBColor48& colour) const;
    // The 2 x 2 dither pattern for this offscreen's depth.
    uint32_t ColorToPixel(const RGBColor48& colour) const;
    // A word of one pixel value for this offscreen's depth.
    uint32_t ColorToPixelFill(const RGBColor48& colour) const;

    // The colours that the indices of indexed rows stand for, as the system gives their pixels:
    // the bitmap's colour table, into `colours` (kIndexColours entries); how many it has, 0 for
    // a bitmap without one.
    int32_t IndexColours(RGBColor48* colours) const;

    // --- fields ---
    void SetOffscreenDestRect(const PortRect& rect) { destRect_ = rect; }
    void GetOffscreenDestRect(PortRect* rect) const { *rect = destRect_; }
    void SetOffscreenLink(RootObject* link) { link_ = link; }
    RootObject* GetOffscreenLink() const { return link_; }
    static constexpr int32_t OffscreenOriginX() { return 0; }
    static constexpr int32_t OffscreenOriginY() { return 0; }

    int32_t LockCount() const { return lockCount_; }
    int32_t IsScreenDevice() const { return deviceFlag_; }
    int32_t HasRasterizers() const { return rasterizers_; }
    const PortRect& GlobalRect() const { return globalRect_; }
    PixelFormat& Format() { return format_; }
    const PixelFormat& Format() const { return format_; }
    uint8_t* DibBits() const { return dibBits_; }
    // The DIB section (null after a failed resize).
    HBITMAP OffscreenBitmap() const { return bitmap_; }
    ColorMatchBlock& MatchBlock() { return match_; }
    const ColorMatchBlock& MatchBlock() const { return match_; }

protected:
    int32_t lockCount_ = 0;
    HBITMAP bitmap_ = nullptr;
    ColorMatchBlock match_;
    PortRect globalRect_ = {0, 0, 0, 0};
    PortRect destRect_ = {0, 0, 0, 0};
    RootObject* link_ = nullptr;
    int32_t deviceFlag_ = 0;
    int32_t rasterizers_ = 0;
    PixelFormat format_;
    uint8_t* dibBits_ = nullptr;
    bool tablesLocked_ = false;  // this offscreen holds a lock on the channel tables

private:
    // Resets the fields as every initialiser does, releasing what an earlier one made.
    void ResetFields(int32_t depth);
    // Releases the memory DC with its bitmap and, for a screen device, the colour-match block.
    void ReleaseGraphics();
    // Selects a new bitmap into the memory DC, deleting the one it replaces (but never the DC's
    // own first bitmap, which is kept to be selected back at disposal).
    void SelectBitmap(HBITMAP bitmap, uint8_t* bits);
    // The depth of the pixels an image is written with: the depth field when it is one the
    // image format knows, else the bitmap's own.
    int32_t ImageDepth() const;
    // The depth the colour packers work with: the pixels' own when they can be reached, else the
    // depth field.
    int32_t PixelDepth() const;
    void LockChannelTables();
    void UnlockChannelTables();
    // The averaging copy; `reported`: with the wait cursor and the rows' progress (ScaledPixelCopy).
    void AverageInto(Q_Offscreen* destination, const PortRect& source, const PortRect& target, bool reported);
};

// The shared render offscreen (registered by Activate) and the start-up offscreen that the
// application makes beside it; each is null when there is none.
extern Q_Offscreen* SharedOffscreen;
extern Q_Offscreen* StartupOffscreen;

// Makes the top-down DIB section of an offscreen: the screen's depth on screens of 9 bits or
// more, else the requested depth (the screen's when the request exceeds it or is below 1) with
// a black and white table (1 bit) or palette-index tables (4 and 8 bits). Null for depths the
// system does not handle.
HBITMAP CreateOffscreenDIB(HDC dc, int32_t depth, int32_t width, int32_t height, uint8_t** bits);
