// The screen's size from its device context, and the system metrics the toolkit lays out with.
#include "toolkit/screen_bounds.h"

#include <windows.h>

namespace {

// Windows are laid out as on a screen of at most this size.
constexpr int32_t kUsableWidth = 800;
constexpr int32_t kUsableHeight = 600;

}  // namespace

void GetScreenBounds(PortRect* rect)
{
    HDC screen = GetDC(nullptr);
    *rect = {0, 0, GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
}

void GetUsableScreenBounds(PortRect* rect)
{
    GetScreenBounds(rect);
    if (rect->Width() > kUsableWidth) rect->right = rect->left + kUsableWidth;
    if (rect->Height() > kUsableHeight) rect->bottom = rect->top + kUsableHeight;
}

int32_t ScrollThumbSize()
{
    return GetSystemMetrics(SM_CYVTHUMB) + 1;
}

int32_t CaptionHeight()
{
    return GetSystemMetrics(SM_CYCAPTION);
}
