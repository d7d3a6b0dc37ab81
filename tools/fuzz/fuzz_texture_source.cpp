// Fuzz target: a model or library file added as a texture source: the texture tables of every
// "QMDL" form in it, however nested, read into a texture list.
#include "model/model_document.h"
#include "textures/texture_manager.h"
#include "textures/texture_table.h"
#include "tools/fuzz/fuzz_services.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    InstallFuzzServices();
    MemoryStream stream;
    if (!LoadStream(stream, data, size)) return 0;
    ModelDocument* document = NewFuzzDocument();
    if (!document) return 0;
    TextureManager* manager = CurrentTextureManager();
    BeginTextureSave(manager, &stream, FuzzDocumentTextures());
    IgnoreResult(TextureTableChunk(manager, &stream));  // any answer will do: the target looks for faults
    IgnoreResult(CollectUsedTextures(manager, &stream, UserRefresh::kWhole));  // never stopped
    AcquireFuzzTextures(document);
    DestroyFuzzDocument(document);
    return 0;
}
