// The texture mapping of the sides of surfaces and faces: what a side's mapping is computed
// from (the polygon in its own plane, the texture's rectangles and attributes, the length
// unit), and the computation itself, which the renderer supplies (SetupTextureMapping); until it
// installs itself no mapping is computed and the mapping lists stay as they are.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/fixed.h"

class DynamicArray;
class ModelObject;
class Surface;
class TextureRecord;

struct TextureMappingInput {
    PortRect textureRect;   // the pixmap's bounds (TextureItemBounds)
    PortRect sizeRect;      // the picture's own size (TextureItemFrameRect)
    int32_t realSize[2];    // attributes 17 and 18: per axis, whether the texture has a real size
    int32_t unitCode[2];    // attributes 15 and 16: the unit of each axis
    Fixed size[2];          // attributes 13 and 14: the real size of each axis in its unit
    Fixed factor[2];        // attributes 11 and 12: the default factor of each axis
    double unitMetres;      // metres per length unit of the model
};

class TextureMappingServices {
public:
    virtual ~TextureMappingServices() = default;
    // Fills `*output` (made with element size 8 and grow step 4 when null) with the texture
    // coordinates of the polygon's vertices (FixedPoint each).
    virtual void SetupTextureMapping(const DynamicArray* /*polygon*/, DynamicArray** /*output*/,
                                     const TextureMappingInput& /*input*/)
    {
    }
};

// Installs the computation (null restores the default); returns the one installed before.
TextureMappingServices* InstallTextureMappingServices(TextureMappingServices* services);
TextureMappingServices& CurrentTextureMappingServices();

// The inputs of a side showing the texture, for an object with the units' metres per unit
// (0.0254 when the object has no units).
TextureMappingInput TextureMappingInputOf(TextureRecord* texture, const ModelObject* object);
// Recomputes the mapping lists of side 0 and side 2 of the surface (when it has an owner and a
// face record with a mapping polygon).
void UpdateSideTextureMapping(Surface* surface);
// Recomputes the mapping of each side of each face record of the object's geometry record
// whose texture has a holder.
void RebindSurfaceTextures(ModelObject* object);
