// Fuzz target: bitmap file bytes through the BMP reader into a picture held in memory.
#include "tests/textures/memory_image_reader.h"
#include "textures/bmp_reader.h"
#include "tools/fuzz/fuzz_image_reader.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    MemoryStream stream;
    if (!LoadStream(stream, data, size)) return 0;
    FuzzImageReader<BmpImageReader> reader(&stream);
    IgnoreResult(reader.Read(8));  // any answer will do: the target looks for faults
    CheckImageReader(reader);
    return 0;
}
