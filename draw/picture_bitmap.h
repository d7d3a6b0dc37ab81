// PictureBitmap: a port that stands for a picture, a bitmap of the program's resources or a
// "PICT" picture file. It is never drawn into: it is drawn into other ports or turned into a
// new offscreen.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

class MemoryStream;
class Q_Offscreen;

class PictureBitmap : public PortBase {
public:
    PictureBitmap() = default;
    // Deletes the bitmap.
    ~PictureBitmap() override;

    // --- PortBase operations ---
    // With picture flags 0: draws with the system's polygon calls until Deactivate and locks
    // the start-up offscreen; -1 without a bitmap. Otherwise replaces the shared render
    // offscreen by a new white one of the picture's bounds and locks it.
    ResultCode Activate() override;
    // Unlocks what Activate locked and restores the drawing mode; 0.
    ResultCode Deactivate() override;
    // (0, 0, width, height) of the bitmap, or the stored bounds without one.
    void GetBounds(PortRect* rect) override;

    // The picture initialiser: resolution 72 x 72, kind word 3, the given picture flags.
    void InitPicture(int32_t flags);
    // Loads resource bitmap `id` (a negative id counts as positive); 0, or -1 without one.
    ResultCode LoadPictureBitmap(int32_t id);
    // Draws the picture into the destination rectangle of the current port, stretched when the
    // sizes differ.
    void DrawPicture(const PortRect& destination);
    // 0 when there is a bitmap, else -1.
    ResultCode HasPictureBitmap() const { return bitmap_ ? kResultOk : kResultFailed; }
    void DisposePicture() { delete this; }
    void Destroy() { DisposePicture(); }

    int32_t KindWord() const { return kindWord_; }
    int32_t PictureFlags() const { return flags_; }

private:
    HBITMAP bitmap_ = nullptr;
    int32_t kindWord_ = 0;
    int32_t flags_ = 0;  // bit 0: drawn into its own render offscreen
};

// Fills the offscreen with resource bitmap `id` at its size and the depth (0 counts as 1); the
// offscreen is left as it was when there is no such bitmap. 0 or the first failing result.
ResultCode LoadPictureResource(Q_Offscreen* offscreen, int32_t id, int32_t depth);
// Skips the 512-byte header of a picture file and reads the rest into the offscreen.
ResultCode ReadPictFile(Q_Offscreen* offscreen, MemoryStream* stream, int32_t depth);
// Reads a picture of `length` bytes into the offscreen, made white at the picture's size;
// -1 when the stream is writing.
ResultCode PictToOffscreen(Q_Offscreen* offscreen, MemoryStream* stream, int32_t length, int32_t depth);
// The contents of a "PICT" picture are not decoded: reads nothing and answers 0.
ResultCode ReadPictData(MemoryStream* stream, int32_t length);
// The 512-byte picture file header (zeros when writing, skipped when reading), then the data;
// 0.
ResultCode TransferPictHeader(MemoryStream* stream);
// Enters (reading) or begins (writing) a chunk "PICT" and ends it; -1.
ResultCode TransferPictChunk(MemoryStream* stream);
