// The short about window: the program's picture in a plain window, until a key or a mouse
// button, or at start-up until its time is up.
#include <windows.h>

#include <new>

#include "draw/current_port.h"
#include "draw/picture_bitmap.h"
#include "draw/q_offscreen.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "player/about_loop.h"
#include "player/about_window.h"
#include "toolkit/input_events.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"

namespace {

constexpr int32_t kPictureResource = 300;
constexpr int32_t kPictureDepth = 8;
// A one-pixel margin around the picture.
constexpr int32_t kMargin = 1;
constexpr char kTitle[] = "Tamrix Player";
constexpr char kForm[] = "short";

// The picture, or null when it cannot be loaded.
Q_Offscreen* LoadPicture()
{
    auto* picture = new (std::nothrow) Q_Offscreen;
    if (!picture) return nullptr;
    if (LoadPictureResource(picture, kPictureResource, kPictureDepth) != kResultOk) {
        picture->DisposeOffscreen();
        return nullptr;
    }
    return picture;
}

// The window's content, centred on the screen.
PortRect CentredContent(const PortRect& picture)
{
    const int32_t width = picture.Width() + 2 * kMargin;
    const int32_t height = picture.Height() + 2 * kMargin;
    PortRect screen;
    GetScreenBounds(&screen);
    const int32_t left = (screen.left + screen.right - width) >> 1;
    const int32_t top = (screen.top + screen.bottom - height) >> 1;
    return {left, top, left + width, top + height};
}

}  // namespace

void ShowShortAboutWindow(int32_t mode)
{
    const CountRaised running(AboutWindowCount);
    FlushInputEvents();
    Q_Offscreen* picture = LoadPicture();
    if (!picture) return;
    const PortRect bounds = picture->PortBounds();

    auto* window = new (std::nothrow) Window;
    if (!window) {
        picture->DisposeOffscreen();
        return;
    }
    if (window->CreateWindowObject(CentredContent(bounds), kTitle, kNoWindowSize, kNoWindowSize, kNoWindowSize,
                                   kWindowDialog, kWindowClosesDocument) != kResultOk) {
        window->DestroyWindowObject();
        picture->DisposeOffscreen();
        return;
    }
    window->ShowWindowObject();
    HWND hwnd = window->GetWindowHandle();
    HDC dc = PrepareWindowDC(hwnd);
    SetPort(dc);
    const PortRect target = {kMargin, kMargin, kMargin + bounds.Width(), kMargin + bounds.Height()};
    picture->CopyOffscreenToPort(window, bounds, target);
    picture->DisposeOffscreen();
    SetCursorShape(kArrowCursor);

    SetFocus(hwnd);
    SetCapture(hwnd);
    // The picture stays as drawn: no frame holds the window beyond its time.
    RunAboutLoop(kForm, hwnd, mode, [] { return false; });

    ReleaseCapture();
    ReleasePortDC(hwnd, dc);
    SetPort(nullptr);
    SetCursorShape(kArrowCursor);
    window->DestroyWindowObject();
    FlushInputEvents();
    LogAboutClosed(kForm);
}
