// The player document's view list: the commands it passes on to every view, and what it asks
// of each (preferences, names, the eye's placement).
#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "foundation/walk_path_point.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "player/player_document.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"

int32_t PlayerDocument::ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value)
{
    if (kind == kCommandModel && code == kCodePreferencesChanged && model_) {
        model_->Holder->Root->SetLights(nullptr);
        model_->Holder->Root->ClearUnits();
    }
    if (!views_) return 0;
    views_->ArrayLock();
    for (int32_t i = 0; i < ViewCount(); ++i)
        PointerAt<ViewBase>(views_.get(), i)->ViewNotify(sender, kind, code, value);
    return views_->ArrayUnlock();
}

int32_t PlayerDocument::ScalePlacement(double factor)
{
    for (int32_t i = 0; i < ViewCount(); ++i) {
        const int32_t answer = PointerAt<ViewBase>(views_.get(), i)->ScalePlacement(factor);
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
    for (int32_t i = 0; i < ViewCount(); ++i)
        PointerAt<ViewBase>(views_.get(), i)->ApplyPreferences(preferences, force);
}

void PlayerDocument::SetName(const char* text)
{
    ViewBase::SetName(text);
    for (int32_t i = 0; i < ViewCount(); ++i) PointerAt<ViewBase>(views_.get(), i)->SetName(name_);
}

ViewBase* PlayerDocument::FindView(int32_t kind) const
{
    for (int32_t i = ViewCount() - 1; i >= 0; --i)
        if (ViewBase* view = PointerAt<ViewBase>(views_.get(), i); view->GetKind() == kind) return view;
    return nullptr;
}

int32_t PlayerDocument::SetPlacementAll(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading)
{
    if (walk_) walk_->SetAndRecord(x, y, z, roll, pitch, heading);
    if (!views_) return 0;
    views_->ArrayLock();
    for (int32_t i = 0; i < ViewCount(); ++i) {
        ViewBase* view = PointerAt<ViewBase>(views_.get(), i);
        if (IsPlacedView(view->GetKind()))
            static_cast<WalkView*>(view)->SetViewPlacement(x, y, z, roll, pitch, heading);
    }
    return views_->ArrayUnlock();
}

int32_t PlayerDocument::ViewCount() const
{
    return ListCount(views_.get());
}