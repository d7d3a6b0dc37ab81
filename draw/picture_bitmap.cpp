// PictureBitmap: resource bitmaps drawn into ports and offscreens, and picture files, whose
// contents are not decoded.
#include "draw/picture_bitmap.h"

#include <windows.h>

#include <new>

#include "draw/current_port.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"
#include "foundation/win32_services.h"

namespace {

constexpr int32_t kPictHeaderWords = 128;  // 512 bytes

// The drawing mode that the active picture replaced.
int32_t SavedGdiOnly = 0;

}  // namespace

PictureBitmap::~PictureBitmap()
{
    if (bitmap_) DeleteObject(bitmap_);
}

void PictureBitmap::InitPicture(int32_t flags)
{
    InitPortFields(kPortPicture);
    sized_ = ScreenDepth() != 0 ? 1 : 0;
    flags_ = flags;
    kindWord_ = 3;
}

void PictureBitmap::GetBounds(PortRect* rect)
{
    BITMAP info;
    if (bitmap_ && GetObjectA(bitmap_, sizeof info, &info)) {
        *rect = {0, 0, int32_t(info.bmWidth), int32_t(info.bmHeight)};
        return;
    }
    *rect = bounds_;
}

ResultCode PictureBitmap::Activate()
{
    if (flags_ == 0) {
        SavedGdiOnly = SetGdiOnlyDrawing(1);
        if (StartupOffscreen) IgnoreResult(StartupOffscreen->Lock());
        return bitmap_ ? kResultOk : kResultFailed;
    }
    PortRect bounds;
    GetBounds(&bounds);
    if (SharedOffscreen) SharedOffscreen->DisposeOffscreen();
    SharedOffscreen = new (std::nothrow) Q_Offscreen;
    if (!SharedOffscreen) return kResultFailed;
    const ResultCode result = SharedOffscreen->QOffscreenInit(bounds, depth_, &kWhiteColor);
    IgnoreResult(SharedOffscreen->Lock());
    return result;
}

ResultCode PictureBitmap::Deactivate()
{
    if (!SharedOffscreen || !(flags_ & 1)) {
        if (StartupOffscreen) StartupOffscreen->Unlock();
    } else {
        PortRect ignored;
        HDC render = SharedOffscreen->GetDrawingDC(&ignored);
        SharedOffscreen->ReleaseDrawingDC(render);
        if (StartupOffscreen) {
            HDC startup = StartupOffscreen->GetDrawingDC(&ignored);
            StartupOffscreen->ReleaseDrawingDC(startup);
            StartupOffscreen->Unlock();
        }
        SharedOffscreen->Unlock();
    }
    SetGdiOnlyDrawing(SavedGdiOnly);
    return kResultOk;
}

ResultCode PictureBitmap::LoadPictureBitmap(int32_t id)
{
    kindWord_ = 0;
    if (id < 0) id = -id;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(id & 0xFFFF));
    return bitmap_ ? kResultOk : kResultFailed;
}

void PictureBitmap::DrawPicture(const PortRect& destination)
{
    if (!bitmap_) return;
    HDC port = GetPort();
    HDC memory = CreatePortMemoryDC(port);
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory, bitmap_);
    PortRect bounds;
    GetBounds(&bounds);
    BlitRect(memory, port, bounds, destination, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

ResultCode LoadPictureResource(Q_Offscreen* offscreen, int32_t id, int32_t depth)
{
    PictureBitmap* picture = new (std::nothrow) PictureBitmap;
    if (!picture) return kResultFailed;
    picture->InitPicture(0);
    ResultCode result = picture->LoadPictureBitmap(id);
    SetCursorShape(kWaitCursor);
    PortRect bounds;
    picture->GetBounds(&bounds);
    if (result == kResultOk) result = offscreen->QOffscreenInit(bounds, depth == 0 ? 1 : depth, nullptr);
    SetCursorShape(kWaitCursor);
    if (result == kResultOk) {
        IgnoreResult(offscreen->Lock());
        picture->DrawPicture(bounds);
        offscreen->Unlock();
    }
    picture->DisposePicture();
    return result;
}

ResultCode ReadPictFile(Q_Offscreen* offscreen, MemoryStream* stream, int32_t depth)
{
    for (int32_t i = 0; i < kPictHeaderWords; ++i) {
        uint32_t word = 0;
        if (stream->StreamTransferValue(&word, kValue32) != kResultOk) break;
    }
    if (stream->StreamIsWriting()) return kResultOk;
    int32_t length = 0;
    IgnoreResult(stream->StreamSize(&length));  // 0 when the size cannot be had
    return PictToOffscreen(offscreen, stream, length - kPictHeaderWords * 4, depth);
}

ResultCode PictToOffscreen(Q_Offscreen* offscreen, MemoryStream* stream, int32_t length, int32_t depth)
{
    if (stream->StreamIsWriting()) return kResultFailed;
    PictureBitmap* picture = new (std::nothrow) PictureBitmap;
    if (!picture) return kResultFailed;
    picture->InitPicture(0);
    ResultCode result = ReadPictData(stream, length);
    if (result == kResultOk) {
        PortRect bounds;
        picture->GetBounds(&bounds);
        result = offscreen->QOffscreenInit(bounds, depth, &kWhiteColor);
        if (result == kResultOk) {
            IgnoreResult(offscreen->Lock());
            picture->DrawPicture(bounds);
            offscreen->Unlock();
        }
    }
    picture->DisposePicture();
    return result;
}

ResultCode ReadPictData(MemoryStream* /*stream*/, int32_t /*length*/)
{
    return kResultOk;
}

ResultCode TransferPictHeader(MemoryStream* stream)
{
    for (int32_t i = 0; i < kPictHeaderWords; ++i) {
        uint32_t word = 0;
        if (stream->StreamTransferValue(&word, kValue32) != kResultOk) break;
    }
    int32_t length = 0;
    if (!stream->StreamIsWriting()) {
        IgnoreResult(stream->StreamSize(&length));  // 0 when the size cannot be had
        length -= kPictHeaderWords * 4;
    }
    IgnoreResult(ReadPictData(stream, length));  // picture contents are not decoded: nothing is read
    return kResultOk;
}

ResultCode TransferPictChunk(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        // The chunk is only passed over: the answer is -1 either way.
        IgnoreResult(stream->StreamBeginChunk(ChunkTagOf("PICT")));
    } else if (stream->StreamEnterChunk() == 0) {
        return kResultFailed;
    }
    IgnoreResult(stream->StreamEndChunk());
    return kResultFailed;
}
