// An honest scene of roads over open country, built as an author who exports merged meshes makes
// it: square tiles of gently swelling ground, a river running north through the middle in a
// channel of its own, a grid of roads draped over the ground (each road one mesh a tile, kerbs and
// all), bridges of a ramped deck, parapets and piers where the roads cross the river, street lamps
// and parked cars along the roads, each lamp and each car a mesh of its own. The eye stands on a
// road looking down its length over the river: a long view over roads and water.
#include "tools/honest_models.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/fixed.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/units_record.h"
#include "model/walk_record.h"
#include "tools/sample_scenes.h"

namespace {

// Everything is in metres.
constexpr int32_t kTileQuads = 64;
constexpr double kQuadSide = 6;
constexpr double kTileSide = kTileQuads * kQuadSide;
// Roads run both ways every 192 metres, the first 96 metres in from the west and south edges.
constexpr double kRoadPitch = 192;
constexpr double kRoadWidth = 8;
constexpr double kRoadLift = 0.25;  // the road surface above the ground under it
constexpr double kKerbDepth = 0.3;  // how far a kerb reaches below the ground
// The river: a bed 60 metres wide, banks rising to the open ground 70 metres from its middle, the
// water 36 metres either way of the middle.
constexpr double kBedHalf = 30;
constexpr double kBankHalf = 70;
constexpr double kWaterHalf = 36;
constexpr double kBedLevel = -3;
constexpr double kWaterLevel = -1.2;
// Ground swells: 6 metres either way, some 500 metres crest to crest.
constexpr double kSwell = 6;
constexpr double kSwellX = 530;
constexpr double kSwellY = 470;
// Along each road: a lamp every 48 metres, sides taking turns; three cars parked a tile.
constexpr double kLampPitch = 48;
constexpr double kLampHeight = 6;
constexpr int32_t kCarsPerTile = 3;
// A bridge: deck segments of 10 metres, piers every 28 metres.
constexpr int32_t kDeckSegments = 14;
constexpr double kDeckDepth = 0.8;
constexpr double kCrownRise = 2;
constexpr double kParapetHeight = 1.1;
constexpr double kPierPitch = 28;
constexpr double kEyeHeight = 1.7;

constexpr uint16_t kSolid = 0xFF00;
constexpr RGBColor48 kSkyBlue = {0x9800, 0xC400, 0xF000};
constexpr RGBColor48 kMeadow = {0x5000, 0x9400, 0x3800};
constexpr RGBColor48 kAsphalt = {0x3800, 0x3800, 0x3C00};
constexpr RGBColor48 kRiver = {0x2800, 0x5800, 0x9800};
constexpr RGBColor48 kConcrete = {0xA800, 0xA400, 0x9C00};
constexpr RGBColor48 kSteel = {0x5000, 0x5400, 0x5800};
constexpr RGBColor48 kCarColours[] = {
    {0xC000, 0x1800, 0x1800}, {0x1800, 0x3000, 0xA000}, {0xE000, 0xE000, 0xE000}, {0x2000, 0x2000, 0x2000}};

struct Point3 {
    double x, y, z;
};

// The faces of a mesh as it is exported: corners listed clockwise seen from the side a face
// shows, indices into the points.
class Mesh {
public:
    int16_t Corner(const Point3& p)
    {
        points_.push_back({X2Fix(p.x), X2Fix(p.y), X2Fix(p.z)});
        return int16_t(points_.size() - 1);
    }
    void Quad(const Point3& a, const Point3& b, const Point3& c, const Point3& d)
    {
        faces_.push_back({Corner(a), Corner(b), Corner(c), Corner(d)});
    }
    // A box, its sides facing out.
    void Box(double x0, double y0, double z0, double x1, double y1, double z1)
    {
        Quad({x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}, {x1, y0, z1});
        Quad({x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0});
        Quad({x0, y0, z0}, {x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0});
        Quad({x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}, {x0, y1, z0});
        Quad({x0, y1, z0}, {x0, y1, z1}, {x0, y0, z1}, {x0, y0, z0});
        Quad({x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0});
    }
    // Grid faces from the points laid out row by row, `across` + 1 to a row, facing up.
    void Grid(int32_t across, int32_t deep)
    {
        for (int32_t j = 0; j < deep; ++j) {
            for (int32_t i = 0; i < across; ++i) {
                const int16_t a = int16_t(j * (across + 1) + i);
                const int16_t d = int16_t(a + across + 1);
                faces_.push_back({a, d, int16_t(d + 1), int16_t(a + 1)});
            }
        }
    }
    // The mesh as an object of the colour under the parent; false when it could not be made.
    bool AddTo(ModelObject* parent, const RGBColor48& colour) const
    {
        ModelObject* object = MakePolygonMesh(parent->Holder, points_, faces_);
        if (!object) return false;
        object->SetColours(colour, kSolid, kSideBoth);
        parent->AddChild(object);
        if (object->Parent == parent) return true;
        object->Destroy();
        return false;
    }

private:
    std::vector<FixedVector3> points_;
    std::vector<std::vector<int16_t>> faces_;
};

// The scene's plan: its tiles, west and south edges and the river's middle.
struct Plan {
    int32_t tiles;
    double west;
    double south;
    double river;

    double Extent() const { return tiles * kTileSide; }
    int32_t Roads() const { return int32_t(Extent() / kRoadPitch); }
    double RoadLine(int32_t k, double edge) const { return edge + kRoadPitch / 2 + k * kRoadPitch; }
    bool OverRiver(double x, double reach) const { return std::fabs(x - river) < kBankHalf + reach; }

    // The ground's height: swells, sinking into the river's channel.
    double Ground(double x, double y) const
    {
        const double swell = kSwell * std::sin(2 * kPi * x / kSwellX) * std::cos(2 * kPi * y / kSwellY);
        const double t = std::clamp((std::fabs(x - river) - kBedHalf) / (kBankHalf - kBedHalf), 0.0, 1.0);
        const double bank = t * t * (3 - 2 * t);
        return bank * swell + (1 - bank) * kBedLevel;
    }
};

// A group of the name, built on its own and joined to the root once whole.
ModelObject* NewPart(ModelHolder* holder, const char* name)
{
    ModelObject* group = holder->MakeObject();
    if (!group) return nullptr;
    group->SetGroup();
    group->SetName(name, int32_t(std::strlen(name)));
    return group;
}

// Joins the part to the parent when it was built whole; false, the part gone, when it was not.
bool JoinPart(ModelObject* parent, ModelObject* part, bool whole)
{
    if (!part) return false;
    if (whole) {
        parent->AddChild(part);
        if (part->Parent == parent) return true;
    }
    part->Destroy();
    return false;
}

// Frees the document of a scene that could not be built whole; null.
ModelDocument* Discard(ModelDocument* document)
{
    document->Destroy();
    return nullptr;
}

// The tiles of ground, each a mesh of its quads, and the water over the river's channel.
bool AddGround(ModelObject* ground, const Plan& plan)
{
    for (int32_t tile = 0; tile < plan.tiles * plan.tiles; ++tile) {
        const double x0 = plan.west + (tile % plan.tiles) * kTileSide;
        const double y0 = plan.south + (tile / plan.tiles) * kTileSide;
        Mesh mesh;
        for (int32_t j = 0; j <= kTileQuads; ++j) {
            for (int32_t i = 0; i <= kTileQuads; ++i) {
                const double x = x0 + i * kQuadSide;
                const double y = y0 + j * kQuadSide;
                mesh.Corner({x, y, plan.Ground(x, y)});
            }
        }
        mesh.Grid(kTileQuads, kTileQuads);
        if (!mesh.AddTo(ground, kMeadow)) return false;
    }
    // The water: a strip over the channel for each row of tiles.
    constexpr int32_t kAcross = 6;
    constexpr int32_t kDeep = 16;
    for (int32_t row = 0; row < plan.tiles; ++row) {
        Mesh water;
        for (int32_t j = 0; j <= kDeep; ++j) {
            for (int32_t i = 0; i <= kAcross; ++i)
                water.Corner({plan.river - kWaterHalf + 2 * kWaterHalf * i / kAcross,
                              plan.south + row * kTileSide + kTileSide * j / kDeep, kWaterLevel});
        }
        water.Grid(kAcross, kDeep);
        if (!water.AddTo(ground, kRiver)) return false;
    }
    return true;
}

// A point of a road: `along` its length, `across` from its middle (to the east of a road running
// north, to the north of one running east), on the ground raised by `lift`.
Point3 OnRoad(const Plan& plan, bool north, double line, double along, double across, double lift)
{
    const double x = north ? line + across : along;
    const double y = north ? along : line + across;
    return {x, y, plan.Ground(x, y) + lift};
}

// One tile's length of a road, from `from` to `to` along it: the surface and a kerb either side
// reaching into the ground. A road running east is the mirror of one running north, so its
// faces' corners are listed the other way round.
bool AddRoadPiece(ModelObject* roads, const Plan& plan, bool north, double line, double from, double to)
{
    const int32_t steps = std::max(1, int32_t(std::lround((to - from) / kQuadSide)));
    const double step = (to - from) / steps;
    const double half = kRoadWidth / 2;
    Mesh mesh;
    const auto quad = [&](const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
        if (north) {
            mesh.Quad(a, b, c, d);
        } else {
            mesh.Quad(d, c, b, a);
        }
    };
    for (int32_t s = 0; s < steps; ++s) {
        const double a = from + s * step;
        const double b = a + step;
        const Point3 leftA = OnRoad(plan, north, line, a, -half, kRoadLift);
        const Point3 leftB = OnRoad(plan, north, line, b, -half, kRoadLift);
        const Point3 rightA = OnRoad(plan, north, line, a, half, kRoadLift);
        const Point3 rightB = OnRoad(plan, north, line, b, half, kRoadLift);
        quad(leftA, leftB, rightB, rightA);
        const Point3 lowLeftA = OnRoad(plan, north, line, a, -half, -kKerbDepth);
        const Point3 lowLeftB = OnRoad(plan, north, line, b, -half, -kKerbDepth);
        const Point3 lowRightA = OnRoad(plan, north, line, a, half, -kKerbDepth);
        const Point3 lowRightB = OnRoad(plan, north, line, b, half, -kKerbDepth);
        quad(lowLeftB, leftB, leftA, lowLeftA);
        quad(lowRightA, rightA, rightB, lowRightB);
    }
    return mesh.AddTo(roads, kAsphalt);
}

// A bridge carrying a road running east over the river: a deck ramped up from each bank, a
// parapet along each edge, and piers standing in the water.
bool AddBridge(ModelObject* bridges, const Plan& plan, double line)
{
    const double west = plan.river - kBankHalf;
    const double east = plan.river + kBankHalf;
    const double westTop = plan.Ground(west, line) + kRoadLift;
    const double eastTop = plan.Ground(east, line) + kRoadLift;
    // The deck rises from each bank to its crown over the middle of the river.
    const double crown = std::max(westTop, eastTop) + kCrownRise;
    const auto top = [&](double x) {
        return x < plan.river ? westTop + (crown - westTop) * (x - west) / kBankHalf
                              : eastTop + (crown - eastTop) * (east - x) / kBankHalf;
    };
    const double half = kRoadWidth / 2;
    Mesh deck;
    Mesh parapets;
    for (int32_t s = 0; s < kDeckSegments; ++s) {
        const double a = west + (east - west) * s / kDeckSegments;
        const double b = west + (east - west) * (s + 1) / kDeckSegments;
        const double za = top(a);
        const double zb = top(b);
        // Its top and underside, and its south and north faces.
        deck.Quad({a, line - half, za}, {a, line + half, za}, {b, line + half, zb}, {b, line - half, zb});
        deck.Quad({a, line - half, za - kDeckDepth}, {b, line - half, zb - kDeckDepth},
                  {b, line + half, zb - kDeckDepth}, {a, line + half, za - kDeckDepth});
        deck.Quad({a, line - half, za - kDeckDepth}, {a, line - half, za}, {b, line - half, zb},
                  {b, line - half, zb - kDeckDepth});
        deck.Quad({b, line + half, zb - kDeckDepth}, {b, line + half, zb}, {a, line + half, za},
                  {a, line + half, za - kDeckDepth});
        for (const double edge : {line - half, line + half - 0.3}) {
            const double z = std::max(za, zb);
            parapets.Box(a, edge, std::min(za, zb), b, edge + 0.3, z + kParapetHeight);
        }
    }
    Mesh piers;
    for (double x = plan.river - kPierPitch * 1.5; x < plan.river + kPierPitch * 2; x += kPierPitch)
        piers.Box(x - 1, line - half + 0.5, kBedLevel - 1, x + 1, line + half - 0.5, top(x) - kDeckDepth);
    return deck.AddTo(bridges, kConcrete) && parapets.AddTo(bridges, kConcrete) && piers.AddTo(bridges, kConcrete);
}

bool AddRoads(ModelObject* roads, ModelObject* bridges, const Plan& plan)
{
    for (int32_t k = 0; k < plan.Roads(); ++k) {
        for (int32_t tile = 0; tile < plan.tiles; ++tile) {
            // Roads running north, then roads running east, stopping at the river's banks.
            const double northFrom = plan.south + tile * kTileSide;
            if (!AddRoadPiece(roads, plan, true, plan.RoadLine(k, plan.west), northFrom, northFrom + kTileSide))
                return false;
            const double eastFrom = plan.west + tile * kTileSide;
            const double eastTo = eastFrom + kTileSide;
            const double line = plan.RoadLine(k, plan.south);
            const double bankWest = plan.river - kBankHalf;
            const double bankEast = plan.river + kBankHalf;
            if (eastTo <= bankWest || eastFrom >= bankEast) {
                if (!AddRoadPiece(roads, plan, false, line, eastFrom, eastTo)) return false;
                continue;
            }
            if (eastFrom < bankWest && !AddRoadPiece(roads, plan, false, line, eastFrom, bankWest)) return false;
            if (eastTo > bankEast && !AddRoadPiece(roads, plan, false, line, bankEast, eastTo)) return false;
        }
        if (!AddBridge(bridges, plan, plan.RoadLine(k, plan.south))) return false;
    }
    return true;
}

// A lamp beside a road: a post, an arm reaching over the road and the lamp's head.
bool AddLamp(ModelObject* lamps, const Plan& plan, bool north, double line, double along, double side)
{
    const double foot = side * (kRoadWidth / 2 + 0.8);
    const Point3 base = OnRoad(plan, north, line, along, foot, 0);
    const double reach = -side * 2;
    const double armX = north ? reach : 0;
    const double armY = north ? 0 : reach;
    Mesh lamp;
    lamp.Box(base.x - 0.1, base.y - 0.1, base.z - 0.3, base.x + 0.1, base.y + 0.1, base.z + kLampHeight);
    lamp.Box(std::min(base.x, base.x + armX) - 0.05, std::min(base.y, base.y + armY) - 0.05,
             base.z + kLampHeight - 0.15, std::max(base.x, base.x + armX) + 0.05,
             std::max(base.y, base.y + armY) + 0.05, base.z + kLampHeight);
    lamp.Box(base.x + armX - 0.3, base.y + armY - 0.3, base.z + kLampHeight - 0.35, base.x + armX + 0.3,
             base.y + armY + 0.3, base.z + kLampHeight - 0.15);
    return lamp.AddTo(lamps, kSteel);
}

// A car parked at the kerb, facing along the road: a body and a cabin.
bool AddCar(ModelObject* traffic, const Plan& plan, bool north, double line, double along, double side,
            int32_t number)
{
    const Point3 at = OnRoad(plan, north, line, along, side * (kRoadWidth / 2 - 1.2), kRoadLift);
    const double halfLong = 2.1;
    const double halfWide = 0.9;
    const double hx = north ? halfWide : halfLong;
    const double hy = north ? halfLong : halfWide;
    Mesh car;
    car.Box(at.x - hx, at.y - hy, at.z + 0.3, at.x + hx, at.y + hy, at.z + 1.2);
    car.Box(at.x - hx * (north ? 0.9 : 0.5), at.y - hy * (north ? 0.5 : 0.9), at.z + 1.2,
            at.x + hx * (north ? 0.9 : 0.5), at.y + hy * (north ? 0.5 : 0.9), at.z + 1.8);
    return car.AddTo(traffic, kCarColours[number % 4]);
}

// Lamps and parked cars along every road, none on the river's banks.
bool AddRoadside(ModelObject* roadside, const Plan& plan)
{
    int32_t number = 0;
    for (int32_t k = 0; k < plan.Roads(); ++k) {
        for (const bool north : {true, false}) {
            const double line = plan.RoadLine(k, north ? plan.west : plan.south);
            const double start = north ? plan.south : plan.west;
            for (int32_t n = 0; (n + 0.5) * kLampPitch < plan.Extent(); ++n) {
                const double along = start + (n + 0.5) * kLampPitch;
                if (!north && plan.OverRiver(along, 2)) continue;
                if (!AddLamp(roadside, plan, north, line, along, n % 2 ? 1 : -1)) return false;
            }
            for (int32_t tile = 0; tile < plan.tiles; ++tile) {
                for (int32_t c = 0; c < kCarsPerTile; ++c, ++number) {
                    // Scattered along the tile's length by a fixed sequence, clear of the lamps.
                    const double along =
                        start + tile * kTileSide + 20 + double((number * 7919) % 331) + kLampPitch / 4;
                    if (!north && plan.OverRiver(along, 5)) continue;
                    if (!AddCar(roadside, plan, north, line, along, number % 3 ? 1 : -1, number)) return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

ModelDocument* BuildHonestRoads(int32_t tiles)
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return nullptr;
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    constexpr char kName[] = "Roads";
    root->SetName(kName, int32_t(std::strlen(kName)));
    root->SetColours(kSkyBlue, kSolid, kSideBoth);
    AddSampleLights(root);
    Plan plan = {tiles, -tiles * kTileSide / 2, -tiles * kTileSide / 2, 0};
    // The river midway between two roads running north near the middle.
    plan.river = plan.RoadLine(plan.Roads() / 2, plan.west) - kRoadPitch / 2;
    // Each part built on its own and joined whole: the ground, the roads with their bridges, and
    // what stands beside the roads.
    ModelObject* ground = NewPart(holder, "Ground");
    if (!JoinPart(root, ground, ground && AddGround(ground, plan))) return Discard(document);
    ModelObject* roads = NewPart(holder, "Roads");
    ModelObject* bridges = NewPart(holder, "Bridges");
    const bool roadsBuilt = roads && bridges && AddRoads(roads, bridges, plan);
    if (!JoinPart(root, roads, JoinPart(roads, bridges, roadsBuilt))) return Discard(document);
    ModelObject* roadside = NewPart(holder, "Roadside");
    if (!JoinPart(root, roadside, roadside && AddRoadside(roadside, plan))) return Discard(document);
    UnitsRecord metres;
    metres.UnitsInit();
    root->SetUnits(&metres);
    // On the road running east through the middle, at the west edge, looking east along it to the
    // bridge.
    const double line = plan.RoadLine(plan.Roads() / 2, plan.south) - kRoadWidth / 4;
    const double x = plan.west + 10;
    const Fixed eyeX = X2Fix(x);
    const Fixed eyeY = X2Fix(line);
    const Fixed eyeZ = X2Fix(plan.Ground(x, line) + kRoadLift + kEyeHeight);
    constexpr int32_t kEast = -64;
    WalkRecord* walk = document->Walk;
    walk->SetRecording(1, 1);
    walk->SetAndRecord(eyeX, eyeY, eyeZ, 0, 0, IntToFixed(kEast));
    walk->SetRecording(0, 0);
    walk->SetAndRecord(eyeX, eyeY, eyeZ, 0, 0, IntToFixed(kEast));
    return document;
}
