// FrameItem: an item that outlines its bounds in a system colour. Nothing in the program makes
// one.
#pragma once

#include "toolkit/pane_item.h"

class FrameItem : public PaneItem {
public:
    // The system colour index (COLOR_...) of the outline.
    explicit FrameItem(int32_t systemColor = COLOR_WINDOWFRAME) : systemColor_(systemColor) {}

    void ItemDraw() override;

    void SetFrameColor(int32_t systemColor) { systemColor_ = systemColor; }
    int32_t FrameColor() const { return systemColor_; }

protected:
    ~FrameItem() override = default;

    int32_t systemColor_;
};
