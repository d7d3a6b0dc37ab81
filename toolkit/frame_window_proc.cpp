// The window procedure of document frames: the MDI client, layout, activation, closing, menu
// commands, dropped files, help and the palette.
#include "toolkit/document_frame.h"

#include <shellapi.h>

#include <new>

#include "draw/program_palette.h"
#include "foundation/disk_file_stream.h"
#include "toolkit/app_commands.h"
#include "toolkit/app_globals.h"
#include "toolkit/help_call.h"
#include "toolkit/menu_bar.h"
#include "toolkit/menu_command_id.h"
#include "toolkit/pane.h"
#include "toolkit/system_colors.h"
#include "toolkit/window_classes.h"

namespace {

constexpr DWORD kMdiClientStyle =
    WS_CHILD | WS_CLIPCHILDREN | WS_MAXIMIZE | WS_VSCROLL | WS_HSCROLL | MDIS_ALLCHILDSTYLES;
// The index that asks DragQueryFileA for the number of dropped files rather than a name.
constexpr UINT kDroppedFileCount = 0xFFFFFFFF;

// Opens each dropped file through the open command; a name that does not fit a path is skipped,
// never cut and opened.
void OpenDroppedFiles(HDROP drop)
{
    const UINT count = DragQueryFileA(drop, kDroppedFileCount, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        if (DragQueryFileA(drop, i, nullptr, 0) >= MAX_PATH) continue;
        char name[MAX_PATH];
        if (!DragQueryFileA(drop, i, name, sizeof name)) continue;
        Owned<DiskFileStream> file(new (std::nothrow) DiskFileStream);
        if (!file || file->SetFileFromPath(name) != kResultOk) continue;
        CurrentFrameServices().OpenModelFile(file.release(), kOpenNamedFile);
    }
    DragFinish(drop);
}

}  // namespace

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        DocumentFrame* frame = GetCurrentFrame();
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(frame));
        if (!frame) return -1;
        frame->frameWindow_ = hwnd;
        CLIENTCREATESTRUCT client = {nullptr, 0};
        frame->mdiClient_ = CreateWindowExA(0, "MDICLIENT", nullptr, kMdiClientStyle, 0, 0, 0, 0, hwnd, nullptr,
                                            AppInstance(), &client);
        SetFrameWindow(hwnd, frame->mdiClient_);
        ShowWindow(frame->mdiClient_, SW_SHOW);
        return 0;
    }
    if (message == WM_DESTROY) {
        char help[MAX_PATH];
        HelpFilePath(help, sizeof help);
        CallHelp(hwnd, help, HELP_QUIT, 0);
        return 0;
    }
    DocumentFrame* frame = WindowObject<DocumentFrame>(hwnd);
    if (!frame) return DefFrameProcA(hwnd, nullptr, message, wParam, lParam);

    switch (message) {
    case WM_MOVE:
    case WM_SIZE:
        frame->LayoutFrame();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            SetFrameWindow(hwnd, frame->mdiClient_);
            SetCurrentFrame(frame);
            DocumentUpdateMenus(frame);
        }
        break;
    case WM_CLOSE:
        if (!FrameCloseRefused()) frame->CloseDocumentFrame();
        return 0;
    case WM_QUERYENDSESSION:
        return !FrameCloseRefused() && frame->CloseDocumentFrame();
    case WM_SYSCOLORCHANGE:
        InitSystemColors();
        return 0;
    case WM_NCHITTEST:
        TellTrackingPaneLeft();
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) {
            const int32_t id = LOWORD(wParam);
            if (HandleMenuCommand(frame, MenuNumberOfCommand(id), MenuPositionOfCommand(id), 0)) return 0;
        }
        break;
    case WM_INITMENU:
        UpdateMenusOnInit(frame);
        return 0;
    case WM_DROPFILES:
        if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
        OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_QUERYNEWPALETTE:
        RealizeProgramPalette(hwnd);
        return 1;
    case WM_PALETTECHANGED:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case AppCommandMessage:
        frame->HandleAppCommand(int32_t(lParam), 0);
        return 0;
    }
    return DefFrameProcA(hwnd, frame->mdiClient_, message, wParam, lParam);
}
