// The sample scenes.
#include "tools/sample_scenes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <new>

#include "foundation/pointer_list.h"
#include "foundation/walk_path_point.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/units_record.h"
#include "model/walk_record.h"

namespace {

// Colours keep only the high byte of each channel in a model file.
constexpr RGBColor48 kFloor = {0x8000, 0x6000, 0x4000};
constexpr RGBColor48 kWall = {0xE000, 0xD800, 0xC000};
constexpr RGBColor48 kAccent = {0x3000, 0x6000, 0xB000};
constexpr RGBColor48 kRed = {0xC000, 0x2000, 0x2000};
constexpr RGBColor48 kGreen = {0x2000, 0xA000, 0x3000};
constexpr RGBColor48 kYellow = {0xE000, 0xC000, 0x2000};
constexpr RGBColor48 kWood = {0x9000, 0x5800, 0x2800};
// Opaque; colour codes too keep only their high byte in a model file.
constexpr uint16_t kOpaque = 0xFF00;

void Name(ModelObject* object, const char* name)
{
    object->SetName(name, int32_t(std::strlen(name)));
}

Light* NewLight(int16_t x, int16_t y, int16_t z, uint16_t grey)
{
    Light* light = new (std::nothrow) Light;
    if (!light) return nullptr;
    light->LightInitDefaults();
    light->LightSetDirection(x, y, z);
    light->LightSetGrey(grey);
    return light;
}

void Paint(ModelObject* object, const RGBColor48& colour)
{
    object->SetColours(colour, kOpaque, kSideBoth);
}

void PaintFace(ModelObject* object, int32_t face, const RGBColor48& colour)
{
    if (Surface* surface = object->SurfaceForFace(face)) surface->SetSurfaceColour(colour, kOpaque, kSideBoth);
}

void Attach(ModelObject* parent, ModelObject* child)
{
    if (child) parent->AddChild(child);
}

}  // namespace

void AddSampleLights(ModelObject* root)
{
    LightList* lights = root->LightsForEdit();
    if (!lights) return;
    for (Light* light : {NewLight(0, 0, 0, 0x5000), NewLight(-34, -57, 247, 0x8000), NewLight(209, 105, 104, 0x6000)}) {
        if (light && lights->LightListAppend(light) < 0) light->LightFree();
    }
    root->RefreshShading();
}

ModelObject* MakeBox(ModelHolder* holder, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1)
{
    ModelObject* box = holder->MakeObject();
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    if (!box || !outline) {
        if (box) box->Destroy();
        if (outline) outline->Destroy();
        return nullptr;
    }
    const int32_t w = x1 - x0;
    const int32_t d = y1 - y0;
    const FixedPoint corners[4] = {{0, 0}, {IntToFixed(w), 0}, {IntToFixed(w), IntToFixed(d)}, {0, IntToFixed(d)}};
    for (const FixedPoint& corner : corners) outline->Append(&corner);
    box->MakePrimitive(3, 1, outline, IntToFixed(z1 - z0), 0);
    outline->Destroy();
    box->SetObjectPosition(IntToFixed(x0), IntToFixed(y0), IntToFixed(z0));
    return box;
}

ModelObject* MakeShape(ModelHolder* holder, int32_t kind, int32_t segments, int32_t axis, int32_t corners,
                       int32_t radius, int32_t height0, int32_t height1, int32_t x, int32_t y, int32_t z)
{
    ModelObject* shape = holder->MakeObject();
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    if (!shape || !outline) {
        if (shape) shape->Destroy();
        if (outline) outline->Destroy();
        return nullptr;
    }
    for (int32_t i = 0; i < corners; ++i) {
        const double angle = 6.283185307179586 * i / corners;
        const FixedPoint point = {X2Fix(radius * std::cos(angle)), X2Fix(radius * std::sin(angle))};
        outline->Append(&point);
    }
    shape->MakePrimitive(axis, 1, outline, IntToFixed(height0), IntToFixed(height1));
    outline->Destroy();
    shape->SetPrimitiveKind(kind, segments);
    shape->SetObjectPosition(IntToFixed(x), IntToFixed(y), IntToFixed(z));
    return shape;
}

ModelDocument* NewSampleDocument()
{
    ModelDocument* document = new (std::nothrow) ModelDocument;
    if (document && document->Init() != kResultOk) {
        document->Destroy();
        return nullptr;
    }
    return document;
}

ModelObject* MakePolygonMesh(ModelHolder* holder, const std::vector<FixedVector3>& points,
                             const std::vector<std::vector<int16_t>>& faces)
{
    ModelObject* mesh = holder->MakeObject();
    DynamicArray* vertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4);
    DynamicArray* polygons = NewPointerList();
    if (!mesh || !vertices || !polygons) {
        if (mesh) mesh->Destroy();
        if (vertices) vertices->Destroy();
        if (polygons) polygons->Destroy();
        return nullptr;
    }
    for (const FixedVector3& point : points) vertices->Append(&point);
    for (const std::vector<int16_t>& face : faces) {
        DynamicArray* polygon = NewDynamicArray(0, int32_t(sizeof(int16_t)), 4);
        if (!polygon) continue;
        for (int16_t index : face) polygon->Append(&index);
        AppendPointer(polygons, polygon);
    }
    mesh->MakePolygonObject(vertices, polygons);
    return mesh;
}

ModelObject* MakeTetrahedron(ModelHolder* holder, int32_t size, int32_t x, int32_t y, int32_t z)
{
    const Fixed s = IntToFixed(size);
    ModelObject* mesh = MakePolygonMesh(holder, {{0, 0, 0}, {s, 0, 0}, {0, s, 0}, {0, 0, s}},
                                        {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
    if (mesh) mesh->SetObjectPosition(IntToFixed(x), IntToFixed(y), IntToFixed(z));
    return mesh;
}

ModelDocument* BuildRoomSample()
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return nullptr;
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    Name(root, "Sample room");
    UnitsRecord inches;
    inches.UnitsInit();
    inches.UnitsSet(0.0254);
    root->SetUnits(&inches);
    AddSampleLights(root);

    // The room: 240 x 240 inches, walls 96 high and 6 thick.
    ModelObject* floor = MakeBox(holder, -120, -120, -6, 120, 120, 0);
    ModelObject* walls[4] = {MakeBox(holder, -126, -126, -6, 126, -120, 96), MakeBox(holder, -126, 120, -6, 126, 126, 96),
                             MakeBox(holder, -126, -120, -6, -120, 120, 96), MakeBox(holder, 120, -120, -6, 126, 120, 96)};
    if (floor) {
        Name(floor, "Floor");
        Paint(floor, kFloor);
        Attach(root, floor);
    }
    const char* wallNames[4] = {"South wall", "North wall", "West wall", "East wall"};
    for (int i = 0; i < 4; ++i) {
        if (!walls[i]) continue;
        Name(walls[i], wallNames[i]);
        Paint(walls[i], kWall);
        Attach(root, walls[i]);
    }
    // The inner face of the north wall and of the west wall get colours of their own.
    if (walls[1]) PaintFace(walls[1], 4, kAccent);
    if (walls[2]) PaintFace(walls[2], 3, kGreen);

    // A table: a group of a top and four legs, the legs connected to the top.
    ModelObject* table = holder->MakeObject();
    if (table) {
        table->SetGroup();
        Name(table, "Table");
        table->SetVranText("table");
        ModelObject* top = MakeBox(holder, 30, 30, 28, 78, 66, 30);
        if (top) {
            Paint(top, kWood);
            Name(top, "Top");
            Attach(table, top);
        }
        const int32_t legs[4][2] = {{30, 30}, {76, 30}, {30, 64}, {76, 64}};
        for (const auto& leg : legs) {
            ModelObject* piece = MakeBox(holder, leg[0], leg[1], 0, leg[0] + 2, leg[1] + 2, 28);
            if (!piece) continue;
            Paint(piece, kWood);
            Attach(table, piece);
            if (top) piece->AddFaceContact(0, top, 5);
        }
        Attach(root, table);
    }

    // One primitive of every kind, a sliced column and a polygon object.
    struct Piece {
        int32_t kind, segments, axis, corners, radius, height0, height1, x, y, z;
        RGBColor48 colour;
        const char* name;
    };
    const Piece pieces[] = {
        {1, 1, 3, 6, 10, 0, 40, -80, -80, 0, kRed, "Hexagonal column"},
        {2, 1, 3, 4, 14, 30, 0, -40, -80, 0, kYellow, "Pyramid"},
        {3, 1, 3, 5, 12, 0, 36, 0, -80, 0, kGreen, "Double pyramid"},
        {4, 3, 3, 8, 14, 0, 20, 40, -80, 0, kAccent, "Dome"},
        {5, 4, 3, 10, 12, 0, 24, 80, -80, 0, kRed, "Ball"},
        {1, 1, 1, 4, 8, 0, 30, -80, 60, 10, kYellow, "Beam"},
    };
    for (const Piece& p : pieces) {
        ModelObject* shape = MakeShape(holder, p.kind, p.segments, p.axis, p.corners, p.radius, p.height0, p.height1,
                                       p.x, p.y, p.z);
        if (!shape) continue;
        Name(shape, p.name);
        Paint(shape, p.colour);
        Attach(root, shape);
    }
    ModelObject* sliced = MakeShape(holder, 1, 1, 3, 4, 16, 0, 60, -80, 0, 0);
    if (sliced) {
        Name(sliced, "Cut column");
        Paint(sliced, kWood);
        PlaneRecord* plane = sliced->NewPlaneRecord();
        if (plane) {
            // Keeps what lies below the slanted plane x + 2 z = 100 (in the column's own units).
            plane->SetPlane(-kFixedOne, 0, -2 * kFixedOne, IntToFixed(100));
            sliced->AddSlice(plane);
        }
        Attach(root, sliced);
    }
    if (ModelObject* mesh = MakeTetrahedron(holder, 20, 60, 60, 0)) {
        Name(mesh, "Tetrahedron");
        Paint(mesh, kGreen);
        mesh->SetData("polygon object", 14);
        Attach(root, mesh);
    }

    // The walk: the eye starts near the south wall and looks round the room.
    WalkRecord* walk = document->Walk;
    walk->SetRecording(1, 1);
    const int32_t path[][4] = {{0, -100, 66, 64}, {0, -60, 66, 64}, {20, -20, 66, 80}, {40, 20, 66, 96},
                               {20, 60, 66, 128}, {-20, 60, 66, 160}, {-40, 20, 66, 192}, {0, -40, 66, 64}};
    for (const auto& p : path) walk->SetAndRecord(IntToFixed(p[0]), IntToFixed(p[1]), IntToFixed(p[2]), 0, 0, IntToFixed(p[3]));
    walk->SetRecording(0, 0);
    // The eye then stands in the south-west corner, looking down across the room to the far corner.
    walk->SetAndRecord(IntToFixed(-112), IntToFixed(-112), IntToFixed(90), 0, IntToFixed(-16), IntToFixed(224));

    const char credits[] = "QPlayer sample room: a floor, four walls, a table and one shape of every kind.";
    document->SetCreditsText(credits, int32_t(sizeof credits - 1));
    return document;
}

ModelDocument* BuildShapesSample()
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return nullptr;
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    Name(root, "Primitive shelf");
    AddSampleLights(root);
    ModelObject* floor = MakeBox(holder, -100, -100, -4, 100, 100, 0);
    if (floor) {
        Paint(floor, kFloor);
        Attach(root, floor);
    }
    // Every kind on every axis, heights in both orders, one to three segments.
    int32_t row = 0;
    for (int32_t axis = 1; axis <= 3; ++axis) {
        for (int32_t kind = 1; kind <= 5; ++kind) {
            const int32_t segments = kind >= 4 ? 1 + (row % 3) : 1;
            const bool reversed = (row % 2) == 1;
            ModelObject* shape = MakeShape(holder, kind, segments, axis, 5 + (row % 3), 8, reversed ? 16 : 0,
                                           reversed ? 0 : 16, -80 + 35 * (kind - 1), -60 + 50 * (axis - 1), 20);
            ++row;
            if (!shape) continue;
            Paint(shape, kind % 2 ? kRed : kAccent);
            if (kind == 1) PaintFace(shape, 1, kYellow);
            Attach(root, shape);
        }
    }
    ModelObject* pair = holder->MakeObject();
    if (pair) {
        pair->SetGroup();
        Name(pair, "Touching boxes");
        ModelObject* left = MakeBox(holder, -20, 70, 0, 0, 90, 20);
        ModelObject* right = MakeBox(holder, 0, 70, 0, 20, 90, 20);
        if (left) {
            Paint(left, kGreen);
            Attach(pair, left);
        }
        if (right) {
            Paint(right, kYellow);
            Attach(pair, right);
        }
        Attach(root, pair);
    }
    WalkRecord* walk = document->Walk;
    walk->SetRecording(1, 1);
    walk->SetAndRecord(0, IntToFixed(-95), IntToFixed(40), 0, IntToFixed(-8), IntToFixed(64));
    walk->SetAndRecord(0, IntToFixed(-60), IntToFixed(40), 0, IntToFixed(-8), IntToFixed(64));
    walk->SetRecording(0, 0);
    return document;
}

int32_t FaceFacing(const ModelObject* object, int16_t nx, int16_t ny, int16_t nz)
{
    const ObjectGeometry* geometry = object->GeometryAt(0);
    for (int32_t i = 0; geometry && i < geometry->PolygonCount(); ++i) {
        const PolygonRecord* face = geometry->PolygonAt(i);
        if (face->WorldNormal == ShortVector3{nx, ny, nz}) return face->FaceIndex;
    }
    return -1;
}

PolygonElement* AddFaceElement(ModelObject* object, int32_t face, int32_t list, int32_t corners, int32_t width,
                               int32_t height, int32_t degrees, int32_t u, int32_t v, const RGBColor48& colour,
                               uint16_t code)
{
    Surface* surface = object->SurfaceForFace(face);
    if (!surface || !surface->Outline) return nullptr;
    // The face's outline starts at (0, 0): its middle is half its largest corner.
    Fixed right = 0;
    Fixed top = 0;
    for (int32_t i = 0; i < surface->Outline->ArrayCount(); ++i) {
        right = std::max(right, surface->Outline->At<FixedPoint>(i)->x);
        top = std::max(top, surface->Outline->At<FixedPoint>(i)->y);
    }
    DynamicArray* points = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    PolygonElement* element = surface->NewPolygonElement();
    if (!points || !element || element->Init() != kResultOk) {
        if (points) points->Destroy();
        if (element) element->Destroy();
        return nullptr;
    }
    const double turn = degrees * 3.141592653589793 / 180.0;
    const int32_t count = corners > 0 ? corners : 4;
    for (int32_t i = 0; i < count; ++i) {
        double x = 0;
        double y = 0;
        if (corners > 0) {
            const double angle = 6.283185307179586 * i / corners;
            x = width * std::cos(angle);
            y = width * std::sin(angle);
        } else {
            x = (i == 1 || i == 2 ? 0.5 : -0.5) * width;
            y = (i >= 2 ? 0.5 : -0.5) * height;
        }
        const FixedPoint point = {X2Fix(x * std::cos(turn) - y * std::sin(turn)),
                                  X2Fix(x * std::sin(turn) + y * std::cos(turn))};
        points->Append(&point);
    }
    element->SetElementPolygon(points, right / 2 + IntToFixed(u), top / 2 + IntToFixed(v));
    points->Destroy();
    element->SetElementColour(colour, code);
    surface->AddElement(element, list);
    if (element->Owner != surface) {
        element->Destroy();
        return nullptr;
    }
    return element;
}

namespace {

constexpr RGBColor48 kCream = {0xF000, 0xE800, 0xD000};
constexpr RGBColor48 kSky = {0x9000, 0xC000, 0xF000};
constexpr RGBColor48 kGlass = {0x6000, 0xA000, 0xE000};
constexpr RGBColor48 kGrass = {0x4000, 0x9000, 0x3000};
// Opacities: half see-through glass, a faint glass case, clear window glass, an open doorway
// (below 0x1000: passable, and only ever framed).
constexpr uint16_t kHalfSeen = 0x8000;
constexpr uint16_t kCase = 0x6000;
constexpr uint16_t kWindow = 0x4000;
constexpr uint16_t kDoorway = 0x0800;

// A room box under a root with the sky's colour and the lights, with a lawn and a few shapes
// around it; the eye stands in the room's south-east corner looking north-west by the heading
// (1/256 turns to the left of north) and walks to the middle.
ModelObject* BuildYard(ModelDocument* document, const char* name, int32_t x, int32_t heading)
{
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    Name(root, name);
    root->SetColours(kSky, kOpaque, kSideBoth);
    AddSampleLights(root);
    if (ModelObject* lawn = MakeBox(holder, -400, -400, -4, 400, 400, 0)) {
        Name(lawn, "Lawn");
        Paint(lawn, kGrass);
        Attach(root, lawn);
    }
    const struct {
        int32_t kind, corners, radius, height, x, y;
        RGBColor48 colour;
    } outside[] = {{2, 4, 30, 90, -70, 200, kGreen}, {1, 6, 12, 70, 10, 170, kRed}, {2, 4, 24, 60, 80, 240, kGreen},
                   {5, 10, 20, 40, 60, 150, kYellow}};
    for (const auto& o : outside) {
        ModelObject* shape = MakeShape(holder, o.kind, o.kind == 5 ? 4 : 1, 3, o.corners, o.radius,
                                       o.kind == 2 ? o.height : 0, o.kind == 2 ? 0 : o.height, o.x, o.y, 0);
        if (!shape) continue;
        Paint(shape, o.colour);
        Attach(root, shape);
    }
    ModelObject* room = MakeBox(holder, -100, -100, 0, 100, 100, 80);
    if (room) {
        Name(room, "Room");
        Paint(room, kCream);
        Attach(root, room);
    }
    WalkRecord* walk = document->Walk;
    walk->SetRecording(1, 1);
    walk->SetAndRecord(IntToFixed(x), IntToFixed(-90), IntToFixed(45), 0, 0, IntToFixed(heading));
    walk->SetAndRecord(0, IntToFixed(-30), IntToFixed(45), 0, 0, 0);
    walk->SetRecording(0, 0);
    walk->SetAndRecord(IntToFixed(x), IntToFixed(-90), IntToFixed(45), 0, 0, IntToFixed(heading));
    return room;
}

}  // namespace

ModelDocument* BuildGlassSample()
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return nullptr;
    ModelObject* room = BuildYard(document, "Glass wall", 40, 20);
    if (!room) return document;
    // The north wall is half see-through glass.
    const int32_t north = FaceFacing(room, 0, 256, 0);
    if (Surface* glass = north >= 0 ? room->SurfaceForFace(north) : nullptr) glass->SetSurfaceColour(kGlass, kHalfSeen, kSideBoth);
    // A glass case standing in the room with a ball inside it.
    ModelHolder* holder = document->Holder;
    if (ModelObject* glassCase = MakeBox(holder, -80, -20, 0, -30, 30, 50)) {
        Name(glassCase, "Glass case");
        glassCase->SetColours(kGreen, kCase, kSideBoth);
        if (ModelObject* ball = MakeShape(holder, 5, 4, 3, 10, 14, 0, 28, -55, 5, 10)) {
            Name(ball, "Ball");
            Paint(ball, kRed);
            glassCase->AddChild(ball);
        }
        Attach(room, glassCase);
    }
    return document;
}

ModelDocument* BuildElementsSample()
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return nullptr;
    ModelObject* room = BuildYard(document, "Wall elements", 70, 28);
    if (!room) return document;
    const int32_t north = FaceFacing(room, 0, 256, 0);
    const int32_t south = FaceFacing(room, 0, -256, 0);
    const int32_t west = FaceFacing(room, -256, 0, 0);
    const int32_t east = FaceFacing(room, 256, 0, 0);
    const int32_t floor = FaceFacing(room, 0, 0, -256);
    // List 0 lies on the inner side of the room's walls, list 2 on the outer side and list 1 goes
    // through the wall.
    if (north >= 0) AddFaceElement(room, north, 1, 0, 100, 44, 0, 0, 6, kGlass, kWindow);
    if (west >= 0) {
        AddFaceElement(room, west, 0, 0, 70, 44, 0, 0, 4, kWood, kOpaque);
        AddFaceElement(room, west, 0, 4, 18, 0, 0, 0, 4, kYellow, kOpaque);
    }
    if (east >= 0) AddFaceElement(room, east, 0, 6, 22, 0, 0, 10, 0, kAccent, kOpaque);
    if (floor >= 0) AddFaceElement(room, floor, 0, 0, 90, 60, 30, 0, 0, kRed, kOpaque);
    if (south >= 0) {
        AddFaceElement(room, south, 1, 0, 40, 60, 0, 0, -10, kWood, kDoorway);
        AddFaceElement(room, south, 2, 0, 60, 16, 0, -50, 25, kYellow, kOpaque);
    }
    return document;
}

const SampleScene* SampleScenes(int32_t* count)
{
    static const SampleScene scenes[] = {{"room.qpy", BuildRoomSample},
                                         {"shapes.qpy", BuildShapesSample},
                                         {"glass.qpy", BuildGlassSample},
                                         {"elements.qpy", BuildElementsSample}};
    *count = int32_t(sizeof scenes / sizeof scenes[0]);
    return scenes;
}

std::vector<uint8_t> ModelFileBytes(ModelDocument* document)
{
    if (!document) return {};
    MemoryStream stream;
    stream.StreamInit(kStreamWriting);
    const ResultCode written = WriteModelFile(document, &stream);
    document->Destroy();
    if (written != kResultOk) return {};
    const auto* data = static_cast<const uint8_t*>(stream.Buffer()->ArrayData());
    return std::vector<uint8_t>(data, data + stream.Buffer()->ArrayCount());
}
