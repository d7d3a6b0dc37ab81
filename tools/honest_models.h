// Honest models: scenes as a modeller makes them, built through the scene model at any size. They
// are the yardstick of the read budget: every one of them, at every size a real author makes,
// must read. make-honest-models writes them, at sizes a test run reads quickly or at the largest
// sizes, for qmdl-info and load-bench.
#pragma once

#include <cstdint>

class ModelDocument;

// How a maker finishes the spheres of the most segments: plain, shaded smoothly on both sides, or
// cut by facet slices.
enum class SphereFinish { kPlain, kSmooth, kFaceted };

// Each maker answers a new document holding the scene, or null when memory is short. Scenes
// have an ambient light and a directional one unless said otherwise.

// A landscape of `faces` faces or a little more, stored as patches of `side` x `side` faces side
// by side (an object holds at most 32,767 faces), in rows that are flat quads and hilly triangles
// in turn, each patch sharing its border vertices' positions with the patches beside it.
ModelDocument* BuildHonestLandscape(int32_t faces, int32_t side);
// The same landscape in patches of 128 x 128 faces, each shaded smoothly on both sides, under an
// ambient light and `lights` - 1 directional ones.
ModelDocument* BuildHonestSmoothLandscape(int32_t faces, int32_t lights);
// Two sphere meshes (polygon objects) of `side` x `side` faces, side by side, `gap` of a radius
// apart: 0 places them so that their surfaces meet.
ModelDocument* BuildHonestSphereMeshes(int32_t side, double gap);
// `count` spheres of 16 x 8 segments (16 corners around, 8 segments from the equator to each pole:
// 256 faces) in a cube: apart, or touching their neighbours at their sides and poles; under an
// ambient light and `lights` - 1 directional ones.
ModelDocument* BuildHonestSpheres(int32_t count, bool touching, int32_t lights);
// `count` spheres of the most segments an object may have (32,512 faces each) in a row, apart,
// under an ambient and a directional light.
ModelDocument* BuildHonestLargeSpheres(int32_t count, SphereFinish finish);
// `houses` houses (a body and a roof under a group each) standing on one landscape object of 128 x
// 128 quads.
ModelDocument* BuildHonestVillage(int32_t houses);
// `houses` houses of one piece each (a gable end's outline pushed the house's length) standing on
// one landscape object of 128 x 128 quads over gently rolling ground, each sunk into the slope
// down to the ground's lowest corner under it.
ModelDocument* BuildHonestRollingVillage(int32_t houses);
// A forest of `trees` trees standing on a landscape of `patches` patches of 128 x 128 quads (a
// square number of them, as many rows as columns), flat or over rolling ground: each tree a group
// of a trunk (a cylinder of 12 sides, sunk into a slope) and a crown (a cone) standing on it, in
// two sizes in turn, of 88 and 89 faces, spread over the ground in rows a little out of line.
ModelDocument* BuildHonestForest(int32_t trees, int32_t patches, bool rolling = false);
// `boulders` boulders (spheres of 16 x 8 segments, of 1, 2 and 3 metres in turn) half sunk into
// one landscape object of 128 x 128 quads over rolling ground.
ModelDocument* BuildHonestBoulders(int32_t boulders);
// One floor slab whose top face is connected to each of `rooms` rooms standing on it.
ModelDocument* BuildHonestFloorRooms(int32_t rooms);
// Groups nested four deep (site, buildings, floors, rooms), each in its own units, around some
// `faces` faces of boxes: walls and furniture.
ModelDocument* BuildHonestNestedGroups(int32_t faces);
// The same site of furnished buildings, its groups nested four deep in the root's units, its
// buildings in as many rows as columns: the interiors of a whole town.
ModelDocument* BuildHonestInteriors(int32_t faces);
// A town of `blocks` blocks on a flat landscape of `patches` patches of 128 x 128 quads (and a
// row of hilly patches beyond them when `hills`), under four lights: each block a group in units
// of its own holding a plaza and on it houses, an office in units of its own (a floor slab
// connected to its rooms, and a furnished room), trees, and a monument whose sphere is smooth and
// faceted in turn; two sphere meshes touching each other stand on the ground south of the blocks.
ModelDocument* BuildHonestTown(int32_t blocks, int32_t patches, bool hills);
// A town of glass of `blocks` blocks on a flat landscape of four patches of 112 x 112 quads, under
// four lights: each block a group in units of its own holding a plaza and on it two towers, each
// a lobby whose street front is 24 panes of window glass with its furnishings inside and a shaft
// above it, four shops whose street fronts are a shop window and a glass door with the shop's
// fittings behind them, and street lamps. Some 1,000 faces a block.
ModelDocument* BuildHonestGlassTown(int32_t blocks);

// A workshop of `machines` machines standing in rows on one floor slab, each a group of a body
// and the details sunk into it: a control panel, bolts, a hand wheel, knobs half sunk into the
// panel, and handles whose posts go into the body and whose bars go into the posts.
ModelDocument* BuildHonestWorkshop(int32_t machines);
// A garden of `pavilions` pavilions on one landscape object of 128 x 128 quads, each surface seen
// from both sides as two meshes on the same corners facing opposite ways: each pavilion a vaulted
// roof and two walls standing under its eaves, and beside it a tree whose crown is leaves so drawn.
ModelDocument* BuildHonestPavilions(int32_t pavilions);
// `offices` furnished offices side by side, ten to a floor, five floors to a building, groups
// nested six deep: furniture from a library (desks, chairs, monitors, bookcases), each piece a
// group in the units it was drawn in, placed again and again standing on the floor and touching
// each other and the walls.
ModelDocument* BuildHonestOffices(int32_t offices);
// `walls` walls of stone blocks laid in courses, each block a box touching those beside, under
// and over it, 2,020 blocks a wall, on one ground slab.
ModelDocument* BuildHonestMasonry(int32_t walls);

// A museum of `rooms` rooms side by side under eight lights, each room's walls holding doorways
// open into the rooms beside it, and in each room a bench and two glass cases on plinths with a
// piece under glass. The eye stands in the first room looking through the doorways beyond.
ModelDocument* BuildHonestMuseum(int32_t rooms);
// A high street of `shops` shops of the glass town facing each other across a long street on a
// flat landscape patch; the eye stands inside a shop of the middle, looking out across the street.
ModelDocument* BuildHonestHighStreet(int32_t shops);
// A harbour of `berths` berths along a quay, looked along from its end: water and rolling land in
// patches of 112 x 112 quads, the quay and a road behind it, at each berth a finger pier, two
// bollards, a moored boat (a group of a hull, a cabin and a mast), a warehouse and a lamp.
ModelDocument* BuildHonestHarbour(int32_t berths);
// Roads over `tiles` x `tiles` tiles of swelling ground (4,096 faces each) crossed by a river: a
// grid of roads every 192 metres draped over the ground, bridges where they cross the river, lamps
// and parked cars along them; the eye on a road looking along it over the river
// (tools/honest_roads.cpp).
ModelDocument* BuildHonestRoads(int32_t tiles);

// Stands of `rows` rows of `sections` sections of 24 seats (L-shaped prisms of 8 faces) in metres,
// each row of a section a group of its terrace mesh and its seats, every seat standing on its
// tread and connected to it; a roof over them all, seen from above and, when `underside`, from
// below by a second mesh on the same corners.
ModelDocument* BuildHonestStands(int32_t rows, int32_t sections, bool underside);
// `figures` figures in a row, 4 metres apart, each a group of a plinth and six smooth ellipsoid
// meshes of `side` x `side` faces (a torso, a head, arms and legs) sunk into each other as a
// sculptor models them.
ModelDocument* BuildHonestFigures(int32_t figures, int32_t side);
// A campus of `buildings` buildings in blocks of four and districts of four blocks: each building
// (in feet for every third, else in metres) five floors of two wings of eight rooms, each room a
// box touching those beside, behind, above and below it with a dining set from a library drawn in
// centimetres; groups nested nine deep down to the furniture's legs.
ModelDocument* BuildHonestCampus(int32_t buildings);

struct HonestModel {
    const char* kind;  // written as load-honest-<kind>.qpy
    ModelDocument* (*testSize)();
    ModelDocument* (*largeSize)();
};

// The honest kinds, in a fixed order, each at a size that a test run reads in well under a
// second or two and at the largest size a real author makes.
const HonestModel* HonestModels(int32_t* count);
