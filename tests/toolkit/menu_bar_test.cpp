// The menu bar of a frame: which menus it holds and in what order, their titles and numbers,
// routing WM_COMMAND back to the menu and position through submenus and continuation chains,
// the Window menu's life with the frame, and the default menus.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/toolkit/menu_fixture.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/default_menus.h"
#include "toolkit/menu_bar.h"
#include "toolkit/menu_command_id.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"
#include "toolkit/window_menu.h"
#include "toolkit/window_menu_list.h"

namespace {

using Texts = std::vector<std::string>;

class MenuBarTest : public FrameFixture {
protected:
    void TearDown() override
    {
        for (Menu* menu : menus_) menu->DeleteMenuObject();
        FrameFixture::TearDown();
    }

    // A recording menu in the list, deleted after the test.
    RecordingMenu* Add(WindowMenuList* list, const char* title, int32_t order, std::initializer_list<const char*> items)
    {
        RecordingMenu* menu = RecordingMenu::Make(title, items, frame_);
        menu->SetMenuOrder(order);
        list->Append(&menu);
        menus_.push_back(menu);
        return menu;
    }

    HMENU Bar() const { return GetMenu(frame_->FrameWindow()); }
    void Command(int32_t id) { SendMessageA(frame_->FrameWindow(), WM_COMMAND, WPARAM(id), 0); }

    std::vector<Menu*> menus_;
};

TEST_F(MenuBarTest, TheFramesMenusStandInOrderKeyOrderWithTheirTitlesAndNumbers)
{
    RecordingMenu* zeta = Add(frame_->FrameMenuList(), "Zeta", 5, {"Z"});
    RecordingMenu* alpha = Add(frame_->FrameMenuList(), "Alpha", 1, {"A"});
    RecordingMenu* plain = Add(frame_->FrameMenuList(), "Plain", 3, {"P"});
    alpha->SetMenuMnemonicPos(2);
    plain->SetMenuItemMnemonics(0);
    DocumentUpdateMenus(frame_);
    EXPECT_EQ(EntryTexts(Bar()), (Texts{"Al&pha", "Plain", "&Zeta"}));
    EXPECT_EQ(GetSubMenu(Bar(), 0), alpha->MenuHandle());
    EXPECT_EQ(EntryText(plain->MenuHandle(), 0), "P");
    EXPECT_EQ((std::vector<int32_t>{alpha->MenuNumber(), plain->MenuNumber(), zeta->MenuNumber()}),
              (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(MenuBarList->Frame(), frame_);

    // Every rebuild numbers from 1 again; a menu deleted meanwhile leaves the bar at once.
    HMENU oldBar = Bar();
    DocumentUpdateMenus(frame_);
    EXPECT_FALSE(IsMenu(oldBar));
    EXPECT_EQ(alpha->MenuNumber(), 1);
    menus_.erase(menus_.begin() + 1);
    alpha->DeleteMenuObject();
    EXPECT_EQ(EntryTexts(Bar()), (Texts{"Plain", "&Zeta"}));
}

TEST_F(MenuBarTest, TheActiveWindowAndItsPanesAddTheirMenus)
{
    Add(frame_->FrameMenuList(), "Frame", 0, {"F"});
    Window* window = new Window;
    ASSERT_EQ(window->CreateWindowObject({10, 10, 200, 150}, "W", {0, 0}, {0, 0}, {0, 0},
                                         kWindowCaption | kWindowSizing | kWindowSystemMenu, kWindowHides),
              kResultOk);
    window->SetWindowOwner(frame_);
    frame_->RegisterDocumentWindow(window);
    auto* pane = new Pane;
    pane->PaneCreate(0);
    window->AddPane(pane);
    Add(window->GetWindowMenuList(), "Window's", 4, {"W"});
    Add(pane->PaneMenuList(), "Pane's", 2, {"P"});
    DocumentUpdateMenus(frame_);
    EXPECT_EQ(EntryTexts(Bar()), Texts{"&Frame"}) << "no active window";
    window->ShowWindowObject();
    window->SelectWindowObject();
    PumpMessages();
    EXPECT_EQ(EntryTexts(Bar()), (Texts{"&Frame", "&Pane's", "&Window's"}));
    window->DestroyWindowObject();
    DocumentUpdateMenus(frame_);
    EXPECT_EQ(EntryTexts(Bar()), Texts{"&Frame"});
}

TEST_F(MenuBarTest, CommandsReachTheirMenuAndPositionThroughSubmenusAndContinuations)
{
    RecordingMenu* first = Add(frame_->FrameMenuList(), "First", 0, {"1", "2"});
    RecordingMenu* second = Add(frame_->FrameMenuList(), "Second", 1, {"1", "2", "3"});
    RecordingMenu* last = Add(frame_->FrameMenuList(), "Last", 2, {"1"});
    auto* submenu = RecordingMenu::Make("Sub", {"1", "2"});
    auto* nested = RecordingMenu::Make("Nested", {"1"});
    auto* tail = RecordingMenu::Make("Tail", {"1", "2"});
    menus_.push_back(tail);
    IgnoreResult(second->SetMenuItemSubmenu(2, submenu));
    IgnoreResult(submenu->SetMenuItemSubmenu(1, nested));
    IgnoreResult(first->SetMenuContinuation(tail));
    IgnoreResult(last->SetMenuAttachment(kMenuTopLevel));
    DocumentUpdateMenus(frame_);
    ASSERT_EQ(second->MenuNumber(), 2);

    Command(MenuCommandId(2, 3));
    Command(MenuCommandId(submenu->MenuNumber(), 2));
    Command(MenuCommandId(1, 4));
    EXPECT_EQ(second->commands, std::vector<int32_t>{3});
    EXPECT_EQ(submenu->commands, std::vector<int32_t>{2});
    EXPECT_EQ(tail->commands, std::vector<int32_t>{2}) << "position 4 is the continuation's second";
    EXPECT_TRUE(first->commands.empty());
    EXPECT_EQ(HandleMenuCommand(frame_, nested->MenuNumber(), 1, 0), 0) << "two levels below the bar";
    EXPECT_EQ(HandleMenuCommand(frame_, last->MenuNumber(), 2, 0), 0) << "past a top-level menu's items";
    EXPECT_EQ(HandleMenuCommand(frame_, 2, 0, 0), 0);
    EXPECT_EQ(HandleMenuCommand(frame_, MenuNumberOfCommand(100), MenuPositionOfCommand(100), 0), 0);
    EXPECT_TRUE(nested->commands.empty() && last->commands.empty());

    tail->SetMenuItemShortcut(2, 'T');
    EXPECT_EQ(FindMenuKeyEquivalent(MenuBarList, 'T', kMenuKeyCtrl), MenuCommandId(1, 4));
}

TEST_F(MenuBarTest, TheWindowMenuContinuesAMenuAndGoesWithoutTakingItsPopUp)
{
    RecordingMenu* menu = Add(frame_->FrameMenuList(), "Windows", 0, {"Tile"});
    IgnoreResult(menu->SetMenuAttachment(kMenuContinuedByWindowMenu));
    DocumentUpdateMenus(frame_);
    WindowMenu* windowMenu = frame_->FrameWindowMenu();
    ASSERT_NE(windowMenu, nullptr);
    EXPECT_STREQ(windowMenu->MenuTitle(), "Window");
    EXPECT_EQ(windowMenu->MenuHandle(), menu->MenuHandle());
    EXPECT_EQ(HandleMenuCommand(frame_, menu->MenuNumber(), 2, 0), 1) << "handed to the Window menu";

    HMENU handle = menu->MenuHandle();
    CreateWindowMenu(frame_);
    EXPECT_EQ(frame_->FrameWindowMenu()->ContinuedFrom(), nullptr) << "a new, unbuilt Window menu";
    EXPECT_EQ(EntryTexts(handle), Texts{"&Tile"});
    EXPECT_EQ(GetSubMenu(Bar(), 0), handle);

    // Deleting the menu that the Window menu continues deletes the Window menu too.
    menus_.clear();
    menu->DeleteMenuObject();
    EXPECT_EQ(frame_->FrameWindowMenu(), nullptr);
    EXPECT_EQ(GetMenuItemCount(Bar()), 0);
}

TEST_F(MenuBarTest, TheFrameHandsItsWindowMenuOnAndItsBarGoesWithIt)
{
    CreateWindowMenu(frame_);
    WindowMenu* handed = frame_->FrameWindowMenu();
    auto* next = new TestFrame;
    ASSERT_EQ(next->DocumentSetup(kFrameModeHidden, nullptr, 0), 1);
    DocumentFrame::AttachFrameContent(frame_, next);
    EXPECT_EQ(next->FrameWindowMenu(), handed);
    EXPECT_EQ(handed->MenuOwner(), next);
    EXPECT_EQ(frame_->FrameWindowMenu(), nullptr);

    RecordingMenu* kept = Add(next->FrameMenuList(), "Kept", 0, {"K"});
    DocumentUpdateMenus(next);
    next->DestroyDocumentFrame();
    EXPECT_EQ(next->FrameWindowMenu(), nullptr);
    EXPECT_EQ(MenuBarList->ArrayCount(), 0) << "the list forgets a destroyed frame's bar";
    EXPECT_EQ(MenuBarList->Frame(), nullptr);
    EXPECT_FALSE(kept->IsBuilt());
    next->FreeDocumentFrame();
}

class AboutRecorder : public FrameServices {
public:
    void ShowAbout(int32_t mode) override { modes.push_back(mode); }
    std::vector<int32_t> modes;
};

void HoldCtrl(bool held)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

TEST_F(MenuBarTest, TheDefaultMenus)
{
    AboutRecorder services;
    InstallFrameServices(&services);
    Owned<DefaultAboutMenu> about(new DefaultAboutMenu);
    ASSERT_EQ(about->DefaultAboutMenuInit(frame_), kResultOk);
    EXPECT_EQ(about->MenuAttachment(), kMenuTopLevel);
    about->DoMenuCommand(1, 0);
    HoldCtrl(true);
    about->DoMenuCommand(1, 0);
    HoldCtrl(false);
    InstallFrameServices(nullptr);
    EXPECT_EQ(services.modes, (std::vector<int32_t>{1, -1}));

    Owned<DefaultEditMenu> edit(new DefaultEditMenu);
    Owned<DefaultFileMenu> file(new DefaultFileMenu);
    ASSERT_EQ(edit->DefaultEditMenuInit(frame_), kResultOk);
    ASSERT_EQ(file->DefaultFileMenuInit(frame_), kResultOk);
    for (Menu* menu : {static_cast<Menu*>(edit.get()), static_cast<Menu*>(file.get()), static_cast<Menu*>(about.get())})
        frame_->FrameMenuList()->Append(&menu);
    DocumentUpdateMenus(frame_);
    EXPECT_EQ(EntryTexts(Bar()), (Texts{"&File", "&Edit", "&Help"}));
    EXPECT_EQ(EntryTexts(edit->MenuHandle()), (Texts{"&Cut\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V"}));
    EXPECT_EQ(EntryTexts(file->MenuHandle()), Texts{"&Exit\tAlt+F4"});
    EXPECT_EQ(EntryTexts(about->MenuHandle()), Texts{"&About This Product ..."});

    // Exit closes the documents as closing the frame does: the last one quits.
    Command(MenuCommandId(file->MenuNumber(), 1));
    frame_ = nullptr;
    EXPECT_EQ(TakeQuit(), 0);
    EXPECT_FALSE(file->IsBuilt());
}

}  // namespace
