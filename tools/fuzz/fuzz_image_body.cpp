// Fuzz target: the body of a picture in the image format (header, "CMAP" and "DATA" chunks),
// as credits pictures and embedded textures store it, read into a new offscreen.
#include "draw/q_offscreen.h"
#include "tools/fuzz/fuzz_services.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    InstallFuzzServices();
    MemoryStream stream;
    if (!LoadStream(stream, data, size)) return 0;
    Q_Offscreen* picture = new Q_Offscreen;
    if (picture->ReadWriteOffscreenImage(&stream, nullptr, 0) == kResultOk) {
        // A picture read whole has every pixel it claims.
        PortRect bounds;
        picture->GetBounds(&bounds);
        RGBColor48 colour;
        if (bounds.Width() > 0 && bounds.Height() > 0) picture->GetPixelColor(&colour, bounds.Width() - 1, bounds.Height() - 1);
    }
    picture->DisposeOffscreen();
    return 0;
}
