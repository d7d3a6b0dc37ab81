// Window objects: creation and its failure, the modal disable stack, closing by kind, moving
// within the size limits, and the creating-window slot.
#include <gtest/gtest.h>

#include "foundation/dynamic_array.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/app_globals.h"
#include "toolkit/menu.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"
#include "toolkit/window_menu_list.h"

namespace {

constexpr WindowSize kNoSize = {0, 0};
constexpr WindowFlags kDocumentFlags = kWindowCaption | kWindowSizing | kWindowSystemMenu;
constexpr WindowFlags kDialogFlags = kWindowCaption | kWindowDialog;

Window* MakeWindow(const PortRect& content, WindowFlags flags, WindowKind kind, WindowSize minimum = kNoSize,
                   WindowSize maximum = kNoSize)
{
    auto* window = new Window;
    EXPECT_EQ(window->CreateWindowObject(content, "Test", minimum, maximum, kNoSize, flags, kind), kResultOk);
    return window;
}

class WindowTest : public FrameFixture {
protected:
    Window* MakeDocumentWindow(WindowKind kind)
    {
        Window* window = MakeWindow({10, 10, 210, 160}, kDocumentFlags, kind);
        window->SetWindowOwner(frame_);
        frame_->RegisterDocumentWindow(window);
        return window;
    }
};

TEST_F(WindowTest, ModalWindowsDisableOnlyWhatWasEnabledAndEnableExactlyThatAgain)
{
    HWND frame = frame_->FrameWindow();
    Window* bystander = MakeWindow({0, 0, 50, 50}, kWindowFloating, kWindowDestroys);
    EnableWindow(bystander->GetWindowHandle(), FALSE);

    Window* outer = MakeWindow({100, 100, 300, 200}, kDialogFlags, kWindowDestroys);
    EXPECT_FALSE(IsWindowEnabled(frame));
    EXPECT_TRUE(IsWindowEnabled(outer->GetWindowHandle()));
    EXPECT_EQ(ModalWindowCount(), 1);

    Window* inner = MakeWindow({120, 120, 320, 220}, kDialogFlags, kWindowDestroys);
    EXPECT_FALSE(IsWindowEnabled(outer->GetWindowHandle()));
    EXPECT_EQ(ModalWindowCount(), 2);

    inner->CloseWindowObject();
    EXPECT_TRUE(IsWindowEnabled(outer->GetWindowHandle()));
    EXPECT_FALSE(IsWindowEnabled(frame)) << "the outer modal window still holds the frame";

    outer->DestroyWindowObject();
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_FALSE(IsWindowEnabled(bystander->GetWindowHandle())) << "it was disabled before";
    EXPECT_EQ(ModalWindowCount(), 0);
    bystander->DestroyWindowObject();
}

TEST_F(WindowTest, AModalWindowThatCannotBeMadeDisablesNothing)
{
    HWND frame = frame_->FrameWindow();
    // A parent that no longer exists makes the system refuse the window.
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    SetFrameWindow(gone, nullptr);
    auto* window = new Window;
    EXPECT_EQ(window->CreateWindowObject({0, 0, 100, 100}, "", kNoSize, kNoSize, kNoSize, kDialogFlags, kWindowDestroys),
              kResultNotFound);
    SetFrameWindow(frame, frame_->MdiClient());
    EXPECT_EQ(window->GetWindowHandle(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(ModalWindowCount(), 0);
    EXPECT_EQ(CreatingWindow(), nullptr);
    window->DestroyWindowObject();
}

TEST_F(WindowTest, CreationLinksTheObjectAndClearsTheCreatingSlot)
{
    Window* window = MakeDocumentWindow(kWindowHides);
    HWND hwnd = window->GetWindowHandle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowObject<Window>(hwnd), window);
    EXPECT_EQ(CreatingWindow(), nullptr);
    EXPECT_EQ(GetParent(hwnd), frame_->MdiClient()) << "an ordinary window is an MDI child";
    EXPECT_FALSE(window->IsWindowObjectVisible()) << "hidden until shown";
    window->ShowWindowObject();
    EXPECT_TRUE(window->IsWindowObjectVisible());
    EXPECT_EQ(frame_->notifications.front(), kWindowNotifyShown);
    window->DestroyWindowObject();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(frame_->DocumentWindows()->ArrayCount(), 0);
}

TEST_F(WindowTest, ClosingByKind)
{
    Window* hides = MakeDocumentWindow(kWindowHides);
    Window* destroys = MakeDocumentWindow(kWindowDestroys);
    hides->ShowWindowObject();
    destroys->ShowWindowObject();
    ASSERT_EQ(frame_->CountVisibleDocumentWindows(), 2);

    HWND destroyed = destroys->GetWindowHandle();
    destroys->CloseWindowObject();
    EXPECT_FALSE(IsWindow(destroyed));
    EXPECT_EQ(frame_->DocumentWindows()->ArrayCount(), 1);

    // A window of kind 1 that is not the document's last visible one only hides.
    Window* other = MakeDocumentWindow(kWindowHides);
    other->ShowWindowObject();
    hides->CloseWindowObject();
    EXPECT_TRUE(IsWindow(hides->GetWindowHandle()));
    EXPECT_FALSE(hides->IsWindowObjectVisible());
    EXPECT_EQ(frame_->CountVisibleDocumentWindows(), 1);
}

TEST_F(WindowTest, MovedWindowsStayWithinTheirLimitsAndBoundsRoundTrip)
{
    Window* window = MakeWindow({100, 100, 300, 250}, kWindowFloating | kWindowCaption | kWindowSizing, kWindowDestroys,
                                {120, 80}, {400, 300});
    PortRect bounds;
    window->GetWindowBounds(&bounds);
    EXPECT_EQ(bounds.left, 100);
    EXPECT_EQ(bounds.top, 100);
    EXPECT_EQ(bounds.Width(), 200);
    EXPECT_EQ(bounds.Height(), 150);

    window->MoveWindowObject({50, 60, 60, 70});
    window->GetWindowBounds(&bounds);
    EXPECT_EQ(bounds.left, 50);
    EXPECT_EQ(bounds.top, 60);
    EXPECT_EQ(bounds.Width(), 120);
    EXPECT_EQ(bounds.Height(), 80);

    window->MoveWindowObject({0, 0, 900, 900});
    window->GetWindowBounds(&bounds);
    EXPECT_EQ(bounds.Width(), 400);
    EXPECT_EQ(bounds.Height(), 300);
    window->DestroyWindowObject();
}

TEST_F(WindowTest, ASizeLimitOfZeroIsNone)
{
    Window* window = MakeWindow({0, 0, 100, 100}, kWindowFloating | kWindowSizing, kWindowDestroys);
    EXPECT_EQ(window->MaximumSize().width, kNoSizeLimit);
    EXPECT_EQ(window->MaximumSize().height, kNoSizeLimit);
    window->MoveWindowObject({0, 0, 700, 500});
    PortRect bounds;
    window->GetWindowBounds(&bounds);
    EXPECT_EQ(bounds.Width(), 700);
    EXPECT_EQ(bounds.Height(), 500);
    window->DestroyWindowObject();
}

TEST_F(WindowTest, KeysAndCommandsSkipAMinimizedWindow)
{
    Window* window = MakeDocumentWindow(kWindowHides);
    window->ShowWindowObject();
    SendMessageA(window->GetWindowHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(window->IsMinimized());
    EXPECT_EQ(SendMessageA(window->GetWindowHandle(), WM_KEYDOWN, 'A', 0), 0);
    SendMessageA(window->GetWindowHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(window->IsMinimized());
}

// A menu is in one window menu list at a time, and knows which.
TEST(WindowMenuList, AMenuLeavesItsOldListAndForgetsADestroyedOne)
{
    WindowMenuList* frameMenus = WindowMenuList::Make(16);
    WindowMenuList* paneMenus = WindowMenuList::Make(16);
    Menu file;
    Menu walk;
    Menu* menus[] = {&file, &walk};
    frameMenus->Append(&menus[0]);
    frameMenus->Append(&menus[1]);
    EXPECT_EQ(file.OwningList(), frameMenus);

    IgnoreResult(paneMenus->Insert(0, &menus[0]));
    EXPECT_EQ(file.OwningList(), paneMenus);
    ASSERT_EQ(frameMenus->ArrayCount(), 1);
    EXPECT_EQ(frameMenus->MenuAt(0), &walk);

    paneMenus->RemoveMenu(&walk);
    EXPECT_EQ(walk.OwningList(), frameMenus) << "a menu another list holds stays there";
    frameMenus->RemoveMenu(&walk);
    EXPECT_EQ(walk.OwningList(), nullptr);
    EXPECT_EQ(frameMenus->ArrayCount(), 0);

    paneMenus->Destroy();
    EXPECT_EQ(file.OwningList(), nullptr);
    frameMenus->Destroy();
}

// A menu that Set replaces is out of the list, and a menu listed twice stays in it.
TEST(WindowMenuList, SetTakesTheReplacedMenuOutOfTheList)
{
    WindowMenuList* list = WindowMenuList::Make(16);
    Menu file;
    Menu walk;
    Menu* menus[] = {&file, &walk};
    list->Append(&menus[0]);
    list->Append(&menus[1]);
    ASSERT_EQ(list->Set(0, &menus[1]), kResultOk);
    EXPECT_EQ(file.OwningList(), nullptr);
    EXPECT_EQ(walk.OwningList(), list);
    ASSERT_EQ(list->Set(1, &menus[0]), kResultOk);
    EXPECT_EQ(walk.OwningList(), list) << "still listed first";
    EXPECT_EQ(file.OwningList(), list);
    list->Destroy();
    EXPECT_EQ(file.OwningList(), nullptr);
    EXPECT_EQ(walk.OwningList(), nullptr);
}

}  // namespace
