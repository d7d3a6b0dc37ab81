// Frame rendering: one frame drawn from an observer into the current port. The renderer starts
// with the object in which the eye stands, draws its faces seen from inside, then its registered
// objects in draw order seen from outside; visibility, projection and draw order are cached per
// geometry record and change serial.
#pragma once

#include <cstdint>

class Observer;
class ObjectGeometry;
class PolygonRecord;
class SpanRegion;
struct CoveredPixels;

// Nested RenderModel calls beyond this draw nothing.
constexpr int32_t kMaxRenderDepth = 25;

// A serial that no frame has (every model's serial is non-zero): what a frame left unfinished
// when it stopped (a record's visibility, a draw list) is marked with it, to be made again by the
// next frame.
constexpr uint16_t kUnfinishedSerial = 0;

// One frame: erase (or let the world root fill the background), the eye's cell and the objects
// around the eye, the wait cursor once the frame has run for 480 ms.
void RenderFrameTimed(Observer* observer, int16_t interruptible, int32_t unused);

// Draws one geometry record and its registered records. `stopAt` ends the list of registered
// records where it stands; `clipFace` (or null) restricts the drawing to that face's outline;
// the blend words carry the colour seen through see-through faces in front (R | G << 16,
// B | coverage << 16).
void RenderModel(ObjectGeometry* geometry, Observer* observer, SpanRegion* region, ObjectGeometry* stopAt,
                 PolygonRecord* clipFace, uint32_t blendColour, uint32_t blendCoverage);

// Whether faces drawn in this frame replace the pixels under them whole: filled into the target
// (straight into its pixels, where the dither option only picks the colour word, or through the
// system's fills, whose brushes, solid or patterned, write every pixel), with no blending, no
// bounds collected and no pick made (for which every record is visited). Drawing the same records
// twice over the same pixels then leaves what drawing them once leaves.
bool FacesReplacePixels(const Observer* o);

// 1 when the record is to be drawn this frame (cached per serial), its faces projected; also
// counts objects, polls for an interrupt and shows the wait cursor.
int32_t RenderObjectVisibility(ObjectGeometry* geometry, Observer* observer);
// The same, leaving the facing and corner lists of faces that no view plane cuts until the
// record is drawn (ProjectPendingFaces): a record hidden behind nearer ones never needs them.
int32_t RecordVisibility(ObjectGeometry* geometry, Observer* observer);
// Projects the faces of a record found visible this frame whose faces wait; false when they are
// left waiting, the frame having stopped (nothing of the record is to be drawn then).
bool ProjectPendingFaces(ObjectGeometry* geometry, Observer* observer);

// Faces of a record that a drawing leaves out, the records drawn after it painting them over:
// their indices, rising, from `first` up to `last`.
struct LeftOutFaces {
    const int32_t* first;
    const int32_t* last;
};
constexpr LeftOutFaces kNoFacesLeftOut = {nullptr, nullptr};

// The record's faces seen from inside (ownPass non-zero) or from outside; with leaveOutOccluded,
// less the faces that the records drawn after it paint over (marked when its draw list was made),
// and less those of `leftOut`. `paintedLater` (or null): pixels that drawing after the record
// paints over, which the textured sides of a record drawing nothing in layers leave out.
void DrawObjectFaces(ObjectGeometry* geometry, Observer* observer, SpanRegion* region, int32_t ownPass,
                     uint32_t blendColour, uint32_t blendCoverage, bool leaveOutOccluded,
                     const CoveredPixels* paintedLater, const LeftOutFaces& leftOut);
