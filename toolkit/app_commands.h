// The private application command message posted to the current frame window, and what the
// frame does with it: refresh the menus for the active window, or offer a command (a code or a
// four-character player command) to the panes of the document's windows.
#pragma once

#include <windows.h>

#include <cstdint>

class DocumentFrame;
class Window;

// wParam 0, lParam the signed command code.
constexpr UINT AppCommandMessage = WM_USER + 100;
// Posted to a floating windoid so that it hands the activation back to the frame.
constexpr UINT RestoreFocusMessage = 3025;

constexpr int32_t kCommandRefreshMenus = -128;
// Offered to windows as "close yourself" (DispatchWindowCommand); modal runs end through their
// own end request (EndModalRun), never through this code. The progress window's Stop and Cancel
// post it to the frame as their stop command, which the frame ignores.
constexpr int32_t kCommandClose = 13;
// Delivered to panes as kCommandPaneDefault.
constexpr int32_t kCommandDefault = -129;
constexpr int32_t kCommandPaneDefault = 10;

// A four-character player command: the big-endian word of its characters ("TILT").
constexpr int32_t CommandTag(const char (&tag)[5])
{
    return int32_t((uint32_t(uint8_t(tag[0])) << 24) | (uint32_t(uint8_t(tag[1])) << 16) |
                   (uint32_t(uint8_t(tag[2])) << 8) | uint32_t(uint8_t(tag[3])));
}

// Posts the command to the current frame window; dropped when there is none.
void PostAppCommand(int32_t code);

// Offers the command to the window's panes in order: kCommandClose closes the window instead (1), a
// minimized window takes nothing (0); otherwise the first pane's non-zero answer, else 0.
int32_t DispatchWindowCommand(Window* window, int32_t code, int32_t extra);

// The toolkit object of the frame's active MDI child (null frame: the current frame), or null.
Window* ActiveDocumentWindow(DocumentFrame* frame);

// What code -128 does: the arrow cursor, then the menus of the active window's document (or
// of the front document when no document window is active).
void RefreshMenusForActiveWindow();
