// The drawing layer's services that the scene model calls: colour-cube indices of face
// colours, the coverage of a face by the faces that touch it, and the credits picture of a model
// file (an offscreen in the drawing layer's image format). The drawing layer installs its
// implementation; until then colours are matched to the cube by its own table, every face
// counts as uncovered and credits pictures are skipped.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"
#include "foundation/rgb_color.h"

class MemoryStream;
class Q_Offscreen;
struct FaceEntry;

class DrawingServices {
public:
    virtual ~DrawingServices() = default;

    // The 6 x 6 x 6 colour-cube index of a colour: 0 white to 215 black.
    virtual uint16_t LockedColorCubeIndex(const RGBColor48& colour);

    // 1 while part of `face` is left once the `count` faces of `covers` are taken away from it,
    // in order, each projected onto the face's dominant plane; 0 when they cover it all.
    virtual int32_t FaceRemainsUncovered(const FaceEntry& face, const FaceEntry* covers, int32_t count)
    {
        return 1;
    }

    // The credits picture, an offscreen in the drawing layer's image format (the body of a
    // "BMAP" chunk): a new empty picture (null when none can be made, and by default), its image
    // moved through the stream in the stream's direction (0 or a failure code), its disposal, and
    // its size (false without a picture).
    virtual Q_Offscreen* NewCreditsPicture() { return nullptr; }
    virtual ResultCode ReadWriteCreditsPicture(Q_Offscreen* picture, MemoryStream* stream) { return kResultLocked; }
    virtual void DisposeCreditsPicture(Q_Offscreen* picture) {}
    virtual bool CreditsPictureSize(const Q_Offscreen* picture, int32_t* width, int32_t* height) { return false; }
};

// Installs the services (null restores the defaults); returns the ones installed before.
DrawingServices* InstallDrawingServices(DrawingServices* services);
DrawingServices& CurrentDrawingServices();

// Windows builds: installs the services of the drawing layer (its colour cube and offscreens).
void InstallDrawingLayerServices();
