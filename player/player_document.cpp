// The player document: its set-up and teardown, its views and their windows, the commands it
// passes on, the observer's placement and path, and reading a model into it.
#include "player/player_document.h"

#include <cstdio>
#include <new>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "foundation/walk_path_point.h"
#include "model/model_document.h"
#include "model/model_file_form.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "player/player_preferences.h"
#include "player/registry_switch.h"
#include "player/view_rectangles.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "textures/texture_libraries.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "toolkit/document_frame.h"
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

// Record kinds whose object is released with its record.
bool ReleasesObject(int16_t kind)
{
    return (kind >= 7 && kind <= 10) || (kind >= 25 && kind <= 27) || (kind >= 29 && kind <= 31) || kind == 35 ||
           kind == 36;
}

bool IsPlacedView(int32_t kind)
{
    return kind == kViewWalk || kind == kViewGallery;
}

// Raised for as long as it lives.
class CountRaised {
public:
    explicit CountRaised(int32_t& count) : count_(count) { ++count_; }
    ~CountRaised() { --count_; }
    CountRaised(const CountRaised&) = delete;
    CountRaised& operator=(const CountRaised&) = delete;

private:
    int32_t& count_;
};

}  // namespace

void ViewWindowRecord::Free()
{
    if (ReleasesObject(kind_) && object_) object_->ReleaseViewObject();
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
    if (index >= 0) return WindowRecordAt(index)->RecordObject();
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
    return window;
}

void PlayerDocument::ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value)
{
    if (kind == kCommandModel && code == kCodePreferencesChanged && model_) {
        model_->Holder->Root->SetLights(nullptr);
        model_->Holder->Root->ClearUnits();
    }
    if (!views_) return;
    views_->ArrayLock();
    for (int32_t i = 0; i < ViewCount(); ++i) ViewAt(i)->ViewNotify(sender, kind, code, value);
    views_->ArrayUnlock();
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
    if (!IsPlacedView(kind) || !walk_) return;
    if (auto* existing = static_cast<WalkView*>(FindView(kind))) {
        if (Window* window = existing->GetWindow(kind)) window->SelectWindowObject();
        existing->SetViewObserver(walk_);
        return;
    }
    WalkView* view = NewWalkView();
    if (!view) return;
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
    if (!record || windowRecords_->Append(&record) < 0 || views_->Append(&view) < 0) {
        delete record;
        view->Free();
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
    ViewBase* view = record->RecordObject();
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
        if (at >= 0) views_->Remove(at);
        view->Free();
        currentView_ = this;
        windowRecords_->Remove(index);
        record->Free();
        if (WindowRecordCount() == 0) return kind_;
        break;
    }
    default:
        break;
    }
    return kind;
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

void PlayerDocument::SetPlacementAll(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading)
{
    if (walk_) walk_->SetAndRecord(x, y, z, roll, pitch, heading);
    if (!views_) return;
    views_->ArrayLock();
    for (int32_t i = 0; i < ViewCount(); ++i) {
        ViewBase* view = ViewAt(i);
        if (view->GetKind() == kViewWalk) static_cast<WalkView*>(view)->SetViewPlacement(x, y, z, roll, pitch, heading);
    }
    views_->ArrayUnlock();
}

ResultCode PlayerDocument::ReadModel(DiskFileStream* file)
{
    if (!model_ || !walk_ || !preferences_) return kResultOutOfMemory;
    IndexImageResources(file);
    if (file->FileOpenStream() != kResultOk) {
        char name[kPathLength];
        file->FileNameWithExtension(name);
        char alert[kPathLength + 32];
        std::snprintf(alert, sizeof alert, "Error in loading file \"%s.\"", name);
        ShowAlert(alert);
        return kResultNotFound;
    }
    if (ReadModelFileForm(file) == ModelFileForm::kScrambled) {
        OpenFileScrambled = 1;
        file->StreamScrambleOn();
    }
    TextureLayerServices& textureServices = InstallTextureLayerServices();
    textureServices.SetDocumentTextureList(textures_);
    ResultCode result;
    {
        const CountRaised loading(ModelLoadingCount);
        result = model_->ReadModelFile(file);
    }
    textureServices.SetDocumentTextureList(nullptr);
    file->StreamScrambleOff();
    OpenFileScrambled = 0;
    file->FileCloseStream();
    if (result != kResultOk) return result;
    walk_->ReadWalkRecord(*model_->Walk);
    preferences_->ReadStored(model_->Preferences);
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
