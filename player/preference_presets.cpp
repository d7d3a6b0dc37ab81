// The frame-size and aspect-ratio presets of the preferences.
#include "player/preference_sections.h"
#include "player/window_layout.h"

namespace {

struct SizePreset {
    int32_t number;
    int32_t width;
    int32_t height;
};
constexpr SizePreset kFrameSizes[] = {
    {1, 512, 342}, {2, 512, 384}, {3, 640, 480}, {6, 320, 200},
    {7, 640, 480}, {8, 800, 600}, {9, 1024, 768},
};
constexpr int32_t kSizeOfScreen = 4;
constexpr int32_t kSizeOfPort = 5;

constexpr SizePreset kAspectRatios[] = {
    {1, 36, 24}, {2, 24, 36}, {3, 1, 1}, {4, 5, 4}, {5, 4, 5},
    {6, 133, 100}, {7, 133, 100}, {8, 166, 100}, {9, 185, 100}, {10, 235, 100},
};

}  // namespace

void FrameSizePreset(int32_t number, const PortRect& port, int32_t* width, int32_t* height)
{
    PortRect bounds = port;
    if (number == kSizeOfScreen && !CurrentWindowLayout().GetPlacementScreen(&bounds)) return;
    if (number == kSizeOfScreen || number == kSizeOfPort) {
        *width = bounds.Width();
        *height = bounds.Height();
        return;
    }
    for (const SizePreset& preset : kFrameSizes) {
        if (preset.number != number) continue;
        *width = preset.width;
        *height = preset.height;
    }
}

void AspectRatioPreset(int32_t number, NavigationSection* navigation)
{
    for (const SizePreset& preset : kAspectRatios) {
        if (preset.number != number) continue;
        navigation->aspect[0] = preset.width;
        navigation->aspect[1] = preset.height;
    }
}
