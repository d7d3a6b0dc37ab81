// Menus built in code: command ids and their splitting, the texts of items and titles, key
// equivalents, items by position, menus built from tables, building into real system pop-ups
// (numbers, ids, states, submenus, continuation menus), the ids that do not fit, the key
// equivalent search and pop-ups.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "tests/toolkit/item_fixture.h"
#include "tests/toolkit/menu_fixture.h"
#include "toolkit/menu_bar.h"
#include "toolkit/menu_command_id.h"
#include "toolkit/menu_table.h"

namespace {

constexpr int32_t kCtrl = kMenuKeyCtrl;
constexpr int32_t kShift = kMenuKeyShift;
constexpr int32_t kAlt = kMenuKeyAlt;
// The largest menu number with an id for position 43, the last one it has.
constexpr int32_t kLastNumber = 945;
constexpr int32_t kLastNumberPositions = 43;

std::string ItemText(const char* text, int32_t mnemonic, int32_t key, int32_t mnemonics = 1)
{
    MenuItem item;
    std::snprintf(item.text, sizeof item.text, "%s", text);
    item.mnemonicPosition = mnemonic;
    item.keyEquivalent = key;
    char display[kMenuDisplayTextSize];
    ComposeMenuItemText(item, mnemonics, display, sizeof display);
    return display;
}

TEST(MenuCommandId, SplitsBackIntoNumberAndPositionAndHasNoIdThatWouldWrap)
{
    EXPECT_EQ(MenuCommandId(2, 3), 5012 + 64 * 2 + 3);
    for (int32_t number = 1; number <= kLastNumber; ++number) {
        for (int32_t position = 1; position <= kMaxMenuPosition; ++position) {
            const int32_t id = MenuCommandId(number, position);
            if (!id) continue;
            ASSERT_EQ(MenuNumberOfCommand(id), number);
            ASSERT_EQ(MenuPositionOfCommand(id), position);
        }
    }
    EXPECT_EQ(MenuCommandId(1, 0), 0);
    EXPECT_EQ(MenuCommandId(1, 64), 0) << "position 64 would be position 0 of the next number";
    EXPECT_EQ(MenuCommandId(0, 1), 0);
    EXPECT_EQ(MenuCommandId(kLastNumber, kLastNumberPositions), 0xFFFF);
    EXPECT_EQ(MenuCommandId(kLastNumber, kLastNumberPositions + 1), 0);
    EXPECT_EQ(MenuCommandId(kLastNumber + 1, 1), 0);
    EXPECT_TRUE(MenuPositionsFit(kLastNumber + 1, 0));
    EXPECT_LT(MenuNumberOfCommand(5000), 0) << "ids below the first are no menu's";
}

TEST(MenuItemText, MnemonicTabAndKeyEquivalentWithCtrlImpliedBuiltWithinTheBuffer)
{
    EXPECT_EQ(ItemText("Open...", 0, 'O'), "&Open...\tCtrl+O");
    EXPECT_EQ(ItemText("Save As...", 5, 'S' | kShift), "Save &As...\tCtrl+Shift+S");
    EXPECT_EQ(ItemText("Exit", 0, kAlt | MenuSpecialKey(kMenuKeyF1 + 3)), "&Exit\tAlt+F4");
    EXPECT_EQ(ItemText("Open...", 0, 'O', 0), "Open...\tCtrl+O");
    EXPECT_EQ(ItemText("Level", 5, MenuSpecialKey(kMenuKeyBackspace)), "Level\tBkSp") << "no character at 5";
    EXPECT_EQ(ItemText("K", -1, MenuSpecialKey(6)), "K\t") << "a code without a name shows none";
    char title[kMenuTextSize + 1];
    ComposeMenuTitle("Walk", 3, 1, title, sizeof title);
    EXPECT_STREQ(title, "Wal&k");

    MenuItem item;
    std::memset(item.text, 'W', kMenuTextSize - 1);
    item.mnemonicPosition = 62;
    item.keyEquivalent = kAlt | kCtrl | kShift | MenuSpecialKey(kMenuKeyEnter);
    char display[kMenuDisplayTextSize + 1];
    std::memset(display, '#', sizeof display);
    ComposeMenuItemText(item, 1, display, kMenuDisplayTextSize);
    EXPECT_EQ(std::string(display), std::string(62, 'W') + "&W\tAlt+Ctrl+Shift+Enter");
    EXPECT_EQ(std::strlen(display), kMenuDisplayTextSize - 1) << "the longest text fits exactly";
    std::memset(display, '#', sizeof display);
    ComposeMenuItemText(item, 1, display, 10);
    EXPECT_EQ(std::string(display, 11), std::string(9, 'W') + '\0' + '#');
}

TEST(MenuKeyEquivalent, CtrlIsImpliedForACharacterAndSpecialKeysNeverMatch)
{
    EXPECT_TRUE(MenuKeyMatches('O', 'O', kCtrl));
    EXPECT_FALSE(MenuKeyMatches('O', 'O', 0));
    EXPECT_FALSE(MenuKeyMatches('O', 'O', kCtrl | kShift));
    EXPECT_TRUE(MenuKeyMatches('S' | kShift, 'S', kCtrl | kShift));
    EXPECT_TRUE(MenuKeyMatches(';' | kAlt, ';', kCtrl | kAlt));
    EXPECT_FALSE(MenuKeyMatches(kAlt | MenuSpecialKey(kMenuKeyF1 + 3), VK_F4, kAlt));
    EXPECT_TRUE(MenuKeyMatches(kMenuKeyUnreachable, kMenuKeyUnreachable, 0));
}

TEST(MenuItems, PositionsAreOneBasedAndABadPositionActsOnNothing)
{
    bool submenuDeleted = false;
    Owned<Menu> menu(RecordingMenu::Make("Edit", {"Cut", nullptr, "Paste"}));
    EXPECT_EQ(menu->InsertMenuItem(1), kResultOk);
    EXPECT_EQ(menu->InsertMenuItem(5), kResultOk);
    EXPECT_EQ(menu->InsertMenuItem(7), kResultOutOfRange);
    menu->SetMenuItemText(1, std::string(100, 'x').c_str());
    EXPECT_EQ(std::string(menu->GetMenuItemText(1)), std::string(kMenuTextSize - 1, 'x'));
    EXPECT_STREQ(menu->GetMenuItemText(2), "Cut");
    EXPECT_STREQ(menu->GetMenuItemText(0), "");
    EXPECT_STREQ(menu->GetMenuItemText(6), "");
    menu->CheckMenuItemAt(2, 1);
    menu->CheckMenuItemAt(6, 1);
    menu->EnableMenuItemAt(0, 0);
    EXPECT_EQ(menu->IsMenuItemChecked(2), 1);
    for (int32_t position = 1; position <= menu->ItemCount(); ++position)
        EXPECT_TRUE(menu->MenuItemAt(position)->flags & kMenuItemEnabled);

    EXPECT_EQ(menu->SetMenuItemSubmenu(4, RecordingMenu::Make("More", {"A"}, nullptr, &submenuDeleted)), kResultOk);
    EXPECT_EQ(menu->RemoveMenuItem(4), kResultOk);
    EXPECT_TRUE(submenuDeleted) << "an item's submenu goes with it";
    EXPECT_EQ(menu->ItemCount(), 4);
}

// A table whose commands are numbered apart from the positions: two separators stand between.
enum TableCommand : int32_t { kTableOpen = 7, kTableCredits = 3, kTableExit = 9 };
constexpr MenuTableItem kTableItems[] = {{"Open...", kTableOpen, 'O', 'O'},
                                         {nullptr, 0},
                                         {"Credits...", kTableCredits, 0, 0, 2},
                                         {nullptr, 0},
                                         {"Exit", kTableExit, kAlt | MenuSpecialKey(kMenuKeyF1 + 3), 'X'}};

TEST(MenuTable, ItemsTakeTheirPlacesAndEachCommandFindsItsPositionPastTheSeparators)
{
    constexpr MenuTable table(kTableItems);
    Owned<Menu> menu(RecordingMenu::Make("File", {}));
    ASSERT_EQ(table.AppendTo(menu.get()), kResultOk);
    ASSERT_EQ(menu->ItemCount(), 5);
    const struct {
        int32_t command;
        int32_t position;
        const char* text;
        int32_t key;
        int32_t letter;
        int32_t mnemonic;
    } cases[] = {{kTableOpen, 1, "Open...", 'O', 'O', 0},
                 {kTableCredits, 3, "Credits...", 0, 0, 2},
                 {kTableExit, 5, "Exit", kAlt | MenuSpecialKey(kMenuKeyF1 + 3), 'X', 0}};
    for (const auto& item : cases) {
        EXPECT_EQ(table.PositionOf(item.command), item.position) << item.text;
        EXPECT_EQ(table.CommandAt(item.position), item.command) << item.text;
        const MenuItem* built = menu->MenuItemAt(item.position);
        EXPECT_STREQ(built->text, item.text);
        EXPECT_EQ(built->separator, 0);
        EXPECT_EQ(built->keyEquivalent, item.key) << item.text;
        EXPECT_EQ(built->letter, item.letter) << item.text;
        EXPECT_EQ(built->mnemonicPosition, item.mnemonic) << item.text;
    }
    for (const int32_t separator : {2, 4}) {
        EXPECT_EQ(menu->MenuItemAt(separator)->separator, 1);
        EXPECT_EQ(table.CommandAt(separator), 0) << "a separator does nothing";
    }
    for (const int32_t outside : {0, 6}) EXPECT_EQ(table.CommandAt(outside), 0);
    EXPECT_EQ(table.PositionOf(0), 0) << "no command finds a separator";
    EXPECT_EQ(table.PositionOf(1), 0);
    static_assert(MenuTable(kTableItems).PositionOf(kTableCredits) == 3, "positions are known when compiling");
}

TEST(MenuItems, ChainsAndSubmenusThatWouldComeRoundAreRefused)
{
    Owned<Menu> a(RecordingMenu::Make("A", {"1"}));
    Owned<Menu> b(RecordingMenu::Make("B", {"1"}));
    Owned<Menu> c(RecordingMenu::Make("C", {"1"}));
    EXPECT_EQ(a->SetMenuContinuation(a.get()), kResultOutOfRange);
    EXPECT_EQ(a->SetMenuContinuation(b.get()), kResultOk);
    EXPECT_EQ(b->SetMenuAttachment(UINT_PTR(c.get())), kResultOk);
    EXPECT_EQ(c->SetMenuContinuation(a.get()), kResultOutOfRange);
    EXPECT_EQ(a->SetMenuContinuation(c.get()), kResultOk);
    EXPECT_EQ(b->MenuAttachment(), kMenuNotAttached) << "a menu continues one menu at a time";

    Menu* d = RecordingMenu::Make("D", {"1"});
    EXPECT_EQ(b->SetMenuItemSubmenu(1, d), kResultOk);
    EXPECT_EQ(c->SetMenuItemSubmenu(1, d), kResultOutOfRange) << "d is b's submenu already";
    EXPECT_EQ(d->SetMenuItemSubmenu(1, b.get()), kResultOutOfRange);
    EXPECT_EQ(b->SetMenuItemSubmenu(1, b.get()), kResultOutOfRange);
}

class MenuBuildTest : public ::testing::Test {
protected:
    void SetUp() override { RestartMenuNumbering(); }
};

TEST_F(MenuBuildTest, ItemsBecomeEntriesWithTheirIdsStatesAndSubmenus)
{
    Owned<RecordingMenu> menu(RecordingMenu::Make("File", {"Open...", nullptr, "Close", "Recent"}));
    Menu* recent = RecordingMenu::Make("Recent", {"One"});
    menu->SetMenuItemShortcut(1, 'O');
    menu->CheckMenuItemAt(1, 1);
    menu->EnableMenuItemAt(3, 0);
    IgnoreResult(menu->SetMenuItemSubmenu(4, recent));
    ASSERT_EQ(menu->BuildMenu(), kResultOk);
    HMENU handle = menu->MenuHandle();
    EXPECT_EQ(menu->MenuNumber(), 1);
    EXPECT_EQ(recent->MenuNumber(), 2) << "submenus take numbers as they are built";
    EXPECT_EQ(NextMenuNumber(), 3);
    EXPECT_EQ(EntryTexts(handle), (std::vector<std::string>{"&Open...\tCtrl+O", "", "&Close", "&Recent"}));
    EXPECT_EQ(GetMenuItemID(handle, 0), UINT(MenuCommandId(1, 1)));
    EXPECT_EQ(GetMenuItemID(handle, 2), UINT(MenuCommandId(1, 3)));
    EXPECT_EQ(GetMenuState(handle, 0, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED));
    EXPECT_TRUE(GetMenuState(handle, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(handle, 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(GetSubMenu(handle, 3), recent->MenuHandle());
    EXPECT_EQ(GetMenuItemID(recent->MenuHandle(), 0), UINT(MenuCommandId(2, 1)));

    // While built, items change in place and the item list stays as the pop-up shows it.
    EXPECT_EQ(menu->AppendMenuItem("Later"), kResultLocked);
    menu->EnableMenuItemAt(3, 1);
    menu->SetMenuItemText(3, "Shut");
    EXPECT_EQ(GetMenuState(handle, 2, MF_BYPOSITION) & MF_GRAYED, 0u);
    EXPECT_EQ(EntryText(handle, 2), "&Shut");
    EXPECT_EQ(GetMenuItemID(handle, 2), UINT(MenuCommandId(1, 3)));
    HMENU oldRecent = recent->MenuHandle();
    Menu* later = RecordingMenu::Make("Later", {"Two"});
    ASSERT_EQ(menu->SetMenuItemSubmenu(4, later), kResultOk);
    EXPECT_FALSE(IsMenu(oldRecent));
    EXPECT_EQ(GetSubMenu(handle, 3), later->MenuHandle());
    recent->DeleteMenuObject();

    HMENU laterHandle = later->MenuHandle();
    menu->UnbuildMenu();
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_FALSE(IsMenu(laterHandle));
}

TEST_F(MenuBuildTest, AContinuationFillsThePopUpOnAndItsDeletionLeavesThePopUpItContinues)
{
    Owned<Menu> head(RecordingMenu::Make("Window", {"Tile", "Cascade"}));
    Menu* more = RecordingMenu::Make("More", {"One", "Two"});
    ASSERT_EQ(head->SetMenuContinuation(more), kResultOk);
    ASSERT_EQ(head->BuildMenu(), kResultOk);
    HMENU handle = head->MenuHandle();
    EXPECT_EQ(more->MenuHandle(), handle);
    EXPECT_EQ(more->MenuNumber(), head->MenuNumber());
    EXPECT_EQ(more->PositionOffset(), 2);
    EXPECT_EQ(EntryTexts(handle), (std::vector<std::string>{"&Tile", "&Cascade", "&One", "&Two"}));
    EXPECT_EQ(GetMenuItemID(handle, 3), UINT(MenuCommandId(head->MenuNumber(), 4)));

    more->DeleteMenuObject();
    ASSERT_TRUE(IsMenu(handle));
    EXPECT_EQ(EntryTexts(handle), (std::vector<std::string>{"&Tile", "&Cascade"}));
    EXPECT_EQ(head->MenuAttachment(), kMenuNotAttached);
    head->UnbuildMenu();
    EXPECT_FALSE(IsMenu(handle));
}

TEST_F(MenuBuildTest, AMenuWhosePositionsHaveNoIdIsNotBuilt)
{
    Owned<Menu> tooLong(RecordingMenu::Make("Long", {}));
    for (int32_t i = 0; i <= kMaxMenuPosition; ++i) tooLong->AppendMenuItem("Item");
    EXPECT_EQ(tooLong->BuildMenu(), kResultOutOfRange);
    EXPECT_FALSE(tooLong->IsBuilt());
    EXPECT_EQ(NextMenuNumber(), 1);

    Owned<Menu> head(RecordingMenu::Make("Head", {}));
    Menu* tail = RecordingMenu::Make("Tail", {});
    for (int32_t i = 0; i < 40; ++i) head->AppendMenuItem("Head item");
    for (int32_t i = 0; i < 30; ++i) tail->AppendMenuItem("Tail item");
    IgnoreResult(head->SetMenuContinuation(tail));
    EXPECT_EQ(head->BuildMenu(), kResultOutOfRange);
    EXPECT_FALSE(head->IsBuilt());
    EXPECT_FALSE(tail->IsBuilt());

    RestartMenuNumbering();
    Owned<Menu> empty(RecordingMenu::Make("Empty", {}));
    while (NextMenuNumber() < kLastNumber) {
        ASSERT_EQ(empty->BuildMenu(), kResultOk);
        empty->UnbuildMenu();
    }
    Owned<Menu> last(RecordingMenu::Make("Last", {}));
    for (int32_t i = 0; i <= kLastNumberPositions; ++i) last->AppendMenuItem("Item");
    EXPECT_EQ(last->BuildMenu(), kResultOutOfRange);
    IgnoreResult(last->RemoveMenuItem(1));
    ASSERT_EQ(last->BuildMenu(), kResultOk);
    EXPECT_EQ(GetMenuItemID(last->MenuHandle(), kLastNumberPositions - 1), 0xFFFFu);
    Owned<Menu> beyond(RecordingMenu::Make("Beyond", {"Item"}));
    EXPECT_EQ(beyond->BuildMenu(), kResultOutOfRange);
    EXPECT_EQ(empty->BuildMenu(), kResultOk) << "a menu without items needs no id";
}

TEST_F(MenuBuildTest, KeyEquivalentsOfEnabledItemsAreFoundThroughSubmenusAndTheContinuation)
{
    Owned<RecordingMenu> menu(RecordingMenu::Make("File", {"Open...", "Dimmed", "More", "Dimmed more"}));
    Menu* more = RecordingMenu::Make("More", {"Inner"});
    Menu* dimmedMore = RecordingMenu::Make("Dimmed more", {"Hidden"});
    Menu* tail = RecordingMenu::Make("Tail", {"Continued"});
    menu->SetMenuItemShortcut(1, 'O');
    menu->SetMenuItemShortcut(2, 'D');
    menu->EnableMenuItemAt(2, 0);
    IgnoreResult(menu->SetMenuItemSubmenu(3, more));
    more->SetMenuItemShortcut(1, 'I' | kShift);
    IgnoreResult(menu->SetMenuItemSubmenu(4, dimmedMore));
    menu->EnableMenuItemAt(4, 0);
    dimmedMore->SetMenuItemShortcut(1, 'J');
    IgnoreResult(menu->SetMenuContinuation(tail));
    tail->SetMenuItemShortcut(1, 'K');
    Owned<DynamicArray> list(NewDynamicArray(0, sizeof(Menu*), 1));
    Menu* listed = menu.get();
    list->Append(&listed);

    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'O', kCtrl), 0) << "an unbuilt menu has no ids";
    ASSERT_EQ(menu->BuildMenu(), kResultOk);
    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'O', kCtrl), MenuCommandId(1, 1));
    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'D', kCtrl), 0) << "a disabled item";
    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'I', kCtrl | kShift), MenuCommandId(more->MenuNumber(), 1));
    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'J', kCtrl), 0) << "the submenu of a disabled item";
    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'K', kCtrl), MenuCommandId(1, 5));
    const int32_t updates = menu->updates;
    menu->disableInUpdate = 1;
    EXPECT_EQ(FindMenuKeyEquivalent(list.get(), 'O', kCtrl), 0) << "the menu updates itself first";
    EXPECT_EQ(menu->updates, updates + 1);
}

// Shows the menu at a point of a pane and presses the keys once it is up.
class MenuPopUpTest : public ItemTest {
protected:
    int32_t Track(Menu* menu, std::initializer_list<WPARAM> keys)
    {
        if (!pane_) pane_ = OpenPane();
        std::vector<WPARAM> pressed(keys);
        RunLater(100, [this, pressed] {
            for (WPARAM key : pressed) PostKey(pane_->PaneWindow(), key);
        });
        return menu->TrackPopupMenuObject(pane_, 50, 40);
    }

    Pane* pane_ = nullptr;
};

TEST_F(MenuPopUpTest, EscapeAnswersZeroAndAChoiceItsPositionAndNothingStaysBuilt)
{
    Owned<Menu> menu(RecordingMenu::Make("Pop", {"One", "Two"}));
    const int32_t number = NextMenuNumber();
    EXPECT_EQ(Track(menu.get(), {VK_ESCAPE}), 0);
    EXPECT_FALSE(menu->IsBuilt());
    EXPECT_EQ(NextMenuNumber(), number) << "a pop-up gives its numbers back";
    EXPECT_EQ(Track(menu.get(), {VK_DOWN, VK_DOWN, VK_RETURN}), 2);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE)) << "the choice was taken";
    EXPECT_EQ(NextMenuNumber(), number);
}

TEST_F(MenuPopUpTest, ThePaneGetsTheButtonReleaseAtThePointInItsOwnCoordinates)
{
    Owned<Menu> menu(RecordingMenu::Make("Pop", {"One"}));
    pane_ = OpenPane();
    // The frame's menu bar is made first: the pane stays where it is while the pop-up is up.
    PumpMessages();
    EXPECT_EQ(Track(menu.get(), {VK_ESCAPE}), 0);
    POINT origin = {0, 0};
    ClientToScreen(pane_->PaneWindow(), &origin);
    ASSERT_TRUE(origin.x != 0 || origin.y != 0) << "the pane's coordinates differ from the screen's";
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, pane_->PaneWindow(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    EXPECT_EQ(message.lParam, MAKELPARAM(50, 40));
}

}  // namespace
