// make-textured-sample DIR: writes "textured.qpy", a box whose faces show a picture embedded in
// the model file and whose sides show "grain.bmp", written beside it; qmdl-info then reports
// its texture table.
#include <cstdio>
#include <string>

#include "draw/drawing_layer_services.h"
#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "textures/media_holder.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/sample_scenes.h"
#include "tools/tool_support.h"

namespace {

void PutLittle(std::FILE* file, uint32_t value, int32_t bytes)
{
    for (int32_t i = 0; i < bytes; ++i) std::fputc(int(value >> (8 * i) & 0xFF), file);
}

// A 16 x 16 bitmap file of 24 bits per pixel: brown stripes.
bool WriteGrain(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const uint32_t pixels = 16 * 16 * 3;
    std::fputs("BM", file);
    PutLittle(file, 54 + pixels, 4);
    PutLittle(file, 0, 4);
    PutLittle(file, 54, 4);
    const uint32_t header[] = {40, 16, 16};
    for (uint32_t value : header) PutLittle(file, value, 4);
    PutLittle(file, 1, 2);
    PutLittle(file, 24, 2);
    for (int32_t i = 0; i < 6; ++i) PutLittle(file, 0, 4);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) PutLittle(file, (x / 2) % 2 ? 0x2040A0 : 0x1A3060, 3);
    return std::fclose(file) == 0;
}

// An 8 x 8 picture of four coloured squares.
Q_Offscreen* NewPicture()
{
    Q_Offscreen* picture = new Q_Offscreen;
    if (picture->QOffscreenInit({0, 0, 8, 8}, 0, nullptr) != kResultOk) {
        picture->DisposeOffscreen();
        return nullptr;
    }
    const RGBColor48 colours[4] = {{0xFFFF, 0, 0}, {0, 0xFFFF, 0}, {0, 0, 0xFFFF}, {0xFFFF, 0xFFFF, 0}};
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) picture->SetPixelColor(x, y, colours[(y / 4) * 2 + x / 4]);
    return picture;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-textured-sample DIR\n");
        return 2;
    }
    IgnoreResult(VolumeCapabilities());
    InstallDrawingLayerServices();
    UseToolScreen();
    InitTextureManager(new TextureManager{});
    TextureLayerServices& services = InstallTextureLayerServices();
    TextureRecordList* list = NewTextureRecordList();
    services.SetDocumentTextureList(list);

    std::string directory = argv[1];
    for (char& c : directory) c = c == '/' ? '\\' : c;
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    const std::string grainPath = directory + "grain.bmp";
    int status = 1;
    PathRecord path;
    TextureRecord* grain = nullptr;
    Q_Offscreen* picture = NewPicture();
    TextureRecord* squares = new TextureRecord(list);
    SetTextureName(squares, "squares");
    ModelDocument* document = new ModelDocument;
    if (WriteGrain(grainPath) && SetPathRecordText(&path, grainPath.c_str()) == kResultOk &&
        CreateTextureRecord(list, "grain", &path, &grain) == kResultOk && picture &&
        MakeEmbeddedPictureTexture(squares) == kResultOk && SetTexturePicture(squares, picture) == kResultOk &&
        document->Init() == kResultOk) {
        ModelObject* box = MakeBox(document->Holder, 0, 0, 0, 40, 40, 40);
        document->Holder->Root->AddChild(box);
        box->SetSurfaceTexture(grain, kSideBoth);
        for (int32_t face : {0, 1})
            if (Surface* surface = box->SurfaceForFace(face)) surface->SetSideTexture(squares, kSideFront);
        DiskFileStream* file = new DiskFileStream;
        IgnoreResult(file->FileObjectInit(kFileWrite, 0, 0, "", ""));
        if (file->SetFileFromPath((directory + "textured.qpy").c_str()) == kResultOk &&
            file->StreamSetDirection(kStreamWriting) == kResultOk && file->FileOpenStream() == kResultOk && WriteModelFile(document, file) == kResultOk &&
            file->FileCloseStream() == kResultOk) {
            status = 0;
        }
        file->FileObjectDestroy();
    }
    if (status != 0) std::fprintf(stderr, "make-textured-sample: cannot write %s\n", directory.c_str());
    document->Destroy();
    if (picture) picture->DisposeOffscreen();
    services.SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(list);
    FreeTextureRecordList(list);
    RemoveTextureLayerServices();
    FreeTextureManager();
    return status;
}
