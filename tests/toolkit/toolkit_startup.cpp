// The toolkit's start-up and shutdown for test programs.
#include "tests/toolkit/toolkit_startup.h"

#include <new>

#include "draw/device_list.h"
#include "draw/graphics.h"
#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "toolkit/document_frame.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/menu_bar.h"
#include "toolkit/sounds.h"
#include "toolkit/system_colors.h"
#include "toolkit/toolkit_ui_services.h"
#include "toolkit/window_classes.h"

namespace {

constexpr int32_t kStartupOffscreenSize = 32;
constexpr int32_t kListGrowStep = 4;

Q_Offscreen* MakeStartupOffscreen()
{
    auto* offscreen = new (std::nothrow) Q_Offscreen;
    if (offscreen && offscreen->QOffscreenInit({0, 0, kStartupOffscreenSize, kStartupOffscreenSize},
                                               PaletteScreenDepth(), nullptr) != kResultOk) {
        offscreen->DisposeOffscreen();
        offscreen = nullptr;
    }
    return offscreen;
}

}  // namespace

bool StartToolkitForTests(HINSTANCE instance)
{
    InstallToolkitServices();
    TotalMemorySize = TotalMemory();
    if (!RegisterWindowClasses(instance)) return false;
    InitGraphics(instance);
    InitSystemColors();
    StartupOffscreen = MakeStartupOffscreen();
    SharedOffscreen = MakeStartupOffscreen();
    if (!StartupOffscreen || !SharedOffscreen) return false;
    LoadSoundResources();
    if (InitWindowList() != kResultOk) return false;
    IgnoreResult(VolumeCapabilities());
    OpenDocumentList = NewDynamicArray(0, sizeof(DocumentFrame*), kListGrowStep);
    MenuBarList = MenuBarArray::Make();
    return OpenDocumentList && MenuBarList;
}

void StopToolkitForTests()
{
    if (SharedOffscreen) SharedOffscreen->DisposeOffscreen();
    if (StartupOffscreen) StartupOffscreen->DisposeOffscreen();
    DisposeWindowList();
    if (MenuBarList) MenuBarList->Destroy();
    MenuBarList = nullptr;
    DestroyArray(OpenDocumentList);
    FreeSoundResource();
    RemoveToolkitServices();
    ShutdownGraphics();
}
