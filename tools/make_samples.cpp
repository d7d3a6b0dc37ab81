// make-samples [--bench] DIR: builds the sample scenes in code and writes each as a model file in
// DIR, the textured ones with their picture files, and the city; with --bench, the scenes of the
// frame benchmark instead.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "draw/drawing_layer_services.h"
#include "draw/q_offscreen.h"
#include "model/model_document.h"
#include "tools/sample_scenes.h"
#include "tools/textured_samples.h"
#include "tools/tool_support.h"

namespace {

// The room's credits picture: 64 x 48 pixels of 32 bits, a blue to orange gradient.
Q_Offscreen* NewCreditsPicture()
{
    Q_Offscreen* picture = new Q_Offscreen;
    if (picture->QOffscreenInit({0, 0, 64, 48}, 0, nullptr) != kResultOk) {
        picture->DisposeOffscreen();
        return nullptr;
    }
    uint8_t** rows = picture->GetRowTable();
    for (int32_t y = 0; rows && y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            uint8_t* pixel = rows[y] + 4 * x;  // blue, green, red, unused
            pixel[0] = uint8_t(0xC0 - 3 * x);
            pixel[1] = uint8_t(0x40 + 2 * y);
            pixel[2] = uint8_t(0x30 + 3 * x);
            pixel[3] = 0;
        }
    }
    return picture;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool bench = argc == 3 && std::strcmp(argv[1], "--bench") == 0;
    if (argc != 2 && !bench) {
        std::fprintf(stderr, "usage: make-samples [--bench] DIR\n");
        return 2;
    }
    IgnoreResult(VolumeCapabilities());
    InstallDrawingLayerServices();
    UseToolScreen();
    std::string directory = argv[argc - 1];
    for (char& c : directory) c = c == '/' ? '\\' : c;
    const char separator = '\\';
    CreateDirectoryA(directory.c_str(), nullptr);  // when it does not exist yet
    if (!directory.empty() && directory.back() != separator) directory += separator;
    if (bench) return WriteBenchScenes(directory) == 0 ? 0 : 1;
    int32_t count = 0;
    const SampleScene* scenes = SampleScenes(&count);
    int failures = 0;
    for (int32_t i = 0; i < count; ++i) {
        const std::string path = directory + scenes[i].fileName;
        ModelDocument* document = scenes[i].build();
        if (document && std::strcmp(scenes[i].fileName, "room.qpy") == 0) document->SetCreditsPicture(NewCreditsPicture());
        const ResultCode result = WriteSampleFile(document, path);
        if (document) document->Destroy();
        if (result != kResultOk) {
            std::fprintf(stderr, "make-samples: writing %s failed (%d)\n", path.c_str(), int(result));
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    failures += WriteTexturedSamples(directory);
    return failures == 0 ? 0 : 1;
}
