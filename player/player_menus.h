// The player's menus, built in code: File and Help, which the player window and every model
// window carry, and the navigation menu titled "Walk", which only a model window carries. Each
// is built from a table of its items, performs an item by the command the table gives its
// position, and enables and checks its items before it is shown.
#pragma once

#include <cstdint>
#include <new>

#include "player/walk_menu_settings.h"
#include "toolkit/document_frame.h"
#include "toolkit/menu.h"
#include "toolkit/window_menu_list.h"

class DocumentFrame;
class PlayerDocument;

// What the items of the File and Help menus do; their positions are their menus' tables'.
enum FileCommand : int32_t {
    kFileMenuOpen = 1,
    kFileMenuClose,
    kFileMenuCredits,
    kFileMenuExit,
};
enum HelpCommand : int32_t {
    kHelpMenuAbout = 1,
    kHelpMenuIndex,
};

// "Open...", "Close", "Credits..." and "Exit"; the owner is the window that built it.
class FileMenuHandler : public Menu {
public:
    // Performs the command of the item at the position.
    void DoMenuCommand(int32_t position, int32_t extra) override;
    void UpdateMenu() override { UpdateFileMenu(); }

    void FileMenuCommand(FileCommand command);
    void UpdateFileMenu();
    void SetFileDocument(PlayerDocument* document) { document_ = document; }
    PlayerDocument* FileDocument() const { return document_; }

private:
    PlayerDocument* document_ = nullptr;
};

// "About Tamrix Player..." and "Help...".
class HelpMenuHandler : public Menu {
public:
    void DoMenuCommand(int32_t position, int32_t extra) override;

    void HelpMenuCommand(HelpCommand command);
};

// Levelling, the lenses, the speeds, the walk path's Stop and Play, and Full Screen.
class NavigateMenuHandler : public Menu {
public:
    // The position of the command's item.
    static int32_t PositionOf(WalkMenuCommand command);

    void DoMenuCommand(int32_t position, int32_t extra) override;
    void UpdateMenu() override { UpdateNavigateMenu(); }

    void NavigateMenuCommand(WalkMenuCommand command);
    void UpdateNavigateMenu();
    void SetNavigateDocument(PlayerDocument* document) { document_ = document; }
    int32_t CurrentViewKind() const { return viewKind_; }
    // Whether the document's walk view fills the screen: the document's own flag.
    int32_t FullScreenFlag() const;

private:
    PlayerDocument* document_ = nullptr;
    int32_t viewKind_ = 0;
};

// Each titles and fills the menu for the owner window and gives it its place in the bar.
ResultCode BuildFileMenu(FileMenuHandler* menu, DocumentFrame* owner);
ResultCode BuildHelpMenu(HelpMenuHandler* menu, DocumentFrame* owner);
ResultCode BuildNavigateMenu(NavigateMenuHandler* menu, DocumentFrame* owner);

// A new menu built for the owner and put into the owner's menu list; null when it could not be.
template <class MenuClass>
MenuClass* MakeFrameMenu(DocumentFrame* owner, ResultCode (*build)(MenuClass*, DocumentFrame*))
{
    auto* menu = new (std::nothrow) MenuClass;
    if (!menu) return nullptr;
    Menu* listed = menu;
    if (build(menu, owner) != kResultOk || !owner->FrameMenuList() || owner->FrameMenuList()->Append(&listed) < 0) {
        menu->DeleteMenuObject();
        return nullptr;
    }
    return menu;
}
