// make-samples DIR: builds the sample scenes in code and writes each as a model file in DIR.
#include <cstdio>
#include <string>

#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "tools/sample_scenes.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples DIR\n");
        return 2;
    }
    VolumeCapabilities();
    std::string directory = argv[1];
#ifdef _WIN32
    for (char& c : directory) c = c == '/' ? '\\' : c;
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    if (!directory.empty() && directory.back() != separator) directory += separator;
    int32_t count = 0;
    const SampleScene* scenes = SampleScenes(&count);
    int failures = 0;
    for (int32_t i = 0; i < count; ++i) {
        const std::string path = directory + scenes[i].fileName;
        ModelDocument* document = scenes[i].build();
        DiskFileStream* file = new DiskFileStream;
        ResultCode result = document ? kResultOk : kResultOutOfMemory;
        if (result == kResultOk) result = file->FileObjectInit(4, 0, 0, "", "");
        if (result == kResultOk) result = file->SetFileFromPath(path.c_str());
        if (result == kResultOk) result = file->StreamSetDirection(kStreamWriting);
        if (result == kResultOk) result = file->FileOpenStream();
        if (result == kResultOk) result = WriteModelFile(document, file);
        file->FileObjectDestroy();
        if (document) document->Destroy();
        if (result != kResultOk) {
            std::fprintf(stderr, "make-samples: writing %s failed (%d)\n", path.c_str(), int(result));
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}
