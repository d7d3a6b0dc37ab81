// Fuzz target: the body of a "TXTB" chunk, read as a model file's texture table into a
// document's texture list, then closed as a model read closes it.
#include "model/model_document.h"
#include "model/texture_services.h"
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
    TextureServices& textures = CurrentTextureServices();
    textures.BeginTextureSave(&stream);
    IgnoreResult(textures.ReadTextureTable(&stream));  // any answer will do: the target looks for faults
    IgnoreResult(textures.CollectUsedTextures(true));  // no progress window: never stopped
    AcquireFuzzTextures(document);
    DestroyFuzzDocument(document);
    return 0;
}
