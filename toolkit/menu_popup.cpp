// A menu shown as a pop-up at a point of a pane, answering the position chosen.
#include "toolkit/menu.h"

#include "toolkit/document_frame.h"
#include "toolkit/menu_command_id.h"
#include "toolkit/message_loop.h"
#include "toolkit/pane.h"

namespace {

// Round the point, the area in which a click does not dismiss the pop-up.
constexpr LONG kKeepLeft = 20;
constexpr LONG kKeepUp = 10;
constexpr LONG kKeepRight = 10;
constexpr LONG kKeepDown = 10;

// The position of the menu number's command that the pop-up posted to the owner, taken from
// the queue; 0 when the first command waiting is not one (nothing was chosen).
int32_t TakeChosenPosition(HWND owner, int32_t number)
{
    MSG message;
    if (!PeekMessageA(&message, owner, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) || message.message != WM_COMMAND ||
        message.lParam != 0 || HIWORD(message.wParam) != 0)
        return 0;
    const int32_t id = LOWORD(message.wParam);
    if (MenuNumberOfCommand(id) != number) return 0;
    if (PeekKeepingQuit(&message, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) != kPeekedMessage) return 0;
    return MenuPositionOfCommand(id);
}

}  // namespace

int32_t Menu::TrackPopupMenuObject(Pane* pane, int32_t x, int32_t y)
{
    HWND paneWindow = pane ? pane->PaneWindow() : nullptr;
    if (!paneWindow) return 0;
    const bool wasBuilt = built_;
    const int32_t firstNumber = NextMenuNumber();
    if (BuildMenu() != kResultOk) return 0;
    const int32_t nextNumber = NextMenuNumber();

    POINT point = {x, y};
    ClientToScreen(paneWindow, &point);
    DocumentFrame* front = FrontDocument();
    HWND owner = front && front->FrameWindow() ? front->FrameWindow() : paneWindow;
    const RECT keep = {point.x - kKeepLeft, point.y - kKeepUp, point.x + kKeepRight, point.y + kKeepDown};
    TrackPopupMenu(handle_, 0, point.x, point.y, 0, owner, &keep);
    // The pane ends the press that opened the pop-up, at the point in its own coordinates.
    POINT release = point;
    ScreenToClient(paneWindow, &release);
    PostMessageA(paneWindow, WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
    const int32_t chosen = TakeChosenPosition(owner, number_);

    if (!wasBuilt) {
        UnbuildMenu();
        GiveBackMenuNumbers(firstNumber, nextNumber);
    }
    return chosen;
}
