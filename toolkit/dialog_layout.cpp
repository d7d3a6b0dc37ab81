// The width, line count and centred position of a dialog built in code, and a window kept inside
// the screen.
#include "toolkit/dialog_layout.h"

#include <algorithm>

namespace {

// A dialog takes at most two thirds of the screen's width (and never more than kMaximumWidth).
constexpr int32_t kScreenShareNumerator = 2;
constexpr int32_t kScreenShareDenominator = 3;
// A line of text fills at most nine tenths of the text area: a tenth (truncated) is left free.
constexpr int32_t kLineSlackDivisor = 10;

}  // namespace

int32_t DialogRectOnScreen(int32_t screenWidth, int32_t screenHeight, PortRect* rect, int32_t width,
                           int32_t height, int32_t textWidth)
{
    const int32_t screenShare = kScreenShareNumerator * (screenWidth / kScreenShareDenominator);
    const int32_t maximumWidth = std::min(screenShare, DialogLayout::kMaximumWidth);
    int32_t dialogWidth = width;
    int32_t lines = 1;
    if (textWidth >= 1) {
        dialogWidth = std::min(maximumWidth, width);
        const int32_t textArea = dialogWidth - DialogLayout::kTextInset;
        const int32_t lineWidth = textArea - textArea / kLineSlackDivisor;
        // A dialog too narrow for any text keeps the text on one line.
        if (lineWidth >= 1) lines = 1 + (textWidth - 1) / lineWidth;
    }
    rect->left = (screenWidth >> 1) - (dialogWidth >> 1);
    rect->right = rect->left + dialogWidth;
    rect->top = (screenHeight >> 1) - (height >> 1);
    rect->bottom = rect->top + height;
    return lines;
}

PortRect CentredOnScreen(const PortRect& screen, int32_t width, int32_t height)
{
    const int32_t left = screen.left + (screen.Width() - width) / 2;
    const int32_t top = screen.top + (screen.Height() - height) / 2;
    return {left, top, left + width, top + height};
}

PortRect KeepInsideScreen(PortRect rect, const PortRect& screen)
{
    rect.left = std::max(rect.left, screen.left + DialogLayout::kScreenSideGap);
    rect.top = std::max(rect.top, screen.top + DialogLayout::kScreenTopGap);
    rect.right = std::min(rect.right, screen.right - DialogLayout::kScreenSideGap);
    rect.bottom = std::min(rect.bottom, screen.bottom - DialogLayout::kScreenBottomGap);
    return rect;
}
