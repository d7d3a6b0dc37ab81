// Fuzz target: the bytes of a stream holding an "FPTH" chunk, read as the file reference of a
// texture beside a model file (so that both the stored path and the path relative to the model
// are tried).
#include "foundation/disk_file_stream.h"
#include "tools/fuzz/fuzz_services.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    InstallFuzzServices();
    MemoryStream stream;
    if (!LoadStream(stream, data, size)) return 0;
    DiskFileStream* base = new DiskFileStream;
    IgnoreResult(base->FileObjectInit(kFileReference, 0, 0, "", ""));
    IgnoreResult(base->SetFileFromPath("Q:\\MODELS\\HOUSE\\HOUSE.QPY"));
    DiskFileStream* file = new DiskFileStream;
    IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
    file->SetFileAttribute(base);
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    IgnoreResult(file->Write(&stream));  // any answer will do: the target looks for faults
    // Whatever was read, the object names a file by texts that end within their fields.
    char path[kPathLength];
    IgnoreResult(file->FileFullPath(path));
    file->FileNameWithExtension(path);
    if (std::strlen(file->Directory()) >= kPathLength || std::strlen(file->Name()) >= kFileNameField ||
        std::strlen(file->Extension()) >= kExtensionField)
        std::abort();
    file->SetFileAttribute(nullptr);
    file->FileObjectDestroy();
    base->FileObjectDestroy();
    return 0;
}
