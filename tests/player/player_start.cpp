// The player's window tests' start-up and model files.
#include "tests/player/player_start.h"

#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "player/about_window.h"
#include "player/player_startup.h"

namespace {

// A clock whose every reading is a start-up about window's whole time later than the last.
uint32_t LeapingClock()
{
    static uint32_t now = 0;
    return now += 6000;
}

}  // namespace

bool StartPlayerAtOnce()
{
    const AboutTickSource previous = InstallAboutTickSource(LeapingClock);
    const bool started = InitPlayerEngine();
    InstallAboutTickSource(previous);
    return started;
}

bool WriteModel(ModelDocument* document, const std::string& path)
{
    auto* file = new DiskFileStream;
    ResultCode result = file->FileObjectInit(kFileWrite, 0, 0, "", "");
    if (result == kResultOk) result = file->SetFileFromPath(path.c_str());
    if (result == kResultOk) result = file->StreamSetDirection(kStreamWriting);
    if (result == kResultOk) result = file->FileOpenStream();
    if (result == kResultOk) result = WriteModelFile(document, file);
    file->FileObjectDestroy();
    document->Destroy();
    return result == kResultOk;
}
