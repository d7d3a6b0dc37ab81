// The File menu.
#include <new>

#include "foundation/dynamic_array.h"
#include "player/open_command.h"
#include "player/player_menus.h"
#include "player/player_window.h"
#include "toolkit/document_frame.h"
#include "toolkit/menu_table.h"

namespace {

constexpr int32_t kFileMenuOrder = 0;
constexpr MenuTableItem kFileItems[] = {{"Open...", kFileMenuOpen, 'O', 'O'},
                                        {"Close", kFileMenuClose, 'W', 'C'},
                                        {nullptr, 0},
                                        {"Credits...", kFileMenuCredits},
                                        {nullptr, 0},
                                        {"Exit", kFileMenuExit, kMenuKeyAltF4, 'X'}};
constexpr MenuTable kFileTable(kFileItems);

}  // namespace

ResultCode BuildFileMenu(FileMenuHandler* menu, DocumentFrame* owner)
{
    const ResultCode result = menu->MenuInit("File", owner);
    if (result != kResultOk) return result;
    menu->SetMenuLetter('F');
    if (kFileTable.AppendTo(menu) != kResultOk) return kResultOutOfMemory;
    menu->SetMenuOrder(kFileMenuOrder);
    return kResultOk;
}

void FileMenuHandler::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    FileMenuCommand(FileCommand(kFileTable.CommandAt(position)));
}

void FileMenuHandler::FileMenuCommand(FileCommand command)
{
    // Close and Exit free this menu with its window: nothing here is touched after them.
    auto* owner = static_cast<PlayerDocWindow*>(MenuOwner());
    switch (command) {
    case kFileMenuOpen:
        OpenModelFile(nullptr, kOpenWithDialog);
        break;
    case kFileMenuClose:
        if (owner && !FrameCloseRefused()) owner->CloseAndDeleteDocument();
        break;
    case kFileMenuCredits:
        if (owner) owner->ShowModelCredits();
        break;
    case kFileMenuExit:
        if (owner && !FrameCloseRefused()) owner->CloseDocumentFrame();
        break;
    default:
        break;
    }
}

void FileMenuHandler::UpdateFileMenu()
{
    auto* owner = static_cast<PlayerDocWindow*>(MenuOwner());
    EnableMenuItemAt(kFileTable.PositionOf(kFileMenuOpen), 1);
    EnableMenuItemAt(kFileTable.PositionOf(kFileMenuClose), OpenDocumentList && OpenDocumentList->ArrayCount() > 0);
    EnableMenuItemAt(kFileTable.PositionOf(kFileMenuCredits), document_ && owner && owner->HasModelCredits());
}
