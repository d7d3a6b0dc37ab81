// Start-up and shutdown of the program.
#include "player/player_startup.h"

#include <cstdio>
#include <new>

#include "draw/device_list.h"
#include "draw/drawing_layer_services.h"
#include "draw/font_faces.h"
#include "draw/fonts.h"
#include "draw/graphics.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"
#include "model/drawing_services.h"
#include "player/about_window.h"
#include "player/command_line_files.h"
#include "player/event_log.h"
#include "player/mail_documents.h"
#include "player/open_command.h"
#include "player/player_ui_services.h"
#include "player/player_window.h"
#include "player/system_window_layout.h"
#include "raster/dither_tables.h"
#include "raster/raster_sets.h"
#include "raster/scratch_buffer.h"
#include "render/face_front_end.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "render/renderer_texture_mapping.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_services_impl.h"
#include "toolkit/document_frame.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/menu_bar.h"
#include "toolkit/sounds.h"
#include "toolkit/system_colors.h"
#include "toolkit/window_classes.h"

namespace {

constexpr int32_t kStartOffscreenSize = 32;
constexpr int32_t kListGrowStep = 4;
// The player window's set-up mode.
constexpr int32_t kPlayerWindowMode = 7;
constexpr char kMemoryAlert[] = "Insufficient memory to continue!";
constexpr char kFontAlertFormat[] =
    "Sorry, the font file, %s, was not found.\nIt should be in the same directory as the executable.";
// The message the ended loop never reads.
constexpr int32_t kLateQuitCode = 18;

PlayerFrameServices gFrameServices;

// Ends the process after the alert; nothing is freed first.
[[noreturn]] void EndStartUp(const char* alert)
{
    ShowAlert(alert);
    LogEvent("exit %d", kExitStartUpFailed);
    ExitProcess(kExitStartUpFailed);
}

Q_Offscreen* MakeStartOffscreen()
{
    auto* offscreen = new (std::nothrow) Q_Offscreen;
    if (!offscreen) EndStartUp(kMemoryAlert);
    if (offscreen->QOffscreenInit({0, 0, kStartOffscreenSize, kStartOffscreenSize}, PaletteScreenDepth(), nullptr) !=
        kResultOk) {
        offscreen->DisposeOffscreen();
        EndStartUp(kMemoryAlert);
    }
    return offscreen;
}

}  // namespace

bool InitToolbox(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int32_t /*showCommand*/)
{
    InstallPlayerUiServices();
    if (!previous && !RegisterWindowClasses(instance)) {
        RemovePlayerUiServices();
        return false;
    }
    // The renderer's share of the drawing layer is in place before the drawing layer starts: its
    // polygon start-up installs the drawing switch's test through it; the rasterizer sets before
    // the first offscreen chooses its set.
    InstallDrawingLayerServices();
    InstallRendererRegionWork();
    InstallRasterSets();
    InitGraphics(instance);
    InitSystemColors();
    TotalMemorySize = TotalMemory();
    StartupOffscreen = MakeStartOffscreen();
    SharedOffscreen = MakeStartOffscreen();
    LoadSoundResources();
    IgnoreResult(InitWindowList());  // the device list may stay empty: its readers allow for that
    IgnoreResult(VolumeCapabilities());
    RecordMailSetting();
    OpenDocumentList = NewDynamicArray(0, sizeof(DocumentFrame*), kListGrowStep);
    MenuBarList = MenuBarArray::Make();
    if (!OpenDocumentList || !MenuBarList || !InitPlayerEngine()) EndStartUp(kMemoryAlert);
    if (!FontFileLoaded()) {
        char alert[sizeof kFontAlertFormat + sizeof kFontFileName];
        std::snprintf(alert, sizeof alert, kFontAlertFormat, kFontFileName);
        EndStartUp(alert);
    }
    OpenCommandLine(commandLine);
    return true;
}

bool InitPlayerEngine()
{
    auto* manager = new (std::nothrow) TextureManager{};
    if (!manager) return false;
    InitTextureManager(manager);
    if (InitRasterBuffers() != kResultOk) return false;
    InitDitherTables();
    if (InitScratchBuffer() != kResultOk || InitProjectionArrays() != kResultOk) return false;
    InstallRendererTextureMapping();
    InstallTextureLayerServices();
    InstallFrameServices(&gFrameServices);
    InstallSystemWindowLayout();
    ShowStartupAbout();

    auto* player = new (std::nothrow) PlayerDocWindow;
    if (!player) return false;
    if (!player->DocumentSetup(kPlayerWindowMode, nullptr, kDocumentWithFrame)) {
        player->FreeDocumentFrame();
        return false;
    }
    player->UnregisterDocument();
    GlobalStream = new (std::nothrow) MemoryStream;
    if (!GlobalStream) return false;
    GlobalStream->StreamInit(kStreamReading);
    InitTextureLibraries();
    return true;
}

void ShutdownPlayerEngine()
{
    if (GlobalStream) GlobalStream->StreamDestroy();
    GlobalStream = nullptr;
    FreeTextureManager();
    FreeRasterBuffers();
    FreeDitherTables();
    FreeScratchBuffer();
    FreeProjectionArrays();
    FreeTextureLibraries();
    FreeImageResources();
    InstallFrameServices(nullptr);
    RemoveSystemWindowLayout();
    RemoveTextureLayerServices();
    RemoveRendererTextureMapping();
}

void ShutdownToolbox()
{
    if (SharedOffscreen) SharedOffscreen->DisposeOffscreen();
    SharedOffscreen = nullptr;
    if (StartupOffscreen) StartupOffscreen->DisposeOffscreen();
    StartupOffscreen = nullptr;
    DisposeWindowList();
    if (MenuBarList) MenuBarList->Destroy();
    MenuBarList = nullptr;
    DestroyArray(OpenDocumentList);
    FreeSoundResource();
    RemovePlayerUiServices();
    ShutdownGraphics();
    PostQuitMessage(kLateQuitCode);
}
