// RadiusItem: the set-up values taken from the owner pane.
#include "toolkit/radius_item.h"

#include <algorithm>

#include "toolkit/pane.h"

void RadiusItem::ItemSetOwner(Pane* pane)
{
    owner_ = pane;
    if (!pane) return;
    firstValue_ = kRadiusItemFirstValue;
    secondValue_ = kRadiusItemSecondValue;
    const PortRect& rect = pane->PaneRect();
    radius_ = std::min(rect.Width(), rect.Height()) / 2;
}
