// The File menu.
#include <new>

#include "foundation/dynamic_array.h"
#include "player/open_command.h"
#include "player/player_menus.h"
#include "player/player_window.h"
#include "toolkit/document_frame.h"

namespace {

enum FileMenuItem : int32_t {
    kFileOpen = 1,
    kFileClose = 2,
    kFileCredits = 4,
    kFileExit = 6,
};

constexpr int32_t kFileMenuOrder = 0;
// Alt+F4.
constexpr int32_t kExitKey = kMenuKeyAlt | MenuSpecialKey(20);

}  // namespace

ResultCode BuildFileMenu(FileMenuHandler* menu, DocumentFrame* owner)
{
    const ResultCode result = menu->MenuInit("File", owner);
    if (result != kResultOk) return result;
    menu->SetMenuLetter('F');
    struct Item {
        const char* text;  // null: a separator
        int32_t key;
        int32_t letter;
    };
    const Item items[] = {{"Open...", 'O', 'O'}, {"Close", 'W', 'C'}, {nullptr, 0, 0},
                          {"Credits...", 0, 0},  {nullptr, 0, 0},    {"Exit", kExitKey, 'X'}};
    for (const Item& item : items) {
        const int32_t index = item.text ? menu->AppendMenuItem(item.text) : menu->AppendSeparator();
        if (index < 0) return kResultOutOfMemory;
        menu->SetMenuItemShortcut(index + 1, item.key);
        menu->SetMenuItemLetter(index + 1, item.letter);
    }
    menu->SetMenuOrder(kFileMenuOrder);
    return kResultOk;
}

void FileMenuHandler::FileMenuCommand(int32_t position)
{
    // Close and Exit free this menu with its window: nothing here is touched after them.
    auto* owner = static_cast<PlayerDocWindow*>(MenuOwner());
    switch (position) {
    case kFileOpen:
        OpenModelFile(nullptr, kOpenWithDialog);
        break;
    case kFileClose:
        if (owner && !FrameCloseRefused()) owner->CloseAndDeleteDocument();
        break;
    case kFileCredits:
        if (owner) owner->ShowModelCredits();
        break;
    case kFileExit:
        if (owner && !FrameCloseRefused()) owner->CloseDocumentFrame();
        break;
    default:
        break;
    }
}

void FileMenuHandler::UpdateFileMenu()
{
    auto* owner = static_cast<PlayerDocWindow*>(MenuOwner());
    EnableMenuItemAt(kFileOpen, 1);
    EnableMenuItemAt(kFileClose, OpenDocumentList && OpenDocumentList->ArrayCount() > 0);
    EnableMenuItemAt(kFileCredits, document_ && owner && owner->HasModelCredits());
}
