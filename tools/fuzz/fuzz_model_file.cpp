// Fuzz target: model file bytes written to a file and read from it through the disk file
// stream, as the player reads them: the file stream's own transfers and chunk limits, and
// pictures embedded in the file, which are read from it again when a texture first needs them.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "tools/fuzz/fuzz_services.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    InstallFuzzServices();
    static const std::string name = "qp-fuzz-" + std::to_string(getpid()) + ".qpy";
    std::FILE* out = std::fopen(name.c_str(), "wb");
    if (!out) return 0;
    const bool written = std::fwrite(data, 1, size, out) == size;
    if (std::fclose(out) != 0 || !written) return 0;

    DiskFileStream* file = new DiskFileStream;
    if (file->FileObjectInit(kFileFromPath, 0, 0, "", "") == kResultOk && file->SetFileFromPath(name.c_str()) == kResultOk &&
        file->FileOpenStream() == kResultOk) {
        uint32_t type = 0;
        IgnoreResult(file->StreamTransferValueAt(&type, kValue32, 8));
        IgnoreResult(file->StreamSetPosition(0));
        if (type != kFormModel) file->StreamScrambleOn();
        if (ModelDocument* document = NewFuzzDocument()) {
            ReadFuzzModel(document, file);
            // Every texture the model uses is decoded once, from the file where it is embedded.
            AcquireFuzzTextures(document);
            DestroyFuzzDocument(document);
        }
        file->StreamScrambleOff();
    }
    file->FileObjectDestroy();
    std::remove(name.c_str());
    return 0;
}
