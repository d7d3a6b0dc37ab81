// The model file's stored forms built byte by byte from their layouts, never by our writer:
// every field read back and checked, and the writer made to give exactly those bytes again, so
// that a misreading shared by the reader and the writer cannot hide. Every field carries a value
// of its own, so that two fields read in each other's places show.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/fixed.h"
#include "foundation/pointer_list.h"
#include "foundation/walk_path_point.h"
#include "model/drawing_services.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/plane_record.h"
#include "model/polygon_element.h"
#include "model/preference_record.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/transform.h"
#include "model/units_record.h"
#include "model/walk_record.h"
#include "tests/model/model_test_support.h"

namespace {

// --- the wire forms of the layouts ---

// A 16.16 value from a double that it holds exactly.
constexpr Fixed Fx(double value)
{
    return Fixed(value * 65536.0);
}

Bytes Triple(Fixed x, Fixed y, Fixed z)
{
    return I32(x) + I32(y) + I32(z);
}

// The 3-D transform: position, rotation about Y, X, Z, shear h0 to h2, scale x, y, z.
struct TransformValues {
    Fixed value[12];
};

Bytes TransformBytes(const TransformValues& t)
{
    Bytes out;
    for (Fixed v : t.value) Append(out, I32(v));
    return out;
}

void ExpectTransform(const Transform* transform, const TransformValues& t)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(transform->Position[i], t.value[i]) << "position " << i;
        EXPECT_EQ(transform->Rotation[i], t.value[3 + i]) << "rotation " << i;
        EXPECT_EQ(transform->Shear[i], t.value[6 + i]) << "shear " << i;
        EXPECT_EQ(transform->Scale[i], t.value[9 + i]) << "scale " << i;
    }
}

// A translation only: composing it with a parent's translation is exact.
TransformValues Translation(Fixed x, Fixed y, Fixed z)
{
    return {{x, y, z, 0, 0, 0, 0, 0, 0, kFixedOne, kFixedOne, kFixedOne}};
}

// A square outline of side 10 (clockwise with y up, the way an outline stays) as kind 106 points.
Bytes SquarePoints()
{
    Bytes out;
    for (int32_t xy : {0x0000000A, 0x000A000A, 0x000A0000, 0x00000000}) {
        Append(out, I32(Fixed((xy >> 16) * kFixedOne)) + I32(Fixed((xy & 0xFFFF) * kFixedOne)));
    }
    return out;
}

// A box primitive of side 10: POLY with style 1, axis 3, kind 1, segments 1, heights 0 and 10.
Bytes BoxPoly()
{
    return Chunk("POLY", I16(1) + Bytes{3, 1} + I16(1) + I32(0) + I32(10 * kFixedOne) + Bytes(16, 0) + I16(4) +
                             SquarePoints());
}

// The chunks a box writes: colour (black, opaque code), side attributes, outline, position.
Bytes BoxBody(const TransformValues& position, const Bytes& children = {})
{
    return Chunk("COLR", {0, 0, 0, 0, 0xFF, 0, 0, 0}) + Chunk("PLGR", {0, 0}) + BoxPoly() +
           Chunk("POSN", TransformBytes(position)) + children;
}

Bytes ListBytes(const DynamicArray* list)
{
    if (!list) return {};
    const auto* data = static_cast<const uint8_t*>(list->ArrayData());
    return Bytes(data, data + list->ArrayCount());
}

void ExpectColour(const RGBColor48& colour, uint16_t red, uint16_t green, uint16_t blue)
{
    EXPECT_EQ(colour.red, red);
    EXPECT_EQ(colour.green, green);
    EXPECT_EQ(colour.blue, blue);
}

// --- a primitive with every chunk of its own ---

// A light record: kind word, direction as three 16.16 values (the 8.8 component times 256),
// colour word 0x00RRGGBB, brightness as a 16.16 value.
Bytes LightRecord(int32_t kind, int32_t x, int32_t y, int32_t z, uint32_t colour, int32_t brightness)
{
    return I16(kind) + Triple(x * 256, y * 256, z * 256) + I32(colour) + I32(brightness * 256);
}

// The element of FEAT side 0 on face 2: every chunk, in the order elements write them.
const TransformValues kElementPlace = {
    {Fx(3.5), Fx(-1.25), Fx(0.75), Fx(0.0625), Fx(-0.125), Fx(0.5), Fx(0.25), Fx(-0.375), Fx(0.1875), Fx(1.5),
     Fx(0.75), Fx(2.25)}};

Bytes FullElement()
{
    const Bytes outline = I32(0) + I32(0) + I32(Fx(0.5)) + I32(Fx(4.25)) + I32(Fx(3.75)) + I32(Fx(-0.5));
    return Chunk("NAME", Chars("door")) + Chunk("DATA", {9, 8, 7}) + Chunk("COLR", {0x0C, 0x9A, 0xBC, 0xDE}) +
           Chunk("SFTX", Chunk("TXID", I32(13)) + Chunk("TATR", {})) + Chunk("VRAN", Chars("ev")) +
           Chunk("POLY", I16(3) + I16(3) + outline) + Chunk("POSN", TransformBytes(kElementPlace));
}

// A bare element: colour (code 0xF2, solid), a triangle of style 2, a placed transform.
Bytes BareElement(uint8_t shade, Fixed x)
{
    const Bytes outline = I32(0) + I32(0) + I32(0) + I32(Fx(2.0)) + I32(Fx(2.0)) + I32(0);
    return Chunk("COLR", {0xF2, shade, shade, shade}) + Chunk("POLY", I16(2) + I16(3) + outline) +
           Chunk("POSN", TransformBytes(Translation(x, Fx(1.0), 0)));
}

const TransformValues kPrimitivePlace = {
    {Fx(1.5), Fx(-2.0), Fx(3.25), Fx(0.125), Fx(-0.25), Fx(0.375), Fx(0.0625), Fx(-0.03125), Fx(0.09375),
     Fx(2.0), Fx(0.5), Fx(1.25)}};

Bytes FullPrimitive()
{
    const Bytes lights = I16(2) + LightRecord(1, 0, 0, 0, 0x00AABBCC, 0x80) +
                         LightRecord(2, -34, -57, 247, 0x00102030, 300);
    // style 3, axis 2, kind 1, segments 1, heights -2.5 and 4.25, offsets (0.5, -0.75) and
    // (1.25, 2.0), four points.
    const Bytes poly = I16(3) + Bytes{2, 1} + I16(1) + I32(Fx(-2.5)) + I32(Fx(4.25)) + I32(Fx(0.5)) +
                       I32(Fx(-0.75)) + I32(Fx(1.25)) + I32(Fx(2.0)) + I16(4) + SquarePoints();
    const Bytes slice = I16(1) + I32(Fx(0.25)) + I32(Fx(-0.5)) + I32(Fx(-1.0)) + I32(Fx(0.75));
    // Face 0: front colour only (form 1), back side attribute only (form 3), a text.
    const Bytes face0 = I16(0) + Chunk("COLR", I16(1) + Bytes{0xF3, 0x01, 0x02, 0x03}) +
                        Chunk("SUGR", I16(3) + Bytes{7}) + Chunk("VRAN", Chars("s0"));
    // Face 2: back colour only (form 3), both textures (the back one none), the front side
    // attribute (form 1), an element on side 0.
    const Bytes face2 = I16(2) + Chunk("COLR", I16(3) + Bytes{0xF4, 0x04, 0x05, 0x06}) +
                        Chunk("SUTX", Chunk("TXID", I32(11)) + Chunk("TXOD", I32(-2)) + Chunk("TATR", {})) +
                        Chunk("SUGR", I16(1) + Bytes{5}) + Chunk("FEAT", I16(0) + FullElement());
    // Face 4: both colours (form 2), both side attributes (form 2), elements on sides 1 and 2.
    const Bytes face4 = I16(4) + Chunk("COLR", I16(2) + Bytes{0x00, 0x07, 0x08, 0x09, 0xF5, 0x0A, 0x0B, 0x0C}) +
                        Chunk("SUGR", I16(2) + Bytes{1, 2}) + Chunk("FEAT", I16(1) + BareElement(0x40, Fx(1.0))) +
                        Chunk("FEAT", I16(2) + BareElement(0x80, Fx(2.5)));
    return Chunk("NAME", Chars("Cube5")) + Chunk("DATA", {1, 2, 3, 4}) +
           Chunk("UNIT", {0x40, 0x04, 0, 0, 0, 0, 0, 0}) + Chunk("LGHT", lights) +
           Chunk("COLR", {0x00, 0x11, 0x22, 0x33, 0xF1, 0x44, 0x55, 0x66}) + Chunk("PLGR", {1, 2}) +
           Chunk("POLY", poly) + Chunk("SLIC", slice) +
           Chunk("PLTX", Chunk("TXID", I32(7)) + Chunk("TXOD", I32(9)) + Chunk("TATR", {})) +
           Chunk("SURF", face0) + Chunk("SURF", face2) + Chunk("SURF", face4) +
           Chunk("POSN", TransformBytes(kPrimitivePlace)) + Chunk("VRAN", Chars("vr1"));
}

}  // namespace

TEST(StoredForms, PrimitiveWithEveryChunk)
{
    NumberedTextures textures;
    Scene scene;
    const Bytes body = FullPrimitive();
    ModelObject* prism = scene.holder()->MakeObject();
    MemoryStream in;
    Load(in, body);
    ASSERT_EQ(prism->Stream(&in), kResultOk);
    EXPECT_EQ(in.StreamPosition(), int32_t(body.size()));

    EXPECT_EQ(ListBytes(prism->Name), Chars("Cube5"));
    EXPECT_EQ(ListBytes(prism->Data), (Bytes{1, 2, 3, 4}));
    ASSERT_NE(prism->Units, nullptr);
    EXPECT_EQ(prism->Units->UnitsGet(), 2.5);

    ASSERT_NE(prism->Lights, nullptr);
    ASSERT_EQ(prism->Lights->ArrayCount(), 2);
    const Light* ambient = prism->Lights->LightListGet(0);
    EXPECT_EQ(ambient->LightIsAmbient(), 1);
    ExpectColour(ambient->Colour, 0xAA00, 0xBB00, 0xCC00);
    EXPECT_EQ(ambient->Brightness, 0x80);
    const Light* directed = prism->Lights->LightListGet(1);
    EXPECT_EQ(directed->Direction[0], -34);
    EXPECT_EQ(directed->Direction[1], -57);
    EXPECT_EQ(directed->Direction[2], 247);
    ExpectColour(directed->Colour, 0x1000, 0x2000, 0x3000);
    EXPECT_EQ(directed->Brightness, 300);
    EXPECT_EQ(directed->On, 1);  // lights read from a file are on

    // COLR: the front word's top byte is not read; the back word's is the colour code's high byte.
    ExpectColour(prism->FrontColour, 0x1100, 0x2200, 0x3300);
    ExpectColour(prism->BackColour, 0x4400, 0x5500, 0x6600);
    EXPECT_EQ(prism->ColourCode, 0xF100);
    EXPECT_EQ(prism->FrontSideAttribute, 1);
    EXPECT_EQ(prism->BackSideAttribute, 2);

    EXPECT_EQ(prism->Type, kObjectPrimitive);
    EXPECT_EQ(prism->OutlineStyle, 3);
    EXPECT_EQ(prism->Axis, 2);
    EXPECT_EQ(prism->PrimitiveKind, 1);
    EXPECT_EQ(prism->Segments, 1);
    EXPECT_EQ(prism->Height0, Fx(-2.5));
    EXPECT_EQ(prism->Height1, Fx(4.25));
    EXPECT_EQ(prism->Offset0.x, Fx(0.5));
    EXPECT_EQ(prism->Offset0.y, Fx(-0.75));
    EXPECT_EQ(prism->Offset1.x, Fx(1.25));
    EXPECT_EQ(prism->Offset1.y, Fx(2.0));
    ASSERT_EQ(prism->OutlineCount(), 4);
    EXPECT_EQ(prism->Outline->At<FixedPoint>(0)->x, 0);
    EXPECT_EQ(prism->Outline->At<FixedPoint>(0)->y, 10 * kFixedOne);
    EXPECT_EQ(prism->Outline->At<FixedPoint>(1)->x, 10 * kFixedOne);

    ASSERT_EQ(prism->SliceCount(), 1);
    const PlaneRecord* plane = PointerAt<PlaneRecord>(prism->Slices, 0);
    EXPECT_EQ(plane->A, Fx(0.25));
    EXPECT_EQ(plane->B, Fx(-0.5));
    EXPECT_EQ(plane->C, Fx(-1.0));
    EXPECT_EQ(plane->D, Fx(0.75));
    EXPECT_EQ(prism->FaceCount(), 7);  // four sides, two caps and the slice

    EXPECT_EQ(prism->FrontTexture, TextureNumbered(7));
    EXPECT_EQ(prism->BackTexture, TextureNumbered(9));
    ExpectTransform(prism->WorldTransform, kPrimitivePlace);
    ExpectTransform(prism->LocalTransform, kPrimitivePlace);
    EXPECT_EQ(ListBytes(prism->VranText), Chars("vr1"));

    // The surfaces: own bits, colours and codes by form, side attributes, textures, texts.
    const Surface* face0 = prism->SurfaceOfFace(0);
    ASSERT_NE(face0, nullptr);
    EXPECT_EQ(face0->Flags, kSurfaceFrontColour | kSurfaceBackAttribute);
    ExpectColour(face0->FrontColour, 0x0100, 0x0200, 0x0300);
    EXPECT_EQ(face0->ColourCode, 0xF300);
    EXPECT_EQ(face0->BackSideAttribute, 7);
    EXPECT_EQ(ListBytes(face0->VranText), Chars("s0"));
    EXPECT_EQ(prism->SurfaceOfFace(1), nullptr);

    const Surface* face2 = prism->SurfaceOfFace(2);
    ASSERT_NE(face2, nullptr);
    EXPECT_EQ(face2->Flags, kSurfaceBackColour | kSurfaceFrontTexture | kSurfaceBackTexture | kSurfaceFrontAttribute |
                                kSurfaceElementList);
    ExpectColour(face2->BackColour, 0x0400, 0x0500, 0x0600);
    EXPECT_EQ(face2->ColourCode, 0xF400);
    EXPECT_EQ(face2->FrontTexture, TextureNumbered(11));
    EXPECT_EQ(face2->BackTexture, nullptr);  // none: it hides the object's back texture
    EXPECT_EQ(face2->FrontSideAttribute, 5);
    ASSERT_EQ(face2->ElementCount(0), 1);
    const PolygonElement* element = face2->ElementAt(0, 0);
    EXPECT_EQ(ListBytes(element->Name), Chars("door"));
    EXPECT_EQ(ListBytes(element->Data), (Bytes{9, 8, 7}));
    ExpectColour(element->Colour, 0x9A00, 0xBC00, 0xDE00);
    EXPECT_EQ(element->ColourCode, 0x0C00);
    EXPECT_EQ(element->Texture, TextureNumbered(13));
    EXPECT_EQ(ListBytes(element->VranText), Chars("ev"));
    EXPECT_EQ(element->Kind, kElementPolygon);
    EXPECT_EQ(element->OutlineStyle, 3);
    ASSERT_EQ(element->Outline->ArrayCount(), 3);
    EXPECT_EQ(element->Outline->At<FixedPoint>(1)->x, Fx(0.5));
    EXPECT_EQ(element->Outline->At<FixedPoint>(1)->y, Fx(4.25));
    EXPECT_EQ(element->Outline->At<FixedPoint>(2)->x, Fx(3.75));
    EXPECT_EQ(element->Outline->At<FixedPoint>(2)->y, Fx(-0.5));
    ExpectTransform(element->Placement, kElementPlace);

    const Surface* face4 = prism->SurfaceOfFace(4);
    ASSERT_NE(face4, nullptr);
    EXPECT_EQ(face4->Flags, kSurfaceFrontColour | kSurfaceBackColour | kSurfaceFrontAttribute |
                                kSurfaceBackAttribute | (kSurfaceElementList << 1) | (kSurfaceElementList << 2));
    ExpectColour(face4->FrontColour, 0x0700, 0x0800, 0x0900);
    ExpectColour(face4->BackColour, 0x0A00, 0x0B00, 0x0C00);
    EXPECT_EQ(face4->ColourCode, 0xF500);  // from the second value; the first one's fourth byte is 0
    EXPECT_EQ(face4->FrontSideAttribute, 1);
    EXPECT_EQ(face4->BackSideAttribute, 2);
    ASSERT_EQ(face4->ElementCount(1), 1);
    ASSERT_EQ(face4->ElementCount(2), 1);
    EXPECT_EQ(face4->ElementAt(1, 0)->ColourCode, 0xF200);
    EXPECT_EQ(face4->ElementAt(1, 0)->OutlineStyle, 2);
    EXPECT_EQ(face4->ElementAt(2, 0)->Colour.red, 0x8000);
    EXPECT_EQ(face4->ElementAt(2, 0)->Placement->Position[0], Fx(2.5));

    // Written again, chunk for chunk in the same order: the same bytes.
    EXPECT_EQ(WriteWith(prism, &ModelObject::Stream), body);
    prism->Destroy();
}

// An element's placement is written in the transform's full form; a body of the length of the
// two-dimensional form (position x, y; angle; shear; scale x, y) is read as that form.
TEST(StoredForms, ElementPlacementInEitherForm)
{
    const Bytes outline = I32(0) + I32(0) + I32(0) + I32(Fx(2.0)) + I32(Fx(2.0)) + I32(0);
    const Bytes flat = I32(Fx(3.5)) + I32(Fx(-1.25)) + I32(Fx(0.5)) + I32(Fx(0.25)) + I32(Fx(1.5)) + I32(Fx(0.75));
    for (const Bytes& place : {flat, TransformBytes(kElementPlace)}) {
        PolygonElement* element = new PolygonElement;
        ASSERT_EQ(element->Init(), kResultOk);
        MemoryStream in;
        LoadInChunk(in, Chunk("POLY", I16(1) + I16(3) + outline) + Chunk("POSN", place));
        ASSERT_EQ(element->Stream(&in), kResultOk);
        const TransformValues expected =
            place.size() == 24 ? TransformValues{{Fx(3.5), Fx(-1.25), 0, 0, 0, Fx(0.5), Fx(0.25), 0, 0, Fx(1.5),
                                                  Fx(0.75), kFixedOne}}
                               : kElementPlace;
        ExpectTransform(element->Placement, expected);
        MemoryStream out;
        StartWriting(out);
        ASSERT_EQ(element->Stream(&out), kResultOk);
        const Bytes written = Contents(out);
        ASSERT_GE(written.size(), 56u);
        EXPECT_EQ(Bytes(written.end() - 56, written.end()), Chunk("POSN", TransformBytes(expected)));
        element->Destroy();
    }
}

TEST(StoredForms, PolygonObject)
{
    Scene scene;
    // Four vertices with fractions and signs, four triangles of three indices each.
    const Fixed v[4][3] = {{Fx(-1.5), Fx(0.25), Fx(2.0)},
                           {Fx(3.75), Fx(-0.5), Fx(2.0)},
                           {Fx(0.125), Fx(4.5), Fx(2.0)},
                           {Fx(0.5), Fx(1.0), Fx(6.25)}};
    const int16_t faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    Bytes mesh = I16(4);
    for (const auto& p : v) Append(mesh, Triple(p[0], p[1], p[2]));
    Append(mesh, I16(4));
    for (const auto& f : faces) Append(mesh, I16(3) + I16(f[0]) + I16(f[1]) + I16(f[2]));
    const Bytes body = Chunk("COLR", {0, 0x21, 0x43, 0x65, 0x12, 0x87, 0xA9, 0xCB}) + Chunk("PLGR", {2, 0}) +
                       Chunk("MESH", mesh) + Chunk("POSN", TransformBytes(Translation(Fx(4.0), Fx(-3.0), Fx(0.5))));

    ModelObject* object = scene.holder()->MakeObject();
    MemoryStream in;
    Load(in, body);
    ASSERT_EQ(object->Stream(&in), kResultOk);
    EXPECT_EQ(object->Type, kObjectPolygon);
    ASSERT_EQ(ListCount(object->MeshVertices), 4);
    for (int32_t i = 0; i < 4; ++i) {
        const FixedVector3 read = VertexAt(object->MeshVertices, i);
        EXPECT_EQ(read.x, v[i][0]) << i;
        EXPECT_EQ(read.y, v[i][1]) << i;
        EXPECT_EQ(read.z, v[i][2]) << i;
    }
    ASSERT_EQ(ListCount(object->MeshPolygons), 4);
    for (int32_t p = 0; p < 4; ++p) {
        EXPECT_EQ(IndicesOf(PointerAt<DynamicArray>(object->MeshPolygons, p)),
                  (std::vector<int16_t>{faces[p][0], faces[p][1], faces[p][2]}));
    }
    // A colour code below 0xF000 colours both sides alike; the stored colours stay as they are.
    ExpectColour(object->FrontColour, 0x2100, 0x4300, 0x6500);
    ExpectColour(object->BackColour, 0x8700, 0xA900, 0xCB00);
    EXPECT_EQ(object->ColourCode, 0x1200);
    EXPECT_EQ(object->FrontSideAttribute, 2);
    EXPECT_EQ(object->BackSideAttribute, 0);
    EXPECT_EQ(object->FaceCount(), 4);
    EXPECT_EQ(WriteWith(object, &ModelObject::Stream), body);
    object->Destroy();
}

// The world root's own chunks, a group with its children, and the connections between the
// children of a group and between a primitive and its own child.
TEST(StoredForms, RootGroupsChildrenAndConnections)
{
    Scene scene;
    const Bytes rootLights = I16(1) + LightRecord(2, 0, -256, 0, 0x00F0E0D0, 128);
    // The group at (5, -6, 7); its children at world places, the first holding a child of its own.
    const Bytes inner = BoxBody(Translation(Fx(5.0), Fx(-6.0), Fx(8.0)));
    // Outer's face 2 touches face 5 of its child (record -1, 2, 0, 5).
    const Bytes outer = BoxBody(Translation(Fx(5.0), Fx(-6.0), Fx(7.0)),
                                Chunk("PRSM", inner) + Chunk("CONN", I16(1) + I16(-1) + I16(2) + I16(0) + I16(5)));
    const Bytes second = BoxBody(Translation(Fx(15.0), Fx(-6.0), Fx(7.0)));
    // Face 3 of the first child touches face 1 of the second: written once, by the first.
    const Bytes group = Chunk("NAME", Chars("Grp")) + Chunk("DATA", Chars("gd")) + Chunk("VRAN", Chars("gv")) +
                        Chunk("POSN", TransformBytes(Translation(Fx(5.0), Fx(-6.0), Fx(7.0)))) +
                        Chunk("PRSM", outer) + Chunk("PRSM", second) +
                        Chunk("CONN", I16(1) + I16(0) + I16(3) + I16(1) + I16(1));
    const Bytes root = Chunk("NAME", Chars("World")) + Chunk("DATA", Chars("rd")) +
                       Chunk("UNIT", {0x3F, 0x9A, 0x02, 0x75, 0x25, 0x46, 0x0A, 0xA6}) + Chunk("LGHT", rootLights) +
                       Chunk("COLR", {0x00, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37}) + Chunk("PGRP", group) +
                       Chunk("PRSM", BoxBody(Translation(Fx(-20.0), 0, 0)));

    MemoryStream in;
    Load(in, root);
    ASSERT_EQ(scene.root()->StreamRoot(&in), kResultOk);
    ModelObject* world = scene.root();
    EXPECT_EQ(world->Type, kObjectWorldRoot);
    EXPECT_EQ(ListBytes(world->Name), Chars("World"));
    EXPECT_EQ(ListBytes(world->Data), Chars("rd"));
    ASSERT_NE(world->Units, nullptr);
    EXPECT_EQ(world->Units->UnitsGet(), 0.0254);
    ASSERT_NE(world->Lights, nullptr);
    ASSERT_EQ(world->Lights->ArrayCount(), 1);
    EXPECT_EQ(world->Lights->LightListGet(0)->Direction[1], -256);
    EXPECT_EQ(world->Lights->LightListGet(0)->Brightness, 128);
    ExpectColour(world->FrontColour, 0x3100, 0x3200, 0x3300);
    ExpectColour(world->BackColour, 0x3500, 0x3600, 0x3700);
    EXPECT_EQ(world->ColourCode, 0x3400);

    ASSERT_EQ(world->ChildCount(), 2);
    ModelObject* readGroup = world->ChildAt(0);
    EXPECT_EQ(readGroup->Type, kObjectGroup);
    EXPECT_EQ(ListBytes(readGroup->Name), Chars("Grp"));
    EXPECT_EQ(ListBytes(readGroup->Data), Chars("gd"));
    EXPECT_EQ(ListBytes(readGroup->VranText), Chars("gv"));
    EXPECT_EQ(readGroup->WorldTransform->Position[1], Fx(-6.0));
    EXPECT_EQ(world->ChildAt(1)->WorldTransform->Position[0], Fx(-20.0));
    ASSERT_EQ(readGroup->ChildCount(), 2);
    ModelObject* first = readGroup->ChildAt(0);
    ModelObject* secondChild = readGroup->ChildAt(1);
    // World places are stored; a child keeps its place relative to its parent.
    EXPECT_EQ(first->LocalTransform->Position[0], 0);
    EXPECT_EQ(secondChild->LocalTransform->Position[0], Fx(10.0));
    EXPECT_EQ(secondChild->WorldTransform->Position[0], Fx(15.0));
    ASSERT_EQ(first->ChildCount(), 1);
    ModelObject* innerChild = first->ChildAt(0);
    EXPECT_EQ(innerChild->WorldTransform->Position[2], Fx(8.0));
    EXPECT_EQ(innerChild->LocalTransform->Position[2], Fx(1.0));

    const Surface* east = first->SurfaceOfFace(3);
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(east->IsConnected(secondChild, secondChild->SurfaceOfFace(1), kRelationSibling), 1);
    const Surface* outerFace = first->SurfaceOfFace(2);
    ASSERT_NE(outerFace, nullptr);
    EXPECT_EQ(outerFace->IsConnected(innerChild, innerChild->SurfaceOfFace(5), kRelationChild), 1);
    EXPECT_EQ(innerChild->SurfaceOfFace(5)->IsConnected(first, first->SurfaceOfFace(2), kRelationParent), 1);

    EXPECT_EQ(WriteWith(world, &ModelObject::StreamRoot), root);
}

// --- the whole file ---

namespace {

// Credits pictures as their bytes: enough to see where "BMAP" bodies go.
class BytePictures : public DrawingServices {
public:
    BytePictures() { previous_ = InstallDrawingServices(this); }
    ~BytePictures() override { InstallDrawingServices(previous_); }
    Q_Offscreen* NewCreditsPicture() override { return reinterpret_cast<Q_Offscreen*>(new Bytes); }
    ResultCode ReadWriteCreditsPicture(Q_Offscreen* picture, MemoryStream* stream, PictureBudget* /*pictures*/) override
    {
        Bytes* bytes = reinterpret_cast<Bytes*>(picture);
        if (!stream->StreamIsWriting()) bytes->resize(size_t(stream->StreamChunkBytesLeft()));
        return stream->TransferBytes(bytes->data(), int32_t(bytes->size()));
    }
    void DisposeCreditsPicture(Q_Offscreen* picture) override { delete reinterpret_cast<Bytes*>(picture); }

private:
    DrawingServices* previous_;
};

// An angle in 1/256 turns as files hold it: FixDiv (FixMul (angle, pi), 128.0).
Fixed Radians(int32_t steps)
{
    return FixDiv(FixMul(IntToFixed(steps), 205887), 0x00800000);
}

// The same the other way: FixDiv (FixMul (radians, 128.0), pi).
Fixed Steps(Fixed radians)
{
    return FixDiv(FixMul(radians, 0x00800000), 205887);
}

}  // namespace

TEST(StoredForms, ModelFileWithEveryTopLevelChunk)
{
    BytePictures pictures;
    // The walk observer: version 1, position, roll, pitch and heading in radians, the lens,
    // then two path points (position, then roll, pitch and heading in radians).
    const Bytes qprf = I16(1) + Triple(12 * kFixedOne, -34 * kFixedOne, 66 * kFixedOne) +
                       Triple(Radians(3), Radians(-5), Radians(200)) + I16(135) + I16(24) + I16(2) +
                       Triple(7 * kFixedOne, Fx(8.5), -9 * kFixedOne) + Triple(Radians(10), Radians(20), Radians(30)) +
                       Triple(-1 * kFixedOne, 0, Fx(0.25)) + Triple(Radians(-64), 0, Radians(128));
    const Bytes prefs = Chunk("FORM", Chars("QPRF") + Chunk("CNFG", {0}));
    const Bytes file = Chunk("FORM", Chars("QMDL") + Chunk("VERS", I32(0x01000000)) +
                                         Chunk("ROOT", Chunk("COLR", Bytes(8, 0))) +
                                         Chunk("CRED", Chunk("BMAP", {1, 2, 3}) + Chunk("TEXT", Chars("Made by us."))) +
                                         Chunk("PREF", prefs) + Chunk("QPRF", qprf));

    ModelDocument* document = new ModelDocument;
    ASSERT_EQ(document->Init(), kResultOk);
    MemoryStream in;
    Load(in, file);
    ASSERT_EQ(document->ReadModelFile(&in), kResultOk);
    EXPECT_EQ(in.StreamGetVersion(), 0x01000000u);
    ASSERT_NE(document->CreditsPicture, nullptr);
    EXPECT_EQ(*reinterpret_cast<Bytes*>(document->CreditsPicture), (Bytes{1, 2, 3}));
    EXPECT_EQ(ListBytes(document->CreditsText), Chars("Made by us."));  // no terminator, no pad
    EXPECT_EQ(ListBytes(document->Preferences->Bytes), prefs);

    const WalkRecord* walk = document->Walk;
    EXPECT_EQ(walk->Position[0], 12 * kFixedOne);
    EXPECT_EQ(walk->Position[1], -34 * kFixedOne);
    EXPECT_EQ(walk->Position[2], 66 * kFixedOne);
    EXPECT_EQ(walk->Angles[0], 3 * kFixedOne);  // roll
    EXPECT_EQ(walk->Angles[1], -5 * kFixedOne);  // pitch
    EXPECT_EQ(walk->Angles[2], 200 * kFixedOne);  // heading
    EXPECT_EQ(walk->LensNumerator, 135);
    EXPECT_EQ(walk->LensDenominator, 24);
    ASSERT_EQ(walk->PathCount(), 2);
    const WalkPathPoint* point = walk->PathPoint(0);
    EXPECT_EQ(point->x, 7 * kFixedOne);
    EXPECT_EQ(point->y, Fx(8.5));
    EXPECT_EQ(point->z, -9 * kFixedOne);
    // Each angle is the radians read through 128.0 / pi, or a step or two beside it: the value
    // that gives the same radians again.
    const Fixed pathAngles[2][3] = {{Radians(10), Radians(20), Radians(30)}, {Radians(-64), 0, Radians(128)}};
    for (int32_t p = 0; p < 2; ++p) {
        const WalkPathPoint* at = walk->PathPoint(p);
        const Fixed read[3] = {at->roll, at->pitch, at->heading};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(read[i], Steps(pathAngles[p][i]), 4) << p << " " << i;
            EXPECT_EQ(TurnStepsToRadians(read[i]), pathAngles[p][i]) << p << " " << i;
        }
    }
    EXPECT_EQ(walk->PathPoint(1)->z, Fx(0.25));
    // The placement: the position, and roll, pitch and heading in radians by 2 pi / 256.
    EXPECT_EQ(document->PlacementPosition.y, -34 * kFixedOne);
    EXPECT_EQ(document->PlacementRoll, FixMul(3 * kFixedOne, 1609));
    EXPECT_EQ(document->PlacementPitch, FixMul(-5 * kFixedOne, 1609));
    EXPECT_EQ(document->PlacementHeading, FixMul(200 * kFixedOne, 1609));

    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(WriteModelFile(document, &out), kResultOk);
    EXPECT_EQ(Contents(out), file);
    document->Destroy();
}
