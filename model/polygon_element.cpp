// Polygon elements: life cycle, texts, outline and placement edits, colour, texture binding,
// and the update sequence that derives what the renderer needs.
#include "model/polygon_element.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include "foundation/planar_geometry.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/byte_list.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/transform.h"

ResultCode PolygonElement::Init()
{
    Owner = nullptr;
    Kind = kElementEmpty;
    Name = Data = VranText = nullptr;
    UserValue = 0;
    OutlineStyle = 0;
    Colour = FrontLitColour = BackLitColour = {0, 0, 0};
    ColourCode = 0;
    Texture = nullptr;
    FrontShade = BackShade = 0;
    VisSerial = 0;
    Visible = 0;
    SideUncovered[0] = SideUncovered[1] = 1;
    MappingList = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 8);
    MappingListB = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 8);
    ProjectedPoints = NewDynamicArray(0, 14, 8);
    Outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    Placement = new (std::nothrow) Transform;
    if (Placement) Placement->TransformInit();
    SurfaceVertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 8);
    WorldVertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 8);
    ProjectedVertices = NewDynamicArray(0, 16, 8);
    ScreenPoints = NewDynamicArray(0, 8, 8);
    const bool made = MappingList && MappingListB && ProjectedPoints && Outline && Placement && SurfaceVertices &&
                      WorldVertices && ProjectedVertices && ScreenPoints;
    return made ? kResultOk : kResultOutOfMemory;
}

void PolygonElement::Destroy()
{
    DestroyArray(Name);
    DestroyArray(Data);
    DestroyArray(VranText);
    DestroyArray(Outline);
    DestroyArray(SurfaceVertices);
    DestroyArray(WorldVertices);
    DestroyArray(ProjectedVertices);
    DestroyArray(ScreenPoints);
    if (Placement) Placement->TransformFree();
    Placement = nullptr;
    DestroyArray(ProjectedPoints);
    DestroyArray(MappingList);
    DestroyArray(MappingListB);
    if (Texture) CurrentTextureServices().TextureRemoveElementUser(Texture, this);
    Texture = nullptr;
    DestroyArray(OverlapLists[0]);
    DestroyArray(OverlapLists[1]);
    delete this;
}

// --- texts ---

void PolygonElement::SetElementName(const void* bytes, int32_t length)
{
    if (length >= 0) SetByteList(Name, bytes, length, 16);
}

void PolygonElement::SetElementData(const void* bytes, int32_t length)
{
    if (length >= 0) SetByteList(Data, bytes, length, 16);
}

int32_t PolygonElement::CopyElementName(void* buffer, int32_t capacity) const
{
    return CopyByteList(Name, buffer, capacity);
}

int32_t PolygonElement::CopyElementData(void* buffer, int32_t capacity) const
{
    return CopyByteList(Data, buffer, capacity);
}

void PolygonElement::SetElementVranText(const char* text)
{
    DestroyArray(VranText);
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0 || length > size_t(INT32_MAX)) return;
    SetByteList(VranText, text, int32_t(length), 4);
}

void PolygonElement::GetElementTextureName(char* buffer, int32_t bufferSize) const
{
    if (bufferSize <= 0) return;
    buffer[0] = 0;
    CurrentTextureServices().TextureName(Texture, buffer, bufferSize);
}

// --- polygon and placement ---

void PolygonElement::SetElementPolygon(const DynamicArray* points, Fixed x, Fixed y)
{
    Kind = kElementPolygon;
    OutlineStyle = 1;
    if (points) {
        IgnoreResult(points->ArrayCopyTo(Outline));  // without room the old outline stays
    } else {
        IgnoreResult(Outline->ArraySetCount(0));
    }
    Placement->SetPosition2D(x, y);
    Colour = {0, 0, 0};
    ColourCode = 0xFFFF;
    Update();
}

void PolygonElement::InsertElementPoint(int32_t index, const FixedPoint& point)
{
    if (index < 0 || index > Outline->ArrayCount()) return;
    if (Outline->Insert(index, &point) == kResultOk) Update();
}

void PolygonElement::RemoveElementPoint(int32_t index)
{
    if (index < 0 || index >= Outline->ArrayCount() || Outline->ArrayCount() <= 3) return;
    IgnoreResult(Outline->Remove(index));
    Update();
}

void PolygonElement::MoveElementPoint(int32_t index, Fixed dx, Fixed dy)
{
    FixedPoint* p = Outline->At<FixedPoint>(index);
    if (!p) return;
    *p = {FixAdd(p->x, dx), FixAdd(p->y, dy)};
    Update();
}

void PolygonElement::MoveElementEdge(int32_t index, Fixed dx, Fixed dy)
{
    const int32_t count = Outline->ArrayCount();
    if (index < 0 || index >= count) return;
    for (int32_t i : {index, index + 1 < count ? index + 1 : 0}) {
        FixedPoint* p = Outline->At<FixedPoint>(i);
        *p = {FixAdd(p->x, dx), FixAdd(p->y, dy)};
    }
    Update();
}

void PolygonElement::AppendElementPoints(int32_t n)
{
    const int32_t count = Outline->ArrayCount();
    if (n < 0 || count == 0) return;
    const FixedPoint last = *Outline->At<FixedPoint>(count - 1);
    for (int32_t i = 0; i < n; ++i) {
        if (Outline->Append(&last) < 0) return;
    }
}

void PolygonElement::RemoveElementPoints(int32_t n)
{
    const int32_t count = Outline->ArrayCount();
    if (n < 0 || n > count - 3) return;
    IgnoreResult(Outline->ArraySetCount(count - n));
}

void PolygonElement::MoveElement(Fixed dx, Fixed dy)
{
    Placement->Translate2D(dx, dy);
    Update();
}

void PolygonElement::SetElementPosition(Fixed x, Fixed y)
{
    Placement->SetPosition2D(x, y);
    Update();
}

void PolygonElement::RotateElementAbout(Fixed angle, Fixed cx, Fixed cy)
{
    Placement->Rotate2D(angle, cx, cy);
    Update();
}

void PolygonElement::SetElementAngle(Fixed angle)
{
    Placement->SetAngle2D(angle);
    Update();
}

void PolygonElement::ScaleElementAbout(Fixed sx, Fixed sy, Fixed cx, Fixed cy)
{
    Placement->Scale2D(sx, sy, cx, cy);
    Update();
}

void PolygonElement::SetElementScale(Fixed sx, Fixed sy)
{
    Placement->SetScale2D(sx, sy);
    Update();
}

void PolygonElement::ScaleElement(Fixed factor)
{
    for (int32_t i = 0; i < Outline->ArrayCount(); ++i) {
        FixedPoint* p = Outline->At<FixedPoint>(i);
        *p = {FixMul(p->x, factor), FixMul(p->y, factor)};
    }
    CountTurns(Outline->ArrayCount());
    FixedPoint position;
    Placement->GetPosition2D(&position);
    Placement->SetPosition2D(FixMul(position.x, factor), FixMul(position.y, factor));
}

// --- colour and small queries ---

void PolygonElement::SetElementColour(const RGBColor48& colour, uint16_t code)
{
    Colour = colour;
    ColourCode = code;
    if (code < kSpecialColourCode) RebuildSideOverlaps();
    LightPolygonElement();
}

int32_t PolygonElement::ElementHasPolygon() const
{
    return Kind == kElementPolygon && Outline && Outline->ArrayCount() >= 3;
}

int32_t PolygonElement::ElementIsOutlineStyle3() const
{
    return Kind == kElementPolygon && OutlineStyle == 3;
}

int32_t PolygonElement::ElementHasScale() const
{
    for (Fixed s : Placement->Scale)
        if (s != kFixedOne) return 1;
    return 0;
}

int32_t PolygonElement::ElementHasRotation() const
{
    for (Fixed a : Placement->Rotation)
        if (a != 0) return 1;
    return 0;
}

// --- texture ---

void PolygonElement::BindElementTexture(TextureRecord* texture)
{
    if (texture == Texture) return;
    TextureServices& textures = CurrentTextureServices();
    if (Texture) textures.TextureRemoveElementUser(Texture, this);
    // A picture that cannot be loaded leaves the texture bound without it.
    if (texture) IgnoreResult(textures.TextureAddElementUser(texture, this));
    Texture = texture;
    UpdateElementTextureMapping();
}

void PolygonElement::SetElementTexture(TextureRecord* texture)
{
    if (texture == Texture) return;
    BindElementTexture(texture);
    UpdateElementTextureMapping();
}

void PolygonElement::UpdateElementTextureMapping()
{
    if (!Texture || !Outline || !Owner || !Owner->Owner) return;
    CurrentTextureServices().SetupTextureMapping(Texture, Owner->Owner, Outline, &MappingList);
}

// --- update ---

void PolygonElement::Update()
{
    UpdateOnFace();
    if (Owner && Owner->Owner) Owner->Owner->UpdateObjectBoxes(Owner->Owner->FirstNonGroupParent());
}

void PolygonElement::UpdateOnFace()
{
    // A read spends the outline's points as corners built (again with every rebuild) before they
    // are placed, and the sorts that finding which way round it runs may take, as they are made:
    // past its budget the read fails, and the element stays as it was.
    ReadBudget* budget = Owner && Owner->Owner ? &Owner->Owner->Holder->Budget : nullptr;
    if (budget && !budget->Spend(ReadCost::kCorners, ListCount(Outline))) return;
    int64_t sorted = 0;
    const bool reversed = Outline && PolygonOrientation(Outline, &sorted) == 0;
    if (budget && !budget->Spend(ReadCost::kCorners, sorted)) return;
    if (reversed) Outline->Reverse();
    UpdateElementTextureMapping();
    TransformElementVertices2D();
    TransformElementVertices();
    // The overlaps depend on the face's contacts and the element's vertices, not on the boxes.
    RebuildSideOverlaps();
}
