// Lights and light lists in their stored forms, inheritance, and the lighting arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "model/light.h"
#include "model/lighting_math.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/read_limits.h"
#include "tests/model/model_test_support.h"
#include "tools/sample_scenes.h"

namespace {

Light* NewLight(int16_t x, int16_t y, int16_t z, uint16_t grey)
{
    Light* light = new Light;
    light->LightInitDefaults();
    light->LightSetDirection(x, y, z);
    light->LightSetGrey(grey);
    return light;
}

}  // namespace

TEST(Light, RecordBytesAndRoundTrip)
{
    Light* light = NewLight(-256, 128, 0, 0x8000);
    light->LightSetColour({0x1234, 0x5678, 0x9ABC});
    light->LightSetBrightness(0x8000);
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(light->LightStream(&out), kResultOk);
    Bytes expected = {0, 2, 0xFF, 0xFF, 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0x12, 0x56, 0x9A, 0xFF, 0x80, 0, 0};
    EXPECT_EQ(Contents(out), expected);

    MemoryStream in;
    Load(in, expected);
    Light back;
    back.LightInitDefaults();
    ASSERT_EQ(back.LightStream(&in), kResultOk);
    EXPECT_EQ(back.Direction[0], -256);
    EXPECT_EQ(back.Direction[1], 128);
    EXPECT_EQ(back.Direction[2], 0);
    EXPECT_EQ(back.Colour.red, 0x1200);
    EXPECT_EQ(back.Colour.blue, 0x9A00);
    EXPECT_EQ(back.Brightness, 0x8000);
    EXPECT_EQ(back.On, 1);
    light->LightFree();
}

TEST(Light, AmbientKindAndHalfUpRounding)
{
    Light ambient;
    ambient.LightInitDefaults();
    ambient.LightClearDirection();
    MemoryStream out;
    StartWriting(out);
    IgnoreResult(ambient.LightStream(&out));
    EXPECT_EQ(Contents(out)[1], 1);

    // 0x00000180 is 1.5 in 8.8 and rounds up to 2; 0x0000017F rounds down to 1.
    Bytes record = {0, 2, 0, 0, 1, 0x80, 0, 0, 1, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    MemoryStream in;
    Load(in, record);
    Light back;
    ASSERT_EQ(back.LightStream(&in), kResultOk);
    EXPECT_EQ(back.Direction[0], 2);
    EXPECT_EQ(back.Direction[1], 1);
    EXPECT_EQ(back.Brightness, 256);

    // A record cut short leaves the light as it was.
    MemoryStream cut;
    LoadInChunk(cut, Bytes(record.begin(), record.begin() + 10));
    Light kept;
    kept.LightInitDefaults();
    EXPECT_EQ(kept.LightStream(&cut), kResultShortRead);
    EXPECT_EQ(kept.Direction[2], 256);
}

TEST(LightList, ListFormAndCounts)
{
    LightList* list = NewLightList();
    MemoryStream empty;
    StartWriting(empty);
    IgnoreResult(list->LightListStream(&empty));
    EXPECT_EQ(Contents(empty), (Bytes{0, 0}));

    list->LightListAppend(NewLight(0, 0, 256, 0x4000));
    list->LightListAppend(NewLight(0, 0, 0, 0x2000));
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(list->LightListStream(&out), kResultOk);
    const Bytes bytes = Contents(out);
    EXPECT_EQ(bytes.size(), 2u + 2 * 22);

    MemoryStream in;
    Load(in, bytes);
    LightList* back = NewLightList();
    ASSERT_EQ(back->LightListStream(&in), kResultOk);
    ASSERT_EQ(back->ArrayCount(), 2);
    EXPECT_EQ(back->LightListGet(1)->LightIsAmbient(), 1);
    EXPECT_EQ(back->LightListGet(0)->Colour.green, 0x4000);

    // Negative and impossible counts read nothing.
    for (uint16_t count : {uint16_t(0xFFFF), uint16_t(0x8000), uint16_t(3)}) {
        Bytes hostile = bytes;
        hostile[0] = uint8_t(count >> 8);
        hostile[1] = uint8_t(count);
        MemoryStream bad;
        LoadInChunk(bad, hostile);
        LightList* none = NewLightList();
        EXPECT_EQ(none->LightListStream(&bad), kResultBadCount);
        EXPECT_EQ(none->ArrayCount(), 0);
        none->LightListDeleteAll();
    }

    LightList* copy = NewLightList();
    list->LightListCopyInto(copy);
    ASSERT_EQ(copy->ArrayCount(), 2);
    EXPECT_NE(copy->LightListGet(0), list->LightListGet(0));
    EXPECT_EQ(copy->LightListGet(0)->Colour.red, 0x4000);
    copy->LightListDeleteAll();
    back->LightListDeleteAll();
    list->LightListDeleteAll();
}

TEST(LightList, OnFlagsAndCompactForm)
{
    LightList* list = NewLightList();
    list->LightListAppend(NewLight(0, 0, 256, 0x4000));
    MemoryStream in;
    Load(in, {0, 3, 0, 0, 0, 1, 0, 0});
    ASSERT_EQ(list->LightListStreamOnFlags(&in), kResultOk);
    EXPECT_EQ(list->LightListGet(0)->On, 0);
    EXPECT_EQ(in.StreamPosition(), 4);  // flags beyond the list's lights are not read

    MemoryStream compact;
    Load(compact, {0, 1, 0, 1, 0, 2, 0xFF, 0xFF, 0x00, 0x12, 0x40, 0x56, 0x01, 0x00, 0x00, 0x00});
    LightList* read = NewLightList();
    EXPECT_EQ(read->LightListReadCompact(&compact), kResultOk);
    ASSERT_EQ(read->ArrayCount(), 1);
    EXPECT_EQ(read->LightListGet(0)->Direction[2], -1);
    EXPECT_EQ(read->LightListGet(0)->Colour.green, 0x4000);
    EXPECT_EQ(read->LightListGet(0)->Brightness, 0x100);
    EXPECT_EQ(read->LightListGet(0)->On, 0);
    read->LightListDeleteAll();
    list->LightListDeleteAll();
}

TEST(LightList, InheritanceAndEditing)
{
    Scene scene;
    ModelObject* child = scene.holder()->MakeObject();
    child->SetGroup();
    EXPECT_EQ(child->GetLights(), nullptr);
    LightList* own = child->LightsForEdit();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(child->Lights, own);
    scene.root()->LightsForEdit();
    scene.root()->AddChild(child);
    child->SetLights(nullptr);
    EXPECT_EQ(child->GetLights(), scene.root()->Lights);
}

TEST(Lighting, SumsAndShadeLevels)
{
    LightList* lights = NewLightList();
    const RGBColor48 white = {65535, 65535, 65535};
    const ShortVector3 up = {0, 0, 256};
    Light* ambient = NewLight(0, 0, 0, 32768);
    lights->LightListAppend(ambient);
    EXPECT_EQ(SumLighting(lights, white, up).red, 32767);
    EXPECT_EQ(SumLighting(lights, white, {256, 0, 0}).blue, 32767);

    ambient->LightSetOn(0);
    EXPECT_EQ(SumLighting(lights, white, up).green, 0);
    EXPECT_EQ(FixedFloor(ShadeLevel(lights, 32, up)), 31);
    lights->LightListAppend(NewLight(0, 0, -256, 65535));  // pointing away from the normal
    EXPECT_EQ(SumLighting(lights, white, up).red, 0);
    lights->LightListAppend(NewLight(0, 0, 256, 65535));
    lights->LightListAppend(NewLight(0, 0, 256, 65535));
    EXPECT_EQ(SumLighting(lights, white, up).red, 65535);  // clamped, not 131068
    EXPECT_EQ(ShadeLevel(lights, 32, up), 0);
    EXPECT_EQ(FixedFloor(ShadeLevel(nullptr, 32, up)), 31);
    // Half light: lum 0.5 gives 15.5.
    LightList* half = NewLightList();
    half->LightListAppend(NewLight(0, 0, 0, 32768));
    EXPECT_EQ(FixedFloor(ShadeLevel(half, 32, up)), 15);
    half->LightListDeleteAll();
    lights->LightListDeleteAll();
}

TEST(Lighting, SmoothSidesFindTheFacesAroundEachVertexAsAScanDoes)
{
    // A smooth-shaded shape under the room's lights. Its record lit as a whole finds the faces
    // around each vertex once; every vertex must get the shade that lighting each face on its
    // own (a scan of all faces for every vertex) gives it.
    ModelDocument* document = BuildRoomSample();
    ASSERT_NE(document, nullptr);
    ModelObject* shape = MakeShape(document->Holder, 4, 6, 3, 8, 100, 0, 100, 0, 0, 0);
    shape->FrontSideAttribute = 1;
    shape->BackSideAttribute = 1;
    document->Holder->Root->AddChild(shape);
    ObjectGeometry* record = shape->Geometry;
    ASSERT_NE(record, nullptr);
    auto shades = [record]() {
        std::vector<Fixed> all;
        for (int32_t i = 0; i < record->PolygonCount(); ++i) {
            for (int32_t side : {kSideFront, kSideBack}) {
                const DynamicArray* values = record->PolygonAt(i)->GetSideVertexValues(side);
                for (int32_t k = 0; values && k < values->ArrayCount(); ++k) all.push_back(*values->At<Fixed>(k));
            }
        }
        return all;
    };
    record->RefreshRecordShading(LightsOnFacesOf(shape));
    const std::vector<Fixed> together = shades();
    for (int32_t i = 0; i < record->PolygonCount(); ++i) record->PolygonAt(i)->LightFace();
    const std::vector<Fixed> alone = shades();
    ASSERT_GT(together.size(), 300u);
    EXPECT_EQ(together, alone);
    EXPECT_GT(std::set<Fixed>(together.begin(), together.end()).size(), 4u);
    // Each corner sums every light of its side for its shade: a read spends them on its lighting.
    const FaceLights lights = LightsOnFacesOf(shape);
    int64_t corners = 0;
    for (int32_t i = 0; i < record->PolygonCount(); ++i) corners += record->PolygonAt(i)->VertexCount();
    MemoryStream stream;
    Load(stream, Bytes(16, 0));
    ReadBudget& budget = document->Holder->Budget;
    budget.Begin(&stream);
    ASSERT_TRUE(budget.Spend(ReadCost::kFaces, record->PolygonCount()) && budget.Spend(ReadCost::kCorners, corners));
    record->RefreshRecordShading(lights);
    EXPECT_EQ(budget.Spent(ReadCost::kLighting), corners * (ListCount(lights.front) + ListCount(lights.back)));
    budget.End();
    document->Destroy();
}

TEST(Lighting, TheFacesAroundEachVertexAreEveryFaceNamingItOnceInRecordOrder)
{
    // A fan of faces around vertex 9 and a strip beside it, vertices 0 and 5 named by none, one face
    // naming vertex 9 twice: each vertex's faces are those a scan of the faces finds, in record
    // order, each once; an index below or past every face's finds none.
    Scene scene;
    std::vector<FixedVector3> points;
    for (int32_t i = 0; i < 12; ++i) {
        const double angle = i * 0.5;
        points.push_back({X2Fix(std::cos(angle) * 50.0), X2Fix(std::sin(angle) * 50.0), 0});
    }
    points[9] = {0, 0, IntToFixed(20)};
    ModelObject* mesh = MakePolygonMesh(scene.holder(), points,
                                        {{9, 1, 2}, {9, 2, 3}, {9, 3, 4}, {9, 4, 6}, {9, 6, 7}, {9, 7, 1},
                                         {1, 2, 8, 10}, {2, 3, 11, 8}, {3, 4, 10}});
    ASSERT_NE(mesh, nullptr);
    const ObjectGeometry* record = mesh->Geometry;
    ASSERT_EQ(record->PolygonCount(), 9);
    const int16_t again = 9;
    ASSERT_EQ(record->PolygonAt(4)->Indices->Append(&again), 3);
    const VertexFaces around(record);
    for (int32_t vertex = -1; vertex <= 13; ++vertex) {
        std::vector<const PolygonRecord*> scanned;
        for (int32_t r = 0; r < record->PolygonCount(); ++r) {
            const PolygonRecord* face = record->PolygonAt(r);
            for (int32_t k = 0; k < face->VertexCount(); ++k) {
                if (face->IndexAt(k) != vertex) continue;
                scanned.push_back(face);
                break;
            }
        }
        const VertexFaces::Faces faces = around.Of(vertex);
        EXPECT_EQ(std::vector<const PolygonRecord*>(faces.begin(), faces.end()), scanned) << vertex;
    }
    EXPECT_EQ(around.Of(9).size(), 6u);
    EXPECT_EQ(around.Of(5).size(), 0u);
    mesh->Destroy();
}

TEST(LightList, LightsOfALaterRootChunkLightTheFacesReadBeforeThem)
{
    // The root's lights in a root chunk after the one with its children light every face once
    // the read ends, as they do when they come first.
    auto rootBody = [](bool light, bool box) {
        Scene scene;
        if (light) scene.root()->LightsForEdit()->LightListAppend(NewLight(30, -40, 200, 0x8000));
        if (box) scene.AddBox(0, 0, 0, 10, 10, 10);
        return Chunk("ROOT", WriteWith(scene.root(), &ModelObject::StreamRoot));
    };
    auto litFaces = [](const Bytes& chunks) {
        ModelDocument* document = new ModelDocument;
        EXPECT_EQ(document->Init(), kResultOk);
        MemoryStream in;
        Load(in, Chunk("FORM", Tag("QMDL") + Chunk("VERS", Word32(0x01000000)) + chunks));
        EXPECT_EQ(document->ReadModelFile(&in), kResultOk);
        std::vector<uint16_t> lit;
        const ObjectGeometry* record = document->Holder->Root->ChildAt(0)->Geometry;
        for (int32_t i = 0; i < record->PolygonCount(); ++i) {
            const PolygonRecord* face = record->PolygonAt(i);
            lit.insert(lit.end(), {face->FrontLit.red, face->BackLit.green, uint16_t(face->FrontShadeEntry)});
        }
        document->Destroy();
        return lit;
    };
    const std::vector<uint16_t> first = litFaces(rootBody(true, true));
    EXPECT_EQ(litFaces(rootBody(false, true) + rootBody(true, false)), first);
    EXPECT_NE(litFaces(rootBody(false, true)), first);
}
