// The drawing layer's services to the scene model: colour-cube indices from the drawing layer's
// cube, and credits pictures as offscreens in its image format.
#include <new>

#include "draw/color_cube.h"
#include "draw/q_offscreen.h"
#include "model/drawing_services.h"

namespace {

class DrawingLayerServices : public DrawingServices {
public:
    uint16_t LockedColorCubeIndex(const RGBColor48& colour) override { return uint16_t(ColorCubeIndex(colour)); }

    Q_Offscreen* NewCreditsPicture() override { return new (std::nothrow) Q_Offscreen; }

    ResultCode ReadWriteCreditsPicture(Q_Offscreen* picture, MemoryStream* stream) override
    {
        return picture->ReadWriteOffscreenImage(stream, nullptr, 0);
    }

    void DisposeCreditsPicture(Q_Offscreen* picture) override { picture->DisposeOffscreen(); }

    bool CreditsPictureSize(const Q_Offscreen* picture, int32_t* width, int32_t* height) override
    {
        if (!picture) return false;
        PortRect bounds;
        picture->GetBounds(&bounds);
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return true;
    }
};

}  // namespace

void InstallDrawingLayerServices()
{
    static DrawingLayerServices services;
    InstallDrawingServices(&services);
}
