// The renderer's texture mapping service.
#include "render/renderer_texture_mapping.h"

#include "render/projection.h"
#include "textures/texture_mapping.h"

namespace {

class RendererTextureMapping : public TextureMappingServices {
public:
    void SetupTextureMapping(const DynamicArray* polygon, DynamicArray** output, const TextureMappingInput& input) override
    {
        ::SetupTextureMapping(polygon, output, input);
    }
};

RendererTextureMapping gMapping;

}  // namespace

void InstallRendererTextureMapping()
{
    InstallTextureMappingServices(&gMapping);
}

void RemoveRendererTextureMapping()
{
    if (&CurrentTextureMappingServices() == &gMapping) InstallTextureMappingServices(nullptr);
}
