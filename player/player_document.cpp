// The player document: its set-up and teardown, the model, preferences and textures it owns, and
// the walk observer's placement and path.
#include "player/player_document.h"

#include <new>

#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "player/model_memory.h"
#include "player/player_preferences.h"
#include "player/registry_switch.h"
#include "player/view_window_record.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "textures/texture_libraries.h"
#include "textures/texture_record.h"

namespace {

// The model root's colour is set for every code, on both sides.
constexpr uint16_t kAllColourCodes = 0xFFFF;

}  // namespace

PlayerDocument::PlayerDocument() = default;
PlayerDocument::~PlayerDocument() = default;

void PlayerDocument::Init(DocumentFrame* owner)
{
    ViewBase::Init(owner);
    changed_ = 0;

    preferences_.reset(new (std::nothrow) PlayerPreferences);
    if (preferences_ && preferences_->Init() != kResultOk) preferences_.reset();
    if (preferences_) PreferenceFile(preferences_.get(), kPreferenceFileLoad);

    model_.reset(new (std::nothrow) ModelDocument);
    if (model_ && model_->Init() != kResultOk) model_.reset();
    if (model_ && preferences_) model_->Holder->Root->SetColours(preferences_->ModelView()->colour, kAllColourCodes, kSideBoth);

    windowRecords_.reset(NewPointerList());
    views_.reset(NewPointerList());

    if (LibraryTextureList) {
        textures_ = LibraryTextureList;
    } else {
        textures_ = NewTextureRecordList();
        ownsTextures_ = textures_ != nullptr;
        if (textures_) SetTextureListOwner(textures_, this);
    }

    currentView_ = this;
    kind_ = kViewDocument;
    walk_.reset(static_cast<WalkObserver*>(FindOrCreate(this, kViewWalkObserver)));
    inner_ = this;
    if (preferences_) ApplyPreferences(preferences_.get(), 1);
    ViewCommand(nullptr, kCommandApplied, kCodeRenderPresets, 0);
}

void PlayerDocument::Free()
{
    for (int32_t i = 0; i < ViewCount(); ++i) PointerAt<ViewBase>(views_.get(), i)->Free();
    for (int32_t i = 0; i < WindowRecordCount(); ++i) WindowRecordAt(i)->Free();
    views_.reset();
    windowRecords_.reset();
    currentView_ = this;
    model_.reset();
    walk_.reset();
    preferences_.reset();
    if (ownsTextures_) {
        ReleaseTextureRecords(textures_);
        FreeTextureRecordList(textures_);
    }
    textures_ = nullptr;
    ViewBase::Free();
}

Owned<WalkObserver> PlayerDocument::NewWalkObserver()
{
    Owned<WalkObserver> observer(new (std::nothrow) WalkObserver);
    if (!observer || observer->Init(model_->Holder) != kResultOk) return nullptr;
    observer->SetOwner(this);
    return observer;
}

WalkView* PlayerDocument::NewWalkView()
{
    return new (std::nothrow) WalkView;
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
    view->SetViewObserver(walk_.get());
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
    PlayWalkPath(walk_.get());
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

void PlayerDocument::SetModelLights(LightList* lights)
{
    if (ModelObject* root = ModelRoot()) root->SetLights(lights);
}

int64_t PlayerDocument::ModelMemoryEstimate() const
{
    const ModelObject* root = ModelRoot();
    return root ? ModelMemoryEstimateOf(*root) : 0;
}

void PlayWalkPath(WalkObserver* observer)
{
    const CountRaised playing(WalkPathPlayCount);
    observer->PlayPath();
}

