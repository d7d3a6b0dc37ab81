// The device list and its walks.
#include "draw/device_list.h"

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"

DynamicArray* WindowList = nullptr;

Q_Offscreen* FrontWindow()
{
    if (!WindowList || WindowList->ArrayCount() == 0) return nullptr;
    return PointerAt<Q_Offscreen>(WindowList, 0);
}

Q_Offscreen* NextWindow(Q_Offscreen* entry)
{
    if (!WindowList) return nullptr;
    const int32_t index = WindowList->ArrayFind(&entry);
    if (index < 0 || index + 1 >= WindowList->ArrayCount()) return nullptr;
    return PointerAt<Q_Offscreen>(WindowList, index + 1);
}

Q_Offscreen* PlaceNewWindow(PortRect* rect)
{
    if (rect->bottom == rect->top)
        rect->bottom += 1;
    else if (rect->right == rect->left)
        rect->right += 1;
    if (!WindowList) return nullptr;
    Q_Offscreen* best = nullptr;
    int64_t bestArea = 0;
    for (int32_t i = 0; i < WindowList->ArrayCount(); ++i) {
        Q_Offscreen* entry = PointerAt<Q_Offscreen>(WindowList, i);
        PortRect bounds;
        entry->GetBounds(&bounds);
        const int64_t area = int64_t(bounds.Width()) * bounds.Height();
        if (!best || area > bestArea) {
            best = entry;
            bestArea = area;
        }
    }
    return best;
}

Q_Offscreen* FindWindowAtPoint(int32_t x, int32_t y)
{
    for (Q_Offscreen* entry = FrontWindow(); entry; entry = NextWindow(entry)) {
        PortRect bounds;
        entry->GetBounds(&bounds);
        if (bounds.Contains(x, y)) return entry;
    }
    return nullptr;
}

int32_t CountWindowList()
{
    return WindowList ? WindowList->ArrayCount() : 0;
}

void DisposeWindowList()
{
    if (!WindowList) return;
    while (WindowList->ArrayCount() > 0) {
        Q_Offscreen* entry = PointerAt<Q_Offscreen>(WindowList, 0);
        IgnoreResult(WindowList->Remove(0));
        entry->DisposeOffscreen();
    }
    DestroyArray(WindowList);
}
