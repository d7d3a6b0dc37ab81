// FrameItem: the outline drawn into the current port.
#include "toolkit/frame_item.h"

#include "draw/current_port.h"

void FrameItem::ItemDraw()
{
    HDC dc = GetPort();
    if (!dc) return;
    const RECT rect = {bounds_.left, bounds_.top, bounds_.right, bounds_.bottom};
    FrameRect(dc, &rect, GetSysColorBrush(systemColor_));
}
