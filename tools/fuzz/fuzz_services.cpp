// The fuzz targets' services: the texture layer's services over a texture manager, credits
// pictures read as offscreens in the image format, a 32-bit screen, and file names as long as
// the volumes of today allow.
#include "tools/fuzz/fuzz_services.h"

#include <cstdio>
#include <new>

#include "draw/color_cube.h"
#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/loop_turns.h"
#include "model/drawing_services.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/tool_support.h"

namespace {

class FuzzDrawingServices : public DrawingServices {
public:
    Q_Offscreen* NewCreditsPicture() override { return new (std::nothrow) Q_Offscreen; }
    ResultCode ReadWriteCreditsPicture(Q_Offscreen* picture, MemoryStream* stream, PictureBudget* pictures) override
    {
        return picture->ReadWriteOffscreenImage(stream, nullptr, 0, pictures);
    }
    void DisposeCreditsPicture(Q_Offscreen* picture) override { picture->DisposeOffscreen(); }
};

// Each document's textures go to a list of their own, as each document window keeps one.
TextureRecordList* gDocumentList = nullptr;

}  // namespace

void InstallFuzzServices()
{
    static const bool installed = [] {
        ProgramVolumeLimits.maxNameLength = 255;
        ProgramVolumeLimits.maxExtensionLength = 255;
        UseToolScreen();
        BuildColorCube();
        InstallTextureLayerServices();
        static FuzzDrawingServices drawing;
        InstallDrawingServices(&drawing);
        LibraryTextureList = NewTextureRecordList();
        EmbeddedTextureList = NewTextureRecordList();
        return true;
    }();
    (void)installed;
}

ModelDocument* NewFuzzDocument()
{
    // Each input is read as by a program just started: the texture manager's holders, which
    // outlive the documents whose textures they decoded, go with the document.
    InitTextureManager(new TextureManager{});
    gDocumentList = NewTextureRecordList();
    InstallTextureLayerServices().SetDocumentTextureList(gDocumentList);
    ModelDocument* document = new ModelDocument;
    if (!gDocumentList || document->Init() != kResultOk) {
        DestroyFuzzDocument(document);
        return nullptr;
    }
    return document;
}

TextureRecordList* FuzzDocumentTextures()
{
    return gDocumentList;
}

void AcquireFuzzTextures(ModelDocument* /*document*/)
{
    for (int32_t i = 0; i < TextureRecordCount(gDocumentList); ++i) {
        TextureRecord* record = TextureRecordAt(gDocumentList, i);
        if (AcquireTexture(record) == kResultOk) ReleaseTexture(record);
    }
}

void ReadFuzzModel(ModelDocument* document, MemoryStream* stream)
{
    const int64_t before = TurnsCounted();
    IgnoreResult(document->ReadModelFile(stream));
    const int64_t turns = TurnsCounted() - before;
    const int64_t limit = document->Holder->Budget.TurnLimit();
    if (turns <= limit) return;
    std::fprintf(stderr, "the read's loops turned %lld times, past the %lld its charge allows\n", (long long)turns,
                 (long long)limit);
    __builtin_trap();
}

void DestroyFuzzDocument(ModelDocument* document)
{
    document->Destroy();
    InstallTextureLayerServices().SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(gDocumentList);
    FreeTextureRecordList(gDocumentList);
    gDocumentList = nullptr;
    FreeTextureManager();
}
