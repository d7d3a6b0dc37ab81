// The drawing layer's services that the scene model calls: colour-cube indices of face
// colours, the coverage regions that tell how far faces lying against a face cover it, and the
// credits picture of a model file (an offscreen in the drawing layer's image format). Programs
// install the drawing layer's implementation at start-up (draw/drawing_layer_services.h); until
// then colours are matched to the cube by its own table, no region is made (every polygon counts
// as covering something new and nothing is ever covered completely) and credits pictures are
// skipped.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"
#include "foundation/rgb_color.h"

class CoverageRegion;
class DynamicArray;
class MemoryStream;
class PictureBudget;
class Q_Offscreen;

class DrawingServices {
public:
    virtual ~DrawingServices() = default;

    // The 6 x 6 x 6 colour-cube index of a colour: 0 white to 215 black.
    virtual uint16_t LockedColorCubeIndex(const RGBColor48& colour);

    // A coverage region of a polygon (FixedPoint points in one coordinate plane); null when
    // none can be made, which the other three operations accept.
    virtual CoverageRegion* NewCoverageRegion(const DynamicArray* /*polygon*/) { return nullptr; }
    // 1 when the polygon took something away from the region's remainder, else 0.
    virtual int32_t CoverageRegionSubtract(CoverageRegion* /*region*/, const DynamicArray* /*polygon*/) { return 1; }
    // 1 while part of the region's polygon is left uncovered.
    virtual int32_t CoverageRegionRemains(CoverageRegion* /*region*/) { return 1; }
    virtual void DisposeCoverageRegion(CoverageRegion* /*region*/) {}
    // The work that a region of the polygon takes from its making to its disposal (region null),
    // or taking the polygon away from the region, the calls to the system weighed with it, in the
    // units of the read budget's coverage (model/read_budget.h): 0 where no region is made.
    virtual int64_t CoverageWork(const CoverageRegion* /*region*/, const DynamicArray* /*polygon*/) { return 0; }

    // The credits picture, an offscreen in the drawing layer's image format (the body of a
    // "BMAP" chunk): a new empty picture (null when none can be made, and by default), its image
    // moved through the stream in the stream's direction (0 or a failure code; a picture read
    // spends on the model's picture budget, when one is given), its disposal, and its size (false
    // without a picture).
    virtual Q_Offscreen* NewCreditsPicture() { return nullptr; }
    virtual ResultCode ReadWriteCreditsPicture(Q_Offscreen* /*picture*/, MemoryStream* /*stream*/,
                                               PictureBudget* /*pictures*/)
    {
        return kResultLocked;
    }
    virtual void DisposeCreditsPicture(Q_Offscreen* /*picture*/) {}
    virtual bool CreditsPictureSize(const Q_Offscreen* /*picture*/, int32_t* /*width*/, int32_t* /*height*/)
    {
        return false;
    }
};

// Installs the services (null restores the defaults); returns the ones installed before.
DrawingServices* InstallDrawingServices(DrawingServices* services);
DrawingServices& CurrentDrawingServices();
