// Textured face sides: the texture source of a side (its texture's options, the translation
// tables of its shade level and the picture's pixels) and the drawing of a face's textured side
// through the textured polygon rasteriser into the shared offscreen. The polygon elements laid on
// faces take their sides the same way.
#pragma once

#include <cstdint>

class ObjectGeometry;
class PolygonRecord;
class SpanRegion;
class TextureRecord;
struct CoveredPixels;
struct ShadeLevelEntry;
struct TextureSource;

// Whether the texture's picture can be had (its media item answers with pixels).
bool TextureIsUsable(TextureRecord* texture);
// The height against which the side's v coordinates are flipped: the picture's height times
// attribute 12, rounded half up.
int32_t TextureFlipHeight(TextureRecord* texture);
// The translation tables of a side at the shade level (0 brightest, 31 darkest): entry 0 of the
// screen set when the texture's attribute 2 is 0, else the level's entry; null without tables.
const ShadeLevelEntry* SideShadeTables(TextureRecord* texture, int32_t level);
// Fills the source from the texture: attributes 1 (transparent), 3, 7 (flip-u, inverted when the
// side is seen from inside, ownPass non-zero), 8 (flip-v), 9 (mirror-u), 10 (mirror-v), the tables,
// the picture, its bounds and colour. False when the picture cannot be had.
bool FillTextureSource(TextureSource* source, TextureRecord* texture, int32_t ownPass, const ShadeLevelEntry* tables);

// True when DrawTexturedFaceSide would paint every pixel inside the side's outline: the picture
// has rows the fill can address, the translation tables exist, the shared offscreen's format
// takes textures and every corner has its texture pair.
bool TexturedSidePaintsOutline(PolygonRecord* face, int32_t ownPass);

// Draws the side of the face seen in this pass (front seen from inside, back from outside) with
// its texture into the shared offscreen, clipped to the region, leaving out the pixels that later
// drawing paints over (`paintedLater`, or null). 0 when there was nothing to draw (no usable
// texture, no shared offscreen, fewer than 3 points), else 1.
int32_t DrawTexturedFaceSide(PolygonRecord* face, ObjectGeometry* geometry, SpanRegion* region, int32_t ownPass,
                             const CoveredPixels* paintedLater);
