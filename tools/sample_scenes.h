// Sample scenes built in code through the scene model's own classes: a furnished room with a
// walk path, and a shelf of every primitive kind. make-samples writes them as model files and
// the tests read them back.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/fixed.h"

class ModelDocument;
class ModelHolder;
class ModelObject;
class PolygonElement;
struct RGBColor48;

struct SampleScene {
    const char* fileName;
    // A new document holding the scene; null when memory is short.
    ModelDocument* (*build)();
};

// The samples, in a fixed order.
const SampleScene* SampleScenes(int32_t* count);

// Writes the document as the program writes a model file and frees it; the file's bytes, empty
// when there is no document or it cannot be written.
std::vector<uint8_t> ModelFileBytes(ModelDocument* document);

ModelDocument* BuildRoomSample();
ModelDocument* BuildShapesSample();
// A room with a see-through wall looking out on a yard, and a glass case holding a ball.
ModelDocument* BuildGlassSample();
// A room whose walls carry polygon elements: a window, pictures, a rug, a doorway to walk
// through and a sign on the outside.
ModelDocument* BuildElementsSample();

// Pieces the samples are made of, for tests that build their own scenes. Lengths are whole
// world units; every object is placed at its world position and not yet attached.
// The samples' lights under the root: an ambient light and two from above.
void AddSampleLights(ModelObject* root);
ModelObject* MakeBox(ModelHolder* holder, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1);
// A regular outline of `corners` points of the given radius, extruded along `axis` from
// height0 to height1, made a primitive of the given kind and segment count, placed at (x, y, z).
ModelObject* MakeShape(ModelHolder* holder, int32_t kind, int32_t segments, int32_t axis, int32_t corners,
                       int32_t radius, int32_t height0, int32_t height1, int32_t x, int32_t y, int32_t z);
// A new, empty document; null when memory is short.
ModelDocument* NewSampleDocument();
// A polygon object of the vertices and the faces (each a list of indices into them), at the
// origin; null when memory is short.
ModelObject* MakePolygonMesh(ModelHolder* holder, const std::vector<FixedVector3>& points,
                             const std::vector<std::vector<int16_t>>& faces);
// A tetrahedron as a polygon object placed at (x, y, z).
ModelObject* MakeTetrahedron(ModelHolder* holder, int32_t size, int32_t x, int32_t y, int32_t z);
// The face of the object whose world normal points along the axis direction (length 256), or -1.
int32_t FaceFacing(const ModelObject* object, int16_t nx, int16_t ny, int16_t nz);
// A polygon element of the colour and code laid on the face, in the element list `list`: the
// regular outline of `corners` points of the radius (or, with corners 0, a `width` x `height`
// rectangle), turned by `degrees`, centred at (u, v) in whole units from the middle of the face.
PolygonElement* AddFaceElement(ModelObject* object, int32_t face, int32_t list, int32_t corners, int32_t width,
                               int32_t height, int32_t degrees, int32_t u, int32_t v, const RGBColor48& colour,
                               uint16_t code);
