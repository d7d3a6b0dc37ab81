// IconItem: a shared system icon, drawn while the owner pane's window is visible.
#include "toolkit/icon_item.h"

#include "draw/current_port.h"
#include "toolkit/pane.h"

void IconItem::ItemDelete()
{
    // The icon belongs to the system: it is forgotten, never destroyed.
    icon_ = nullptr;
    PaneItem::ItemDelete();
}

void IconItem::ItemDraw()
{
    if (!icon_ || !owner_ || !owner_->PaneWindow() || !IsWindowVisible(owner_->PaneWindow())) return;
    HDC dc = GetPort();
    if (dc) DrawIcon(dc, bounds_.left, bounds_.top, icon_);
}

void IconItem::SetItemIcon(int32_t id)
{
    iconId_ = id;
    icon_ = LoadIconA(nullptr, MAKEINTRESOURCEA(id));
}
