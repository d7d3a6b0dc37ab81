// Polygon elements as far as their surfaces handle them.
#include "model/polygon_element.h"

#include <new>

#include "model/pointer_list.h"
#include "model/transform.h"

ResultCode PolygonElement::Write(MemoryStream* stream)
{
    return kResultOk;
}

ResultCode PolygonElement::Init()
{
    Owner = nullptr;
    Kind = kElementEmpty;
    OutlineStyle = 0;
    Outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    Placement = new (std::nothrow) Transform;
    if (Placement) Placement->TransformInit();
    return Outline && Placement ? kResultOk : kResultOutOfMemory;
}

void PolygonElement::Destroy()
{
    DestroyList(Outline);
    if (Placement) Placement->TransformFree();
    delete this;
}

void PolygonElement::Update() {}

int32_t PolygonElement::ElementHasPolygon() const
{
    return Kind == kElementPolygon && ListCount(Outline) >= 3;
}

void PolygonElement::ScaleElement(Fixed factor)
{
    for (int32_t i = 0; i < ListCount(Outline); ++i) {
        FixedPoint* p = Outline->At<FixedPoint>(i);
        *p = {FixMul(p->x, factor), FixMul(p->y, factor)};
    }
    FixedPoint position;
    Placement->GetPosition2D(&position);
    Placement->SetPosition2D(FixMul(position.x, factor), FixMul(position.y, factor));
}

void PolygonElement::LightPolygonElement() {}

void PolygonElement::CollectSideOverlaps(int32_t first, int32_t last, int32_t side) {}

void PolygonElement::RemoveSideOverlaps(int32_t first, int32_t last, int32_t side) {}

void PolygonElement::GetElementVertexBounds(ShortBox* box, int32_t which) const {}
