// Text output into the current port.
#include "draw/text.h"

#include <windows.h>

#include "draw/current_port.h"

void DrawTextClipped(const char* text, int32_t first, int32_t count, const PortRect& rect)
{
    const RECT clip = {rect.left, rect.top, rect.right, rect.bottom};
    ExtTextOutA(GetPort(), rect.left, rect.top, ETO_CLIPPED, &clip, text + first, UINT(count), nullptr);
}

void DrawTextAt(const char* text, int32_t first, int32_t count, PortPoint point)
{
    TextOutA(GetPort(), point.x, point.y, text + first, count);
}

void DrawChar(char character, PortPoint point)
{
    TextOutA(GetPort(), point.x, point.y, &character, 1);
}

int32_t TextWidth(const char* text, int32_t first, int32_t count)
{
    HDC screen = PrepareWindowDC(nullptr);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(screen, text + first, count, &size);
    ReleasePortDC(nullptr, screen);
    return size.cx;
}

void TextMode(int32_t mode)
{
    HDC port = GetPort();
    if (!port) return;
    SetBkMode(port, mode == kTextTransparent ? TRANSPARENT : OPAQUE);
}
