// Polygon elements: their chunks byte for byte and hostile variants of them, the outline and
// placement edits, the vertex lists and bounds they derive, their lighting, their textures'
// user lists, and the lists of faces lying against them kept through contacts coming and going.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/planar_geometry.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "model/drawing_services.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/object_geometry.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/transform.h"
#include "tests/model/model_test_support.h"
#include "tools/sample_scenes.h"

namespace {

Bytes FixedPair(int32_t x, int32_t y)
{
    return Word32(uint32_t(IntToFixed(x))) + Word32(uint32_t(IntToFixed(y)));
}

// An element's own chunks as a stream in a chunk "TEST" reads them.
ResultCode ReadElementFrom(PolygonElement* element, const Bytes& chunks)
{
    MemoryStream in;
    LoadInChunk(in, chunks);
    return element->Stream(&in);
}

Bytes WriteElement(PolygonElement* element)
{
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(element->Stream(&out), kResultOk);
    return Contents(out);
}

PolygonElement* NewElement()
{
    PolygonElement* element = new PolygonElement;
    EXPECT_EQ(element->Init(), kResultOk);
    return element;
}

DynamicArray* Square(int32_t size)
{
    // Clockwise with y up, the way an updated outline runs.
    return MakeOutline({{0, 0}, {0, size}, {size, size}, {size, 0}});
}

// A texture layer that numbers one texture 5 and keeps the element users it is told of.
class FakeTextures : public TextureServices {
public:
    FakeTextures() { previous_ = InstallTextureServices(this); }
    ~FakeTextures() override { InstallTextureServices(previous_); }

    ResultCode TextureAddElementUser(TextureRecord* /*texture*/, PolygonElement* user) override
    {
        users.push_back(user);
        return kResultOk;
    }
    void TextureRemoveElementUser(TextureRecord* /*texture*/, PolygonElement* user) override
    {
        users.erase(std::remove(users.begin(), users.end(), user), users.end());
    }
    int32_t AssignTextureIndex(TextureRecord* texture) override { return texture == record ? 5 : -2; }
    TextureRecord* NewTextureForIndex(int32_t index) override { return index == 5 ? record : nullptr; }
    void SetupTextureMapping(TextureRecord* /*texture*/, const ModelObject* /*object*/, const DynamicArray* /*polygon*/,
                             DynamicArray** /*output*/) override
    {
        ++mappings;
    }

    TextureRecord* record = reinterpret_cast<TextureRecord*>(&storage_);
    std::vector<PolygonElement*> users;
    int32_t mappings = 0;

private:
    int storage_ = 0;
    TextureServices* previous_;
};

// Coverage on a grid of whole-unit cells: a polygon covers the cells whose centres lie inside it.
class GridCoverage : public DrawingServices {
public:
    static constexpr int32_t kSide = 256;  // cells -128 to 127 on both axes
    using Cells = std::bitset<kSide * kSide>;

    GridCoverage() { previous_ = InstallDrawingServices(this); }
    ~GridCoverage() override { InstallDrawingServices(previous_); }

    struct Region {
        Cells remainder;
    };

    static Cells CellsOf(const DynamicArray* polygon)
    {
        Cells cells;
        const int32_t n = polygon ? polygon->ArrayCount() : 0;
        if (n < 3) return cells;
        for (int32_t cy = 0; cy < kSide; ++cy) {
            for (int32_t cx = 0; cx < kSide; ++cx) {
                const double px = cx - kSide / 2 + 0.5;
                const double py = cy - kSide / 2 + 0.5;
                bool inside = false;
                for (int32_t i = 0, j = n - 1; i < n; j = i++) {
                    const double xi = Fix2X(polygon->At<FixedPoint>(i)->x), yi = Fix2X(polygon->At<FixedPoint>(i)->y);
                    const double xj = Fix2X(polygon->At<FixedPoint>(j)->x), yj = Fix2X(polygon->At<FixedPoint>(j)->y);
                    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
                }
                if (inside) cells.set(size_t(cy * kSide + cx));
            }
        }
        return cells;
    }

    CoverageRegion* NewCoverageRegion(const DynamicArray* polygon) override
    {
        ++made;
        return reinterpret_cast<CoverageRegion*>(new Region{CellsOf(polygon)});
    }
    int32_t CoverageRegionSubtract(CoverageRegion* region, const DynamicArray* polygon) override
    {
        ++subtracted;
        Region* r = reinterpret_cast<Region*>(region);
        const Cells before = r->remainder;
        r->remainder &= ~CellsOf(polygon);
        return r->remainder != before ? 1 : 0;
    }
    int32_t CoverageRegionRemains(CoverageRegion* region) override
    {
        return reinterpret_cast<Region*>(region)->remainder.any() ? 1 : 0;
    }
    void DisposeCoverageRegion(CoverageRegion* region) override
    {
        ++disposed;
        delete reinterpret_cast<Region*>(region);
    }

    int32_t made = 0;
    int32_t disposed = 0;
    int32_t subtracted = 0;

private:
    DrawingServices* previous_;
};

std::vector<int32_t> Overlaps(const PolygonElement* element, int32_t side)
{
    std::vector<int32_t> out;
    const DynamicArray* list = element->OverlapLists[side];
    for (int32_t i = 0; i < ListCount(list); ++i) out.push_back(*list->At<int32_t>(i));
    return out;
}

// A rectangle element of the size centred at (u, v) on the face, in the element list.
PolygonElement* Lay(ModelObject* object, int32_t face, int32_t list, int32_t width, int32_t height, int32_t u = 0,
                    int32_t v = 0, uint16_t code = 0x0800)
{
    return AddFaceElement(object, face, list, 0, width, height, 0, u, v, {0x8000, 0x8000, 0x8000}, code);
}

Bytes WholeUnits(int32_t value)
{
    return Word32(uint32_t(IntToFixed(value)));
}

// An opaque square mesh object of the side in the plane z = 0 from (x, y), its face 0 facing up,
// with the chunks given after its mesh.
Bytes SquareObject(int32_t x, int32_t y, int32_t side, const Bytes& more = {})
{
    Bytes mesh = I16(4);
    for (const auto& [u, v] : {std::pair{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}})
        Append(mesh, WholeUnits(u) + WholeUnits(v) + WholeUnits(0));
    Append(mesh, I16(1) + I16(4) + I16(0) + I16(1) + I16(2) + I16(3));
    return Chunk("PRSM", Chunk("COLR", Word32(0x00808080) + Word32(0xFF808080)) + Chunk("MESH", mesh) + more);
}

// A model file of a wall carrying a square element in its middle and a square lying over it, its
// child, connected to it, in groups nested `depth` deep, each measuring its units in feet and
// metres in turn: each group that joins its parent rebuilds the wall and its element. Whole,
// they lie within the coverage grid.
Bytes ElementUnderSquareInUnits(int32_t depth)
{
    Bytes outline = I16(1) + I16(4);
    for (const auto& [u, v] : {std::pair{12, 12}, {12, 18}, {18, 18}, {18, 12}}) Append(outline, WholeUnits(u) + WholeUnits(v));
    const Bytes element = Chunk("FEAT", I16(1) + Chunk("COLR", Word32(0x00808080)) + Chunk("POLY", outline));
    Bytes inside = SquareObject(0, 0, 30, Chunk("SURF", I16(0) + element) + SquareObject(8, 8, 14) +
                                               Chunk("CONN", I16(1) + I16(-1) + I16(0) + I16(0) + I16(0)));
    const Bytes feet = {0x3F, 0xD3, 0x81, 0xD7, 0xDB, 0xF4, 0x87, 0xFD};
    const Bytes metres = {0x3F, 0xF0, 0, 0, 0, 0, 0, 0};
    for (int32_t level = 0; level < depth; ++level) inside = Chunk("PGRP", Chunk("UNIT", level % 2 ? feet : metres) + inside);
    return Chunk("FORM", Tag("QMDL") + Chunk("VERS", Word32(0x01000000)) + Chunk("ROOT", inside));
}

}  // namespace

TEST(ElementChunks, WrittenByteForByteAndReadBack)
{
    FakeTextures textures;
    PolygonElement* element = NewElement();
    DynamicArray* square = Square(10);
    element->SetElementPolygon(square, IntToFixed(3), IntToFixed(-2));
    square->Destroy();
    element->SetElementName("door", 4);
    const uint8_t data[3] = {1, 2, 3};
    element->SetElementData(data, 3);
    element->SetElementVranText("go");
    element->SetElementColour({0x1234, 0x5600, 0x9A00}, 0x0800);
    element->SetElementTexture(textures.record);
    element->SetElementAngle(0x1000);
    EXPECT_EQ(textures.users, std::vector<PolygonElement*>{element});

    Bytes position = Word32(uint32_t(IntToFixed(3))) + Word32(uint32_t(IntToFixed(-2))) + Word32(0);
    Append(position, Word32(0) + Word32(0) + Word32(0x1000));
    Append(position, Word32(0) + Word32(0) + Word32(0));
    Append(position, Word32(0x10000) + Word32(0x10000) + Word32(0x10000));
    const Bytes poly = Word16(1) + Word16(4) + FixedPair(0, 0) + FixedPair(0, 10) + FixedPair(10, 10) + FixedPair(10, 0);
    EXPECT_EQ(poly.size(), 36u);
    const Bytes expected = Chunk("NAME", Chars("door")) + Chunk("DATA", {1, 2, 3}) +
                           Chunk("COLR", {0x08, 0x12, 0x56, 0x9A}) +
                           Chunk("SFTX", Chunk("TXID", Word32(5)) + Chunk("TATR", {})) + Chunk("VRAN", Chars("go")) +
                           Chunk("POLY", poly) + Chunk("POSN", position);
    const Bytes written = WriteElement(element);
    EXPECT_EQ(written, expected);

    // Read back: the same fields (colours keep their high bytes), the same bytes again.
    PolygonElement* back = NewElement();
    ASSERT_EQ(ReadElementFrom(back, written), kResultOk);
    EXPECT_EQ(back->Kind, kElementPolygon);
    EXPECT_EQ(back->GetOutlineStyle(), 1);
    EXPECT_EQ(back->Outline->ArrayCount(), 4);
    EXPECT_EQ(back->GetElementColourCode(), 0x0800);
    EXPECT_EQ(back->GetElementColour().red, 0x1200);
    EXPECT_EQ(back->GetElementTexture(), textures.record);
    EXPECT_EQ(back->Placement->GetAngle2D(), 0x1000);
    char name[8] = {};
    EXPECT_EQ(back->CopyElementName(name, 4), 4);
    EXPECT_EQ(std::string(name), "door");
    EXPECT_EQ(back->CopyElementName(name, 3), -1);  // one below the name's length
    EXPECT_EQ(back->HasElementVranText(), 1);
    EXPECT_EQ(WriteElement(back), written);
    EXPECT_EQ(textures.users.size(), 2u);
    back->Destroy();
    element->Destroy();
    EXPECT_TRUE(textures.users.empty());

    // A bare element writes its colour, outline and placement only.
    PolygonElement* bare = NewElement();
    const Bytes minimal = WriteElement(bare);
    EXPECT_EQ(Bytes(minimal.begin(), minimal.begin() + 4), Tag("COLR"));
    EXPECT_EQ(minimal.size(), size_t(12 + 12 + 56));
    bare->Destroy();
}

TEST(ElementChunks, FeatChunksOfASurface)
{
    Scene scene;
    ModelObject* box = scene.AddBox(0, 0, 0, 40, 10, 30);
    const int32_t north = FaceFacing(box, 0, 256, 0);
    ASSERT_GE(north, 0);
    Surface* surface = box->SurfaceForFace(north);
    const Bytes body = Chunk("COLR", {0xFF, 0x80, 0x40, 0x20}) + Chunk("POLY", Word16(1) + Word16(3) + FixedPair(0, 0) +
                                                                              FixedPair(0, 5) + FixedPair(5, 0));
    // A side index beyond the three lists, a triangle short of a point and unknown chunks are
    // read and dropped; the good element lands in its list with its vertices.
    const Bytes chunks = Chunk("FEAT", Word16(3) + body) +
                         Chunk("FEAT", Word16(0) + Chunk("POLY", Word16(1) + Word16(2) + FixedPair(0, 0) + FixedPair(0, 5))) +
                         Chunk("FEAT", Word16(2) + Chunk("JUNK", {7}) + body) + Chunk("JUNK", {});
    MemoryStream in;
    LoadInChunk(in, chunks);
    ASSERT_EQ(surface->Stream(&in), kResultOk);
    EXPECT_EQ(surface->CountElements(), 1);
    PolygonElement* element = surface->ElementAt(2, 0);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->Owner, surface);
    EXPECT_EQ(element->SurfaceVertices->ArrayCount(), 3);
    EXPECT_EQ(element->WorldVertices->ArrayCount(), 3);
    // Every world vertex lies on the face's plane y = 10.
    for (int32_t i = 0; i < 3; ++i) EXPECT_NEAR(element->WorldVertices->At<FixedVector3>(i)->y, IntToFixed(10), 2);

    // Written back inside the surface: one FEAT of side 2 holding the element's chunks.
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(surface->Stream(&out), kResultOk);
    const Bytes written = Contents(out);
    const Bytes feat = Chunk("FEAT", Word16(2) + WriteElement(element));
    ASSERT_GE(written.size(), feat.size());
    EXPECT_EQ(Bytes(written.end() - long(feat.size()), written.end()), feat);
}

TEST(ElementChunks, HostileChunksEndInACodeAndNeverReadBeyond)
{
    PolygonElement* source = NewElement();
    DynamicArray* square = Square(8);
    source->SetElementPolygon(square, 0, 0);
    square->Destroy();
    source->SetElementName("name", 4);
    source->SetElementVranText("vran");
    const Bytes good = WriteElement(source);
    source->Destroy();

    // Every cut of the chunks reads without a fault; cuts inside a value fail.
    for (size_t length = 0; length <= good.size(); ++length) {
        PolygonElement* element = NewElement();
        const ResultCode result = ReadElementFrom(element, Bytes(good.begin(), good.begin() + long(length)));
        if (length == good.size()) {
            EXPECT_EQ(result, kResultOk);
        }
        element->Destroy();
    }
    auto poly = [](uint16_t count, size_t points) {
        Bytes body = Word16(1) + Word16(count);
        for (size_t i = 0; i < points; ++i) Append(body, FixedPair(int32_t(i), 1));
        return Chunk("POLY", body);
    };
    struct Case {
        const char* name;
        Bytes chunks;
        int32_t result;
        int32_t points;
    };
    const Case cases[] = {
        {"negative count", poly(0xFFFF, 3), 1, 0},
        {"count beyond the chunk", poly(4, 3), 1, 0},
        {"huge count", poly(0x7FFF, 3), 1, 0},
        {"count without points", poly(3, 0), 1, 0},
        {"no count", Chunk("POLY", Word16(1)), 1, 0},
        {"short colour", Chunk("COLR", {1, 2}) + poly(3, 3), 1, 0},
        {"short texture index", Chunk("SFTX", Chunk("TXID", {0, 0})) + poly(3, 3), 1, 0},
        {"fewer points than the count allows", poly(3, 4), 0, 3},
        {"short placement", poly(3, 3) + Chunk("POSN", Bytes(10, 0)), 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PolygonElement* element = NewElement();
        EXPECT_EQ(ReadElementFrom(element, c.chunks), c.result);
        EXPECT_EQ(element->Outline->ArrayCount(), c.points);
        element->Destroy();
    }
    // Bytes changed anywhere, one or two at a time: every read ends, with whatever code.
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int32_t round = 0; round < 3000; ++round) {
        Bytes changed = good;
        for (int32_t k = 0; k < 1 + round % 2; ++k) changed[next() % changed.size()] = uint8_t(next());
        PolygonElement* element = NewElement();
        IgnoreResult(ReadElementFrom(element, changed));
        EXPECT_LE(element->Outline->ArrayCount(), int32_t(changed.size() / kElementPointBytes));
        element->Destroy();
    }

    // A chunk length far beyond the data is cut to what there is.
    Bytes huge = good;
    huge[4] = huge[5] = huge[6] = 0xFF;
    PolygonElement* element = NewElement();
    IgnoreResult(ReadElementFrom(element, huge));
    element->Destroy();

    // A stop pressed while an element is read, and a raised low-memory level.
    RecordingUi ui;
    ui.stopAfter = 1;
    element = NewElement();
    EXPECT_EQ(ReadElementFrom(element, good), kResultStopped);
    element->Destroy();
    LowMemoryLevel = 1;
    element = NewElement();
    EXPECT_EQ(ReadElementFrom(element, good), kResultNotFound);
    element->Destroy();
    LowMemoryLevel = 0;
}

TEST(Elements, OutlineAndPlacementEdits)
{
    PolygonElement* element = NewElement();
    // Counter-clockwise with y up: the update turns it round.
    DynamicArray* triangle = MakeOutline({{0, 0}, {10, 0}, {0, 10}});
    element->SetElementPolygon(triangle, 0, 0);
    triangle->Destroy();
    EXPECT_EQ(element->Outline->At<FixedPoint>(0)->y, IntToFixed(10));
    EXPECT_EQ(element->Outline->At<FixedPoint>(2)->y, IntToFixed(0));
    EXPECT_EQ(element->GetElementColourCode(), 0xFFFF);
    EXPECT_EQ(element->ElementHasPolygon(), 1);

    element->RemoveElementPoint(0);  // a triangle keeps its three points
    EXPECT_EQ(element->Outline->ArrayCount(), 3);
    element->InsertElementPoint(4, {0, 0});  // beyond the end
    EXPECT_EQ(element->Outline->ArrayCount(), 3);
    element->AppendElementPoints(2);
    EXPECT_EQ(element->Outline->ArrayCount(), 5);
    element->RemoveElementPoints(3);  // count - 2: nothing
    EXPECT_EQ(element->Outline->ArrayCount(), 5);
    element->RemoveElementPoints(2);
    EXPECT_EQ(element->Outline->ArrayCount(), 3);

    DynamicArray* square = Square(10);
    element->SetElementPolygon(square, 0, 0);
    square->Destroy();
    element->MoveElementEdge(3, IntToFixed(1), IntToFixed(-1));  // the last point and point 0
    EXPECT_EQ(element->Outline->At<FixedPoint>(0)->x, IntToFixed(1));
    EXPECT_EQ(element->Outline->At<FixedPoint>(0)->y, IntToFixed(-1));
    EXPECT_EQ(element->Outline->At<FixedPoint>(3)->x, IntToFixed(11));
    EXPECT_EQ(element->Outline->At<FixedPoint>(1)->x, IntToFixed(0));
    element->InsertElementPoint(4, {IntToFixed(12), IntToFixed(5)});
    EXPECT_EQ(element->Outline->ArrayCount(), 5);
    element->RemoveElementPoint(4);
    EXPECT_EQ(element->Outline->ArrayCount(), 4);
    element->MoveElementPoint(3, IntToFixed(1), 0);  // out of range: nothing
    element->ScaleElement(2 * kFixedOne);
    element->SetElementPosition(IntToFixed(4), IntToFixed(5));
    element->MoveElement(IntToFixed(1), IntToFixed(1));
    FixedPoint position;
    element->Placement->GetPosition2D(&position);
    EXPECT_EQ(position.x, IntToFixed(5));
    EXPECT_EQ(position.y, IntToFixed(6));
    EXPECT_EQ(element->ElementHasScale(), 0);
    element->SetElementScale(2 * kFixedOne, kFixedOne);
    EXPECT_EQ(element->ElementHasScale(), 1);
    EXPECT_EQ(element->ElementHasRotation(), 0);
    element->RotateElementAbout(0x8000, 0, 0);
    EXPECT_EQ(element->ElementHasRotation(), 1);
    element->SetElementVranText("");
    EXPECT_EQ(element->HasElementVranText(), 0);
    element->Destroy();
}

TEST(Elements, VertexListsFollowTheSurfaceAndTheObject)
{
    Scene scene;
    ModelObject* box = scene.AddBox(0, 0, 0, 40, 10, 30);
    const int32_t north = FaceFacing(box, 0, 256, 0);
    PolygonElement* element = Lay(box, north, 1, 10, 6, 0, 0, 0xFFFF);
    ASSERT_NE(element, nullptr);
    ASSERT_EQ(element->WorldVertices->ArrayCount(), 4);
    // Centred on the face: x 15 to 25, z 12 to 18, on the plane y = 10 (within rounding).
    double low[3] = {1e9, 1e9, 1e9};
    double high[3] = {-1e9, -1e9, -1e9};
    for (int32_t i = 0; i < 4; ++i) {
        const FixedVector3* v = element->WorldVertices->At<FixedVector3>(i);
        const double c[3] = {Fix2X(v->x), Fix2X(v->y), Fix2X(v->z)};
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], c[k]);
            high[k] = std::max(high[k], c[k]);
        }
    }
    const double want[2][3] = {{15, 10, 12}, {25, 10, 18}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(low[k], want[0][k], 0.002) << k;
        EXPECT_NEAR(high[k], want[1][k], 0.002) << k;
    }
    // The object's boxes take the element in.
    EXPECT_LE(box->LocalBox.minimum.x, 15);
    ShortBox box1 = kEmptyShortBox;
    element->GetElementVertexBounds(&box1, 2);
    EXPECT_LE(box1.minimum.y, 10);
    EXPECT_GE(box1.maximum.y, 10);
    // The object moved: the world vertices move with it, the surface vertices stay.
    const FixedVector3 before = *element->SurfaceVertices->At<FixedVector3>(0);
    box->TranslateObject(IntToFixed(100), 0, 0);
    ShortBox box2 = kEmptyShortBox;
    element->GetElementVertexBounds(&box2, 2);
    EXPECT_EQ(box2.minimum.x, 115);
    EXPECT_EQ(element->SurfaceVertices->At<FixedVector3>(0)->x, before.x);

    // Bounds round outwards: 2.5 gives 2 and 3, -2.5 gives -3 and -2.
    IgnoreResult(element->SurfaceVertices->ArraySetCount(1));
    *element->SurfaceVertices->At<FixedVector3>(0) = {0x28000, -0x28000, 0};
    ShortBox box3 = kEmptyShortBox;
    element->GetElementVertexBounds(&box3, 1);
    EXPECT_EQ(box3.minimum.x, 2);
    EXPECT_EQ(box3.maximum.x, 3);
    EXPECT_EQ(box3.minimum.y, -3);
    EXPECT_EQ(box3.maximum.y, -2);

    // One negative scale reverses the order of the surface vertices.
    element->SetElementScale(kFixedOne, kFixedOne);
    const FixedVector3 firstPlain = *element->SurfaceVertices->At<FixedVector3>(0);
    element->SetElementScale(-kFixedOne, kFixedOne);
    const FixedVector3 lastMirrored = *element->SurfaceVertices->At<FixedVector3>(3);
    element->SetElementScale(-kFixedOne, -kFixedOne);
    const FixedVector3 firstTurned = *element->SurfaceVertices->At<FixedVector3>(0);
    EXPECT_NE(lastMirrored.x, firstPlain.x);  // mirrored about the element's own y axis
    EXPECT_EQ(element->SurfaceVertices->ArrayCount(), 4);
    EXPECT_NE(firstTurned.z, firstPlain.z);
}

TEST(Elements, LightingWithoutAndWithLights)
{
    Scene scene;
    ModelObject* box = scene.AddBox(0, 0, 0, 40, 10, 30);
    const int32_t top = FaceFacing(box, 0, 0, 256);
    PolygonElement* element = Lay(box, top, 0, 10, 10, 0, 0, 0xFFFF);
    ASSERT_NE(element, nullptr);
    element->SetElementColour({0xFFFF, 0x8000, 0}, 0xFFFF);
    EXPECT_EQ(element->FrontShade, 31);
    EXPECT_EQ(element->BackShade, 31);
    EXPECT_EQ(element->FrontLitColour.red, 0);
    EXPECT_EQ(element->BackLitColour.green, 0);
    // An ambient light on the root: both sides lit fully.
    Light* light = new Light;
    light->LightInitDefaults();
    light->LightSetDirection(0, 0, 0);
    light->LightSetGrey(0xFFFF);
    scene.root()->LightsForEdit()->LightListAppend(light);
    element->LightPolygonElement();
    EXPECT_EQ(element->FrontShade, 0);
    EXPECT_EQ(element->BackShade, 0);
    EXPECT_GE(element->FrontLitColour.red, 0xFF00);
    EXPECT_EQ(element->FrontLitColour.blue, 0);
    // A special code does not touch the overlap lists but still relights.
    element->FrontLitColour = {0, 0, 0};
    element->SetElementColour({0xFFFF, 0, 0}, 0xF000);
    EXPECT_GE(element->FrontLitColour.red, 0xFF00);
    EXPECT_EQ(element->OverlapLists[0], nullptr);
}

TEST(ElementOverlaps, FacesCoveringTheElementAreListedInOrder)
{
    GridCoverage grid;
    Scene scene;
    ModelObject* wall = scene.AddBox(0, 0, 0, 100, 10, 100);
    const int32_t north = FaceFacing(wall, 0, 256, 0);
    PolygonElement* element = Lay(wall, north, 1, 20, 20);
    ASSERT_NE(element, nullptr);
    // Without contacts: uncovered on both sides and no lists.
    EXPECT_EQ(element->SideUncovered[0], 1);
    EXPECT_EQ(element->SideUncovered[1], 1);
    EXPECT_EQ(element->OverlapLists[0], nullptr);

    // A box against the wall over the left half of the element.
    ModelObject* half = scene.AddBox(30, 10, 30, 50, 20, 70);
    wall->AddFaceContact(north, half, FaceFacing(half, 0, -256, 0));
    EXPECT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    EXPECT_EQ(element->SideUncovered[0], 1);
    // A second one over the right half: now the element is covered.
    ModelObject* other = scene.AddBox(50, 10, 30, 70, 20, 70);
    wall->AddFaceContact(north, other, FaceFacing(other, 0, -256, 0));
    EXPECT_EQ(Overlaps(element, 0), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(element->SideUncovered[0], 0);
    // A face hidden behind those listed before it is not listed.
    ModelObject* hidden = scene.AddBox(45, 10, 45, 55, 15, 55);
    wall->AddFaceContact(north, hidden, FaceFacing(hidden, 0, -256, 0));
    EXPECT_EQ(wall->SurfaceOfFace(north)->ContactCount(0), 3);
    EXPECT_EQ(Overlaps(element, 0), (std::vector<int32_t>{0, 1}));
    // The rebuild from scratch finds the same.
    element->RebuildSideOverlaps();
    EXPECT_EQ(Overlaps(element, 0), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(element->SideUncovered[0], 0);
    EXPECT_EQ(grid.made, grid.disposed);

    // The first goes: the indices after it close up and the element is open again.
    wall->DropFaceContacts(north, half, -1, kRelationSibling);
    EXPECT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    EXPECT_EQ(element->SideUncovered[0], 1);
    // A special code leaves the lists to the next update, which drops them.
    element->SetElementColour({0, 0, 0}, 0xF000);
    EXPECT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    element->Update();
    EXPECT_EQ(element->OverlapLists[0], nullptr);
    EXPECT_EQ(element->SideUncovered[0], 1);
}

TEST(FaceCoverings, TheContactsAreTakenAwayUntilNothingIsLeft)
{
    // Boxes standing on a box's top: over its west half, its east half, and then the whole of it.
    // Its covering takes its contacts away from the last made, and stops once nothing is left.
    GridCoverage grid;
    Scene scene;
    ModelObject* base = scene.AddBox(0, 0, 0, 20, 20, 10);
    const int32_t top = FaceFacing(base, 0, 0, 256);
    ModelObject* boxes[3] = {scene.AddBox(0, 0, 10, 10, 20, 20), scene.AddBox(10, 0, 10, 20, 20, 20),
                             scene.AddBox(0, 0, 10, 20, 20, 20)};
    auto standOnTop = [&](ModelObject* box) { return base->AddFaceContact(top, box, FaceFacing(box, 0, 0, -256)); };
    ASSERT_TRUE(standOnTop(boxes[0]));
    EXPECT_EQ(base->SurfaceOfFace(top)->FrontUncovered, 1);
    // The east half and the west one: both taken away from the top, which each foot covers.
    grid.subtracted = 0;
    ASSERT_TRUE(standOnTop(boxes[1]));
    EXPECT_EQ(base->SurfaceOfFace(top)->FrontUncovered, 0);
    EXPECT_EQ(grid.subtracted, 2 + 1);
    // The whole: taken away alone, and so is the top from the foot.
    grid.subtracted = 0;
    ASSERT_TRUE(standOnTop(boxes[2]));
    EXPECT_EQ(base->SurfaceOfFace(top)->FrontUncovered, 0);
    EXPECT_EQ(boxes[2]->SurfaceOfFace(FaceFacing(boxes[2], 0, 0, -256))->FrontUncovered, 0);
    EXPECT_EQ(grid.subtracted, 1 + 1);
    EXPECT_EQ(grid.made, grid.disposed);
}

TEST(ElementOverlaps, ARemovedChildFaceHandsItsPlaceToItsParent)
{
    GridCoverage grid;
    Scene scene;
    ModelObject* wall = MakeBox(scene.holder(), 0, 0, 0, 100, 10, 100);
    ModelObject* block = MakeBox(scene.holder(), 30, 10, 30, 70, 30, 70);
    ModelObject* inner = MakeBox(scene.holder(), 40, 10, 40, 60, 20, 60);
    scene.root()->AddChild(wall);
    scene.root()->AddChild(block);
    block->AddChild(inner);
    const int32_t north = FaceFacing(wall, 0, 256, 0);
    const int32_t blockSouth = FaceFacing(block, 0, -256, 0);
    PolygonElement* element = Lay(wall, north, 1, 20, 20);
    ASSERT_NE(element, nullptr);
    inner->AddFaceContact(FaceFacing(inner, 0, -256, 0), block, blockSouth);
    wall->AddFaceContact(north, block, blockSouth);
    // The wall's contacts: the inner box's face, then the block's; the inner one covers first.
    Surface* surface = wall->SurfaceOfFace(north);
    ASSERT_EQ(surface->ContactCount(0), 2);
    EXPECT_EQ(surface->SideContacts[0]->At<FaceEntry>(0)->Object, inner);
    EXPECT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    EXPECT_EQ(element->SideUncovered[0], 0);
    // The inner box leaves the block's face: the element now shows through the block's face.
    inner->DropFaceContacts(-1, block, blockSouth, kRelationParent);
    ASSERT_EQ(surface->ContactCount(0), 1);
    EXPECT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    EXPECT_EQ(surface->SideContacts[0]->At<FaceEntry>(0)->Object, block);
    EXPECT_EQ(element->SideUncovered[0], 0);
}

TEST(ElementOverlaps, AContactOutOfTheElementsReachMakesNoRegionAndChangesNothing)
{
    GridCoverage grid;
    Scene scene;
    ModelObject* wall = scene.AddBox(0, 0, 0, 100, 10, 100);
    const int32_t north = FaceFacing(wall, 0, 256, 0);
    PolygonElement* element = Lay(wall, north, 1, 20, 20);
    ASSERT_NE(element, nullptr);
    ModelObject* half = scene.AddBox(30, 10, 30, 50, 20, 70);
    wall->AddFaceContact(north, half, FaceFacing(half, 0, -256, 0));
    ASSERT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    ASSERT_EQ(element->SideUncovered[0], 1);
    // A box against the wall in a corner far from the element: the element keeps its list and what
    // it leaves uncovered, and no region is made for it (the coverings of the wall's face and the
    // box's make one each).
    const int32_t made = grid.made;
    ModelObject* far = scene.AddBox(85, 10, 85, 95, 20, 95);
    wall->AddFaceContact(north, far, FaceFacing(far, 0, -256, 0));
    EXPECT_EQ(wall->SurfaceOfFace(north)->ContactCount(0), 2);
    EXPECT_EQ(Overlaps(element, 0), std::vector<int32_t>{0});
    EXPECT_EQ(element->SideUncovered[0], 1);
    EXPECT_EQ(grid.made, made + 2);
    // One over the element's right half is compared with it, and covers the rest of it.
    ModelObject* other = scene.AddBox(50, 10, 30, 70, 20, 70);
    wall->AddFaceContact(north, other, FaceFacing(other, 0, -256, 0));
    EXPECT_EQ(Overlaps(element, 0), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(element->SideUncovered[0], 0);
    EXPECT_EQ(grid.made, made + 2 + 3);
    EXPECT_EQ(grid.made, grid.disposed);
}

TEST(ElementOverlaps, AReadWorksThemOutOnceHoweverOftenItRebuildsTheElement)
{
    // An element under a square connected to its wall, read in groups nested 2 and 40 deep, each
    // in other units than the one around it: the read makes as many regions either way, and the
    // element ends as it would be worked out afresh.
    GridCoverage grid;
    std::vector<int32_t> made;
    for (const int32_t depth : {2, 40}) {
        ModelDocument* document = NewSampleDocument();
        ASSERT_NE(document, nullptr);
        MemoryStream in;
        Load(in, ElementUnderSquareInUnits(depth));
        const int32_t before = grid.made;
        ASSERT_EQ(document->ReadModelFile(&in), kResultOk) << depth;
        made.push_back(grid.made - before);
        const ModelObject* wall = document->Holder->Root;
        while (wall->ChildCount() > 0 && wall->ChildAt(0)->IsGroup()) wall = wall->ChildAt(0);
        ASSERT_EQ(wall->ChildCount(), 1);
        Surface* face = wall->ChildAt(0)->SurfaceOfFace(0);
        ASSERT_NE(face, nullptr);
        ASSERT_EQ(face->ElementCount(1), 1);
        PolygonElement* element = face->ElementAt(1, 0);
        EXPECT_FALSE(element->OverlapsOwed);
        const std::vector<int32_t> lists[2] = {Overlaps(element, 0), Overlaps(element, 1)};
        const int32_t uncovered[2] = {element->SideUncovered[0], element->SideUncovered[1]};
        EXPECT_EQ(lists[0].size() + lists[1].size(), 1u) << depth;
        element->RebuildSideOverlapsNow();
        EXPECT_EQ(Overlaps(element, 0), lists[0]);
        EXPECT_EQ(Overlaps(element, 1), lists[1]);
        EXPECT_EQ(element->SideUncovered[0], uncovered[0]);
        EXPECT_EQ(element->SideUncovered[1], uncovered[1]);
        EXPECT_EQ(uncovered[0] + uncovered[1], 1) << depth;
        document->Destroy();
    }
    EXPECT_EQ(made[0], made[1]);
    EXPECT_EQ(grid.made, grid.disposed);
}

TEST(ElementOverlaps, AnOutlineWhoseExtremesTellNoDirectionSpendsTheSortsOfItsPlacingAsCorners)
{
    // Placed on its face, a rectangle spends its four corners; 600 points on a line spend theirs
    // and the turns of the sorts that find which way round they run, each time they are placed.
    Scene scene;
    ModelObject* wall = scene.AddBox(0, 0, 0, 100, 10, 100);
    PolygonElement* element = Lay(wall, FaceFacing(wall, 0, 256, 0), 1, 20, 20);
    ASSERT_NE(element, nullptr);
    ReadBudget& budget = scene.holder()->Budget;
    MemoryStream stream;
    budget.Begin(&stream);
    auto placed = [&]() {
        const int64_t before = budget.Spent(ReadCost::kCorners);
        element->UpdateOnFace();
        return budget.Spent(ReadCost::kCorners) - before;
    };
    EXPECT_EQ(placed(), 4);
    ASSERT_EQ(element->Outline->ArraySetCount(0), kResultOk);
    for (int32_t i = 0; i < 600; ++i) {
        const FixedPoint point = {IntToFixed(i % 7), IntToFixed(2 * (i % 7))};
        element->Outline->Append(&point);
    }
    for (int32_t time = 0; time < 2; ++time) {
        int64_t sorted = 0;
        PolygonOrientation(element->Outline, &sorted);
        EXPECT_GT(sorted, 4 * 600 * 10);
        EXPECT_EQ(placed(), 600 + sorted) << time;
    }
    budget.End();
}
