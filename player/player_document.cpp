// The player document: its set-up and teardown, its views and their windows (and moving a view
// to full screen and back), the commands it passes on, the observer's placement and path, and
// reading a model into it.
#include "player/player_document.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>

#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "foundation/walk_path_point.h"
#include "model/model_document.h"
#include "model/model_file_form.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "player/model_memory.h"
#include "player/navigation_pane.h"
#include "player/navigation_panel.h"
#include "player/player_preferences.h"
#include "player/registry_switch.h"
#include "player/view_rectangles.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "textures/texture_libraries.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "toolkit/button_panel.h"
#include "toolkit/button_panel_window.h"
#include "toolkit/document_frame.h"
#include "toolkit/pane.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"

int32_t OpenFileScrambled = 0;

namespace {

constexpr int32_t kListGrowStep = 4;
// The model root's colour is set for every code, on both sides.
constexpr uint16_t kAllColourCodes = 0xFFFF;

// The view windows: a bare document window (no caption or frame) of the document's own, and the
// gallery's plain pop-up.
constexpr WindowFlags kViewWindowStartFlags = 0x807;
constexpr WindowFlags kViewWindowGalleryFlag = 0x800;
constexpr WindowFlags kViewWindowFlags = 0x20;
// The full-screen window: a pop-up that disables the program's other windows while it exists.
constexpr WindowFlags kFullScreenFlags = kWindowFixedPopUp | kViewWindowFlags;
constexpr WindowSize kViewMinimum = {200, 150};
constexpr WindowSize kGalleryMinimum = {100, 250};
constexpr WindowSize kViewMaximum = {kNoSizeLimit, kNoSizeLimit};
constexpr WindowSize kViewThreshold = {430, 430};
constexpr char kGalleryName[] = "Gallery";

// WindowEvent's events.
constexpr int32_t kEventActivated = 1;
constexpr int32_t kEventReactivated = 4;
constexpr int32_t kEventClosed = 5;
// AttachView's codes: the view's window made; made current after a view of the same kind or of
// another kind.
constexpr int32_t kAttachWindowMade = 3;
constexpr int32_t kAttachSameKind = 1;
constexpr int32_t kAttachOtherKind = 7;

// The number (from 1) of the screen entry that a new window of the rectangle is placed on, with
// its bounds; 0 without one.
int32_t ScreenEntryFor(const PortRect& rect, PortRect* bounds)
{
    PortRect placed = rect;
    Q_Offscreen* entry = PlaceNewWindow(&placed);
    if (!entry) return 0;
    entry->GetBounds(bounds);
    return WindowList->ArrayFind(&entry) + 1;
}

// Takes the window's panes out of it, the last first, into a new list that keeps their order.
DynamicArray* TakePanes(Window* window)
{
    DynamicArray* panes = NewDynamicArray(0, sizeof(Pane*), kListGrowStep);
    if (!panes) return nullptr;
    for (int32_t i = 0; i < window->PaneCount(); ++i) {
        Pane* pane = window->PaneAt(i);
        if (panes->Append(&pane) < 0) {
            DestroyArray(panes);
            return nullptr;
        }
    }
    for (int32_t i = panes->ArrayCount() - 1; i >= 0; --i) window->RemovePane(*panes->At<Pane*>(i));
    return panes;
}

// Record kinds: a button-panel window, unlinked from its panel with its record; a view whose
// object is released with its record; a button panel, freed with its buttons.
bool HoldsPanelWindow(int16_t kind)
{
    return kind == 2 || kind == 3 || kind == 5 || kind == 6;
}

bool ReleasesObject(int16_t kind)
{
    return (kind >= 7 && kind <= 10) || (kind >= 25 && kind <= 27) || (kind >= 29 && kind <= 31) || kind == 35 ||
           kind == 36;
}

bool HoldsPanel(int16_t kind)
{
    return kind == 11 || (kind >= 13 && kind <= 15) || kind == 17 || kind == 18 || kind == 20 || kind == 21 ||
           kind == 28 || (kind >= 59 && kind <= 62);
}

bool IsPlacedView(int32_t kind)
{
    return kind == kViewWalk || kind == kViewGallery;
}

bool IsSharedWindowKind(int32_t kind)
{
    return std::find(std::begin(kDocumentWindowKinds), std::end(kDocumentWindowKinds), kind) !=
           std::end(kDocumentWindowKinds);
}

// Whether the window holds the view's navigation pane and panel.
bool ShowsWhole(const WalkView* view, const Window* window)
{
    return window && view->Navigation() && view->Panel() && view->Navigation()->Owner() == window &&
           view->Panel()->Owner() == window;
}

int32_t RegisteredWindowCount(const DocumentFrame* owner)
{
    const DynamicArray* windows = owner ? owner->DocumentWindows() : nullptr;
    return windows ? windows->ArrayCount() : 0;
}

// Destroys the windows registered with the owner after the first `kept`, the last first.
void DestroyWindowsAfter(DocumentFrame* owner, int32_t kept)
{
    for (int32_t i = RegisteredWindowCount(owner) - 1; i >= kept; --i)
        (*owner->DocumentWindows()->At<Window*>(i))->DestroyWindowObject();
}

}  // namespace

ViewBase* ViewWindowRecord::RecordView() const
{
    return HoldsPanelWindow(kind_) || HoldsPanel(kind_) ? nullptr : static_cast<ViewBase*>(object_);
}

void ViewWindowRecord::Free()
{
    if (object_) {
        if (HoldsPanelWindow(kind_))
            static_cast<ButtonPanelWindow*>(object_)->LinkPanelOwner(nullptr);
        else if (ReleasesObject(kind_))
            static_cast<ViewBase*>(object_)->ReleaseViewObject();
        else if (HoldsPanel(kind_))
            static_cast<ButtonPanel*>(object_)->PanelDeleteItems();
    }
    delete this;
}

void PlayerDocument::Init(DocumentFrame* owner)
{
    ViewBase::Init(owner);
    changed_ = 0;

    preferences_ = new (std::nothrow) PlayerPreferences;
    if (preferences_ && preferences_->Init() != kResultOk) {
        preferences_->Free();
        preferences_ = nullptr;
    }
    if (preferences_) PreferenceFile(preferences_, kPreferenceFileLoad);

    model_ = new (std::nothrow) ModelDocument;
    if (model_ && model_->Init() != kResultOk) {
        model_->Destroy();
        model_ = nullptr;
    }
    if (model_ && preferences_) model_->Holder->Root->SetColours(preferences_->ModelView()->colour, kAllColourCodes, kSideBoth);

    windowRecords_ = NewDynamicArray(0, sizeof(ViewWindowRecord*), kListGrowStep);
    views_ = NewDynamicArray(0, sizeof(ViewBase*), kListGrowStep);

    if (LibraryTextureList) {
        textures_ = LibraryTextureList;
    } else {
        textures_ = NewTextureRecordList();
        ownsTextures_ = textures_ != nullptr;
        if (textures_) SetTextureListOwner(textures_, this);
    }

    currentView_ = this;
    kind_ = kViewDocument;
    if (model_) walk_ = NewWalkObserver();
    inner_ = this;
    if (preferences_) ApplyPreferences(preferences_, 1);
    ViewCommand(nullptr, kCommandApplied, kCodeRenderPresets, 0);
}

void PlayerDocument::Free()
{
    for (int32_t i = 0; i < ViewCount(); ++i) ViewAt(i)->Free();
    for (int32_t i = 0; i < WindowRecordCount(); ++i) WindowRecordAt(i)->Free();
    DestroyArray(views_);
    DestroyArray(windowRecords_);
    currentView_ = this;
    if (model_) model_->Destroy();
    model_ = nullptr;
    if (walk_) walk_->Free();
    walk_ = nullptr;
    if (preferences_) preferences_->Free();
    preferences_ = nullptr;
    if (ownsTextures_) {
        ReleaseTextureRecords(textures_);
        FreeTextureRecordList(textures_);
    }
    textures_ = nullptr;
    ViewBase::Free();
}

ViewBase* PlayerDocument::FindOrCreate(ViewBase* asking, int32_t kind)
{
    const int32_t index = FindRecord(kind, nullptr);
    if (index >= 0) return WindowRecordAt(index)->RecordView();
    if (!asking || asking == this) return nullptr;
    ViewBase* object = asking->FindOrCreate(asking, kind);
    if (!object) return nullptr;
    auto* record = new (std::nothrow) ViewWindowRecord(object, int16_t(kind));
    if (record && windowRecords_->Append(&record) < 0) {
        delete record;
    }
    return object;
}

WalkObserver* PlayerDocument::NewWalkObserver()
{
    auto* observer = new (std::nothrow) WalkObserver;
    if (!observer) return nullptr;
    if (observer->Init(model_->Holder) != kResultOk) {
        observer->Free();
        return nullptr;
    }
    observer->SetOwner(this);
    return observer;
}

WalkView* PlayerDocument::NewWalkView()
{
    return new (std::nothrow) WalkView;
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
        flags = (flags | kWindowPlainPopUp) & ~kViewWindowGalleryFlag;
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
        auto* record = new (std::nothrow) ViewWindowRecord(nullptr, int16_t(kind));
        if (record) record->SetRecordWindow(window);
        if (!record || windowRecords_->Append(&record) < 0) {
            delete record;
            window->DestroyWindowObject();
            return nullptr;
        }
    }
    return window;
}

int32_t PlayerDocument::ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value)
{
    if (kind == kCommandModel && code == kCodePreferencesChanged && model_) {
        model_->Holder->Root->SetLights(nullptr);
        model_->Holder->Root->ClearUnits();
    }
    if (!views_) return 0;
    views_->ArrayLock();
    for (int32_t i = 0; i < ViewCount(); ++i) ViewAt(i)->ViewNotify(sender, kind, code, value);
    return views_->ArrayUnlock();
}

int32_t PlayerDocument::ScalePlacement(double factor)
{
    for (int32_t i = 0; i < ViewCount(); ++i) {
        const int32_t answer = ViewAt(i)->ScalePlacement(factor);
        if (answer != 0) return answer;
    }
    if (!walk_) return 0;
    FixedVector3 position;
    Fixed angles[3];
    ObserverGetPlacement(&position, angles);
    const Fixed scale = X2Fix(factor);
    SetPlacementAll(FixMul(position.x, scale), FixMul(position.y, scale), FixMul(position.z, scale),
                    RadiansToTurnSteps(angles[0]), RadiansToTurnSteps(angles[1]), RadiansToTurnSteps(angles[2]));
    return 0;
}

void PlayerDocument::ApplyPreferences(PlayerPreferences* preferences, int32_t force)
{
    for (int32_t i = 0; i < ViewCount(); ++i) ViewAt(i)->ApplyPreferences(preferences, force);
}

void PlayerDocument::SetName(const char* text)
{
    ViewBase::SetName(text);
    for (int32_t i = 0; i < ViewCount(); ++i) ViewAt(i)->SetName(name_);
}

void PlayerDocument::OpenViewWindow(const PortRect& /*rect*/, int32_t kind)
{
    if (!IsPlacedView(kind) || !IsComplete()) return;
    if (auto* existing = static_cast<WalkView*>(FindView(kind))) {
        if (Window* window = existing->GetWindow(kind)) window->SelectWindowObject();
        existing->SetViewObserver(walk_);
        return;
    }
    WalkView* view = NewWalkView();
    if (!view) return;
    // What cannot be made whole goes again: the view, its record and every window made for it.
    const int32_t windowsBefore = RegisteredWindowCount(owner_);
    view->SetViewObserver(walk_);
    view->ViewRecordInit();
    view->SetInner(this);
    view->SetKind(kind);
    view->Init(owner_);
    FillRenderRecord(view);
    // The panes go into their window before the view is named: naming asks for the window, and a
    // view without one would have the document make a window that nothing shows.
    view->AttachView(kAttachWindowMade);
    view->SetName(name_);

    auto* record = new (std::nothrow) ViewWindowRecord(view, int16_t(kind));
    Window* window = view->GetWindow(kind);
    if (record) record->SetRecordWindow(window);
    view->SetName(name_);
    const int32_t at = record && ShowsWhole(view, window) ? windowRecords_->Append(&record) : -1;
    if (at < 0 || views_->Append(&view) < 0) {
        if (at >= 0) IgnoreResult(windowRecords_->Remove(at));  // the entry just appended
        delete record;
        view->Free();
        DestroyWindowsAfter(owner_, windowsBefore);
        return;
    }
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
        const int32_t at = views_->ArrayFind(&view);
        if (at >= 0) IgnoreResult(views_->Remove(at));
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

int32_t PlayerDocument::IsComplete() const
{
    return model_ && walk_ && preferences_ && textures_ && windowRecords_ && views_ ? 1 : 0;
}

int32_t PlayerDocument::HasModel() const
{
    if (!model_) return 0;
    return model_->Holder->Root->ChildCount() > 0 ? 1 : 0;
}

void PlayerDocument::FillRenderRecord(WalkView* view)
{
    view->SetViewObserver(walk_);
}

ModelObject* PlayerDocument::ModelRoot() const
{
    return model_ ? model_->Holder->Root : nullptr;
}

void PlayerDocument::ObserverSetPlacement(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading)
{
    if (walk_) walk_->SetAndRecord(x, y, z, roll, pitch, heading);
}

void PlayerDocument::ObserverGetPlacement(FixedVector3* position, Fixed angles[3]) const
{
    if (walk_) walk_->GetPlacement(position, angles);
}

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
    DynamicArray* panes = TakePanes(old);
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
    for (int32_t i = 0; i < panes->ArrayCount(); ++i) window->AddPane(*panes->At<Pane*>(i));
    DestroyArray(panes);
    view->SetName(view->Name());
    window->ShowWindowObject();
    if (!on && wasZoomed_ && window != old) SendMessageA(window->GetWindowHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    return entry;
}

int32_t PlayerDocument::PlacePathStart()
{
    if (!walk_) return 1;
    walk_->SetRecording(0, 0);
    const int32_t result = walk_->GoToPathPoint(0);
    if (result != 0) return result;
    inner_->ViewCommand(nullptr, kCommandStep, kCodeRedrawStep, 0);
    PlayWalkPath(walk_);
    return 0;
}

void PlayerDocument::SetPathRecording(int32_t on)
{
    if (walk_) walk_->SetRecording(int16_t(on != 0), int16_t(on != 0));
}

void PlayerDocument::SetObserverLens(int16_t numerator, int16_t denominator)
{
    if (walk_) walk_->SetViewZoom(numerator, denominator);
}

ViewBase* PlayerDocument::FindView(int32_t kind) const
{
    for (int32_t i = ViewCount() - 1; i >= 0; --i)
        if (ViewAt(i)->GetKind() == kind) return ViewAt(i);
    return nullptr;
}

int32_t PlayerDocument::SetPlacementAll(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading)
{
    if (walk_) walk_->SetAndRecord(x, y, z, roll, pitch, heading);
    if (!views_) return 0;
    views_->ArrayLock();
    for (int32_t i = 0; i < ViewCount(); ++i) {
        ViewBase* view = ViewAt(i);
        if (IsPlacedView(view->GetKind()))
            static_cast<WalkView*>(view)->SetViewPlacement(x, y, z, roll, pitch, heading);
    }
    return views_->ArrayUnlock();
}

void PlayerDocument::SetModelLights(LightList* lights)
{
    if (ModelObject* root = ModelRoot()) root->SetLights(lights);
}

int64_t PlayerDocument::ModelMemoryEstimate() const
{
    const ModelObject* root = ModelRoot();
    return root ? ModelMemoryEstimateOf(*root) : 0;
}

ResultCode PlayerDocument::ReadModel(DiskFileStream* file)
{
    char name[kPathLength];
    file->FileNameWithExtension(name);
    if (!IsComplete()) {
        ShowLoadAlert(name);
        return kResultOutOfMemory;
    }
    IndexImageResources(file);
    if (file->FileOpenStream() != kResultOk) {
        ShowLoadAlert(name);
        return kResultNotFound;
    }
    const ModelFileForm form = ReadModelFileForm(file);
    if (form == ModelFileForm::kScrambled) {
        OpenFileScrambled = 1;
        file->StreamScrambleOn();
    }
    TextureLayerServices& textureServices = InstallTextureLayerServices();
    textureServices.SetDocumentTextureList(textures_);
    const ResultCode result = model_->ReadModelFile(file);
    textureServices.SetDocumentTextureList(nullptr);
    // The read rebuilt the world root's geometry, in which the observer's cell lay.
    walk_->AttachObserverToWorld();
    file->StreamScrambleOff();
    OpenFileScrambled = 0;
    IgnoreResult(file->FileCloseStream());
    // The reader refuses a stream whose first chunk it cannot enter without a word: for a file
    // whose header says it is a model, the load failed all the same.
    if (result != kResultOk && !model_->FormEntered && form != ModelFileForm::kNotAModel)
        ShowLoadAlert(name);
    if (result != kResultOk) return result;
    walk_->ReadWalkRecord(*model_->Walk);
    IgnoreResult(preferences_->ReadStored(model_->Preferences));  // a broken preferences record leaves the defaults
    return kResultOk;
}

int32_t PlayerDocument::ViewCount() const
{
    return views_ ? views_->ArrayCount() : 0;
}

int32_t PlayerDocument::WindowRecordCount() const
{
    return windowRecords_ ? windowRecords_->ArrayCount() : 0;
}

ViewWindowRecord* PlayerDocument::WindowRecordAt(int32_t index) const
{
    return *windowRecords_->At<ViewWindowRecord*>(index);
}

ViewBase* PlayerDocument::ViewAt(int32_t index) const
{
    return *views_->At<ViewBase*>(index);
}

int32_t PlayerDocument::FindRecord(int32_t kind, const Window* window) const
{
    for (int32_t i = 0; i < WindowRecordCount(); ++i) {
        const ViewWindowRecord* record = WindowRecordAt(i);
        if (window ? record->RecordWindow() == window : record->RecordKind() == kind) return i;
    }
    return -1;
}

void ShowLoadAlert(const char* fileName)
{
    char alert[kPathLength + 32];
    std::snprintf(alert, sizeof alert, "Error in loading file \"%s.\"", fileName);
    ShowAlert(alert);
}

void PlayWalkPath(WalkObserver* observer)
{
    const CountRaised playing(WalkPathPlayCount);
    observer->PlayPath();
}

PlayerDocument* LoadPlayerDocument(DiskFileStream* file, ResultCode* result)
{
    auto* document = new (std::nothrow) PlayerDocument;
    ResultCode code = kResultOutOfMemory;
    if (document) {
        document->Init(nullptr);
        code = document->ReadModel(file);
    }
    if (result) *result = code;
    if (code == kResultOk) return document;
    if (document) document->Free();
    return nullptr;
}
