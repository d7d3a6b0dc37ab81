// Test support: in-memory scenes of boxes and polygons for the renderer tests, with observers
// released at the end of the scope.
#pragma once

#include <initializer_list>
#include <memory>

#include "foundation/dynamic_array.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "render/observer.h"
#include "tools/sample_scenes.h"

namespace rendertest {

struct HolderDeleter {
    void operator()(ModelHolder* holder) const { holder->ModelHolderDestroy(); }
};
using HolderPtr = std::unique_ptr<ModelHolder, HolderDeleter>;

struct ObserverDeleter {
    void operator()(Observer* observer) const { observer->Free(); }
};
using ObserverPtr = std::unique_ptr<Observer, ObserverDeleter>;

inline HolderPtr NewWorld()
{
    HolderPtr holder(new ModelHolder);
    IgnoreResult(holder->ModelHolderInit(nullptr));
    return holder;
}

// A box attached to the world root, painted opaque in the colour on both sides.
inline ModelObject* AddBox(ModelHolder* holder, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1,
                           const RGBColor48& colour = {0x8000, 0x8000, 0x8000})
{
    ModelObject* box = MakeBox(holder, x0, y0, z0, x1, y1, z1);
    if (!box) return nullptr;
    box->SetColours(colour, 0xFFFF, kSideBoth);
    holder->Root->AddChild(box);
    return box;
}

// An observer of the world with a viewport of the given half-extents, the usual lens, at the
// position looking along the heading.
inline ObserverPtr NewObserver(ModelHolder* holder, int32_t halfWidth, int32_t halfHeight, ShortVector3 eye,
                               int16_t heading = 0, int16_t pitch = 0)
{
    ObserverPtr observer(new Observer);
    IgnoreResult(observer->Init(holder));
    observer->SetViewportSize(halfWidth, halfHeight);
    observer->SetViewZoom(35, 36);
    observer->SetObserverPosition(eye);
    observer->SetObserverAngles(0, pitch, heading);
    return observer;
}

// The face of the box whose world normal is the given axis direction (length 256).
inline PolygonRecord* FaceWithNormal(ModelObject* box, int16_t nx, int16_t ny, int16_t nz)
{
    ObjectGeometry* geometry = box->GeometryAt(0);
    for (int32_t i = 0; i < geometry->PolygonCount(); ++i) {
        PolygonRecord* r = geometry->PolygonAt(i);
        if (r->WorldNormal.x == nx && r->WorldNormal.y == ny && r->WorldNormal.z == nz) return r;
    }
    return nullptr;
}

}  // namespace rendertest
