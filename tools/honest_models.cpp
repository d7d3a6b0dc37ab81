// The honest models, built as a modeller builds them: landscapes stored as patches side by side,
// sphere meshes and rounded primitives, houses on a ground, rooms connected to a floor, lights over
// many faces, groups nested in units of their own, a town of all of these, a town of glass
// towers and shops whose furnished insides show through their windows, a museum of rooms seen
// through each other's doorways with glass cases, a high street of shop fronts and a harbour.
// Every object but the windows, doorways and cases is opaque, and every model has a walk record
// placing the eye.
#include "tools/honest_models.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/fixed.h"
#include "foundation/pointer_list.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/plane_record.h"
#include "model/surface.h"
#include "model/units_record.h"
#include "model/walk_record.h"
#include "tools/sample_scenes.h"

namespace {

constexpr uint16_t kOpaque = 0xFF00;
constexpr RGBColor48 kSky = {0x9000, 0xC000, 0xF000};
constexpr RGBColor48 kGrass = {0x4000, 0x9000, 0x3000};
constexpr RGBColor48 kStone = {0x9000, 0x8800, 0x8000};
constexpr RGBColor48 kPlaster = {0xE000, 0xD800, 0xC000};
constexpr RGBColor48 kTiles = {0xA000, 0x3800, 0x2000};
constexpr RGBColor48 kWood = {0x9000, 0x5800, 0x2800};
constexpr RGBColor48 kLeaves = {0x3000, 0x8000, 0x2800};
constexpr RGBColor48 kBrass = {0xC000, 0xA000, 0x4000};

// Unit lengths in metres.
constexpr double kMetre = 1.0;
constexpr double kFoot = 0.3048;
constexpr double kInch = 0.0254;
constexpr double kCentimetre = 0.01;

// Primitive kinds: a prism, and the double-rounded sphere with its outline along z.
constexpr int32_t kPrismKind = 1;
constexpr int32_t kSphereKind = 5;
constexpr int32_t kAxisX = 1;
constexpr int32_t kAxisZ = 3;
// A sphere of 16 x 8 segments: 16 outline corners, 8 segments from the equator to each pole
// (16 x 16 = 256 faces).
constexpr int32_t kSphereCorners = 16;
constexpr int32_t kSphereSegments = 8;
// The most segments: 128 corners and 127 segments to each pole make 128 x 254 = 32,512 faces and
// 32,386 vertices; one more segment would pass the 32,767 faces an object may have.
constexpr int32_t kMostCorners = 128;
constexpr int32_t kMostSegments = 127;
constexpr int32_t kFacets = 16;

// Lights: the ambient one and the sun.
constexpr uint16_t kAmbientGrey = 0x4000;
constexpr uint16_t kSunGrey = 0x8000;

Fixed InUnits(double metres, double unit)
{
    return X2Fix(metres / unit);
}

// Sets the node's name.
void Name(ModelObject* node, const char* name)
{
    node->SetName(name, int32_t(std::strlen(name)));
}

// Gives the node its own units, in which its subtree is stored.
void SetOwnUnits(ModelObject* node, double unit)
{
    UnitsRecord units;
    units.UnitsInit();
    units.UnitsSet(unit);
    node->SetUnits(&units);
}

// A new document whose root has the name, the sky's colour and `lights` lights: an ambient one,
// then directional ones from all round the sky, each a little higher. Its units come last
// (Finish), so that groups built with units of their own join it as they are.
ModelDocument* NewScene(const char* name, int32_t lights)
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    Name(root, name);
    root->SetColours(kSky, kOpaque, kSideBoth);
    LightList* list = root->LightsForEdit();
    for (int32_t k = 0; list && k < lights; ++k) {
        Light* light = new (std::nothrow) Light;
        if (!light) break;
        light->LightInitDefaults();
        if (k == 0) {
            light->LightClearDirection();
            light->LightSetGrey(kAmbientGrey);
        } else {
            const double around = 2.4 * k;  // radians, some 137 degrees apart
            const double up = kPi / 8 + kPi / 4 * k / lights;
            light->LightSetDirection(int16_t(256 * std::cos(up) * std::cos(around)),
                                     int16_t(256 * std::cos(up) * std::sin(around)), int16_t(256 * std::sin(up)));
            light->LightSetGrey(uint16_t(kSunGrey / (1 + (k - 1) / 4)));
        }
        if (list->LightListAppend(light) < 0) light->LightFree();
    }
    root->RefreshShading();
    return document;
}

// Gives the root its units, in which everything not in a group of its own units is stored, and
// places the eye (metres), having walked to there from `back` metres behind it, heading (1/256
// turns to the left of north) as given; the eye stands there when the model opens.
ModelDocument* Finish(ModelDocument* document, double unit, double x, double y, double z, int32_t heading, double back)
{
    SetOwnUnits(document->Holder->Root, unit);
    WalkRecord* walk = document->Walk;
    const double turn = 2 * kPi * heading / 256;
    const Fixed fromX = InUnits(x + back * std::sin(turn), unit);
    const Fixed fromY = InUnits(y - back * std::cos(turn), unit);
    walk->SetRecording(1, 1);
    walk->SetAndRecord(fromX, fromY, InUnits(z, unit), 0, 0, IntToFixed(heading));
    walk->SetAndRecord(InUnits(x, unit), InUnits(y, unit), InUnits(z, unit), 0, 0, IntToFixed(heading));
    walk->SetRecording(0, 0);
    walk->SetAndRecord(InUnits(x, unit), InUnits(y, unit), InUnits(z, unit), 0, 0, IntToFixed(heading));
    return document;
}

// Frees a document that could not be built whole; null.
ModelDocument* Discard(ModelDocument* document)
{
    document->Destroy();
    return nullptr;
}

// Adds the child, opaque in the colour, under the parent; the child, or null when it could not
// be made or joined.
ModelObject* Add(ModelObject* parent, ModelObject* child, const RGBColor48& colour)
{
    if (!child) return nullptr;
    child->SetColours(colour, kOpaque, kSideBoth);
    parent->AddChild(child);
    if (child->Parent == parent) return child;
    child->Destroy();
    return nullptr;
}

// A new group of the name, on its own: a scene's parts are built whole in groups on their own
// and join the scene at once, which finds their contacts in one search. With a unit above 0 it
// keeps its own units, in which its subtree is stored. Null when memory is short.
ModelObject* NewGroup(ModelHolder* holder, const char* name, double unit = 0)
{
    ModelObject* group = holder->MakeObject();
    if (!group) return nullptr;
    group->SetGroup();
    Name(group, name);
    if (unit > 0) SetOwnUnits(group, unit);
    return group;
}

// Adds a group built whole on its own under the parent, which takes in its bounds at once. A group
// in units of its own keeps them (joining takes them, to be given back), unscaled only under a
// parent without units: the root before Finish. False, the group gone, when it was not built
// whole or could not join.
bool Join(ModelObject* parent, ModelObject* group, bool whole)
{
    if (!group) return false;
    if (!whole) {
        group->Destroy();
        return false;
    }
    const UnitsRecord* own = group->GetUnits();
    const double unit = own ? own->UnitsGet() : 0;
    parent->AddChild(group);
    if (group->Parent != parent) {
        group->Destroy();
        return false;
    }
    if (unit > 0) SetOwnUnits(group, unit);
    return true;
}

// A new empty group of the name under the parent, with a unit above 0 in its own units, in which
// its subtree is stored. Null when it could not be made.
ModelObject* AddGroup(ModelObject* parent, const char* name, double unit)
{
    ModelObject* group = NewGroup(parent->Holder, name);
    if (!group) return nullptr;
    parent->AddChild(group);
    if (group->Parent != parent) {
        group->Destroy();
        return nullptr;
    }
    // Set once it has joined: joining takes the parent's units in place of its own.
    if (unit > 0) SetOwnUnits(group, unit);
    return group;
}

// A prism of the outline (in the plane across the axis) from height h0 to h1 along the axis, at
// the origin; null when memory is short.
ModelObject* MakeExtrusion(ModelHolder* holder, int32_t axis, const std::vector<FixedPoint>& outline, Fixed h0,
                           Fixed h1)
{
    ModelObject* prism = holder->MakeObject();
    DynamicArray* points = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    if (!prism || !points) {
        if (prism) prism->Destroy();
        if (points) points->Destroy();
        return nullptr;
    }
    for (const FixedPoint& point : outline) points->Append(&point);
    prism->MakePrimitive(axis, kPrismKind, points, h0, h1);
    points->Destroy();
    return prism;
}

// A box between the corners, given in metres, stored in the unit.
ModelObject* MakeBoxIn(ModelHolder* holder, double unit, double x0, double y0, double z0, double x1, double y1,
                       double z1)
{
    const Fixed left = InUnits(x0, unit);
    const Fixed right = InUnits(x1, unit);
    const Fixed near = InUnits(y0, unit);
    const Fixed far = InUnits(y1, unit);
    return MakeExtrusion(holder, kAxisZ, {{left, near}, {right, near}, {right, far}, {left, far}}, InUnits(z0, unit),
                         InUnits(z1, unit));
}

// Cuts `count` facets off the sphere of the radius centred at its origin: flats in two rings, one
// above the equator and one below, each a plane facing outwards a little inside the surface.
void CutFacets(ModelObject* sphere, int32_t count, double radius)
{
    constexpr double kDepth = 0.97;  // of the radius, from the centre
    for (int32_t k = 0; k < count; ++k) {
        const int32_t perRing = count / 2;
        const double latitude = (k < perRing ? 1 : -1) * kPi / 5;
        const double longitude = 2 * kPi * (k % perRing + (k < perRing ? 0 : 0.5)) / perRing;
        const double nx = std::cos(latitude) * std::cos(longitude);
        const double ny = std::cos(latitude) * std::sin(longitude);
        const double nz = std::sin(latitude);
        PlaneRecord* plane = sphere->NewPlaneRecord();
        if (!plane) return;
        // Keeps what lies within the plane: depth x radius - n . p >= 0.
        plane->SetPlane(X2Fix(-nx), X2Fix(-ny), X2Fix(-nz), X2Fix(kDepth * radius));
        sphere->AddSlice(plane);
    }
}

// A sphere of the radius centred at (x, y, z), whole units, with `corners` around and `segments`
// from the equator to each pole, cut by `facets` facets.
ModelObject* MakeSphere(ModelHolder* holder, int32_t corners, int32_t segments, int32_t radius, int32_t x, int32_t y,
                        int32_t z, int32_t facets = 0)
{
    ModelObject* sphere = MakeShape(holder, kPrismKind, 1, kAxisZ, corners, radius, -radius, radius, x, y, z);
    if (!sphere) return nullptr;
    // Cut while it is a prism of a few faces: every slice added builds the object again.
    CutFacets(sphere, facets, radius);
    sphere->SetPrimitiveKind(kSphereKind, segments);
    return sphere;
}

// --- landscapes ---

enum class Terrain { kFlat, kHilly, kRolling };

// Rolling hills across a row of patches: nothing at the row's borders, where flat rows meet it.
constexpr double kHillHeight = 60;
constexpr double kHillWave = 700;

double HillHeight(double x, double y, double rowY, double rowDepth)
{
    const double across = std::sin(kPi * (y - rowY) / rowDepth);
    return kHillHeight * across * across * (0.6 + 0.4 * std::sin(2 * kPi * x / kHillWave));
}

// Gently rolling ground: swells of 8 metres either way, some 500 metres from crest to crest.
constexpr double kSwellHeight = 8;
constexpr double kSwellWaveX = 565;
constexpr double kSwellWaveY = 440;

double RollingHeight(double x, double y)
{
    return kSwellHeight * std::sin(2 * kPi * x / kSwellWaveX) * std::cos(2 * kPi * y / kSwellWaveY);
}

// Where a landscape's patches lie: `side` x `side` faces each, in rows of `columns` patches from
// (x0, y0), each row flat, hilly or rolling as `rows` says, cells of `cell` metres. A flat patch
// is side x side quads, a rolling one as many quads over the swells; a hilly one side x side / 2
// cells of two triangles each, twice as deep, so that every patch covers the same ground and
// shares its border vertices with its neighbours.
struct Landscape {
    double x0;
    double y0;
    double cell;
    int32_t side;
    int32_t columns;
    std::vector<Terrain> rows;
};

ModelObject* MakePatch(ModelHolder* holder, const Landscape& land, int32_t row, int32_t column)
{
    const Terrain terrain = land.rows[size_t(row)];
    const bool hilly = terrain == Terrain::kHilly;
    const int32_t across = land.side;
    const int32_t deep = hilly ? land.side / 2 : land.side;
    const int32_t step = hilly ? 2 : 1;  // cells of the grid a patch's cell is deep
    const double rowY = land.y0 + double(row) * land.side * land.cell;
    const double rowDepth = land.side * land.cell;
    std::vector<FixedVector3> points;
    points.reserve(size_t(across + 1) * size_t(deep + 1));
    for (int32_t j = 0; j <= deep; ++j) {
        for (int32_t i = 0; i <= across; ++i) {
            // From whole grid indices, so that neighbours compute their shared borders alike.
            const double x = land.x0 + double(column * land.side + i) * land.cell;
            const double y = land.y0 + double(row * land.side + j * step) * land.cell;
            const double z = hilly                          ? HillHeight(x, y, rowY, rowDepth)
                             : terrain == Terrain::kRolling ? RollingHeight(x, y)
                                                            : 0;
            points.push_back({X2Fix(x), X2Fix(y), X2Fix(z)});
        }
    }
    std::vector<std::vector<int16_t>> faces;
    faces.reserve(size_t(land.side) * size_t(land.side));
    for (int32_t j = 0; j < deep; ++j) {
        for (int32_t i = 0; i < across; ++i) {
            const int16_t a = int16_t(j * (across + 1) + i);
            const int16_t b = int16_t(a + 1);
            const int16_t d = int16_t(a + across + 1);
            const int16_t c = int16_t(d + 1);
            if (hilly) {
                faces.push_back({a, c, b});
                faces.push_back({a, d, c});
            } else {
                faces.push_back({a, d, c, b});
            }
        }
    }
    return MakePolygonMesh(holder, points, faces);
}

// How a landscape's faces are shaded: flat, or smoothly across their corners on both sides.
enum class Shading { kFlat, kSmooth };
constexpr uint8_t kSmoothSides = 1;

// Adds `patches` patches of the landscape under the parent, row by row; false when one could not
// be made.
bool AddLandscape(ModelObject* parent, const Landscape& land, int32_t patches, Shading shading = Shading::kFlat)
{
    for (int32_t k = 0; k < patches; ++k) {
        ModelObject* patch = MakePatch(parent->Holder, land, k / land.columns, k % land.columns);
        if (patch && shading == Shading::kSmooth) patch->SetSideAttribute(kSmoothSides, kSideBoth);
        if (!Add(parent, patch, kGrass)) return false;
    }
    return true;
}

// The rows of patches that `patches` patches in `columns` columns fill, flat and hilly in turn.
std::vector<Terrain> AlternateRows(int32_t patches, int32_t columns)
{
    std::vector<Terrain> rows;
    for (int32_t row = 0; row * columns < patches; ++row) rows.push_back(row % 2 ? Terrain::kHilly : Terrain::kFlat);
    return rows;
}

// --- sphere meshes ---

// A sphere mesh of the radius about the origin: `side` bands from pole to pole, `side` faces
// around each; triangles round the poles, quads between, faces outwards.
void SphereMesh(int32_t side, double radius, std::vector<FixedVector3>* points,
                std::vector<std::vector<int16_t>>* faces)
{
    points->push_back({0, 0, X2Fix(radius)});
    for (int32_t ring = 1; ring < side; ++ring) {
        const double polar = kPi * ring / side;
        for (int32_t j = 0; j < side; ++j) {
            const double around = 2 * kPi * j / side;
            points->push_back({X2Fix(radius * std::sin(polar) * std::cos(around)),
                               X2Fix(radius * std::sin(polar) * std::sin(around)), X2Fix(radius * std::cos(polar))});
        }
    }
    points->push_back({0, 0, X2Fix(-radius)});
    const int32_t south = int32_t(points->size()) - 1;
    auto at = [side](int32_t ring, int32_t j) { return int16_t(1 + (ring - 1) * side + j % side); };
    for (int32_t j = 0; j < side; ++j) faces->push_back({0, at(1, j + 1), at(1, j)});
    for (int32_t ring = 1; ring + 1 < side; ++ring) {
        for (int32_t j = 0; j < side; ++j)
            faces->push_back({at(ring, j), at(ring, j + 1), at(ring + 1, j + 1), at(ring + 1, j)});
    }
    for (int32_t j = 0; j < side; ++j) faces->push_back({int16_t(south), at(side - 1, j), at(side - 1, j + 1)});
}

// Adds two sphere meshes of the radius under the parent, the second the first's mirror image
// across the plane x = cx, `gap` metres apart there (0: the rings nearest it meet), centred at
// height cz.
bool AddSphereMeshPair(ModelObject* parent, int32_t side, double radius, double cx, double cy, double cz, double gap)
{
    std::vector<FixedVector3> points;
    std::vector<std::vector<int16_t>> faces;
    SphereMesh(side, radius, &points, &faces);
    Fixed reach = 0;
    for (const FixedVector3& p : points) reach = std::max(reach, p.x);
    const Fixed shift = X2Fix(cx - gap / 2) - reach;
    const Fixed centre = X2Fix(cx);
    std::vector<FixedVector3> mirrored;
    for (FixedVector3& p : points) {
        p = {p.x + shift, p.y + X2Fix(cy), p.z + X2Fix(cz)};
        mirrored.push_back({2 * centre - p.x, p.y, p.z});
    }
    // Mirrored faces run the other way round to face outwards.
    std::vector<std::vector<int16_t>> reversed;
    for (const std::vector<int16_t>& face : faces) reversed.push_back({face.rbegin(), face.rend()});
    return Add(parent, MakePolygonMesh(parent->Holder, points, faces), kStone) &&
           Add(parent, MakePolygonMesh(parent->Holder, mirrored, reversed), kBrass);
}

// --- houses, rooms and furniture ---

// A house: a body of 12 x 9 metres, 6 high, and a gabled roof on it, its ridge along x.
constexpr double kHouseWidth = 12;
constexpr double kHouseDepth = 9;
constexpr double kHouseHeight = 6;
constexpr double kRoofHeight = 3.5;

// A house under the parent, its body's corner at (x, y, z) metres; stored in the unit.
bool AddHouse(ModelObject* parent, double unit, double x, double y, double z)
{
    ModelHolder* holder = parent->Holder;
    ModelObject* house = NewGroup(holder, "House");
    const Fixed eaves = InUnits(z + kHouseHeight, unit);
    const std::vector<FixedPoint> gable = {
        {InUnits(y, unit), eaves},
        {InUnits(y + kHouseDepth, unit), eaves},
        {InUnits(y + kHouseDepth / 2, unit), InUnits(z + kHouseHeight + kRoofHeight, unit)}};
    return Join(
        parent, house,
        house &&
            Add(house, MakeBoxIn(holder, unit, x, y, z, x + kHouseWidth, y + kHouseDepth, z + kHouseHeight),
                kPlaster) &&
            Add(house, MakeExtrusion(holder, kAxisX, gable, InUnits(x, unit), InUnits(x + kHouseWidth, unit)), kTiles));
}

// A table of four legs and a top with four chairs round it, standing at height z with its middle
// at (x, y), in metres, stored in the unit: 13 boxes.
bool AddDiningSet(ModelObject* parent, double unit, double x, double y, double z)
{
    constexpr double kTopHalf = 0.6;
    constexpr double kTopThickness = 0.04;
    constexpr double kLeg = 0.05;
    constexpr double kTableHeight = 0.75;
    constexpr double kChairOut = 0.95;  // from the table's middle to a seat's
    constexpr double kSeatHalf = 0.22;
    constexpr double kSeatHeight = 0.45;
    constexpr double kBackHeight = 0.95;
    constexpr double kBackHalf = 0.02;
    ModelHolder* holder = parent->Holder;
    const double legTop = z + kTableHeight - kTopThickness;
    bool added =
        Add(parent,
            MakeBoxIn(holder, unit, x - kTopHalf, y - kTopHalf, legTop, x + kTopHalf, y + kTopHalf, z + kTableHeight),
            kWood) != nullptr;
    for (int32_t k = 0; k < 4 && added; ++k) {
        const double lx = x + (k % 2 ? kTopHalf - kLeg : -kTopHalf);
        const double ly = y + (k / 2 ? kTopHalf - kLeg : -kTopHalf);
        added = Add(parent, MakeBoxIn(holder, unit, lx, ly, z, lx + kLeg, ly + kLeg, legTop), kWood) != nullptr;
    }
    // A chair on each side: a seat, and on it a back along the seat's outer edge.
    for (int32_t k = 0; k < 4 && added; ++k) {
        const double dx = k == 0 ? -1 : k == 1 ? 1 : 0;
        const double dy = k == 2 ? -1 : k == 3 ? 1 : 0;
        const double cx = x + dx * kChairOut;
        const double cy = y + dy * kChairOut;
        const double backX = cx + dx * (kSeatHalf - kBackHalf);
        const double backY = cy + dy * (kSeatHalf - kBackHalf);
        const double halfX = dx != 0 ? kBackHalf : kSeatHalf;
        const double halfY = dy != 0 ? kBackHalf : kSeatHalf;
        added = Add(parent,
                    MakeBoxIn(holder, unit, cx - kSeatHalf, cy - kSeatHalf, z, cx + kSeatHalf, cy + kSeatHalf,
                              z + kSeatHeight),
                    kWood) &&
                Add(parent,
                    MakeBoxIn(holder, unit, backX - halfX, backY - halfY, z + kSeatHeight, backX + halfX, backY + halfY,
                              z + kBackHeight),
                    kWood);
    }
    return added;
}

}  // namespace

// --- the makers ---

namespace {

// A landscape of some `faces` faces in patches of `side` x `side`, shaded so, under `lights` lights.
ModelDocument* BuildLandscape(int32_t faces, int32_t side, Shading shading, int32_t lights)
{
    // Cells of 8 metres: a patch of 128 x 128 faces is a kilometre across.
    constexpr double kCell = 8;
    ModelDocument* document = NewScene("Landscape", lights);
    if (!document) return nullptr;
    const int32_t perPatch = side * side;
    const int32_t patches = std::max(1, (faces + perPatch - 1) / perPatch);
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(patches))));
    const double width = columns * side * kCell;
    const std::vector<Terrain> rows = AlternateRows(patches, columns);
    const Landscape land = {-width / 2, -double(rows.size()) * side * kCell / 2, kCell, side, columns, rows};
    if (!AddLandscape(document->Holder->Root, land, patches, shading)) return Discard(document);
    return Finish(document, kMetre, 0, land.y0 - 50, 40, 0, 100);
}

}  // namespace

ModelDocument* BuildHonestLandscape(int32_t faces, int32_t side)
{
    return BuildLandscape(faces, side, Shading::kFlat, 2);
}

ModelDocument* BuildHonestSmoothLandscape(int32_t faces, int32_t lights)
{
    return BuildLandscape(faces, 128, Shading::kSmooth, lights);
}

ModelDocument* BuildHonestSphereMeshes(int32_t side, double gap)
{
    constexpr double kRadius = 1000;
    ModelDocument* document = NewScene("Sphere meshes", 2);
    if (!document) return nullptr;
    if (!AddSphereMeshPair(document->Holder->Root, side, kRadius, 0, 0, 0, gap * kRadius)) return Discard(document);
    return Finish(document, kMetre, 0, -4 * kRadius, 0, 0, kRadius);
}

ModelDocument* BuildHonestSpheres(int32_t count, bool touching, int32_t lights)
{
    constexpr int32_t kRadius = 50;
    ModelDocument* document = NewScene(touching ? "Spheres touching" : "Spheres apart", lights);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t side = int32_t(std::ceil(std::cbrt(double(count))));
    // Touching spheres meet at their sides' outermost corners and at their poles.
    const int32_t pitch = touching ? 2 * kRadius : 3 * kRadius;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t x = pitch * (k % side - side / 2);
        const int32_t y = pitch * (k / side % side - side / 2);
        const int32_t z = pitch * (k / (side * side));
        if (!Add(root, MakeSphere(document->Holder, kSphereCorners, kSphereSegments, kRadius, x, y, z),
                 k % 3 ? kStone : kBrass))
            return Discard(document);
    }
    return Finish(document, kMetre, 0, -pitch * side, pitch * side / 2.0, 0, 2 * kRadius);
}

ModelDocument* BuildHonestLargeSpheres(int32_t count, SphereFinish finish)
{
    constexpr int32_t kRadius = 1000;
    // Two radii apart: their bounds do not meet.
    constexpr int32_t kPitch = 4 * kRadius;
    ModelDocument* document = NewScene("Spheres of the most segments", 2);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    for (int32_t k = 0; k < count; ++k) {
        ModelObject* sphere = MakeSphere(document->Holder, kMostCorners, kMostSegments, kRadius, kPitch * k, 0, 0,
                                         finish == SphereFinish::kFaceted ? kFacets : 0);
        if (!sphere) return Discard(document);
        if (finish == SphereFinish::kSmooth) sphere->SetSideAttribute(1, kSideBoth);
        if (!Add(root, sphere, kBrass)) return Discard(document);
    }
    return Finish(document, kMetre, kPitch / 2.0 * (count - 1), -4 * kRadius, 0, 0, kRadius);
}

namespace {

// A village's houses in rows of lots on one landscape object of 128 x 128 quads that reaches a lot
// beyond them on every side; each house added under the group by `add` with the south-west
// corner of its body at (x, y) on flat ground. Null when a part could not be made.
template <class AddHouseAt>
ModelDocument* BuildVillage(int32_t houses, Terrain terrain, AddHouseAt add)
{
    constexpr int32_t kGroundSide = 128;
    constexpr double kLot = 20;
    ModelDocument* document = NewScene("Village", 2);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(houses))));
    const double width = (columns + 2) * kLot;
    const Landscape ground = {-width / 2, -width / 2, width / kGroundSide, kGroundSide, 1, {terrain}};
    if (!AddLandscape(root, ground, 1)) return Discard(document);
    ModelObject* village = NewGroup(document->Holder, "Houses");
    bool built = true;
    for (int32_t k = 0; village && built && k < houses; ++k) {
        const double x = ground.x0 + kLot * (1 + k % columns) + (kLot - kHouseWidth) / 2;
        const double y = ground.y0 + kLot * (1 + k / columns) + (kLot - kHouseDepth) / 2;
        built = add(village, x, y);
    }
    if (!Join(root, village, built)) return Discard(document);
    const double eye = 1.7 + (terrain == Terrain::kRolling ? RollingHeight(0, ground.y0 + 10) : 0);
    return Finish(document, kMetre, 0, ground.y0 + 10, eye, 0, 10);
}

}  // namespace

ModelDocument* BuildHonestVillage(int32_t houses)
{
    return BuildVillage(houses, Terrain::kFlat,
                        [](ModelObject* village, double x, double y) { return AddHouse(village, kMetre, x, y, 0); });
}

ModelDocument* BuildHonestRollingVillage(int32_t houses)
{
    return BuildVillage(houses, Terrain::kRolling, [](ModelObject* village, double x, double y) {
        // The floor at the ground's lowest corner: the house sinks into the slope above it.
        double floor = RollingHeight(x, y);
        for (const double cx : {x, x + kHouseWidth}) {
            for (const double cy : {y, y + kHouseDepth}) floor = std::min(floor, RollingHeight(cx, cy));
        }
        // The gable end's outline, drawn across the house and pushed its length along x.
        const Fixed eaves = X2Fix(floor + kHouseHeight);
        const std::vector<FixedPoint> end = {{X2Fix(y), X2Fix(floor)},
                                             {X2Fix(y + kHouseDepth), X2Fix(floor)},
                                             {X2Fix(y + kHouseDepth), eaves},
                                             {X2Fix(y + kHouseDepth / 2), X2Fix(floor + kHouseHeight + kRoofHeight)},
                                             {X2Fix(y), eaves}};
        return Add(village, MakeExtrusion(village->Holder, kAxisX, end, X2Fix(x), X2Fix(x + kHouseWidth)), kPlaster) !=
               nullptr;
    });
}

namespace {

// A forest's tree: a trunk of 12 sides from the ground to 3 metres, and on it a crown, a cone of
// 73 or 74 corners 8 metres high. Trees stand in rows over the ground, each moved off its place
// in the rows by up to a third of their pitch.
constexpr int32_t kTrunkCorners = 12;
constexpr double kTrunkRadius = 0.25;
constexpr double kTrunkHeight = 3;
constexpr int32_t kCrownCorners = 73;
constexpr double kCrownRadius = 2;
constexpr double kCrownHeight = 8;
constexpr double kOutOfLine = 1.0 / 3;
constexpr int32_t kConeKind = 2;

// A regular outline of `corners` points of the radius about the origin.
std::vector<FixedPoint> Circle(int32_t corners, double radius)
{
    std::vector<FixedPoint> outline;
    for (int32_t i = 0; i < corners; ++i) {
        const double angle = 2 * kPi * i / corners;
        outline.push_back({X2Fix(radius * std::cos(angle)), X2Fix(radius * std::sin(angle))});
    }
    return outline;
}

// A number in [-1, 1) that the index picks, the same on every run: a tree's offset from its row.
double Scatter(uint32_t index)
{
    uint32_t h = index * 2654435761u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return double(h % 65536) / 32768 - 1;
}

// An upright primitive of the kind over a regular outline of `corners` points of the radius, from
// height h0 to h1 above the point (x, y, z) metres: made about its axis and placed there, so that
// a cone's apex lies over the middle of its base.
ModelObject* MakeUpright(ModelHolder* holder, int32_t kind, int32_t corners, double radius, double h0, double h1,
                         double x, double y, double z)
{
    ModelObject* shape = MakeExtrusion(holder, kAxisZ, Circle(corners, radius), X2Fix(h0), X2Fix(h1));
    if (!shape) return nullptr;
    shape->SetPrimitiveKind(kind, 1);
    shape->SetObjectPosition(X2Fix(x), X2Fix(y), X2Fix(z));
    return shape;
}

// A tree whose trunk stands at (x, y, z) metres; a crown of a corner more when `tall`.
bool AddForestTree(ModelObject* forest, double x, double y, double z, bool tall)
{
    ModelHolder* holder = forest->Holder;
    ModelObject* tree = NewGroup(holder, "Tree");
    return Join(forest, tree,
                tree &&
                    Add(tree, MakeUpright(holder, kPrismKind, kTrunkCorners, kTrunkRadius, 0, kTrunkHeight, x, y, z),
                        kWood) &&
                    Add(tree,
                        MakeUpright(holder, kConeKind, kCrownCorners + (tall ? 1 : 0), kCrownRadius, kTrunkHeight,
                                    kTrunkHeight + kCrownHeight, x, y, z),
                        kLeaves));
}

}  // namespace

ModelDocument* BuildHonestForest(int32_t trees, int32_t patches, bool rolling)
{
    constexpr int32_t kSide = 128;
    constexpr double kCell = 2;
    // On rolling ground a trunk is sunk this far below the ground under its middle, so that the
    // slope meets it all round.
    constexpr double kSunk = 0.3;
    ModelDocument* document = NewScene("Forest", 2);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::lround(std::sqrt(double(patches))));
    const double width = columns * kSide * kCell;
    const Landscape land = {-width / 2, -width / 2, kCell, kSide, columns,
                            std::vector<Terrain>(size_t(columns), rolling ? Terrain::kRolling : Terrain::kFlat)};
    if (!AddLandscape(root, land, columns * columns)) return Discard(document);
    const int32_t across = int32_t(std::ceil(std::sqrt(double(trees))));
    const double pitch = width / across;
    ModelObject* forest = NewGroup(document->Holder, "Forest");
    bool built = true;
    for (int32_t k = 0; forest && built && k < trees; ++k) {
        const double x = land.x0 + pitch * (k % across + 0.5 + kOutOfLine * Scatter(uint32_t(2 * k)));
        const double y = land.y0 + pitch * (k / across + 0.5 + kOutOfLine * Scatter(uint32_t(2 * k + 1)));
        built = AddForestTree(forest, x, y, rolling ? RollingHeight(x, y) - kSunk : 0, k % 2 == 1);
    }
    if (!Join(root, forest, built)) return Discard(document);
    const double eye = 1.7 + (rolling ? RollingHeight(0, land.y0 - 10) : 0);
    return Finish(document, kMetre, 0, land.y0 - 10, eye, 0, 10);
}

ModelDocument* BuildHonestBoulders(int32_t boulders)
{
    // A kilometre of rolling ground, one landscape object of 128 x 128 quads; the boulders of 1, 2
    // and 3 metres in turn, their middles on the ground.
    constexpr int32_t kGroundSide = 128;
    constexpr double kWidth = 1024;
    ModelDocument* document = NewScene("Boulders", 2);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const Landscape ground = {-kWidth / 2, -kWidth / 2, kWidth / kGroundSide, kGroundSide, 1, {Terrain::kRolling}};
    if (!AddLandscape(root, ground, 1)) return Discard(document);
    const int32_t across = int32_t(std::ceil(std::sqrt(double(boulders))));
    const double pitch = kWidth / across;
    ModelObject* field = NewGroup(document->Holder, "Boulders");
    bool built = true;
    for (int32_t k = 0; field && built && k < boulders; ++k) {
        const double x = ground.x0 + pitch * (k % across + 0.5 + kOutOfLine * Scatter(uint32_t(2 * k)));
        const double y = ground.y0 + pitch * (k / across + 0.5 + kOutOfLine * Scatter(uint32_t(2 * k + 1)));
        const int32_t radius = 1 + k % 3;
        built = Add(field,
                    MakeSphere(document->Holder, kSphereCorners, kSphereSegments, radius, int32_t(std::lround(x)),
                               int32_t(std::lround(y)), int32_t(std::lround(RollingHeight(x, y)))),
                    kStone) != nullptr;
    }
    if (!Join(root, field, built)) return Discard(document);
    return Finish(document, kMetre, 0, ground.y0 - 10, 1.7 + RollingHeight(0, ground.y0 - 10), 0, 10);
}

ModelDocument* BuildHonestFloorRooms(int32_t rooms)
{
    constexpr double kRoomWidth = 5;
    constexpr double kRoomDepth = 4;
    constexpr double kCorridor = 1;
    ModelDocument* document = NewScene("Floor of rooms", 2);
    if (!document) return nullptr;
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(rooms))));
    const int32_t rows = (rooms + columns - 1) / columns;
    const double width = columns * (kRoomWidth + kCorridor) + kCorridor;
    const double depth = rows * (kRoomDepth + kCorridor) + kCorridor;
    ModelObject* slab =
        Add(root, MakeBoxIn(holder, kMetre, -width / 2, -depth / 2, -0.3, width / 2, depth / 2, 0), kStone);
    if (!slab) return Discard(document);
    const int32_t top = FaceFacing(slab, 0, 0, 256);
    for (int32_t k = 0; k < rooms; ++k) {
        const double x = -width / 2 + kCorridor + (k % columns) * (kRoomWidth + kCorridor);
        const double y = -depth / 2 + kCorridor + (k / columns) * (kRoomDepth + kCorridor);
        ModelObject* room = Add(root, MakeBoxIn(holder, kMetre, x, y, 0, x + kRoomWidth, y + kRoomDepth, 3), kPlaster);
        if (!room) return Discard(document);
        slab->AddFaceContact(top, room, FaceFacing(room, 0, 0, -256));
    }
    return Finish(document, kMetre, -width / 2 + kCorridor / 2, -depth / 2 + 1, 1.7, 0, 1);
}

namespace {

// The nested model's parts: a room of 4 x 4 metres holds walls, a shelf, a lamp and a dining set
// (25 boxes, 150 faces); a floor ten rooms in two rows, a building four floors, and the site holds
// the buildings in rows of four on one plaza.
constexpr double kRoomSide = 4;
constexpr double kRoomPitch = 160 * kInch;  // 4.064 metres: the rooms' walls stand apart
constexpr int32_t kRoomsPerFloor = 10;
constexpr int32_t kFloorsPerBuilding = 4;
constexpr double kStorey = 10 * kFoot;
constexpr double kSlab = 8 * kInch;
constexpr double kBuildingPitch = 30;
constexpr int32_t kFacesPerRoom = 150;

// The units of the site's groups, from the site down to its rooms, in which each group's parts
// are stored; 0 for groups that keep no units of their own, whose parts are stored in the root's.
struct SiteUnits {
    double site;
    double building;
    double floor;
    double room;
};
constexpr SiteUnits kUnitsOfTheirOwn = {kMetre, kFoot, kInch, kCentimetre};
constexpr SiteUnits kRootUnits = {0, 0, 0, 0};
constexpr double kSiteRoot = kInch;

// The buildings of four floors of ten rooms that hold the rooms.
int32_t BuildingsOf(int32_t rooms)
{
    return (rooms + kRoomsPerFloor * kFloorsPerBuilding - 1) / (kRoomsPerFloor * kFloorsPerBuilding);
}

// The unit the parts of a group of the unit are stored in.
double StoredIn(double unit)
{
    return unit > 0 ? unit : kSiteRoot;
}

// A room's walls and furniture standing at height z from (x, y), stored in the unit.
bool AddRoom(ModelObject* floor, double unit, double x, double y, double z)
{
    constexpr double kWall = 0.1;
    constexpr double kHeight = 2.5;
    // From the room's south-west corner on its floor, in metres.
    struct Fitting {
        double x0, y0, z0, x1, y1, z1;
        RGBColor48 colour;
    };
    constexpr Fitting kFittings[] = {
        // Walls: south and north the whole width, west and east between them.
        {0, 0, 0, kRoomSide, kWall, kHeight, kPlaster},
        {0, kRoomSide - kWall, 0, kRoomSide, kRoomSide, kHeight, kPlaster},
        {0, kWall, 0, kWall, kRoomSide - kWall, kHeight, kPlaster},
        {kRoomSide - kWall, kWall, 0, kRoomSide, kRoomSide - kWall, kHeight, kPlaster},
        // A shelf against the north wall: two sides and four boards between them.
        {0.3, 3.55, 0, 0.32, 3.9, 1.8, kWood},
        {1.28, 3.55, 0, 1.3, 3.9, 1.8, kWood},
        {0.32, 3.55, 0.43, 1.28, 3.9, 0.45, kWood},
        {0.32, 3.55, 0.88, 1.28, 3.9, 0.9, kWood},
        {0.32, 3.55, 1.33, 1.28, 3.9, 1.35, kWood},
        {0.32, 3.55, 1.78, 1.28, 3.9, 1.8, kWood},
        // A standard lamp in the south-east corner: a foot and a pole on it.
        {3.5, 0.2, 0, 3.8, 0.5, 0.05, kBrass},
        {3.63, 0.33, 0.05, 3.67, 0.37, 1.6, kBrass},
    };
    ModelObject* room = AddGroup(floor, "Room", unit);
    if (!room) return false;
    const double stored = StoredIn(unit);
    for (const Fitting& f : kFittings) {
        if (!Add(room, MakeBoxIn(floor->Holder, stored, x + f.x0, y + f.y0, z + f.z0, x + f.x1, y + f.y1, z + f.z1),
                 f.colour))
            return false;
    }
    return AddDiningSet(room, stored, x + kRoomSide / 2, y + kRoomSide / 2, z);
}

// Fills the site with `rooms` rooms in buildings of four floors, in rows of `columns` buildings
// from (x, y) on a plaza, its groups in the units; false when a part could not be made.
bool FillSite(ModelObject* site, const SiteUnits& units, int32_t rooms, int32_t columns, double x, double y)
{
    ModelHolder* holder = site->Holder;
    const int32_t buildings = BuildingsOf(rooms);
    const int32_t rows = (buildings + columns - 1) / columns;
    const double floorWidth = kRoomsPerFloor / 2 * kRoomPitch;
    const double floorDepth = 2 * kRoomPitch;
    if (!Add(site,
             MakeBoxIn(holder, StoredIn(units.site), x - 5, y - 5, -0.5, x + columns * kBuildingPitch + 5,
                       y + rows * kBuildingPitch + 5, 0),
             kStone))
        return false;
    int32_t room = 0;
    for (int32_t b = 0; b < buildings; ++b) {
        ModelObject* building = AddGroup(site, "Building", units.building);
        if (!building) return false;
        const double bx = x + (b % columns) * kBuildingPitch;
        const double by = y + (b / columns) * kBuildingPitch;
        const int32_t storeys = std::min(kFloorsPerBuilding, (rooms - room + kRoomsPerFloor - 1) / kRoomsPerFloor);
        // Four columns at the corners, the whole building's height.
        for (int32_t c = 0; c < 4; ++c) {
            const double cx = bx + (c % 2) * (floorWidth - 0.3);
            const double cy = by + (c / 2) * (floorDepth - 0.3);
            if (!Add(building,
                     MakeBoxIn(holder, StoredIn(units.building), cx, cy, 0, cx + 0.3, cy + 0.3, storeys * kStorey),
                     kStone))
                return false;
        }
        for (int32_t f = 0; f < storeys; ++f) {
            ModelObject* floor = AddGroup(building, "Floor", units.floor);
            const double fz = f * kStorey;
            if (!floor || !Add(floor,
                               MakeBoxIn(holder, StoredIn(units.floor), bx, by, fz, bx + floorWidth, by + floorDepth,
                                         fz + kSlab),
                               kStone))
                return false;
            for (int32_t r = 0; r < kRoomsPerFloor && room < rooms; ++r, ++room) {
                // Rooms stand on the slab, sunk into it by less than their unit where it does not
                // meet its top exactly.
                const double roomUnit = StoredIn(units.room);
                const double rz = std::floor((fz + kSlab) / roomUnit) * roomUnit;
                if (!AddRoom(floor, units.room, bx + (r % 5) * kRoomPitch, by + (r / 5) * kRoomPitch, rz)) return false;
            }
        }
    }
    return true;
}

// A site of some `faces` faces in groups in the units, its buildings in rows of `columns`.
ModelDocument* BuildSite(int32_t faces, const SiteUnits& units, int32_t columns)
{
    ModelDocument* document = NewScene("Site", 2);
    if (!document) return nullptr;
    const int32_t rooms = std::max(1, (faces + kFacesPerRoom - 1) / kFacesPerRoom);
    const int32_t rows = (BuildingsOf(rooms) + columns - 1) / columns;
    const double x = -columns * kBuildingPitch / 2;
    const double y = -rows * kBuildingPitch / 2;
    ModelObject* site = NewGroup(document->Holder, "Site", units.site);
    if (!Join(document->Holder->Root, site, site && FillSite(site, units, rooms, columns, x, y)))
        return Discard(document);
    return Finish(document, kSiteRoot, x - 3, y - 3, 1.7, 224, 5);
}

}  // namespace

ModelDocument* BuildHonestNestedGroups(int32_t faces)
{
    const int32_t buildings = BuildingsOf(std::max(1, (faces + kFacesPerRoom - 1) / kFacesPerRoom));
    return BuildSite(faces, kUnitsOfTheirOwn, std::min(buildings, 4));
}

ModelDocument* BuildHonestInteriors(int32_t faces)
{
    const int32_t buildings = BuildingsOf(std::max(1, (faces + kFacesPerRoom - 1) / kFacesPerRoom));
    return BuildSite(faces, kRootUnits, int32_t(std::ceil(std::sqrt(double(buildings)))));
}

namespace {

// A town's block: 48 metres square in a pitch of 64, stored in feet.
constexpr double kBlockSide = 48;
constexpr double kBlockPitch = 64;
constexpr double kPlazaHeight = kFoot;
constexpr int32_t kHousesPerBlock = 6;
constexpr int32_t kTreesPerBlock = 8;
constexpr int32_t kOfficeRooms = 8;
// A monument's sphere: 64 corners, 16 segments to each pole (2,048 faces).
constexpr int32_t kMonumentCorners = 64;
constexpr int32_t kMonumentSegments = 16;

// An office on the plaza, stored in inches: a floor slab whose top face is connected to each of
// its rooms standing on it, and a furnished room.
bool AddOffice(ModelObject* block, double x, double y, double z)
{
    ModelObject* office = AddGroup(block, "Office", kInch);
    if (!office) return false;
    ModelHolder* holder = block->Holder;
    constexpr double kRoom = 144 * kInch;
    constexpr double kGap = 4 * kInch;
    const double width = 4 * (kRoom + kGap) + kGap;
    const double depth = 2 * (kRoom + kGap) + kGap;
    ModelObject* slab = Add(office, MakeBoxIn(holder, kInch, x, y, z, x + width, y + depth, z + kSlab), kStone);
    if (!slab) return false;
    const int32_t top = FaceFacing(slab, 0, 0, 256);
    for (int32_t r = 0; r < kOfficeRooms; ++r) {
        const double rx = x + kGap + (r % 4) * (kRoom + kGap);
        const double ry = y + kGap + (r / 4) * (kRoom + kGap);
        ModelObject* room =
            Add(office, MakeBoxIn(holder, kInch, rx, ry, z + kSlab, rx + kRoom, ry + kRoom, z + kSlab + 108 * kInch),
                kPlaster);
        if (!room) return false;
        slab->AddFaceContact(top, room, FaceFacing(room, 0, 0, -256));
    }
    ModelObject* furnished = NewGroup(holder, "Meeting room");
    return Join(office, furnished, furnished && AddDiningSet(furnished, kInch, x + width / 2, y - 3, z));
}

// A tree standing at (x, y, z) in feet: a trunk of six sides and a crown of 16 x 8 segments on it.
bool AddTree(ModelObject* block, int32_t x, int32_t y, int32_t z)
{
    constexpr int32_t kTrunk = 7;
    constexpr int32_t kCrown = 5;
    ModelObject* tree = NewGroup(block->Holder, "Tree");
    return Join(
        block, tree,
        tree && Add(tree, MakeShape(block->Holder, kPrismKind, 1, kAxisZ, 6, 1, 0, kTrunk, x, y, z), kWood) &&
            Add(tree, MakeSphere(block->Holder, kSphereCorners, kSphereSegments, kCrown, x, y, z + kTrunk + kCrown),
                kLeaves));
}

// A monument at (x, y, z) in feet: a pedestal and on it a sphere, smooth or faceted.
bool AddMonument(ModelObject* block, int32_t x, int32_t y, int32_t z, bool smooth)
{
    constexpr int32_t kPedestal = 4;
    constexpr int32_t kRadius = 6;
    ModelHolder* holder = block->Holder;
    if (!Add(block,
             MakeBoxIn(holder, kFoot, (x - 4) * kFoot, (y - 4) * kFoot, z * kFoot, (x + 4) * kFoot, (y + 4) * kFoot,
                       (z + kPedestal) * kFoot),
             kStone))
        return false;
    ModelObject* sphere = MakeSphere(holder, kMonumentCorners, kMonumentSegments, kRadius, x, y,
                                     z + kPedestal + kRadius, smooth ? 0 : kFacets);
    if (!sphere) return false;
    if (smooth) sphere->SetSideAttribute(1, kSideBoth);
    return Add(block, sphere, kBrass) != nullptr;
}

// A block whose plaza's south-west corner lies at (x, y) metres on flat ground, stored in feet.
bool AddBlock(ModelObject* town, int32_t number, double x, double y)
{
    ModelObject* block = AddGroup(town, "Block", kFoot);
    if (!block ||
        !Add(block, MakeBoxIn(town->Holder, kFoot, x, y, 0, x + kBlockSide, y + kBlockSide, kPlazaHeight), kStone))
        return false;
    // Houses along the south and north edges, the office in the middle, trees along the east and
    // west edges, the monument by the north houses.
    for (int32_t h = 0; h < kHousesPerBlock; ++h) {
        const double hx = x + 2 + (h % 3) * 15.5;
        const double hy = h < 3 ? y + 2 : y + kBlockSide - 11;
        if (!AddHouse(block, kFoot, hx, hy, kPlazaHeight)) return false;
    }
    if (!AddOffice(block, x + 6, y + 17, kPlazaHeight)) return false;
    const int32_t plaza = int32_t(std::lround(kPlazaHeight / kFoot));
    for (int32_t t = 0; t < kTreesPerBlock; ++t) {
        const double tx = t < kTreesPerBlock / 2 ? x + 2 : x + kBlockSide - 2;
        const double ty = y + 14 + 6 * (t % (kTreesPerBlock / 2));
        if (!AddTree(block, int32_t(std::lround(tx / kFoot)), int32_t(std::lround(ty / kFoot)), plaza)) return false;
    }
    return AddMonument(block, int32_t(std::lround((x + kBlockSide - 8) / kFoot)),
                       int32_t(std::lround((y + 30) / kFoot)), plaza, number % 2 == 1);
}

}  // namespace

ModelDocument* BuildHonestTown(int32_t blocks, int32_t patches, bool hills)
{
    constexpr int32_t kSide = 128;
    constexpr double kCell = 2;
    constexpr double kMargin = 32;
    constexpr int32_t kGlobeSide = 48;
    constexpr double kGlobeRadius = 8;
    ModelDocument* document = NewScene("Town", 4);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(patches))));
    const int32_t flatRows = (patches + columns - 1) / columns;
    const double width = columns * kSide * kCell;
    std::vector<Terrain> rows(size_t(flatRows), Terrain::kFlat);
    if (hills) rows.push_back(Terrain::kHilly);
    const Landscape land = {-width / 2, -flatRows * kSide * kCell / 2, kCell, kSide, columns, rows};
    if (!AddLandscape(root, land, patches + (hills ? columns : 0))) return Discard(document);
    ModelObject* town = NewGroup(document->Holder, "Blocks");
    const int32_t blockColumns = int32_t((width - 2 * kMargin + kBlockPitch - kBlockSide) / kBlockPitch);
    bool built = true;
    for (int32_t b = 0; town && built && b < blocks; ++b) {
        const double x = land.x0 + kMargin + (b % blockColumns) * kBlockPitch;
        const double y = land.y0 + kMargin + (b / blockColumns) * kBlockPitch;
        built = AddBlock(town, b, x, y);
    }
    if (!Join(root, town, built)) return Discard(document);
    // Two globes on the ground in the margin south of the blocks, touching each other.
    if (!AddSphereMeshPair(root, kGlobeSide, kGlobeRadius, 0, land.y0 + kMargin / 2, kGlobeRadius, 0))
        return Discard(document);
    return Finish(document, kMetre, land.x0 + kMargin + kBlockSide + (kBlockPitch - kBlockSide) / 2, land.y0 + kMargin,
                  1.7, 0, 8);
}

namespace {

// A glass town's block: 48 metres square in a pitch of 64, stored in feet, holding two towers,
// four shops and street lamps on a plaza.
constexpr RGBColor48 kGlass = {0x6000, 0xA000, 0xE000};
constexpr RGBColor48 kFabric = {0x5000, 0x6000, 0x9000};
// Window glass: clear, a little tinted.
constexpr uint16_t kWindowGlass = 0x4000;
constexpr double kGlassBlockSide = 48;
constexpr double kGlassBlockPitch = 64;
constexpr double kTowerSide = 14;
constexpr double kLobbyHeight = 4.5;
constexpr int32_t kLobbyPanes = 24;  // across the lobby's street front
constexpr double kShopWidth = 16;
constexpr double kShopDepth = 9;
constexpr double kShopHeight = 4.2;
constexpr double kShopGlassHeight = 3.2;
// The landscape under a glass town: 2 x 2 flat patches of 112 x 112 quads.
constexpr int32_t kGlassTownPatches = 4;
constexpr int32_t kGlassTownPatchSide = 112;

// The sides of a glazed box, anticlockwise seen from above: south, east, north, west.
constexpr int32_t kBoxSides = 4;

// A box from (x0, y0, z0) to (x1, y1, z1) metres, stored in the unit, whose side s (south, east,
// north, west) is glazed up to `glassTop` with panes[s] panes side by side (none: a wall from the
// ground up), the wall above the panes a face of its own. Its pane faces come first, side by side
// round the box; `*glassFaces` is how many. Null when memory is short.
ModelObject* MakeGlazedBox(ModelHolder* holder, double unit, double x0, double y0, double z0, double x1, double y1,
                           double glassTop, double z1, const int32_t (&panes)[kBoxSides], int32_t* glassFaces)
{
    const double cornerX[kBoxSides] = {x0, x1, x1, x0};
    const double cornerY[kBoxSides] = {y0, y0, y1, y1};
    std::vector<FixedVector3> points;
    auto point = [&](double x, double y, double z) {
        points.push_back({InUnits(x, unit), InUnits(y, unit), InUnits(z, unit)});
        return int16_t(points.size() - 1);
    };
    // Along each side at the ground and at the panes' tops: its corner, then the panes' borders.
    std::vector<int16_t> ground[kBoxSides];
    std::vector<int16_t> glass[kBoxSides];
    int16_t top[kBoxSides];
    for (int32_t s = 0; s < kBoxSides; ++s) {
        const int32_t n = std::max(panes[s], 1);
        const int32_t e = (s + 1) % kBoxSides;
        for (int32_t k = 0; k < n; ++k) {
            const double x = cornerX[s] + (cornerX[e] - cornerX[s]) * k / n;
            const double y = cornerY[s] + (cornerY[e] - cornerY[s]) * k / n;
            ground[s].push_back(point(x, y, z0));
            if (panes[s] > 0 || k == 0) glass[s].push_back(point(x, y, glassTop));
        }
        top[s] = point(cornerX[s], cornerY[s], z1);
    }
    // Faces run clockwise seen from outside.
    std::vector<std::vector<int16_t>> faces;
    for (int32_t s = 0; s < kBoxSides; ++s) {
        const int32_t e = (s + 1) % kBoxSides;
        for (int32_t k = 0; k < panes[s]; ++k) {
            const bool last = k + 1 == panes[s];
            const int16_t right = last ? ground[e][0] : ground[s][size_t(k + 1)];
            const int16_t rightTop = last ? glass[e][0] : glass[s][size_t(k + 1)];
            faces.push_back({ground[s][size_t(k)], glass[s][size_t(k)], rightTop, right});
        }
    }
    *glassFaces = int32_t(faces.size());
    for (int32_t s = 0; s < kBoxSides; ++s) {
        const int32_t e = (s + 1) % kBoxSides;
        if (panes[s] > 0)
            faces.push_back({glass[s][0], top[s], top[e], glass[e][0]});
        else
            faces.push_back({ground[s][0], top[s], top[e], ground[e][0]});
    }
    faces.push_back({top[0], top[3], top[2], top[1]});
    faces.push_back({ground[0][0], ground[1][0], ground[2][0], ground[3][0]});
    return MakePolygonMesh(holder, points, faces);
}

// Adds the glazed box under the parent, its walls in the colour and its panes of window glass;
// the box, or null when it could not be made.
ModelObject* AddGlazedBox(ModelObject* parent, double unit, double x0, double y0, double x1, double y1, double z0,
                          double glassTop, double z1, const int32_t (&panes)[kBoxSides], const RGBColor48& colour)
{
    int32_t glassFaces = 0;
    ModelObject* box =
        Add(parent, MakeGlazedBox(parent->Holder, unit, x0, y0, z0, x1, y1, glassTop, z1, panes, &glassFaces), colour);
    for (int32_t face = 0; box && face < glassFaces; ++face) {
        Surface* surface = box->SurfaceForFace(face);
        if (!surface) return nullptr;
        surface->SetSurfaceColour(kGlass, kWindowGlass, kSideBoth);
    }
    return box;
}

// Adds the boxes, given in metres from (x, y, z), under the parent in the unit; false when one
// could not be made.
struct Fitting {
    double x0, y0, z0, x1, y1, z1;
    RGBColor48 colour;
};

template <size_t kCount>
bool AddFittings(ModelObject* parent, double unit, double x, double y, double z, const Fitting (&fittings)[kCount])
{
    for (const Fitting& f : fittings) {
        if (!Add(parent,
                 MakeBoxIn(parent->Holder, unit, x + f.x0, y + f.y0, z + f.z0, x + f.x1, y + f.y1, z + f.z1),
                 f.colour))
            return false;
    }
    return true;
}

// A tower whose south-west corner stands at (x, y, z) metres, stored in feet: a lobby whose street
// front (its west side, or its east side) is 24 panes of glass, a shaft of `height` metres above
// it, and inside the lobby its ceiling, the lift core, columns, a reception desk, two sofas,
// planters and a café table with its chairs.
bool AddTower(ModelObject* block, double x, double y, double z, double height, bool frontEast)
{
    constexpr int32_t kWestFront[kBoxSides] = {0, 0, 0, kLobbyPanes};
    constexpr int32_t kEastFront[kBoxSides] = {0, kLobbyPanes, 0, 0};
    ModelObject* tower = AddGlazedBox(block, kFoot, x, y, x + kTowerSide, y + kTowerSide, z, z + kLobbyHeight,
                                      z + height, frontEast ? kEastFront : kWestFront, kStone);
    if (!tower) return false;
    constexpr double kCeiling = kLobbyHeight - 0.3;
    // From the lobby's south-west corner, in metres.
    constexpr Fitting kLobby[] = {
        {0.05, 0.05, kCeiling, kTowerSide - 0.05, kTowerSide - 0.05, kLobbyHeight - 0.05, kPlaster},
        {5, 5, 0, 9, 9, kCeiling, kStone},
        {2, 2, 0, 2.4, 2.4, kCeiling, kStone},
        {11.6, 2, 0, 12, 2.4, kCeiling, kStone},
        {2, 11.6, 0, 2.4, 12, kCeiling, kStone},
        {11.6, 11.6, 0, 12, 12, kCeiling, kStone},
        // The reception desk, a counter and its return.
        {5, 2.5, 0, 9, 3.2, 1.1, kWood},
        {8.3, 3.2, 0, 9, 4.2, 1.1, kWood},
        // Two sofas facing each other across the lobby: seat, back and arms.
        {1.5, 6, 0, 2.4, 8, 0.45, kFabric},
        {1.2, 6, 0, 1.5, 8, 0.9, kFabric},
        {1.2, 5.8, 0, 2.4, 6, 0.6, kFabric},
        {1.2, 8, 0, 2.4, 8.2, 0.6, kFabric},
        {11.6, 6, 0, 12.5, 8, 0.45, kFabric},
        {12.5, 6, 0, 12.8, 8, 0.9, kFabric},
        {11.6, 5.8, 0, 12.8, 6, 0.6, kFabric},
        {11.6, 8, 0, 12.8, 8.2, 0.6, kFabric},
    };
    if (!AddFittings(tower, kFoot, x, y, z, kLobby)) return false;
    // Planters of eight sides in the lobby's corners, in whole feet.
    constexpr int32_t kPlanterSides = 8;
    constexpr int32_t kPlanterRadius = 2;
    constexpr int32_t kPlanterHeight = 3;
    for (int32_t k = 0; k < 4; ++k) {
        const int32_t px = int32_t(std::lround((x + (k % 2 ? kTowerSide - 1 : 1)) / kFoot));
        const int32_t py = int32_t(std::lround((y + (k / 2 ? kTowerSide - 1 : 1)) / kFoot));
        const int32_t pz = int32_t(std::lround(z / kFoot));
        if (!Add(tower,
                 MakeShape(block->Holder, kPrismKind, 1, kAxisZ, kPlanterSides, kPlanterRadius, 0, kPlanterHeight, px,
                           py, pz),
                 kLeaves))
            return false;
    }
    return AddDiningSet(tower, kFoot, x + kTowerSide / 2, y + 11.5, z);
}

// A shop of the plaza's south (or north) row whose south-west corner stands at (x, y, z) metres,
// stored in feet: its front on the street glazed with a shop window and a glass door under a
// fascia, and inside a counter, two shelves against the back wall and a display table.
bool AddShop(ModelObject* block, double x, double y, double z, bool facingNorth)
{
    constexpr int32_t kSouthFront[kBoxSides] = {2, 0, 0, 0};
    constexpr int32_t kNorthFront[kBoxSides] = {0, 0, 2, 0};
    ModelObject* shop = AddGlazedBox(block, kFoot, x, y, x + kShopWidth, y + kShopDepth, z, z + kShopGlassHeight,
                                     z + kShopHeight, facingNorth ? kNorthFront : kSouthFront, kPlaster);
    if (!shop) return false;
    // From the shop's south-west corner, in metres, for a shop facing south (the back wall north).
    constexpr Fitting kFittings[] = {
        // The counter.
        {11, 3, 0, 14.5, 3.8, 1.0, kWood},
        // Two shelves against the back wall: their sides and four boards each.
        {1, 8.5, 0, 1.05, 8.95, 2.2, kWood},
        {4, 8.5, 0, 4.05, 8.95, 2.2, kWood},
        {1.05, 8.5, 0.3, 4, 8.95, 0.33, kWood},
        {1.05, 8.5, 0.9, 4, 8.95, 0.93, kWood},
        {1.05, 8.5, 1.5, 4, 8.95, 1.53, kWood},
        {1.05, 8.5, 2.17, 4, 8.95, 2.2, kWood},
        {5, 8.5, 0, 5.05, 8.95, 2.2, kWood},
        {8, 8.5, 0, 8.05, 8.95, 2.2, kWood},
        {5.05, 8.5, 0.3, 8, 8.95, 0.33, kWood},
        {5.05, 8.5, 0.9, 8, 8.95, 0.93, kWood},
        {5.05, 8.5, 1.5, 8, 8.95, 1.53, kWood},
        {5.05, 8.5, 2.17, 8, 8.95, 2.2, kWood},
        // The display table: a top on four legs.
        {3, 3, 0.76, 6, 5, 0.8, kWood},
        {3, 3, 0, 3.05, 3.05, 0.76, kWood},
        {5.95, 3, 0, 6, 3.05, 0.76, kWood},
        {3, 4.95, 0, 3.05, 5, 0.76, kWood},
        {5.95, 4.95, 0, 6, 5, 0.76, kWood},
    };
    if (!facingNorth) return AddFittings(shop, kFoot, x, y, z, kFittings);
    // A shop facing north has them the other way round.
    Fitting turned[sizeof kFittings / sizeof kFittings[0]];
    for (size_t k = 0; k < sizeof kFittings / sizeof kFittings[0]; ++k) {
        const Fitting& f = kFittings[k];
        turned[k] = {kShopWidth - f.x1, kShopDepth - f.y1, f.z0, kShopWidth - f.x0, kShopDepth - f.y0, f.z1, f.colour};
    }
    return AddFittings(shop, kFoot, x, y, z, turned);
}

// A block of the glass town whose plaza's south-west corner lies at (x, y) metres, stored in feet.
bool AddGlassBlock(ModelObject* town, int32_t number, double x, double y)
{
    ModelObject* block = AddGroup(town, "Block", kFoot);
    if (!block || !Add(block,
                       MakeBoxIn(town->Holder, kFoot, x, y, 0, x + kGlassBlockSide, y + kGlassBlockSide, kPlazaHeight),
                       kStone))
        return false;
    const double z = kPlazaHeight;
    // The towers in the middle, of 30 to 48 metres, their fronts on the west and east streets.
    for (int32_t t = 0; t < 2; ++t) {
        const double height = 30 + 6 * ((number * 7 + t * 3) % 4);
        if (!AddTower(block, x + 4 + t * 26, y + 17, z, height, t == 1)) return false;
    }
    // Shops along the south and north edges, their fronts on the streets.
    for (int32_t s = 0; s < 4; ++s) {
        const bool north = s >= 2;
        if (!AddShop(block, x + 4 + (s % 2) * 24, north ? y + kGlassBlockSide - 1 - kShopDepth : y + 1, z, north))
            return false;
    }
    // Street lamps along the east and west edges: a post and a lantern.
    for (int32_t l = 0; l < 4; ++l) {
        const double lx = x + (l % 2 ? kGlassBlockSide - 1 : 1);
        const double ly = y + (l / 2 ? 34 : 14);
        const Fitting kLamp[] = {{-0.08, -0.08, 0, 0.08, 0.08, 4, kStone}, {-0.25, -0.25, 4, 0.25, 0.25, 4.4, kBrass}};
        if (!AddFittings(block, kFoot, lx, ly, z, kLamp)) return false;
    }
    return true;
}

}  // namespace

ModelDocument* BuildHonestGlassTown(int32_t blocks)
{
    constexpr double kMargin = 32;
    ModelDocument* document = NewScene("Glass town", 4);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t blockColumns = int32_t(std::ceil(std::sqrt(double(blocks))));
    const int32_t blockRows = (blocks + blockColumns - 1) / blockColumns;
    // The ground reaches the margin beyond the blocks on every side.
    const double extent =
        std::max(blockColumns, blockRows) * kGlassBlockPitch - (kGlassBlockPitch - kGlassBlockSide) + 2 * kMargin;
    const int32_t columns = int32_t(std::lround(std::sqrt(double(kGlassTownPatches))));
    const double cell = extent / (columns * kGlassTownPatchSide);
    const Landscape land = {-extent / 2, -extent / 2, cell, kGlassTownPatchSide, columns,
                            std::vector<Terrain>(size_t(columns), Terrain::kFlat)};
    if (!AddLandscape(root, land, kGlassTownPatches)) return Discard(document);
    ModelObject* town = NewGroup(document->Holder, "Blocks");
    bool built = true;
    for (int32_t b = 0; town && built && b < blocks; ++b) {
        const double x = land.x0 + kMargin + (b % blockColumns) * kGlassBlockPitch;
        const double y = land.y0 + kMargin + (b / blockColumns) * kGlassBlockPitch;
        built = AddGlassBlock(town, b, x, y);
    }
    if (!Join(root, town, built)) return Discard(document);
    // In the street between the first two columns of blocks, at their south end, looking north.
    return Finish(document, kMetre, land.x0 + kMargin + kGlassBlockSide + (kGlassBlockPitch - kGlassBlockSide) / 2,
                  land.y0 + kMargin, 1.7, 0, 8);
}

// --- details sunk into their holders, surfaces seen from both sides, furniture from a library,
// masonry ---

namespace {

// A workshop's machine, stored in metres: a body of 1.6 x 0.8 metres, 1.2 high, standing on the
// floor; a control panel sunk into the back of its top, bolts of six sides round the top's rim
// and a hand wheel, each sunk into the top, knobs of 16 x 8 segments half sunk into the panel,
// and on the front two handles, each a bar on two posts sunk into the body: 1,258 faces.
constexpr double kMachineWidth = 1.6;
constexpr double kMachineDepth = 0.8;
constexpr double kMachineHeight = 1.2;
constexpr double kMachinePitchX = 2.4;
constexpr double kMachinePitchY = 2.0;
constexpr double kDetailSunk = 0.01;  // how deep a detail goes into what holds it
constexpr int32_t kBoltsAlong = 8;  // along each long edge of the top, and two on each short one
constexpr int32_t kBoltCorners = 6;
constexpr double kBoltRadius = 0.015;
constexpr double kBoltHeight = 0.03;
constexpr double kBoltInset = 0.04;
constexpr int32_t kKnobs = 4;
constexpr double kKnobRadius = 0.025;
constexpr int32_t kWheelCorners = 24;
constexpr double kWheelRadius = 0.15;
constexpr int32_t kHandles = 2;

// A sphere of 16 x 8 segments of the radius centred at (x, y, z) metres.
ModelObject* MakeKnob(ModelHolder* holder, double radius, double x, double y, double z)
{
    ModelObject* knob = MakeUpright(holder, kPrismKind, kSphereCorners, radius, -radius, radius, x, y, z);
    if (knob) knob->SetPrimitiveKind(kSphereKind, kSphereSegments);
    return knob;
}

// A machine whose body's south-west corner stands at (x, y, z) metres, its front facing south.
bool AddMachine(ModelObject* hall, double x, double y, double z)
{
    ModelHolder* holder = hall->Holder;
    ModelObject* machine = NewGroup(holder, "Machine");
    if (!machine) return false;
    const double top = z + kMachineHeight;
    constexpr double kPanelHeight = 0.2;
    const double px0 = x + 0.2;
    const double px1 = x + 0.8;
    const double py0 = y + 0.45;
    const double py1 = y + 0.75;
    bool built =
        Add(machine, MakeBoxIn(holder, kMetre, x, y, z, x + kMachineWidth, y + kMachineDepth, top), kStone) &&
        Add(machine, MakeBoxIn(holder, kMetre, px0, py0, top - kDetailSunk, px1, py1, top + kPanelHeight), kPlaster) &&
        Add(machine,
            MakeUpright(holder, kPrismKind, kWheelCorners, kWheelRadius, -kDetailSunk, 0.05, x + 1.25, y + 0.4, top),
            kBrass);
    for (int32_t k = 0; built && k < 2 * kBoltsAlong + 4; ++k) {
        const bool alongFront = k < kBoltsAlong;
        const bool alongBack = k >= kBoltsAlong && k < 2 * kBoltsAlong;
        const int32_t end = k - 2 * kBoltsAlong;  // the bolts of the short edges
        const double bx = alongFront || alongBack ? x + kMachineWidth * (k % kBoltsAlong + 0.5) / kBoltsAlong
                          : end % 2                ? x + kMachineWidth - kBoltInset
                                                   : x + kBoltInset;
        const double by = alongFront  ? y + kBoltInset
                          : alongBack ? y + kMachineDepth - kBoltInset
                                      : y + kMachineDepth * (1 + end / 2) / 3;
        built = Add(machine,
                    MakeUpright(holder, kPrismKind, kBoltCorners, kBoltRadius, -kDetailSunk, kBoltHeight, bx, by, top),
                    kBrass) != nullptr;
    }
    for (int32_t k = 0; built && k < kKnobs; ++k) {
        built = Add(machine,
                    MakeKnob(holder, kKnobRadius, px0 + (px1 - px0) * (k + 0.5) / kKnobs, (py0 + py1) / 2,
                             top + kPanelHeight),
                    kBrass) != nullptr;
    }
    // A handle's posts go into the front, and its bar into the posts.
    constexpr double kHandleZ = 0.9;
    constexpr double kHandleLength = 0.4;
    constexpr double kPost = 0.03;
    for (int32_t h = 0; built && h < kHandles; ++h) {
        const double hx = x + 0.25 + h * 0.8;
        const double hz = z + kHandleZ;
        built = Add(machine, MakeBoxIn(holder, kMetre, hx, y - 0.06, hz, hx + kPost, y + kDetailSunk, hz + kPost),
                    kBrass) &&
                Add(machine,
                    MakeBoxIn(holder, kMetre, hx + kHandleLength - kPost, y - 0.06, hz, hx + kHandleLength,
                              y + kDetailSunk, hz + kPost),
                    kBrass) &&
                Add(machine,
                    MakeBoxIn(holder, kMetre, hx - 0.01, y - 0.08, hz - 0.005, hx + kHandleLength + 0.01, y - 0.05,
                              hz + kPost + 0.005),
                    kBrass);
    }
    return Join(hall, machine, built);
}

}  // namespace

ModelDocument* BuildHonestWorkshop(int32_t machines)
{
    constexpr double kAisle = 3;
    ModelDocument* document = NewScene("Workshop", 3);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(machines))));
    const int32_t rows = (machines + columns - 1) / columns;
    const double x0 = -columns * kMachinePitchX / 2;
    const double y0 = -rows * kMachinePitchY / 2;
    if (!Add(root,
             MakeBoxIn(document->Holder, kMetre, x0 - kAisle, y0 - kAisle, -0.3, -x0 + kAisle, -y0 + kAisle, 0),
             kStone))
        return Discard(document);
    ModelObject* hall = NewGroup(document->Holder, "Machines");
    bool built = true;
    for (int32_t k = 0; hall && built && k < machines; ++k)
        built = AddMachine(hall, x0 + (k % columns) * kMachinePitchX, y0 + (k / columns) * kMachinePitchY, 0);
    if (!Join(root, hall, built)) return Discard(document);
    return Finish(document, kMetre, x0 + kMachineWidth + 0.4, y0 - 1, 1.7, 0, 2);
}

namespace {

// A sheet of `across` x `up` quads over the corners at(i, j), i from 0 to across and j from 0 to
// up, its faces running one way round or, `reversed`, the other: one side of a surface.
template <class Corner>
ModelObject* MakeSheet(ModelHolder* holder, int32_t across, int32_t up, Corner at, bool reversed)
{
    std::vector<FixedVector3> points;
    for (int32_t j = 0; j <= up; ++j) {
        for (int32_t i = 0; i <= across; ++i) points.push_back(at(i, j));
    }
    std::vector<std::vector<int16_t>> faces;
    for (int32_t j = 0; j < up; ++j) {
        for (int32_t i = 0; i < across; ++i) {
            const int16_t a = int16_t(j * (across + 1) + i);
            const int16_t b = int16_t(a + 1);
            const int16_t d = int16_t(a + across + 1);
            const int16_t c = int16_t(d + 1);
            faces.push_back(reversed ? std::vector<int16_t>{a, b, c, d} : std::vector<int16_t>{a, d, c, b});
        }
    }
    return MakePolygonMesh(holder, points, faces);
}

// Adds a surface seen from both sides as its author draws one: two sheets on the same corners,
// facing opposite ways, in the colours of the outside and the inside.
template <class Corner>
bool AddTwoSided(ModelObject* parent, int32_t across, int32_t up, Corner at, const RGBColor48& outside,
                 const RGBColor48& inside)
{
    return Add(parent, MakeSheet(parent->Holder, across, up, at, false), outside) &&
           Add(parent, MakeSheet(parent->Holder, across, up, at, true), inside);
}

// A garden pavilion, stored in metres: a vaulted roof of 24 x 24 quads over 10 x 10 metres, two
// walls of 12 x 6 quads standing on the ground under its eaves, each seen from both sides, and a
// tree beside it, a trunk and a crown of leaves (quads, each on its own corners) seen from both
// sides: 1,690 faces.
constexpr double kPavilionSide = 10;
constexpr double kPavilionPitch = 14;
constexpr double kEaves = 3.5;
constexpr double kVaultRise = 1.5;
constexpr int32_t kRoofCells = 24;
constexpr int32_t kWallCellsAcross = 12;
constexpr int32_t kWallCellsUp = 6;
constexpr int32_t kLeafCards = 120;
constexpr double kLeafCrown = 1.5;

FixedVector3 Metres(double x, double y, double z)
{
    return {X2Fix(x), X2Fix(y), X2Fix(z)};
}

// The leaves of a crown centred at (x, y, z) metres: quads of 0.3 x 0.2 metres scattered over a
// ball, each turned its own way, seen from both sides.
bool AddLeaves(ModelObject* tree, int32_t seed, double x, double y, double z)
{
    std::vector<FixedVector3> points;
    std::vector<std::vector<int16_t>> front;
    std::vector<std::vector<int16_t>> back;
    for (int32_t k = 0; k < kLeafCards; ++k) {
        const uint32_t n = uint32_t(seed * kLeafCards + k) * 3;
        const double around = kPi * Scatter(n);
        const double up = kPi / 2 * Scatter(n + 1);
        const double reach = kLeafCrown * (0.6 + 0.4 * Scatter(n + 2));
        const double cx = x + reach * std::cos(up) * std::cos(around);
        const double cy = y + reach * std::cos(up) * std::sin(around);
        const double cz = z + reach * std::sin(up);
        // Along the leaf, across it.
        const double ux = 0.15 * -std::sin(around);
        const double uy = 0.15 * std::cos(around);
        const double vz = 0.1;
        const int16_t a = int16_t(points.size());
        points.push_back(Metres(cx - ux, cy - uy, cz - vz));
        points.push_back(Metres(cx + ux, cy + uy, cz - vz));
        points.push_back(Metres(cx + ux, cy + uy, cz + vz));
        points.push_back(Metres(cx - ux, cy - uy, cz + vz));
        front.push_back({a, int16_t(a + 3), int16_t(a + 2), int16_t(a + 1)});
        back.push_back({a, int16_t(a + 1), int16_t(a + 2), int16_t(a + 3)});
    }
    return Add(tree, MakePolygonMesh(tree->Holder, points, front), kLeaves) &&
           Add(tree, MakePolygonMesh(tree->Holder, points, back), kLeaves);
}

// A pavilion whose south-west corner stands at (x, y) metres on the ground, its tree east of it.
bool AddPavilion(ModelObject* garden, int32_t number, double x, double y)
{
    ModelHolder* holder = garden->Holder;
    ModelObject* pavilion = NewGroup(holder, "Pavilion");
    if (!pavilion) return false;
    const auto roof = [x, y](int32_t i, int32_t j) {
        return Metres(x + kPavilionSide * i / kRoofCells, y + kPavilionSide * j / kRoofCells,
                      kEaves + kVaultRise * std::sin(kPi * i / kRoofCells));
    };
    // The back wall along the north eaves' line, the side wall under the west eaves.
    const auto back = [x, y](int32_t i, int32_t j) {
        return Metres(x + kPavilionSide * i / kWallCellsAcross, y + kPavilionSide, kEaves * j / kWallCellsUp);
    };
    const auto side = [x, y](int32_t i, int32_t j) {
        return Metres(x, y + kPavilionSide * i / kWallCellsAcross, kEaves * j / kWallCellsUp);
    };
    if (!Join(garden, pavilion,
              AddTwoSided(pavilion, kRoofCells, kRoofCells, roof, kTiles, kPlaster) &&
                  AddTwoSided(pavilion, kWallCellsAcross, kWallCellsUp, back, kPlaster, kPlaster) &&
                  AddTwoSided(pavilion, kWallCellsAcross, kWallCellsUp, side, kPlaster, kPlaster)))
        return false;
    constexpr int32_t kTrunkSides = 8;
    constexpr double kTrunkTop = 3.5;
    const double tx = x + kPavilionSide + 2;
    const double ty = y + kPavilionSide / 2;
    ModelObject* tree = NewGroup(holder, "Tree");
    return Join(garden, tree,
                tree && Add(tree, MakeUpright(holder, kPrismKind, kTrunkSides, 0.2, 0, kTrunkTop, tx, ty, 0), kWood) &&
                    AddLeaves(tree, number, tx, ty, kTrunkTop + kLeafCrown / 2));
}

}  // namespace

ModelDocument* BuildHonestPavilions(int32_t pavilions)
{
    constexpr int32_t kGroundSide = 128;
    ModelDocument* document = NewScene("Garden pavilions", 3);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(pavilions))));
    const double width = (columns + 1) * kPavilionPitch;
    const Landscape ground = {-width / 2, -width / 2, width / kGroundSide, kGroundSide, 1, {Terrain::kFlat}};
    if (!AddLandscape(root, ground, 1)) return Discard(document);
    ModelObject* garden = NewGroup(document->Holder, "Garden");
    bool built = true;
    for (int32_t k = 0; garden && built && k < pavilions; ++k) {
        built = AddPavilion(garden, k, ground.x0 + kPavilionPitch * (0.5 + k % columns),
                            ground.y0 + kPavilionPitch * (0.5 + k / columns));
    }
    if (!Join(root, garden, built)) return Discard(document);
    return Finish(document, kMetre, ground.x0 + kPavilionPitch * 0.5 + kPavilionSide / 2, ground.y0 + 2, 1.7, 0, 4);
}

namespace {

// Office furniture from a library, each piece a group in the units it was drawn in, placed as
// the piece is again and again: a desk (inches) of a top on two side panels and a modesty panel,
// a chair (centimetres) of a seat on four legs and a back, a monitor (centimetres) of a foot, a
// neck and a screen, standing on the desk, and a bookcase (feet) of two sides, a top, a bottom,
// three shelves and a back. Desks stand in islands of four, back to back and side to side; each
// chair is pushed against its desk; bookcases stand side by side against a room's wall.
constexpr double kDeskWidth = 60 * kInch;
constexpr double kDeskDepth = 30 * kInch;
constexpr double kDeskHeight = 29 * kInch;
constexpr double kBoard = 1 * kInch;
constexpr double kBookcaseWidth = 3 * kFoot;
constexpr double kBookcaseDepth = 1 * kFoot;
constexpr double kBookcaseHeight = 6 * kFoot;
constexpr int32_t kBookcases = 3;
constexpr int32_t kIslands = 2;
// A room of 6 x 5 metres between its walls' middles, its walls 3 metres high; rooms side by side,
// five in a row, two rows to a floor, their walls touching.
constexpr double kOfficeWidth = 6;
constexpr double kOfficeDepth = 5;
constexpr double kOfficeHeight = 3;
constexpr double kOfficeWall = 0.1;
constexpr int32_t kOfficesAcross = 5;
constexpr int32_t kOfficesPerFloor = 2 * kOfficesAcross;
constexpr int32_t kOfficeStoreys = 5;
constexpr double kOfficeSlab = 0.3;
constexpr double kOfficeBuildingPitchX = kOfficesAcross * kOfficeWidth + 12;
constexpr double kOfficeBuildingPitchY = 2 * kOfficeDepth + 12;

// Adds the boxes given in metres from (x, y, z), turned half round about that point when `turned`
// (their x and y measured the other way), under a new group of the piece's name stored in the
// unit; false when one could not be made.
template <size_t kCount>
bool AddPiece(ModelObject* parent, const char* name, double unit, double x, double y, double z, bool turned,
              const Fitting (&parts)[kCount])
{
    ModelObject* piece = AddGroup(parent, name, unit);
    if (!piece) return false;
    for (const Fitting& f : parts) {
        const double x0 = turned ? x - f.x1 : x + f.x0;
        const double x1 = turned ? x - f.x0 : x + f.x1;
        const double y0 = turned ? y - f.y1 : y + f.y0;
        const double y1 = turned ? y - f.y0 : y + f.y1;
        if (!Add(piece, MakeBoxIn(parent->Holder, unit, x0, y0, z + f.z0, x1, y1, z + f.z1), f.colour)) return false;
    }
    return true;
}

// A desk with its chair and monitor, the desk's front-left corner at (x, y, z) metres, its front
// facing south (or north, `turned`, the corner then its back-right one).
bool AddWorkplace(ModelObject* island, double x, double y, double z, bool turned)
{
    constexpr Fitting kDesk[] = {
        {0, 0, kDeskHeight - kBoard, kDeskWidth, kDeskDepth, kDeskHeight, kWood},
        {0, 0, 0, kBoard, kDeskDepth, kDeskHeight - kBoard, kWood},
        {kDeskWidth - kBoard, 0, 0, kDeskWidth, kDeskDepth, kDeskHeight - kBoard, kWood},
        {kBoard, kDeskDepth - kBoard, 0.3, kDeskWidth - kBoard, kDeskDepth, kDeskHeight - kBoard, kWood},
    };
    // A chair pushed in: its seat's front edge against the desk's front, which it stands south of.
    constexpr double kSeat = 0.45;
    constexpr double kLeg = 0.04;
    constexpr double kSeatLow = 0.42;
    constexpr double kSeatHigh = 0.47;
    constexpr Fitting kChair[] = {
        {0, -kSeat, kSeatLow, kSeat, 0, kSeatHigh, kFabric},
        {0, -kSeat, kSeatHigh, kSeat, -kSeat + 0.05, 0.95, kFabric},
        {0, -kSeat, 0, kLeg, -kSeat + kLeg, kSeatLow, kStone},
        {kSeat - kLeg, -kSeat, 0, kSeat, -kSeat + kLeg, kSeatLow, kStone},
        {0, -kLeg, 0, kLeg, 0, kSeatLow, kStone},
        {kSeat - kLeg, -kLeg, 0, kSeat, 0, kSeatLow, kStone},
    };
    // A monitor standing on the desk's top, its screen sunk into its neck.
    constexpr Fitting kMonitor[] = {
        {0, 0, 0, 0.2, 0.2, 0.01, kStone},
        {0.08, 0.12, 0.01, 0.12, 0.16, 0.3, kStone},
        {-0.175, 0.1, 0.1, 0.375, 0.13, 0.45, kStone},
    };
    const double sign = turned ? -1 : 1;
    return AddPiece(island, "Desk", kInch, x, y, z, turned, kDesk) &&
           AddPiece(island, "Chair", kCentimetre, x + sign * (kDeskWidth - kSeat) / 2, y, z, turned, kChair) &&
           AddPiece(island, "Monitor", kCentimetre, x + sign * (kDeskWidth / 2 - 0.1), y + sign * 0.3,
                    z + kDeskHeight, turned, kMonitor);
}

// A furnished office whose south-west wall corner stands at (x, y, z) metres: its walls, two
// islands of four desks and three bookcases against its north wall.
bool AddFurnishedOffice(ModelObject* floor, double x, double y, double z)
{
    constexpr double kHalf = kOfficeWall / 2;
    constexpr Fitting kWalls[] = {
        {-kHalf, -kHalf, 0, kOfficeWidth + kHalf, kHalf, kOfficeHeight, kPlaster},
        {-kHalf, kOfficeDepth - kHalf, 0, kOfficeWidth + kHalf, kOfficeDepth + kHalf, kOfficeHeight, kPlaster},
        {-kHalf, kHalf, 0, kHalf, kOfficeDepth - kHalf, kOfficeHeight, kPlaster},
        {kOfficeWidth - kHalf, kHalf, 0, kOfficeWidth + kHalf, kOfficeDepth - kHalf, kOfficeHeight, kPlaster},
    };
    constexpr double kShelf = kBoard;
    constexpr Fitting kBookcase[] = {
        {0, 0, 0, kShelf, kBookcaseDepth, kBookcaseHeight, kWood},
        {kBookcaseWidth - kShelf, 0, 0, kBookcaseWidth, kBookcaseDepth, kBookcaseHeight, kWood},
        {kShelf, 0, kBookcaseHeight - kShelf, kBookcaseWidth - kShelf, kBookcaseDepth, kBookcaseHeight, kWood},
        {kShelf, 0, 0, kBookcaseWidth - kShelf, kBookcaseDepth, kShelf, kWood},
        {kShelf, 0, 1.5 * kFoot, kBookcaseWidth - kShelf, kBookcaseDepth, 1.5 * kFoot + kShelf, kWood},
        {kShelf, 0, 3 * kFoot, kBookcaseWidth - kShelf, kBookcaseDepth, 3 * kFoot + kShelf, kWood},
        {kShelf, 0, 4.5 * kFoot, kBookcaseWidth - kShelf, kBookcaseDepth, 4.5 * kFoot + kShelf, kWood},
        {kShelf, kBookcaseDepth - kShelf, kShelf, kBookcaseWidth - kShelf, kBookcaseDepth, kBookcaseHeight - kShelf,
         kWood},
    };
    ModelObject* office = AddGroup(floor, "Office", kInch);
    if (!office || !AddPiece(office, "Walls", kInch, x, y, z, false, kWalls)) return false;
    for (int32_t b = 0; b < kBookcases; ++b) {
        if (!AddPiece(office, "Bookcase", kFoot, x + 0.5 + b * kBookcaseWidth,
                      y + kOfficeDepth - kHalf - kBookcaseDepth, z, false, kBookcase))
            return false;
    }
    // Islands: two desks facing south, and behind them, back to back, two facing north. Each
    // island keeps the office's units: read back, pieces in units of their own under a group
    // without units between two with units lie scaled by the outer units against their own.
    for (int32_t i = 0; i < kIslands; ++i) {
        ModelObject* island = AddGroup(office, "Island", kInch);
        const double ix = x + 0.5 + i * (2 * kDeskWidth + 0.4);
        const double iy = y + 1;
        for (int32_t d = 0; island && d < 4; ++d) {
            const bool north = d >= 2;
            const double dx = ix + (d % 2) * kDeskWidth + (north ? kDeskWidth : 0);
            if (!AddWorkplace(island, dx, north ? iy + 2 * kDeskDepth : iy, z, north)) return false;
        }
        if (!island) return false;
    }
    return true;
}

}  // namespace

ModelDocument* BuildHonestOffices(int32_t offices)
{
    ModelDocument* document = NewScene("Offices", 3);
    if (!document) return nullptr;
    ModelHolder* holder = document->Holder;
    const int32_t floors = (offices + kOfficesPerFloor - 1) / kOfficesPerFloor;
    const int32_t buildings = (floors + kOfficeStoreys - 1) / kOfficeStoreys;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(buildings))));
    const int32_t rows = (buildings + columns - 1) / columns;
    const double x0 = -columns * kOfficeBuildingPitchX / 2;
    const double y0 = -rows * kOfficeBuildingPitchY / 2;
    ModelObject* site = NewGroup(holder, "Site", kMetre);
    bool built = site != nullptr;
    int32_t office = 0;
    for (int32_t b = 0; built && b < buildings; ++b) {
        ModelObject* building = AddGroup(site, "Building", kFoot);
        const double bx = x0 + (b % columns) * kOfficeBuildingPitchX;
        const double by = y0 + (b / columns) * kOfficeBuildingPitchY;
        for (int32_t f = 0; building && built && f < kOfficeStoreys && office < offices; ++f) {
            // Each slab lies on the walls of the storey below.
            const double fz = f * (kOfficeSlab + kOfficeHeight);
            ModelObject* floor = AddGroup(building, "Floor", kMetre);
            built = floor &&
                    Add(floor,
                        MakeBoxIn(holder, kMetre, bx - 1, by - 1, fz, bx + kOfficesAcross * kOfficeWidth + 1,
                                  by + 2 * kOfficeDepth + 1, fz + kOfficeSlab),
                        kStone);
            for (int32_t r = 0; built && r < kOfficesPerFloor && office < offices; ++r, ++office) {
                built = AddFurnishedOffice(floor, bx + (r % kOfficesAcross) * kOfficeWidth,
                                  by + (r / kOfficesAcross) * kOfficeDepth, fz + kOfficeSlab);
            }
        }
        built = built && building;
    }
    if (!Join(document->Holder->Root, site, built)) return Discard(document);
    return Finish(document, kMetre, x0 + 3, y0 + 2.5, kOfficeSlab + 1.7, 0, 1);
}

namespace {

// A wall of stone blocks laid in courses, as a mason lays them and a modeller draws them one by
// one, stored in centimetres: blocks of 40 x 30 centimetres, 20 high, each course half a block
// along from the one under it (half blocks at its ends), every block touching those beside, under
// and over it.
constexpr double kStoneLength = 0.4;
constexpr double kStoneDepth = 0.3;
constexpr double kStoneHeight = 0.2;
constexpr int32_t kStonesAlong = 50;
constexpr int32_t kCourses = 40;
constexpr double kWallPitchX = kStonesAlong * kStoneLength + 4;
constexpr double kWallPitchY = 6;

// A wall whose south-west corner stands at (x, y) metres on the ground: kCourses courses.
bool AddStoneWall(ModelObject* walls, double x, double y)
{
    ModelObject* wall = NewGroup(walls->Holder, "Wall");
    bool built = wall != nullptr;
    for (int32_t course = 0; built && course < kCourses; ++course) {
        const double z = course * kStoneHeight;
        const bool offset = course % 2 == 1;
        const int32_t stones = offset ? kStonesAlong + 1 : kStonesAlong;
        for (int32_t s = 0; built && s < stones; ++s) {
            const double from = offset ? std::max(0.0, (s - 0.5) * kStoneLength) : s * kStoneLength;
            const double to = offset ? std::min(kStonesAlong * kStoneLength, (s + 0.5) * kStoneLength)
                                     : (s + 1) * kStoneLength;
            built = Add(wall,
                        MakeBoxIn(walls->Holder, kCentimetre, x + from, y, z, x + to, y + kStoneDepth,
                                  z + kStoneHeight),
                        course % 3 ? kStone : kPlaster) != nullptr;
        }
    }
    return Join(walls, wall, built);
}

}  // namespace

namespace {

// A museum's rooms: 10 metres square, 5 high, side by side; each wall holds a doorway between two
// panels of wall, the doorway open (a see-through face) where a room lies beyond it.
constexpr RGBColor48 kWater = {0x2000, 0x5000, 0x9000};
constexpr RGBColor48 kDark = {0x2000, 0x2000, 0x2000};
constexpr uint16_t kOpenDoorway = 0;
constexpr double kGalleryRoomSide = 10;
constexpr double kRoomHeight = 5;
constexpr double kDoorHeight = 2.6;
constexpr int32_t kRoomLights = 8;

// A room of the museum whose south-west corner stands at (x, y) metres, stored in centimetres,
// its doorways open towards the rooms beyond (south, east, north, west), and inside it a bench and
// two glass cases on plinths, each holding a piece under glass.
bool AddMuseumRoom(ModelObject* galleries, double x, double y, const bool (&open)[kBoxSides], int32_t number)
{
    constexpr int32_t kThirds[kBoxSides] = {3, 3, 3, 3};
    int32_t panes = 0;
    ModelObject* room =
        Add(galleries,
            MakeGlazedBox(galleries->Holder, kCentimetre, x, y, 0, x + kGalleryRoomSide, y + kGalleryRoomSide, kDoorHeight,
                          kRoomHeight, kThirds, &panes),
            kPlaster);
    if (!room) return false;
    for (int32_t side = 0; side < kBoxSides; ++side) {
        if (!open[side]) continue;
        Surface* doorway = room->SurfaceForFace(side * 3 + 1);
        if (!doorway) return false;
        doorway->SetSurfaceColour(kDark, kOpenDoorway, kSideBoth);
    }
    constexpr Fitting kBench[] = {{4, 4.6, 0, 6, 5.4, 0.45, kWood}};
    if (!AddFittings(room, kCentimetre, x, y, 0, kBench)) return false;
    constexpr int32_t kGlassAllRound[kBoxSides] = {1, 1, 1, 1};
    for (int32_t c = 0; c < 2; ++c) {
        const double cx = x + (c == 0 ? 2 : 7);
        const double cy = y + 2 + (number + c) % 3;
        const Fitting kPlinth[] = {{0, 0, 0, 1.2, 0.8, 0.9, kStone}};
        if (!AddFittings(room, kCentimetre, cx, cy, 0, kPlinth)) return false;
        ModelObject* glassCase =
            AddGlazedBox(room, kCentimetre, cx, cy, cx + 1.2, cy + 0.8, 0.9, 1.8, 1.85, kGlassAllRound, kStone);
        if (!glassCase ||
            !Add(glassCase,
                 MakeSphere(room->Holder, kSphereCorners, kSphereSegments, 25, int32_t(std::lround((cx + 0.6) * 100)),
                            int32_t(std::lround((cy + 0.4) * 100)), 125),
                 kBrass))
            return false;
    }
    return true;
}

// A street of shops: a shop every 17 metres along each side of a street 12 metres wide, running
// east, their fronts facing each other across it.
constexpr double kShopPitch = 17;
constexpr double kHighStreetWidth = 12;

// A harbour: a quay running east along the shore with a road behind it, finger piers reaching
// into the water every 14 metres, a boat moored beside each, bollards along the quay and
// warehouses beyond the road.
constexpr double kBerthPitch = 14;
constexpr double kQuayDepth = 8;
constexpr double kRoadDepth = 10;
constexpr double kPierLength = 20;

// A boat whose bow points south, its stern's middle at (x, y) metres, stored in feet: a
// hull (a prism of a boat's outline, sunk a little into the water), a cabin and a mast.
bool AddBoat(ModelObject* harbour, double x, double y, int32_t number)
{
    const double length = 8 + number % 3 * 2;
    const std::vector<FixedPoint> hull = {
        {InUnits(x - 1.5, kFoot), InUnits(y, kFoot)},
        {InUnits(x + 1.5, kFoot), InUnits(y, kFoot)},
        {InUnits(x + 1.5, kFoot), InUnits(y - length * 0.7, kFoot)},
        {InUnits(x, kFoot), InUnits(y - length, kFoot)},
        {InUnits(x - 1.5, kFoot), InUnits(y - length * 0.7, kFoot)}};
    ModelObject* boat = NewGroup(harbour->Holder, "Boat");
    // The cabin and the mast.
    const Fitting kTop[] = {{-1, -length * 0.6, 1, 1, -1, 2.8, kPlaster},
                            {-0.05, -length * 0.45, 2.8, 0.05, -0.35, 9, kWood}};
    const bool built =
        boat &&
        Add(boat, MakeExtrusion(harbour->Holder, kAxisZ, hull, InUnits(-0.4, kFoot), InUnits(1, kFoot)),
            number % 2 ? kPlaster : kGlass) &&
        AddFittings(boat, kFoot, x, y, 0, kTop);
    return Join(harbour, boat, built);
}

}  // namespace

ModelDocument* BuildHonestMasonry(int32_t walls)
{
    ModelDocument* document = NewScene("Masonry", 2);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(walls) / 3)));
    const int32_t rows = (walls + columns - 1) / columns;
    const double x0 = -columns * kWallPitchX / 2;
    const double y0 = -rows * kWallPitchY / 2;
    if (!Add(root, MakeBoxIn(document->Holder, kCentimetre, x0 - 2, y0 - 2, -0.5, -x0 + 2, -y0 + 2, 0), kGrass))
        return Discard(document);
    ModelObject* yard = NewGroup(document->Holder, "Walls");
    bool built = true;
    for (int32_t w = 0; yard && built && w < walls; ++w)
        built = AddStoneWall(yard, x0 + (w % columns) * kWallPitchX, y0 + (w / columns) * kWallPitchY);
    if (!Join(root, yard, built)) return Discard(document);
    return Finish(document, kCentimetre, x0 + 2, y0 - 1, 1.7, 0, 2);
}

ModelDocument* BuildHonestMuseum(int32_t rooms)
{
    ModelDocument* document = NewScene("Museum", kRoomLights);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(rooms))));
    const int32_t rows = (rooms + columns - 1) / columns;
    const double x0 = -columns * kGalleryRoomSide / 2;
    const double y0 = -rows * kGalleryRoomSide / 2;
    ModelObject* galleries = NewGroup(document->Holder, "Galleries", kCentimetre);
    bool built = galleries &&
                 Add(galleries, MakeBoxIn(document->Holder, kCentimetre, x0 - 5, y0 - 5, -0.3, -x0 + 5, -y0 + 5, 0),
                     kStone);
    for (int32_t r = 0; built && r < rooms; ++r) {
        const int32_t column = r % columns;
        const int32_t row = r / columns;
        const auto exists = [&](int32_t c, int32_t w) {
            return c >= 0 && c < columns && w >= 0 && w * columns + c < rooms;
        };
        const bool open[kBoxSides] = {exists(column, row - 1), exists(column + 1, row), exists(column, row + 1),
                                      exists(column - 1, row)};
        built = AddMuseumRoom(galleries, x0 + column * kGalleryRoomSide, y0 + row * kGalleryRoomSide, open, r);
    }
    if (!Join(root, galleries, built)) return Discard(document);
    // In the middle of the first room, looking north through the doorways of the rooms beyond.
    return Finish(document, kMetre, x0 + kGalleryRoomSide / 2, y0 + 3, 1.6, 0, 1);
}

ModelDocument* BuildHonestHighStreet(int32_t shops)
{
    ModelDocument* document = NewScene("High street", 4);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const int32_t perSide = (shops + 1) / 2;
    const double length = perSide * kShopPitch + 40;
    const double x0 = -length / 2;
    const double y0 = -(kHighStreetWidth / 2 + kShopDepth + 20);
    const Landscape land = {x0, y0, length / kGlassTownPatchSide, kGlassTownPatchSide, 1,
                            std::vector<Terrain>(1, Terrain::kFlat)};
    if (!AddLandscape(root, land, 1)) return Discard(document);
    ModelObject* street = NewGroup(document->Holder, "Street", kFoot);
    bool built = street != nullptr;
    for (int32_t k = 0; built && k < shops; ++k) {
        const bool north = k % 2 == 1;
        const double x = x0 + 20 + (k / 2) * kShopPitch;
        const double y = north ? kHighStreetWidth / 2 : -kHighStreetWidth / 2 - kShopDepth;
        built = AddShop(street, x, y, 0, !north);
    }
    if (!Join(root, street, built)) return Discard(document);
    // Inside a shop in the middle of the south side, behind its window, looking north across the
    // street.
    return Finish(document, kMetre, x0 + 20 + (perSide / 2) * kShopPitch + 4, -kHighStreetWidth / 2 - 2, 1.6, 0, 1);
}

ModelDocument* BuildHonestHarbour(int32_t berths)
{
    ModelDocument* document = NewScene("Harbour", 3);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    const double length = berths * kBerthPitch + 40;
    const double x0 = -length / 2;
    // The water south of the shore, the land north of it: patches of 112 x 112 quads each.
    const int32_t columns = int32_t(std::ceil(length / 448));
    const double cell = length / (columns * kGlassTownPatchSide);
    const Landscape water = {x0, -kGlassTownPatchSide * cell, cell, kGlassTownPatchSide, columns,
                             std::vector<Terrain>(1, Terrain::kFlat)};
    for (int32_t k = 0; k < columns; ++k) {
        if (!Add(root, MakePatch(document->Holder, water, 0, k), kWater)) return Discard(document);
    }
    const Landscape land = {x0, 0, cell, kGlassTownPatchSide, columns, std::vector<Terrain>(1, Terrain::kRolling)};
    if (!AddLandscape(root, land, columns)) return Discard(document);
    ModelObject* harbour = NewGroup(document->Holder, "Harbour", kFoot);
    bool built = harbour && Add(harbour, MakeBoxIn(document->Holder, kFoot, x0, -kQuayDepth, -2, -x0, 0, 1), kStone) &&
                 Add(harbour, MakeBoxIn(document->Holder, kFoot, x0, 0, 0, -x0, kRoadDepth, 0.9), kDark);
    for (int32_t b = 0; built && b < berths; ++b) {
        const double x = x0 + 20 + b * kBerthPitch;
        const Fitting kBerth[] = {
            // The finger pier, and two bollards on the quay.
            {-1, -kQuayDepth - kPierLength, -2, 1, -kQuayDepth, 0.8, kWood},
            {-3, -1, 1, -2.6, -0.6, 1.5, kDark},
            {2.6, -1, 1, 3, -0.6, 1.5, kDark},
            // A warehouse beyond the road, and a lamp at the road's edge.
            {-5, kRoadDepth + 2, 0, 5, kRoadDepth + 22, 9.0 + b % 4, kPlaster},
            {-0.1, kRoadDepth - 0.5, 0.9, 0.1, kRoadDepth - 0.3, 6, kStone},
        };
        built = AddFittings(harbour, kFoot, x, 0, 0, kBerth) && AddBoat(harbour, x + 4, -kQuayDepth - 1, b);
    }
    if (!Join(root, harbour, built)) return Discard(document);
    // At the quay's west end, looking east along it.
    return Finish(document, kMetre, x0 + 5, -kQuayDepth / 2, 2.7, -64, 1);
}

// --- stands, figures and a campus: objects that touch, overlap and nest by the thousand ---

namespace {

// Stands of seats: each row of a section a group of its terrace (a tread and the riser behind it
// for every four seats, one mesh) and its seats, L-shaped prisms standing on the tread, each
// connected to it; the rows step back and up, and a roof spans them all.
constexpr double kSeatPitch = 0.55;
constexpr double kRowDepth = 0.8;
constexpr double kRowRise = 0.42;
constexpr int32_t kSeatsPerTread = 4;
constexpr int32_t kSeatsPerSection = 24;
constexpr double kStairway = 1.2;
constexpr double kSectionWidth = kSeatsPerSection * kSeatPitch + kStairway;
// A seat's outline across its width (y outwards from its front, z up): a seat and its back.
constexpr double kSeatOutline[][2] = {{0, 0}, {0.45, 0}, {0.45, 0.85}, {0.35, 0.85}, {0.35, 0.45}, {0, 0.45}};
constexpr double kSeatHalfWidth = 0.24;

// A terrace mesh of `treads` treads from x along x, the treads' front edge at y and their top at
// z: faces 2k are the treads (facing up), 2k + 1 the risers behind them (facing forwards).
ModelObject* MakeTerrace(ModelHolder* holder, double x, int32_t treads, double y, double z)
{
    std::vector<FixedVector3> points;
    std::vector<std::vector<int16_t>> faces;
    for (int32_t k = 0; k <= treads; ++k) {
        const Fixed at = X2Fix(x + k * kSeatsPerTread * kSeatPitch);
        points.push_back({at, X2Fix(y), X2Fix(z)});
        points.push_back({at, X2Fix(y + kRowDepth), X2Fix(z)});
        points.push_back({at, X2Fix(y + kRowDepth), X2Fix(z + kRowRise)});
    }
    for (int32_t k = 0; k < treads; ++k) {
        const int16_t a = int16_t(3 * k);
        const int16_t b = int16_t(3 * k + 3);
        faces.push_back({a, int16_t(a + 1), int16_t(b + 1), b});
        faces.push_back({int16_t(a + 1), int16_t(a + 2), int16_t(b + 2), int16_t(b + 1)});
    }
    return MakePolygonMesh(holder, points, faces);
}

// A row of a section under the stands: its terrace and seats, from x, the row's front at y.
bool AddSeatRow(ModelObject* stands, double x, double y, double z)
{
    ModelHolder* holder = stands->Holder;
    ModelObject* row = NewGroup(holder, "Row");
    ModelObject* terrace = row ? Add(row, MakeTerrace(holder, x, kSeatsPerSection / kSeatsPerTread, y, z), kStone)
                               : nullptr;
    bool whole = terrace != nullptr;
    for (int32_t k = 0; k < kSeatsPerSection && whole; ++k) {
        const double middle = x + (k + 0.5) * kSeatPitch;
        std::vector<FixedPoint> outline;
        for (const auto& corner : kSeatOutline) outline.push_back({X2Fix(y + 0.2 + corner[0]), X2Fix(z + corner[1])});
        ModelObject* seat = Add(row,
                                MakeExtrusion(holder, kAxisX, outline, X2Fix(middle - kSeatHalfWidth),
                                              X2Fix(middle + kSeatHalfWidth)),
                                k % 3 == 0 ? kTiles : kPlaster);
        whole = seat != nullptr;
        if (whole) terrace->AddFaceContact(2 * (k / kSeatsPerTread), seat, FaceFacing(seat, 0, 0, -256));
    }
    return Join(stands, row, whole);
}

// A roof of `across` x `deep` quads between the corners (x0, y0) and (x1, y1), rising from z0 at
// its front to z1 at its back: a mesh seen from above and, when `underside`, one on the same
// corners seen from below.
bool AddRoof(ModelObject* parent, double x0, double y0, double x1, double y1, double z0, double z1, bool underside)
{
    constexpr int32_t kAcross = 128;
    constexpr int32_t kDeep = 6;
    std::vector<FixedVector3> points;
    for (int32_t j = 0; j <= kDeep; ++j) {
        for (int32_t i = 0; i <= kAcross; ++i) {
            points.push_back({X2Fix(x0 + (x1 - x0) * i / kAcross), X2Fix(y0 + (y1 - y0) * j / kDeep),
                              X2Fix(z0 + (z1 - z0) * j / kDeep)});
        }
    }
    std::vector<std::vector<int16_t>> above;
    std::vector<std::vector<int16_t>> below;
    for (int32_t j = 0; j < kDeep; ++j) {
        for (int32_t i = 0; i < kAcross; ++i) {
            const int16_t a = int16_t(j * (kAcross + 1) + i);
            const int16_t c = int16_t(a + kAcross + 1);
            above.push_back({a, c, int16_t(c + 1), int16_t(a + 1)});
            below.push_back({a, int16_t(a + 1), int16_t(c + 1), c});
        }
    }
    ModelHolder* holder = parent->Holder;
    return Add(parent, MakePolygonMesh(holder, points, above), kPlaster) &&
           (!underside || Add(parent, MakePolygonMesh(holder, points, below), kStone));
}

// A figure's parts: a torso, a head sunk into its top, arms into its sides and legs into its
// bottom, each an ellipsoid mesh (radii, and its middle above the figure's feet, in metres).
struct FigurePart {
    double rx, ry, rz, x, z;
};
constexpr FigurePart kFigureParts[] = {{0.18, 0.12, 0.3, 0, 1.25},     {0.11, 0.11, 0.12, 0, 1.63},
                                       {0.05, 0.05, 0.32, -0.22, 1.2}, {0.05, 0.05, 0.32, 0.22, 1.2},
                                       {0.07, 0.07, 0.5, -0.09, 0.5},  {0.07, 0.07, 0.5, 0.09, 0.5}};
constexpr double kPlinthHeight = 0.1;

// The campus's rooms, wings, floors and buildings, in metres.
constexpr double kCampusRoomWidth = 5;
constexpr double kCampusRoomDepth = 6;
constexpr double kCampusStorey = 3.5;
constexpr int32_t kCampusRooms = 8;
constexpr int32_t kCampusFloors = 5;
constexpr int32_t kBuildingsPerBlock = 4;
constexpr int32_t kBlocksPerDistrict = 4;
// Buildings stand in rows of seven, 44 metres apart along a row and 20 between rows: the campus
// of the most buildings spans some 300 metres, the most that the furniture drawn in centimetres
// may lie from the origin (a world coordinate holds 32,767 units).
constexpr int32_t kCampusRow = 7;
constexpr double kCampusPitch = 44;
constexpr double kCampusRowPitch = 20;

// Boxes from a table of (x0, y0, z0, x1, y1, z1) in metres about (x, y, z), under a new group of
// the name under the parent, stored in the unit; the group, or null.
ModelObject* AddBoxGroup(ModelObject* parent, const char* name, double unit, const double (*boxes)[6], int32_t count,
                         double x, double y, double z)
{
    ModelObject* group = AddGroup(parent, name, 0);
    for (int32_t k = 0; group && k < count; ++k) {
        const double* b = boxes[k];
        if (!Add(group, MakeBoxIn(parent->Holder, unit, x + b[0], y + b[1], z + b[2], x + b[3], y + b[4], z + b[5]),
                 kWood))
            return nullptr;
    }
    return group;
}

// A piece of furniture from the library: a group of its top boxes and a group of its four legs.
bool AddPiece(ModelObject* set, const char* name, double unit, double x, double y, double z, double side,
              double height, double back)
{
    constexpr double kLeg = 0.05;
    constexpr double kTop = 0.04;
    const double top[][6] = {{0, 0, height - kTop, side, side, height}, {0, side - kLeg, height, side, side, back}};
    const double legs[][6] = {{0, 0, 0, kLeg, kLeg, height - kTop},
                              {side - kLeg, 0, 0, side, kLeg, height - kTop},
                              {0, side - kLeg, 0, kLeg, side, height - kTop},
                              {side - kLeg, side - kLeg, 0, side, side, height - kTop}};
    ModelObject* piece = AddGroup(set, name, 0);
    return piece && AddBoxGroup(piece, "Top", unit, top, back > height ? 2 : 1, x, y, z) &&
           AddBoxGroup(piece, "Legs", unit, legs, 4, x, y, z);
}

// A room of the campus: three walls and a floor slab, touching those of the rooms beside, behind,
// above and below it, a dining set from the furniture library, drawn in centimetres (a table and
// four chairs), and a bookshelf.
bool AddCampusRoom(ModelObject* wing, double unit, double x, double y, double z)
{
    constexpr double kWall = 0.15;
    const double walls[][6] = {{0, 0, 0, kCampusRoomWidth, kWall, kCampusStorey},
                               {0, kCampusRoomDepth - kWall, 0, kCampusRoomWidth, kCampusRoomDepth, kCampusStorey},
                               {0, kWall, 0, kWall, kCampusRoomDepth - kWall, kCampusStorey}};
    const double slab[][6] = {{0, 0, -0.2, kCampusRoomWidth, kCampusRoomDepth, 0}};
    const double shelf[][6] = {{4.4, 1, 0, 4.8, 3, 2},           {4.45, 1.1, 0.1, 4.75, 2.9, 0.12},
                               {4.45, 1.1, 0.58, 4.75, 2.9, 0.6}, {4.45, 1.1, 1.06, 4.75, 2.9, 1.08},
                               {4.45, 1.1, 1.54, 4.75, 2.9, 1.56}};
    ModelObject* room = AddGroup(wing, "Room", 0);
    if (!room || !AddBoxGroup(room, "Walls", unit, walls, 3, x, y, z) ||
        !AddBoxGroup(room, "Floor", unit, slab, 1, x, y, z) || !AddBoxGroup(room, "Bookshelf", unit, shelf, 5, x, y, z))
        return false;
    ModelObject* set = AddGroup(room, "Dining set", kCentimetre);
    bool whole = set && AddPiece(set, "Table", kCentimetre, x + 1.6, y + 2.6, z, 1.2, 0.75, 0);
    for (int32_t k = 0; k < 4 && whole; ++k) {
        const double cx = x + 1.6 + (k % 2 ? 1.35 : -0.6);
        const double cy = y + 2.6 + (k / 2 ? 1.35 : -0.6);
        whole = AddPiece(set, "Chair", kCentimetre, cx, cy, z, 0.45, 0.45, 0.95);
    }
    return whole;
}

// A building of five floors, each of two wings of eight rooms back to back, drawn in feet or in
// metres, under the block.
bool AddCampusBuilding(ModelObject* block, int32_t number, double x, double y)
{
    const double unit = number % 3 == 0 ? kFoot : kMetre;
    ModelObject* building = AddGroup(block, "Building", unit);
    for (int32_t f = 0; building && f < kCampusFloors; ++f) {
        ModelObject* floor = AddGroup(building, "Floor", 0);
        for (int32_t w = 0; floor && w < 2; ++w) {
            ModelObject* wing = AddGroup(floor, "Wing", 0);
            for (int32_t r = 0; wing && r < kCampusRooms; ++r) {
                if (!AddCampusRoom(wing, unit, x + r * kCampusRoomWidth, y + w * kCampusRoomDepth,
                                   f * kCampusStorey))
                    return false;
            }
            if (!wing) return false;
        }
        if (!floor) return false;
    }
    return building != nullptr;
}

}  // namespace

ModelDocument* BuildHonestStands(int32_t rows, int32_t sections, bool underside)
{
    ModelDocument* document = NewScene("Stands", 4);
    if (!document) return nullptr;
    ModelObject* stands = NewGroup(document->Holder, "Stands");
    bool whole = stands != nullptr;
    for (int32_t r = 0; r < rows && whole; ++r) {
        for (int32_t s = 0; s < sections && whole; ++s)
            whole = AddSeatRow(stands, s * kSectionWidth, r * kRowDepth, r * kRowRise);
    }
    if (!Join(document->Holder->Root, stands, whole)) return Discard(document);
    const double width = sections * kSectionWidth;
    const double depth = rows * kRowDepth;
    const double top = rows * kRowRise + 8;
    if (!AddRoof(document->Holder->Root, -2, -4, width + 2, depth + 2, top, top + 2, underside))
        return Discard(document);
    return Finish(document, kMetre, width / 2, -10, 1.7, 0, 2);
}

ModelDocument* BuildHonestFigures(int32_t figures, int32_t side)
{
    constexpr double kFigurePitch = 4;
    ModelDocument* document = NewScene("Figures", 6);
    if (!document) return nullptr;
    ModelHolder* holder = document->Holder;
    std::vector<FixedVector3> sphere;
    std::vector<std::vector<int16_t>> faces;
    SphereMesh(side, 1, &sphere, &faces);
    for (int32_t f = 0; f < figures; ++f) {
        const double x = f * kFigurePitch;
        ModelObject* figure = NewGroup(holder, "Figure");
        bool whole = figure && Add(figure, MakeBoxIn(holder, kMetre, x - 0.4, -0.4, 0, x + 0.4, 0.4, kPlinthHeight),
                                   kStone);
        for (const FigurePart& part : kFigureParts) {
            if (!whole) break;
            std::vector<FixedVector3> points;
            for (const FixedVector3& p : sphere) {
                points.push_back({X2Fix(x + part.x + part.rx * Fix2X(p.x)), X2Fix(part.ry * Fix2X(p.y)),
                                  X2Fix(kPlinthHeight + part.z + part.rz * Fix2X(p.z))});
            }
            ModelObject* mesh = Add(figure, MakePolygonMesh(holder, points, faces), kBrass);
            if (mesh) mesh->SetSideAttribute(kSmoothSides, kSideBoth);
            whole = mesh != nullptr;
        }
        if (!Join(holder->Root, figure, whole)) return Discard(document);
    }
    return Finish(document, kMetre, 0, -4, 1.7, 0, 2);
}

ModelDocument* BuildHonestCampus(int32_t buildings)
{
    ModelDocument* document = NewScene("Campus", 3);
    if (!document) return nullptr;
    ModelObject* root = document->Holder->Root;
    ModelObject* campus = NewGroup(document->Holder, "Campus");
    bool whole = campus != nullptr;
    ModelObject* district = nullptr;
    ModelObject* block = nullptr;
    constexpr int32_t kPerDistrict = kBuildingsPerBlock * kBlocksPerDistrict;
    for (int32_t b = 0; b < buildings && whole; ++b) {
        if (b % kPerDistrict == 0) district = AddGroup(campus, "District", 0);
        if (b % kBuildingsPerBlock == 0 && district) block = AddGroup(district, "Block", 0);
        const double x = (b % kCampusRow) * kCampusPitch;
        const double y = (b / kCampusRow) * kCampusRowPitch;
        whole = district && block && AddCampusBuilding(block, b, x, y);
    }
    if (!Join(root, campus, whole)) return Discard(document);
    return Finish(document, kMetre, -5, -5, 1.7, 224, 5);
}

const HonestModel* HonestModels(int32_t* count)
{
    static const HonestModel models[] = {
        {"landscape", [] { return BuildHonestLandscape(2 * 88 * 88, 88); },
         [] { return BuildHonestLandscape(1000000, 128); }},
        // An ambient light and a sun over two patches, and three suns over a million faces.
        {"smooth-landscape", [] { return BuildHonestSmoothLandscape(2 * 128 * 128, 2); },
         [] { return BuildHonestSmoothLandscape(1000000, 4); }},
        {"sphere-meshes", [] { return BuildHonestSphereMeshes(96, 0.05); },
         [] { return BuildHonestSphereMeshes(181, 0); }},
        {"spheres-apart", [] { return BuildHonestSpheres(460, false, 2); },
         [] { return BuildHonestSpheres(2000, false, 2); }},
        {"spheres-touching", [] { return BuildHonestSpheres(300, true, 2); },
         [] { return BuildHonestSpheres(500, true, 2); }},
        {"large-spheres", [] { return BuildHonestLargeSpheres(3, SphereFinish::kPlain); },
         [] { return BuildHonestLargeSpheres(8, SphereFinish::kPlain); }},
        {"large-spheres-smooth", [] { return BuildHonestLargeSpheres(2, SphereFinish::kSmooth); },
         [] { return BuildHonestLargeSpheres(4, SphereFinish::kSmooth); }},
        {"large-spheres-faceted", [] { return BuildHonestLargeSpheres(2, SphereFinish::kFaceted); },
         [] { return BuildHonestLargeSpheres(4, SphereFinish::kFaceted); }},
        {"village", [] { return BuildHonestVillage(200); }, [] { return BuildHonestVillage(2000); }},
        {"rolling-village", [] { return BuildHonestRollingVillage(200); },
         [] { return BuildHonestRollingVillage(2000); }},
        {"forest", [] { return BuildHonestForest(300, 1); }, [] { return BuildHonestForest(8500, 16); }},
        {"rolling-forest", [] { return BuildHonestForest(300, 1, true); },
         [] { return BuildHonestForest(8500, 16, true); }},
        {"boulders", [] { return BuildHonestBoulders(200); }, [] { return BuildHonestBoulders(2000); }},
        {"floor-rooms", [] { return BuildHonestFloorRooms(350); }, [] { return BuildHonestFloorRooms(1000); }},
        // 28 lights over 40,960 faces, and 16 over 1,000,192.
        {"lights", [] { return BuildHonestSpheres(160, false, 28); },
         [] { return BuildHonestSpheres(3907, false, 16); }},
        {"nested-groups", [] { return BuildHonestNestedGroups(100000); },
         [] { return BuildHonestNestedGroups(100000); }},
        {"interiors", [] { return BuildHonestInteriors(20000); }, [] { return BuildHonestInteriors(1000000); }},
        {"town", [] { return BuildHonestTown(4, 1, false); }, [] { return BuildHonestTown(200, 16, true); }},
        {"glass-town", [] { return BuildHonestGlassTown(6); }, [] { return BuildHonestGlassTown(930); }},
        // 20 machines of 1,258 faces and 795; 12 pavilions of 1,690 faces on their ground and 580;
        // 20 offices of 792 faces and 1,250; two walls of 12,120 faces and 84.
        {"workshop", [] { return BuildHonestWorkshop(20); }, [] { return BuildHonestWorkshop(795); }},
        {"pavilions", [] { return BuildHonestPavilions(12); }, [] { return BuildHonestPavilions(580); }},
        {"offices", [] { return BuildHonestOffices(20); }, [] { return BuildHonestOffices(1250); }},
        {"masonry", [] { return BuildHonestMasonry(2); }, [] { return BuildHonestMasonry(84); }},

        {"museum", [] { return BuildHonestMuseum(16); }, [] { return BuildHonestMuseum(400); }},
        {"high-street", [] { return BuildHonestHighStreet(40); }, [] { return BuildHonestHighStreet(1200); }},
        {"harbour", [] { return BuildHonestHarbour(20); }, [] { return BuildHonestHarbour(150); }},
        // 4 tiles of ground and 49: 23,088 faces and 275,984.
        {"roads", [] { return BuildHonestRoads(2); }, [] { return BuildHonestRoads(7); }},
        // 960 seats and 110,400; their roof seen from both sides over the seats.
        {"stands", [] { return BuildHonestStands(10, 4, true); }, [] { return BuildHonestStands(115, 40, true); }},
        // One figure of 9,600 faces and sixteen of 60,000.
        {"figures", [] { return BuildHonestFigures(1, 40); }, [] { return BuildHonestFigures(16, 100); }},
        // 2 buildings of 80 rooms, and 55: 36,480 faces and 1,003,200.
        {"campus", [] { return BuildHonestCampus(2); }, [] { return BuildHonestCampus(55); }},
    };
    *count = int32_t(sizeof models / sizeof models[0]);
    return models;
}
