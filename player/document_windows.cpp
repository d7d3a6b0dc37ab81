// The player document's window records: the objects its views ask it for, the windows it makes
// for its views (once for those they share), opening a view in a window of its own, and what a
// change to one of those windows does.
#include <new>

#include "foundation/pointer_list.h"
#include "player/document_view_windows.h"
#include "player/navigation_pane.h"
#include "player/navigation_panel.h"
#include "player/player_document.h"
#include "player/view_rectangles.h"
#include "player/view_window_record.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "player/window_record_kinds.h"
#include "toolkit/document_frame.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"

namespace {

// The view windows start as document windows of their own; the gallery's is a plain pop-up.
constexpr WindowFlags kViewWindowStartFlags =
    kWindowReservedB | kWindowSystemMenu | kWindowSizing | kWindowCaption;
constexpr WindowSize kGalleryMinimum = {100, 250};
constexpr WindowSize kViewThreshold = {430, 430};
constexpr char kGalleryName[] = "Gallery";

// WindowEvent's events.
constexpr int32_t kEventActivated = 1;
constexpr int32_t kEventReactivated = 4;
constexpr int32_t kEventClosed = 5;

bool IsSharedWindowKind(int32_t kind)
{
    return IsKindOf(kind, kDocumentWindowKinds);
}

// Whether the window holds the view's navigation pane and panel.
bool ShowsWhole(const WalkView* view, const Window* window)
{
    return window && view->Navigation() && view->Panel() && view->Navigation()->Owner() == window &&
           view->Panel()->Owner() == window;
}

int32_t RegisteredWindowCount(const DocumentFrame* owner)
{
    return owner ? ListCount(owner->DocumentWindows()) : 0;
}

// Destroys the windows registered with the owner after the first `kept`, the last first.
void DestroyWindowsAfter(DocumentFrame* owner, int32_t kept)
{
    for (int32_t i = RegisteredWindowCount(owner) - 1; i >= kept; --i)
        PointerAt<Window>(owner->DocumentWindows(), i)->DestroyWindowObject();
}

}  // namespace

RootObject* PlayerDocument::FindOrCreate(ViewBase* asking, int32_t kind)
{
    const int32_t index = FindRecord(kind, nullptr);
    if (index >= 0) return WindowRecordAt(index)->RecordObject();
    if (kind == kViewWalkObserver) return model_ ? NewWalkObserver().release() : nullptr;
    if (!asking || asking == this) return nullptr;
    RootObject* object = asking->FindOrCreate(asking, kind);
    if (!object) return nullptr;
    // Without room for its record the object is still the answer, and stays as it is.
    auto* record = ViewWindowRecord::Make(object, int16_t(kind));
    if (record && AppendPointer(windowRecords_.get(), record) < 0) delete record;
    return object;
}

Window* PlayerDocument::CreateViewWindow(int32_t kind)
{
    if (kind == kViewDocument) return nullptr;
    // A window of the kinds the views share is made once, kept in a record of its own and given
    // back at every later call.
    const bool shared = IsSharedWindowKind(kind);
    if (shared) {
        if (!windowRecords_) return nullptr;
        const int32_t index = FindRecord(kind, nullptr);
        if (index >= 0) return WindowRecordAt(index)->RecordWindow();
    }
    WindowFlags flags = kViewWindowStartFlags;
    if (kind == kViewGallery) {
        flags = (flags | kWindowPlainPopUp) & ~kWindowReservedB;
        SetName(kGalleryName);
    }
    PortRect usable;
    GetUsableScreenBounds(&usable);
    const PortRect rect = ViewWindowRect(usable);

    auto* window = new (std::nothrow) Window;
    if (!window) return nullptr;
    window->SetWindowOwner(owner_);
    if (owner_) owner_->RegisterDocumentWindow(window);
    const bool gallery = kind == kViewGallery;
    if (window->CreateWindowObject(rect, name_, gallery ? kGalleryMinimum : kViewMinimum, kViewMaximum,
                                   kViewThreshold, gallery ? flags : kViewWindowFlags,
                                   gallery ? kWindowHides : kWindowDestroys) != kResultOk) {
        window->DestroyWindowObject();
        return nullptr;
    }
    if (shared) {
        Owned<ViewWindowRecord> record(ViewWindowRecord::Make(nullptr, int16_t(kind)));
        if (!record || !KeepRecord(&record, window)) {
            window->DestroyWindowObject();
            return nullptr;
        }
    }
    return window;
}

void PlayerDocument::OpenViewWindow(const PortRect& /*rect*/, int32_t kind)
{
    if (!IsPlacedView(kind) || !IsComplete()) return;
    if (auto* existing = static_cast<WalkView*>(FindView(kind))) {
        if (Window* window = existing->GetWindow(kind)) window->SelectWindowObject();
        existing->SetViewObserver(walk_.get());
        return;
    }
    Owned<WalkView> view(NewWalkView());
    if (!view) return;
    const int32_t windowsBefore = RegisteredWindowCount(owner_);
    view->SetViewObserver(walk_.get());
    view->ViewRecordInit();
    view->SetInner(this);
    view->SetKind(kind);
    view->Init(owner_);
    FillRenderRecord(view.get());
    // The panes go into their window before the view is named: naming asks for the window, and a
    // view without one would have the document make a window that nothing shows.
    view->AttachView(kAttachWindowMade);
    view->SetName(name_);

    Owned<ViewWindowRecord> record(ViewWindowRecord::Make(view.get(), int16_t(kind)));
    Window* window = view->GetWindow(kind);
    view->SetName(name_);
    // What cannot be kept goes again: the view, its record and every window made for it.
    const auto giveUp = [&] {
        view.reset();
        DestroyWindowsAfter(owner_, windowsBefore);
    };
    if (!record || !ShowsWhole(view.get(), window) || AppendPointer(views_.get(), view.get()) < 0) return giveUp();
    if (!KeepRecord(&record, window)) {
        RemovePointer(views_.get(), view.get());
        return giveUp();
    }
    view.release();  // the view list's from now on
    ViewCommand(nullptr, kCommandApplied, kCodeRenderPresets, 0);
    if (window && kind != kViewGallery) window->ShowWindowObject();
}

int32_t PlayerDocument::WindowEvent(Window* window, int32_t event)
{
    const int32_t index = FindRecord(0, window);
    if (index < 0) return kind_;
    ViewWindowRecord* record = WindowRecordAt(index);
    const int32_t kind = record->RecordKind();
    if (!IsPlacedView(kind)) return -1;
    ViewBase* view = record->RecordView();
    switch (event) {
    case kEventActivated:
    case kEventReactivated:
        if (view != currentView_) {
            view->AttachView(view->GetKind() == currentView_->GetKind() ? kAttachSameKind : kAttachOtherKind);
            currentView_ = view;
        }
        break;
    case kEventClosed: {
        RemovePointer(views_.get(), view);
        view->Free();
        currentView_ = this;
        IgnoreResult(windowRecords_->Remove(index));
        record->Free();
        if (WindowRecordCount() == 0) return kind_;
        break;
    }
    default:
        break;
    }
    return kind;
}

int32_t PlayerDocument::WindowRecordCount() const
{
    return ListCount(windowRecords_.get());
}

ViewWindowRecord* PlayerDocument::WindowRecordAt(int32_t index) const
{
    return PointerAt<ViewWindowRecord>(windowRecords_.get(), index);
}

bool PlayerDocument::KeepRecord(Owned<ViewWindowRecord>* record, Window* window)
{
    (*record)->SetRecordWindow(window);
    if (AppendPointer(windowRecords_.get(), record->get()) < 0) return false;
    record->release();  // the list's from now on
    return true;
}

int32_t PlayerDocument::FindRecord(int32_t kind, const Window* window) const
{
    for (int32_t i = 0; i < WindowRecordCount(); ++i) {
        const ViewWindowRecord* record = WindowRecordAt(i);
        if (window ? record->RecordWindow() == window : record->RecordKind() == kind) return i;
    }
    return -1;
}
