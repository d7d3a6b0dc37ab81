// Cutting a text to a width and centring it in a rectangle, by its extent on the current port.
#include "toolkit/text_fitting.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "draw/current_port.h"

namespace {

// The text's extent in the current port's font; 0 x 0 without a current port or text.
SIZE PortTextExtent(const char* text)
{
    SIZE size = {0, 0};
    HDC port = GetPort();
    if (port && text) GetTextExtentPoint32A(port, text, int(std::strlen(text)), &size);
    return size;
}

}  // namespace

void CutTextToWidth(char* text, size_t size, int32_t width)
{
    if (!text || size == 0) return;
    char copy[kLongestFittedText + 1];
    std::snprintf(copy, sizeof copy, "%s", text);
    size_t kept = std::min(std::strlen(copy), kLongestCutText);
    while (PortTextExtent(copy).cx > width && kept > 0) {
        --kept;
        std::snprintf(copy, sizeof copy, "%.*s%s", int(kept), text, kCutMark);
    }
    std::snprintf(text, size, "%s", copy);
}

int32_t CentreTextInRect(const char* text, const PortRect& rect, PortRect* centred)
{
    const SIZE extent = PortTextExtent(text);
    const int32_t width = std::min<int32_t>(extent.cx, rect.Width());
    const int32_t height = std::min<int32_t>(extent.cy, rect.Height());
    const int32_t left = rect.left + (rect.Width() - width) / 2;
    const int32_t top = rect.top + (rect.Height() - height) / 2;
    *centred = {left, top, left + width, top + height};
    if (extent.cy > rect.Height()) return kTextTooTall;
    if (extent.cx > rect.Width()) return kTextTooWide;
    return kTextFits;
}
