// The model holder.
#include "model/model_holder.h"

#include <new>

#include "foundation/loop_turns.h"
#include "model/geometry_pool.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/surface.h"
#include "model/texture_services.h"

ModelObject* ModelHolder::NewModelObject()
{
    return new (std::nothrow) ModelObject;
}

ModelObject* ModelHolder::MakeObject()
{
    ModelObject* node = NewModelObject();
    if (node && node->Init(this) != kResultOk) {
        node->Destroy();
        return nullptr;
    }
    return node;
}

ResultCode ModelHolder::ModelHolderInit(void* owner)
{
    Owner = owner;
    ChangeSerial = 1;
    Geometries = GeometryPool::New(sizeof(ObjectGeometry));
    Root = MakeObject();
    if (!Root) return kResultOutOfMemory;
    Root->SetWorldRoot();
    return kResultOk;
}

void ModelHolder::KeepUntilGone(ModelObject* node)
{
    if (node) KeptUntilGone.push_back(node);
}

void ModelHolder::ModelHolderDestroy()
{
    CurrentTextureServices().ForgetPictureBudget(&Budget.Pictures());
    for (ModelObject* node : KeptUntilGone) node->Destroy();
    CountTurns(int64_t(KeptUntilGone.size()));
    KeptUntilGone.clear();
    if (Root) Root->Destroy();
    Root = nullptr;
    // Records that outlive the tree keep the pool until they go.
    if (Geometries) Geometries->HolderGone();
    Geometries = nullptr;
    delete this;
}

ResultCode ModelHolder::EndRead(ResultCode result)
{
    if (RelightAtEnd && result == kResultOk && !Budget.Passed()) Root->RefreshShading();
    RelightAtEnd = false;
    FinishDeferredCoverings(this, result == kResultOk && !Budget.Passed());
    FinishDeferredOverlaps(this, result == kResultOk && !Budget.Passed());
    // A read the user stopped is stopped, whatever its loops made of the spending refused since.
    if (Budget.Stopped()) {
        result = kResultStopped;
    } else if (result == kResultOk && Budget.Passed()) {
        result = kResultPastBudget;
    }
    Budget.End();
    return result;
}

void NextNonZeroSerial(ModelHolder* holder)
{
    ++holder->ChangeSerial;
    if (holder->ChangeSerial == 0) ++holder->ChangeSerial;
}

void NoteLayeringChanged(ModelHolder* holder)
{
    if (!holder) return;
    ++holder->LayeringSerial;
    if (holder->LayeringSerial == 0) ++holder->LayeringSerial;
}
