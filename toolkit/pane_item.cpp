// PaneItem: the defaults that every item starts from.
#include "toolkit/pane_item.h"

void PaneItem::ItemInit()
{
    owner_ = nullptr;
    ItemSetStyle(kDefaultItemStyle);
}
