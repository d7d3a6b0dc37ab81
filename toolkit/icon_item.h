// IconItem: a system icon drawn at the item's top-left corner.
#pragma once

#include "toolkit/pane_item.h"

class IconItem : public PaneItem {
public:
    IconItem() = default;

    void ItemDelete() override;
    void ItemDraw() override;

    // Loads the system icon of the id (LoadIconA with no instance). System icons are shared and
    // never destroyed.
    void SetItemIcon(int32_t id);
    HICON Icon() const { return icon_; }
    int32_t IconId() const { return iconId_; }

protected:
    ~IconItem() override = default;

    HICON icon_ = nullptr;
    int32_t iconId_ = 0;
};
