// Default texture and drawing services of the scene model and the hooks that replace them.
#include "model/drawing_services.h"
#include "model/texture_services.h"

#include "foundation/service_slot.h"

namespace {

TextureServices gDefaultTextures;
ServiceSlot<TextureServices> gTextures(&gDefaultTextures);
DrawingServices gDefaultDrawing;
ServiceSlot<DrawingServices> gDrawing(&gDefaultDrawing);

// The cube level (0 for 0xFF down to 5 for 0x00) of a channel's high byte: the level whose
// byte is nearest, a midpoint going to the darker level.
int32_t CubeLevel(uint16_t channel)
{
    static constexpr int32_t kLowestByteOfLevel[5] = {230, 179, 128, 77, 26};
    const int32_t byte = channel >> 8;
    int32_t level = 0;
    while (level < 5 && byte < kLowestByteOfLevel[level]) ++level;
    return level;
}

}  // namespace

void TextureServices::TextureName(const TextureRecord* /*texture*/, char* buffer, int32_t bufferSize)
{
    if (bufferSize > 0) buffer[0] = 0;
}

uint16_t DrawingServices::LockedColorCubeIndex(const RGBColor48& colour)
{
    return uint16_t(36 * CubeLevel(colour.red) + 6 * CubeLevel(colour.green) + CubeLevel(colour.blue));
}

TextureServices* InstallTextureServices(TextureServices* services)
{
    return gTextures.Install(services);
}

TextureServices& CurrentTextureServices()
{
    return gTextures.Current();
}

DrawingServices* InstallDrawingServices(DrawingServices* services)
{
    return gDrawing.Install(services);
}

DrawingServices& CurrentDrawingServices()
{
    return gDrawing.Current();
}
