// qmdl-info FILE: reads a model file with the program's own reader, without any window, and
// prints what it holds as "key: value" lines. Alerts the reader would show go to standard error.
// The exit status is 0 when the reader's result is 0.
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/drawing_layer_services.h"
#include "foundation/disk_file_stream.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/drawing_services.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/walk_record.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_services_impl.h"
#include "tools/tool_support.h"

namespace {

struct Totals {
    int64_t faces = 0;
    int64_t vertices = 0;
    int64_t lights = 0;
    int64_t surfaces = 0;
};

void Count(const ModelObject* node, Totals* totals)
{
    for (int32_t i = 0; i < node->GeometryCount(); ++i) totals->faces += node->GeometryAt(i)->PolygonCount();
    totals->vertices += ListCount(node->LocalVertices);
    totals->lights += ListCount(node->Lights);
    for (int32_t i = 0; i < ListCount(node->Surfaces); ++i) {
        const Surface* surface = PointerAt<Surface>(node->Surfaces, i);
        if (surface && surface->SurfaceHasData()) ++totals->surfaces;
    }
    for (int32_t i = 0; i < node->ChildCount(); ++i) Count(node->ChildAt(i), totals);
}


}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: qmdl-info FILE\n");
        return 2;
    }
    IgnoreResult(VolumeCapabilities());
    InstallDrawingLayerServices();
    UseToolScreen();
    bool scrambled = false;
    DiskFileStream* file = OpenModelFileForReading(argv[1], &scrambled);
    if (!file) {
        std::fprintf(stderr, "qmdl-info: cannot open %s\n", argv[1]);
        return 2;
    }

    // The texture layer as the engine start-up and the open command set it up: texture tables
    // are read, and texture files that moved are looked for beside the model.
    InitTextureManager(new TextureManager{});
    InstallTextureLayerServices();
    InitTextureLibraries();
    IndexImageResources(file);

    ModelDocument* document = new ModelDocument;
    if (document->Init() != kResultOk) {
        std::fprintf(stderr, "qmdl-info: out of memory\n");
        return 2;
    }
    if (scrambled) file->StreamScrambleOn();
    const int64_t turnsBefore = TurnsCounted();
    const ResultCode result = document->ReadModelFile(file);
    const int64_t turns = TurnsCounted() - turnsBefore;
    file->StreamScrambleOff();
    const uint32_t version = file->StreamGetVersion();
    file->FileObjectDestroy();

    const ModelObject* root = document->Holder->Root;
    int32_t counters[9];
    root->ModelStatistics(counters);
    Totals totals;
    Count(root, &totals);
    int32_t width = 0;
    int32_t height = 0;
    const bool picture = CurrentDrawingServices().CreditsPictureSize(document->CreditsPicture, &width, &height);

    std::printf("result: %d\n", int(result));
    std::printf("version: 0x%08X\n", unsigned(version));
    std::printf("objects: %d\n", int(counters[0] - counters[1]));
    std::printf("groups: %d\n", int(counters[2]));
    std::printf("primitives: %d\n", int(counters[3]));
    std::printf("meshes: %d\n", int(counters[4]));
    std::printf("faces: %lld\n", (long long)totals.faces);
    std::printf("vertices: %lld\n", (long long)totals.vertices);
    std::printf("lights: %lld\n", (long long)totals.lights);
    std::printf("surfaces: %lld\n", (long long)totals.surfaces);
    std::printf("textures: %d\n", int(CurrentTextureServices().TextureTableCount()));
    std::printf("credits-text: %d\n", int(ListCount(document->CreditsText)));
    if (picture) {
        std::printf("credits-picture: %dx%d\n", int(width), int(height));
    } else {
        std::printf("credits-picture: none\n");
    }
    // The turns the read's loops took, and the most its charge allows (model/read_budget.h).
    std::printf("turns: %lld\n", (long long)turns);
    std::printf("turn-limit: %lld\n", (long long)document->Holder->Budget.TurnLimit());
    std::printf("walk-path: %d\n", int(document->Walk->PathCount()));
    document->Destroy();
    RemoveTextureLayerServices();
    FreeImageResources();
    FreeTextureLibraries();
    FreeTextureManager();
    return result == kResultOk ? 0 : 1;
}
