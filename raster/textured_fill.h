// The textured polygon fill: the set-up of a face's texture against the destination's pixel
// format (the filler of TexSpanTable for the texture options and the format, its translation
// tables and wrap masks), the affine row walk that hands every span to that filler with the
// span's texture gradient, and the textured image path (a polygon of whole device pixels with
// texture coordinates, no depth).
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "draw/raster_globals.h"
#include "draw/shade_level_tables.h"
#include "foundation/fixed.h"
#include "foundation/rgb_color.h"
#include "raster/polygon_clip.h"
#include "raster/tex_span_fillers.h"

class DynamicArray;
class Q_Offscreen;
struct CoveredPixels;
class SpanRegion;

// What the face drawing fills in for one textured face side.
struct TextureSource {
    int32_t transparent;  // texel 0 is not drawn
    int32_t extra;        // the caller's second word; not read by the fills
    int32_t flipU;        // mirror the texture left to right once: u becomes (width - 1) - u
    int32_t flipV;        // top to bottom once: v becomes (height - 1) - v
    int32_t mirrorU;      // repeat horizontally with every second copy mirrored
    int32_t mirrorV;      // the same vertically
    const ShadeLevelEntry* tables;  // the translation tables: one shade level entry
    Q_Offscreen* pixels;            // the texture: its bounds give the size, its row table the texels
    // Filled by the caller after these; not read by the fills.
    PortRect bounds;
    RGBColor48 colour;
    // Read by the set-up: pixels of the destination that later drawing paints over, which the
    // spans leave out (or null).
    const CoveredPixels* covered = nullptr;
};

// A line along which pieces of one face meet (an edge of the face, or a cut through it): x at
// the centre of row r is rowZeroX + r x step in 32-bit wrapping arithmetic, the half pixel that
// rounds included; the same x the fill computes for an edge along the whole line, so that pieces
// on either side of a cut, and the face's neighbours, split every row at the same pixel.
struct EdgeLine {
    Fixed rowZeroX;
    Fixed step;  // x per row
};

// The line through a and b as the fill steps an edge from the upper of them down; false when the
// two lie in one pixel row (such an edge is never stepped).
bool MakeEdgeLine(FixedPoint a, FixedPoint b, EdgeLine* line);

// The per-face set-up that SetupTexturedPolygon fills and the fills read.
struct TextureSetup {
    const TextureSource* source = nullptr;
    Q_Offscreen* destination = nullptr;
    uint8_t* const* rowTable = nullptr;  // the texture's row starts, one per texel row
    int32_t destX = 0;                   // the destination's negated origin
    int32_t destY = 0;
    int32_t destBytes = 0;               // the destination buffer's size (not used by the fill)
    int32_t depthMode = 0;
    int32_t column = -1;                 // of TexSpanTable; -1 when the destination cannot be drawn
    int32_t widthMask = 0;
    int32_t heightMask = 0;
    int32_t width = 0;                   // texels
    int32_t height = 0;
    const ShadeLevelEntry* tables = nullptr;
    TexSpanFiller filler = nullptr;      // null: nothing can be drawn
    // The destination's pixels: the start of each row (of plane 0), the size every span is
    // clamped to, and the distance between planes.
    uint8_t* const* destRows = nullptr;
    int32_t destWidth = 0;
    int32_t destHeight = 0;
    int32_t planeBytes = 0;
    // The lines of the face being subdivided, and for the piece being filled the line of the edge
    // from each vertex to the next (an index into edgeLines, or -1 for its own ends); both null
    // outside the perspective path.
    const EdgeLine* edgeLines = nullptr;
    const int32_t* edgeTags = nullptr;
    // The source's pixels left out of the spans (or null).
    const CoveredPixels* covered = nullptr;
};

// The destination format rule: the depth mode and table column of a pixel format; false when
// textured drawing draws nothing there (1- and 2-bit and unknown depths).
bool TextureDestinationFormat(const PixelFormat& format, int32_t* depthMode, int32_t* column);

// The table row of the texture options: mirror-v 1, mirror-u 2, transparent 4, both sizes
// powers of two 8.
int32_t TextureOptionRow(const TextureSource& source, int32_t width, int32_t height);

// The widest and tallest texture the fill addresses: integer parts of texture coordinates are
// 16 bits.
constexpr int32_t kMaxTextureSide = 0x7FFF;

// Fills the set-up from the source, the texture's rows and size and the destination's pixel
// format (everything but the edge lines). False, with no filler, when nothing can be drawn: no
// translation tables, no texels, an empty texture, or a destination outside the format rule.
bool SetupTexturedSource(TextureSetup* setup, const TextureSource* source, uint8_t* const* textureRows, int32_t width,
                         int32_t height, const PixelFormat& destination);

// Applies the flip flags to the coordinates in place: u := (width - 1) x 65536 - u, likewise v.
void ApplyTextureFlips(const TextureSource& source, int32_t width, int32_t height, TextureCoord* coords,
                       int32_t count);

// SetupTexturedSource from the source's texture (its row table taken with GetRowTable, which the
// caller hands back with ReleaseRowTable) and the destination offscreen, then the flips. False
// when nothing can be drawn.
bool SetupTexturedPolygon(const TextureSource* source, Q_Offscreen* destination, TextureCoord* coords, int32_t count,
                          TextureSetup* setup);

// Fills one polygon of 16.16 device positions affinely, clockwise on the screen (y down); every
// span is clamped to the destination's pixels. 0 when the count is below 3, every vertex lies in
// one pixel row or the set-up has no filler; else 1.
int32_t FillTexturedPolygonAffine(TextureSetup* setup, const TextureCoord* coords, const FixedPoint* positions,
                                  int32_t count);
// The same for a piece of a face in depth: an edge tagged with a line in the set-up takes its x
// from the line, and each row's gradient is taken from its span's ends (the corners carry
// perspective-correct coordinates, so it is not the same down the rows).
int32_t FillTexturedPieceAffine(TextureSetup* setup, const TextureCoord* coords, const ClipPoint3* vertices,
                                int32_t count);

// The texture gradient of one segment of h rows between a left and a right edge (x, u and v at
// the first row with their steps per row): du per pixel at the first row scaled by 2^uShift, its
// change per row, and the same for v. All products and differences in 64 bits.
struct SpanGradients {
    Fixed du0;
    Fixed ddu;
    int32_t uShift;
    Fixed dv0;
    Fixed ddv;
    int32_t vShift;

    // du and dv of the row whose accumulated change is `accumulated`.
    static Fixed Gradient(Fixed start, int64_t accumulated, int32_t shift);
};
SpanGradients ComputeSpanGradients(int32_t h, Fixed xL, Fixed dxL, Fixed xR, Fixed dxR, Fixed uL, Fixed duL, Fixed uR,
                                   Fixed duR, Fixed vL, Fixed dvL, Fixed vR, Fixed dvR, bool triangle);

// The larger of |a| and |b|.
int64_t MaxAbs(int64_t a, int64_t b);

// Fills a polygon of whole device pixels (a DynamicArray of DevicePoint) with per-vertex texture
// coordinates (TextureCoord), clipped to the destination rectangle of the offscreen and, when the
// region is clipped, to its clip shape. 1 once both edge chains exist (whether or not a pixel fell
// inside); 0 with fewer than 3 points, a destination outside the format rule, every point in one
// row, or the polygon's x range outside the clip.
int32_t DrawTexturedImage(const TextureSource* source, Q_Offscreen* destination, const DynamicArray* points,
                          const DynamicArray* coords, const SpanRegion* region);
