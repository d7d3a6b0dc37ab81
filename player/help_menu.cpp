// The Help menu.
#include <windows.h>

#include "player/about_window.h"
#include "player/player_menus.h"
#include "toolkit/document_frame.h"
#include "toolkit/help_call.h"
#include "toolkit/menu_table.h"

namespace {

constexpr int32_t kHelpMenuOrder = 6;
constexpr MenuTableItem kHelpItems[] = {{"About Tamrix Player...", kHelpMenuAbout, 0, 'A'},
                                        {"Help...", kHelpMenuIndex, 0, 'H'}};
constexpr MenuTable kHelpTable(kHelpItems);
// GetKeyState's bit of a toggled key.
constexpr SHORT kKeyToggled = 1;

}  // namespace

ResultCode BuildHelpMenu(HelpMenuHandler* menu, DocumentFrame* owner)
{
    const ResultCode result = menu->MenuInit("Help", owner);
    if (result != kResultOk) return result;
    menu->SetMenuLetter('A');
    if (kHelpTable.AppendTo(menu) != kResultOk) return kResultOutOfMemory;
    IgnoreResult(menu->SetMenuAttachment(kMenuTopLevel));
    menu->SetMenuOrder(kHelpMenuOrder);
    return kResultOk;
}

void HelpMenuHandler::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    HelpMenuCommand(HelpCommand(kHelpTable.CommandAt(position)));
}

void HelpMenuHandler::HelpMenuCommand(HelpCommand command)
{
    switch (command) {
    case kHelpMenuAbout:
        // Caps Lock on shows the animated form first, whatever the platform, in the other mode;
        // then the form of the platform: the short window in the other mode, or the about box.
        if (GetKeyState(VK_CAPITAL) & kKeyToggled) ShowAboutBox(kAboutOtherForm);
        if (ShortAboutPlatform())
            ShowShortAboutWindow(kAboutOtherForm);
        else
            ShowAboutBox(kAboutOpenedByUser);
        break;
    case kHelpMenuIndex:
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
