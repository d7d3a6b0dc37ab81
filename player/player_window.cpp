// The player window: its caption, its menus and the hand-back of the frame window.
#include "player/player_window.h"

#include <cstdio>

#include "foundation/dynamic_array.h"
#include "player/event_log.h"
#include "player/open_command.h"
#include "player/player_menus.h"

namespace {

constexpr char kCaptionFormat[] = "Tamrix %s";
constexpr char kProgramName[] = "Player";
constexpr int32_t kCaptionSize = 64;

}  // namespace

int32_t PlayerDocWindow::BuildPlayerWindow(int32_t kind, DiskFileStream* file)
{
    DocumentFrame::DocumentBuildMenus(kind, file);
    char caption[kCaptionSize];
    std::snprintf(caption, sizeof caption, kCaptionFormat, kProgramName);
    SetCaptionPrefix(caption);
    LogFrameCaption(this);
    helpMenu_ = MakeFrameMenu<HelpMenuHandler>(this, BuildHelpMenu);
    fileMenu_ = MakeFrameMenu<FileMenuHandler>(this, BuildFileMenu);
    return helpMenu_ && fileMenu_ ? 1 : 0;
}

void PlayerDocWindow::DisposePlayerMenus()
{
    if (helpMenu_) helpMenu_->DeleteMenuObject();
    helpMenu_ = nullptr;
    if (fileMenu_) fileMenu_->DeleteMenuObject();
    fileMenu_ = nullptr;
    DocumentFrame::DocumentDisposeMenus();
}

ResultCode PlayerDocWindow::PlayerWindowLoad(int32_t kind)
{
    if (kind == kOpenWithDialog || kind == kOpenGivenFile) OpenModelFile(nullptr, kind);
    return kResultOk;
}

void PlayerDocWindow::ReattachPlayerWindow()
{
    if (this == PlayerWindow || !PlayerWindow || !FrameWindow()) return;
    if (OpenDocumentList && OpenDocumentList->ArrayCount() == 1) {
        AttachFrameContent(this, PlayerWindow);
        LogFrameCaption(PlayerWindow);
    }
}

void LogFrameCaption(DocumentFrame* frame)
{
    HWND window = frame->DocumentFrameOwner();
    if (!window) return;
    char caption[512];
    GetWindowTextA(window, caption, sizeof caption);
    LogEvent("title %s", caption);
}
