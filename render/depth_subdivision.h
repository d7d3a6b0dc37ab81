// Perspective subdivision of textured polygons. Affine texture mapping is exact only where depth
// is constant, so a clipped face whose vertices differ in reciprocal depth w is cut along lines of
// constant depth into slabs, near to far, and each slab across the direction in which depth varies
// into pieces small enough that affine mapping inside each stays within about a pixel of true
// perspective; the pieces are filled affinely, near to far and right to left. w is the reciprocal
// depth of the projection (larger is nearer, linear on the screen), compared unsigned. At most
// kMaxPerspectiveCuts cuts are made per face; what is left then is filled affinely in one piece.
// Not re-entrant: the direction, the slab thickness and the work lists are program-wide.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/polygon_clip.h"

struct TextureSetup;

// Tuning constants.
constexpr Fixed kDepthStepFactor = 0x10000;
constexpr int32_t kMinimumPieceFactor = 4;  // pieces and slabs: at least 4 pixels' change of w
constexpr int32_t kMaxPerspectiveCuts = 256;

// The direction of the lines of constant depth of the face being drawn: orientation 0 when they
// run closer to horizontal (slope = dy/dx), 1 when closer to vertical (slope = dx/dy).
struct ConstantDepthDirection {
    Fixed slope;
    int32_t orientation;
};
extern ConstantDepthDirection DepthDirection;
// The least change of w across a slab (w units), set once per face.
extern uint32_t MinimumSlabDepth;

// The depth frame of a polygon: the vertices of largest w, smallest w and largest x, the w range,
// and its extent across the constant-depth lines: with orientation 0 the leftmost and rightmost
// x and the y at which the constant-depth lines through the nearest and the farthest vertex cross
// the leftmost x; with orientation 1 the smallest y and the x at which those lines cross it.
struct DepthFrame {
    int32_t nearest;
    int32_t farthest;
    int32_t rightmost;
    uint32_t wMin;
    uint32_t wMax;
    Fixed left;
    Fixed right;
    Fixed top;
    Fixed nearLine;
    Fixed farLine;
};

// A polygon of the subdivision: vertices with their texture coordinates and the line of the edge
// from each vertex to the next (an index into the face's lines, -1 for none), in lists of room
// for `capacity` vertices.
struct DepthPolygon {
    ClipPoint3* vertices;
    TextureCoord* coords;
    int32_t* lines;
    int32_t count;
    int32_t capacity;
};

// 1 when every vertex has the same w.
int32_t IsFlatDepth(const ClipPoint3* vertices, int32_t count);
// Sets DepthDirection from the points where two edges cross the middle depth; its orientation.
int32_t FindConstantDepthSlope(const ClipPoint3* vertices, int32_t count, Fixed* slope);
// Sets MinimumSlabDepth: the change of w over four pixels across the constant-depth lines.
void SetMinimumSlabDepth(const ClipPoint3* vertices, int32_t count);
// Fills the face (count >= 3) piece by piece with the set-up's filler; the cuts made, each of
// which walks the face's corners.
int32_t FillTexturedPolygonPerspective(TextureSetup* setup, const TextureCoord* coords, const ClipPoint3* vertices,
                                       int32_t count);

// --- the supporting operations ---
// The point of the edge from a to b where w (or x) has the value; the other coordinates are
// interpolated linearly, the value itself is exact.
ClipPoint3 DepthPointOnEdge(const ClipPoint3& a, const ClipPoint3& b, uint32_t w);
ClipPoint3 XPointOnEdge(const ClipPoint3& a, const ClipPoint3& b, Fixed x);
// The same with the texture coordinates there, perspective-correct.
void SplitEdgeAtDepth(const ClipPoint3& a, const TextureCoord& ca, const ClipPoint3& b, const TextureCoord& cb,
                      uint32_t w, ClipPoint3* point, TextureCoord* coord);
void SplitEdgeAtX(const ClipPoint3& a, const TextureCoord& ca, const ClipPoint3& b, const TextureCoord& cb, Fixed x,
                  ClipPoint3* point, TextureCoord* coord);
// |w0 - w1| over the larger of the x and y distance: w units per pixel.
uint32_t DepthStepPerPixel(const ClipPoint3& p0, const ClipPoint3& p1);
// The w to which one may go from the nearer point p0 towards p1 with an affine error of about
// one pixel.
uint32_t NextSliceDepth(const ClipPoint3& p0, const ClipPoint3& p1);
// The first depth at which to cut a slab off the near end of the polygon, and the index of its
// nearest vertex; 0 when the polygon needs no cut.
int32_t FindSliceDepth(const TextureCoord* coords, const ClipPoint3* vertices, int32_t count, uint32_t* cut,
                       int32_t* nearest);
void MeasureDepthFrame(const ClipPoint3* vertices, int32_t count, DepthFrame* frame);
// The second-level cuts of a slab: by depth (orientation 1) or by x (orientation 0); false when
// the slab needs no further cut.
bool NextCrossDepth(const DepthFrame& frame, uint32_t* cut);
bool FindCrossCutX(const DepthFrame& frame, Fixed* cut);

// The cuts. Each writes the part on the near side of the cut (w above it, or x right of it),
// walked from vertex `start`, into `piece` and the rest into `spare`, then exchanges the lists of
// `polygon` and `spare`, so that `polygon` holds the rest. False, with nothing changed, when
// either part would have fewer than 3 vertices or not fit its lists.
bool CutPolygonAtDepth(DepthPolygon* polygon, uint32_t cut, int32_t start, DepthPolygon* piece, DepthPolygon* spare);
bool CutPolygonAcrossDepth(DepthPolygon* polygon, uint32_t cut, int32_t start, DepthPolygon* piece,
                           DepthPolygon* spare);
bool CutPolygonAtX(DepthPolygon* polygon, Fixed cut, int32_t start, DepthPolygon* piece, DepthPolygon* spare);
// FindSliceDepth, then CutPolygonAtDepth.
bool CutDepthSlab(DepthPolygon* polygon, DepthPolygon* slab, DepthPolygon* spare);
// The second level: one piece cut off the slab.
bool CutSlabPiece(DepthPolygon* slab, DepthPolygon* piece, DepthPolygon* spare);
// Fills the slab piece by piece while cuts remain in `*cutsLeft`.
void FillSlabPieces(TextureSetup* setup, DepthPolygon* slab, DepthPolygon* piece, DepthPolygon* spare,
                    int32_t* cutsLeft);
