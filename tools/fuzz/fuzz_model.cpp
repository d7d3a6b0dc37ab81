// Fuzz target: model file bytes through the model file reader into a new model document, read
// plainly when the form type reads as "QMDL" and through the scrambling filter otherwise, as the
// open command reads them.
#include "model/model_document.h"
#include "tools/fuzz/fuzz_services.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

// The form type read at offset 8.
uint32_t FormType(MemoryStream& stream)
{
    uint32_t type = 0;
    IgnoreResult(stream.StreamTransferValueAt(&type, kValue32, 8));
    IgnoreResult(stream.StreamSetPosition(0));
    return type;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    InstallFuzzServices();
    MemoryStream stream;
    if (!LoadStream(stream, data, size)) return 0;
    if (FormType(stream) != kFormModel) stream.StreamScrambleOn();
    ModelDocument* document = NewFuzzDocument();
    if (!document) return 0;
    ReadFuzzModel(document, &stream);
    AcquireFuzzTextures(document);
    DestroyFuzzDocument(document);
    return 0;
}
