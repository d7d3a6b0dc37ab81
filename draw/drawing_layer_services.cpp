// The drawing layer's services to the scene model: colour-cube indices from the drawing layer's
// cube, coverage regions over the system's regions, and credits pictures as offscreens in its
// image format.
#include "draw/drawing_layer_services.h"

#include <new>

#include "draw/color_cube.h"
#include "draw/coverage_region.h"
#include "draw/q_offscreen.h"
#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"
#include "model/drawing_services.h"

namespace {

class DrawingLayerServices : public DrawingServices {
public:
    uint16_t LockedColorCubeIndex(const RGBColor48& colour) override { return uint16_t(ColorCubeIndex(colour)); }

    CoverageRegion* NewCoverageRegion(const DynamicArray* polygon) override
    {
        CountTurns(kHeapBlockTurns);
        CoverageRegion* region = new (std::nothrow) CoverageRegion;
        if (region) region->CoverageRegionInit(polygon);
        return region;
    }

    int32_t CoverageRegionSubtract(CoverageRegion* region, const DynamicArray* polygon) override
    {
        return region ? region->CoverageRegionSubtract(polygon) : 1;
    }

    int32_t CoverageRegionRemains(CoverageRegion* region) override
    {
        return region ? region->CoverageRegionRemains() : 1;
    }

    void DisposeCoverageRegion(CoverageRegion* region) override
    {
        if (region) region->DisposeCoverageRegion();
    }

    int64_t CoverageWork(const CoverageRegion* region, const DynamicArray* polygon) override
    {
        return region ? region->SubtractWork(polygon) : CoverageRegion::CoverageWork(polygon);
    }

    Q_Offscreen* NewCreditsPicture() override { return new (std::nothrow) Q_Offscreen; }

    ResultCode ReadWriteCreditsPicture(Q_Offscreen* picture, MemoryStream* stream, PictureBudget* pictures) override
    {
        return picture->ReadWriteOffscreenImage(stream, nullptr, 0, pictures);
    }

    void DisposeCreditsPicture(Q_Offscreen* picture) override { picture->DisposeOffscreen(); }

    bool CreditsPictureSize(const Q_Offscreen* picture, int32_t* width, int32_t* height) override
    {
        if (!picture) return false;
        const PortRect& bounds = picture->PortBounds();
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
