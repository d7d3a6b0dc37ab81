// The Help menu.
#include <windows.h>

#include "player/about_window.h"
#include "player/player_menus.h"
#include "toolkit/document_frame.h"
#include "toolkit/help_call.h"

namespace {

enum HelpMenuItem : int32_t {
    kHelpAbout = 1,
    kHelpIndex = 2,
};

constexpr int32_t kHelpMenuOrder = 6;
// GetKeyState's bit of a toggled key.
constexpr SHORT kKeyToggled = 1;

}  // namespace

ResultCode BuildHelpMenu(HelpMenuHandler* menu, DocumentFrame* owner)
{
    const ResultCode result = menu->MenuInit("Help", owner);
    if (result != kResultOk) return result;
    menu->SetMenuLetter('A');
    if (menu->AppendMenuItem("About Tamrix Player...") < 0 || menu->AppendMenuItem("Help...") < 0)
        return kResultOutOfMemory;
    menu->SetMenuItemLetter(kHelpAbout, 'A');
    menu->SetMenuItemLetter(kHelpIndex, 'H');
    IgnoreResult(menu->SetMenuAttachment(kMenuTopLevel));
    menu->SetMenuOrder(kHelpMenuOrder);
    return kResultOk;
}

void HelpMenuHandler::HelpMenuCommand(int32_t position)
{
    switch (position) {
    case kHelpAbout:
        // Caps Lock on shows the animated form first, whatever the platform.
        if (GetKeyState(VK_CAPITAL) & kKeyToggled) ShowAboutBox(kAboutOpenedByUser);
        ShowAboutForm(kAboutOpenedByUser);
        break;
    case kHelpIndex:
        if (HWND frame = MenuOwner() ? MenuOwner()->DocumentFrameOwner() : nullptr) {
            char path[MAX_PATH];
            HelpFilePath(path, sizeof path);
            if (path[0]) CallHelp(frame, path, HELP_INDEX, 0);
        }
        break;
    default:
        break;
    }
}
