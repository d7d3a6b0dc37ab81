// The player document's full-screen swap: a view's panes move into a pop-up the size of the
// screen and back into a document window at the place the view had.
#include <windows.h>

#include <new>

#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "foundation/pointer_list.h"
#include "player/document_view_windows.h"
#include "player/player_document.h"
#include "player/view_window_record.h"
#include "toolkit/document_frame.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"

namespace {

// The full-screen window: a pop-up that disables the program's other windows while it exists.
constexpr WindowFlags kFullScreenFlags = kWindowFixedPopUp | kViewWindowFlags;

// The number (from 1) of the screen entry that a new window of the rectangle is placed on, with
// its bounds; 0 without one.
int32_t ScreenEntryFor(const PortRect& rect, PortRect* bounds)
{
    PortRect placed = rect;
    Q_Offscreen* entry = PlaceNewWindow(&placed);
    if (!entry) return 0;
    entry->GetBounds(bounds);
    return FindPointer(WindowList, entry) + 1;
}

// Takes the window's panes out of it, the last first, into a new list that keeps their order.
Owned<DynamicArray> TakePanes(Window* window)
{
    Owned<DynamicArray> panes(NewPointerList());
    if (!panes) return nullptr;
    for (int32_t i = 0; i < window->PaneCount(); ++i)
        if (AppendPointer(panes.get(), window->PaneAt(i)) < 0) return nullptr;
    for (int32_t i = ListCount(panes.get()) - 1; i >= 0; --i) window->RemovePane(PointerAt<Pane>(panes.get(), i));
    return panes;
}

}  // namespace

int32_t PlayerDocument::SetFullScreen(ViewBase* view, uint8_t on)
{
    const int32_t index = view ? FindRecord(view->GetKind(), nullptr) : -1;
    if (index < 0) return 0;
    ViewWindowRecord* record = WindowRecordAt(index);
    Window* old = record->RecordWindow();
    if (!old) return 0;
    // A second "on" would keep the screen as the place to come back to: the view stays as it is.
    if ((on != 0) == (fullScreen_ != 0)) return on ? screenEntry_ : 0;
    HWND oldHandle = old->GetWindowHandle();

    PortRect rect = savedRect_;
    WindowSize minimum = kViewMinimum;
    WindowSize threshold = kViewMinimum;
    WindowFlags flags = kViewWindowFlags;
    int32_t entry = 0;
    if (on) {
        wasZoomed_ = oldHandle && IsZoomed(oldHandle) ? 1 : 0;
        if (wasZoomed_) SendMessageA(oldHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
        PortRect place;
        old->GetWindowBounds(&place);
        POINT origin = {0, 0};
        if (owner_ && owner_->MdiClient()) ScreenToClient(owner_->MdiClient(), &origin);
        place = {place.left + origin.x, place.top + origin.y, place.right + origin.x, place.bottom + origin.y};
        PortRect screen;
        entry = ScreenEntryFor(place, &screen);
        if (entry == 0) return 0;
        savedRect_ = place;
        rect = {screen.left - 1, screen.top - 1, screen.right - 1, screen.bottom - 1};
        minimum = kNoWindowSize;
        threshold = kNoWindowSize;
        flags = kFullScreenFlags;
    }
    const Owned<DynamicArray> panes = TakePanes(old);
    if (!panes) return fullScreen_ ? screenEntry_ : 0;

    auto* window = new (std::nothrow) Window;
    if (window) window->SetWindowOwner(owner_);
    if (window && window->CreateWindowObject(rect, view->Name(), minimum, kViewMaximum, threshold, flags,
                                             kWindowDestroys) != kResultOk) {
        window->DestroyWindowObject();
        window = nullptr;
    }
    if (window) {
        fullScreen_ = on;
        screenEntry_ = entry;
        if (on) SendMessageA(window->GetWindowHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
        if (owner_) owner_->RegisterDocumentWindow(window);
        record->SetRecordWindow(window);
        old->DestroyWindowObject();
    } else {
        // No new window: the panes go back where they were, and the view stays as it was.
        window = old;
        entry = screenEntry_;
    }
    for (int32_t i = 0; i < ListCount(panes.get()); ++i) window->AddPane(PointerAt<Pane>(panes.get(), i));
    view->SetName(view->Name());
    window->ShowWindowObject();
    if (!on && wasZoomed_ && window != old) SendMessageA(window->GetWindowHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    return entry;
}
