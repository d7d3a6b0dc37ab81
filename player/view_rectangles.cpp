// The view rectangles of a model window.
#include "player/view_rectangles.h"

#include <cstdint>

namespace {

// The margins of the view within the screen.
constexpr int32_t kMarginLeft = 5;
constexpr int32_t kMarginTop = 23;
constexpr int32_t kMarginRight = 6;
constexpr int32_t kMarginBottom = 6;
// The box the view is centred in on larger screens.
constexpr int32_t kBoxWidth = 512;
constexpr int32_t kBoxHeight = 342;
constexpr int32_t kThirds = 3;

}  // namespace

PortRect ModelViewRect(const PortRect& screen)
{
    const int32_t width = screen.Width();
    const int32_t height = screen.Height();
    PortRect view = {screen.left + kMarginLeft, screen.top + kMarginTop, screen.right - kMarginRight,
                     screen.bottom - kMarginBottom};
    if (height > kBoxHeight) {
        const int32_t spare = height - kBoxHeight;
        view.top += spare >> 1;
        view.bottom -= spare - (spare >> 1);
    }
    if (width > kBoxWidth) {
        const int32_t spare = width - kBoxWidth;
        view.left += spare >> 1;
        view.right -= spare - (spare >> 1);
    }
    return view;
}

PortRect ViewWindowRect(const PortRect& usable)
{
    const int32_t width = usable.Width();
    const int32_t height = usable.Height();
    return {(width >> 1) - width / kThirds, (height >> 1) - height / kThirds, (width >> 1) + width / kThirds,
            (height >> 1) + height / kThirds};
}
