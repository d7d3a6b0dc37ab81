// Full screen with the real program's windows and a real model: the walk view's panes move into
// a pop-up of the screen's size and back into a document window at the old place, a maximised
// window is maximised again, WM_CLOSE on the pop-up leaves full screen with the model kept, and
// the pane's Space and Esc act only while the view fills the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "player/model_window.h"
#include "player/navigation_pane.h"
#include "player/navigation_panel.h"
#include "player/open_command.h"
#include "player/player_document.h"
#include "player/player_menus.h"
#include "player/player_startup.h"
#include "player/walk_menu_settings.h"
#include "player/walk_options.h"
#include "player/walk_view.h"
#include "tests/toolkit/toolkit_support.h"
#include "tools/sample_scenes.h"
#include "toolkit/app_globals.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/input_events.h"
#include "toolkit/window.h"

namespace {

std::string gModelPath;

bool WriteModel(ModelDocument* document, const std::string& path)
{
    auto* file = new DiskFileStream;
    ResultCode result = file->FileObjectInit(kFileWrite, 0, 0, "", "");
    if (result == kResultOk) result = file->SetFileFromPath(path.c_str());
    if (result == kResultOk) result = file->StreamSetDirection(kStreamWriting);
    if (result == kResultOk) result = file->FileOpenStream();
    if (result == kResultOk) result = WriteModelFile(document, file);
    file->FileObjectDestroy();
    document->Destroy();
    return result == kResultOk;
}

bool gMenuWasUp = false;

// Whether a pop-up menu is on the screen.
bool MenuShown()
{
    constexpr char kMenuClass[] = "#32768";
    HWND menu = FindWindowA(kMenuClass, nullptr);
    return menu && IsWindowVisible(menu);
}

std::vector<Pane*> PanesOf(const Window* window)
{
    std::vector<Pane*> panes;
    for (int32_t i = 0; i < window->PaneCount(); ++i) panes.push_back(window->PaneAt(i));
    return panes;
}

bool SameRect(const PortRect& a, const PortRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class FullScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        gModelPath = std::string(temp) + "qp-full-screen-" + std::to_string(GetCurrentProcessId()) + ".qpy";
        ASSERT_TRUE(InitPlayerEngine());
        ASSERT_TRUE(WriteModel(BuildShapesSample(), gModelPath));
    }

    static void TearDownTestSuite()
    {
        if (PlayerWindow) {
            DocumentFrame* player = PlayerWindow;
            player->DestroyDocumentFrame();
            player->FreeDocumentFrame();
            PlayerWindow = nullptr;
        }
        ShutdownPlayerEngine();
        DeleteFileA(gModelPath.c_str());
    }

    void SetUp() override
    {
        auto* file = new DiskFileStream;
        file->SetFileFromPath(gModelPath.c_str());
        OpenModelFile(file, kOpenGivenFile);
        DocumentFrame* front = FrontDocument();
        model_ = front == PlayerWindow ? nullptr : static_cast<ModelDocWindow*>(front);
        ASSERT_NE(model_, nullptr);
        document_ = model_->Document();
        view_ = static_cast<WalkView*>(document_->FindView(kViewWalk));
        ASSERT_NE(view_, nullptr);
        pane_ = view_->Navigation();
        ASSERT_NE(pane_, nullptr);
        menu_ = model_->WalkMenu();
        PumpMessages();
    }

    void TearDown() override
    {
        if (document_ && document_->FullScreen()) menu_->NavigateMenuCommand(kWalkFullScreen);
        if (model_) {
            EXPECT_TRUE(model_->CloseAndDeleteDocument());
        }
        PumpMessages();
    }

    Window* ViewWindow() const { return document_->WindowRecordAt(0)->RecordWindow(); }
    bool HelpBarShown() const { return model_->GetHelpBarHost()->window->IsWindowObjectVisible(); }
    bool StillOpen() const { return FrontDocument() == model_ && OpenDocumentList->ArrayCount() == 1; }

    // Posts the key to the window the keyboard would send it to and lets the loop take it.
    static void Press(HWND window, WPARAM key)
    {
        PostKey(window, key);
        PumpMessages();
    }

    ModelDocWindow* model_ = nullptr;
    PlayerDocument* document_ = nullptr;
    WalkView* view_ = nullptr;
    NavigationPane* pane_ = nullptr;
    NavigateMenuHandler* menu_ = nullptr;
    DialogWatchdog watchdog_;
};

TEST_F(FullScreenTest, ThePanesMoveIntoAPopUpOfTheScreensSizeAndBackToTheOldPlaceInOrder)
{
    Window* before = ViewWindow();
    const std::vector<Pane*> panes = PanesOf(before);
    ASSERT_EQ(panes, (std::vector<Pane*>{pane_, view_->Panel()}));
    PortRect place;
    before->GetWindowBounds(&place);
    const int32_t stripped = pane_->ContentRect().Height();
    HWND frame = model_->FrameWindow();

    menu_->NavigateMenuCommand(kWalkFullScreen);
    PumpMessages();
    Window* full = ViewWindow();
    ASSERT_NE(full, before);
    EXPECT_EQ(document_->FullScreen(), 1);
    EXPECT_EQ(pane_->FullScreenState(), 1) << "the first screen's number";
    EXPECT_EQ(full->Flags(), WindowFlags(kWindowFixedPopUp | 0x20));
    EXPECT_FALSE(full->IsMdiChild());
    EXPECT_TRUE(full->IsWindowObjectVisible());
    PortRect bounds;
    full->GetWindowBounds(&bounds);
    const int32_t width = GetSystemMetrics(SM_CXSCREEN);
    const int32_t height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(SameRect(bounds, {-1, -1, width - 1, height - 1}))
        << bounds.left << "," << bounds.top << "," << bounds.right << "," << bounds.bottom;
    // Only the navigation pane goes along, and it takes the whole window: the panel and its
    // strip stay behind.
    EXPECT_EQ(PanesOf(full), std::vector<Pane*>{pane_});
    EXPECT_EQ(pane_->Owner(), full);
    EXPECT_EQ(view_->Panel()->Owner(), nullptr);
    EXPECT_EQ(pane_->ContentRect().Width(), width);
    EXPECT_EQ(pane_->ContentRect().Height(), height);
    EXPECT_GT(height - stripped, 0);
    EXPECT_TRUE(menu_->IsMenuItemChecked(kWalkFullScreen));
    EXPECT_FALSE(HelpBarShown());
    EXPECT_FALSE(IsWindowEnabled(frame)) << "the pop-up holds the program while it is up";
    char title[64] = {};
    GetWindowTextA(full->GetWindowHandle(), title, sizeof title);
    EXPECT_STREQ(title, view_->Name());

    menu_->NavigateMenuCommand(kWalkFullScreen);
    PumpMessages();
    Window* back = ViewWindow();
    EXPECT_EQ(document_->FullScreen(), 0);
    EXPECT_EQ(pane_->FullScreenState(), 0);
    EXPECT_TRUE(back->IsMdiChild());
    EXPECT_EQ(back->Flags(), WindowFlags(0x20));
    PortRect returned;
    back->GetWindowBounds(&returned);
    EXPECT_TRUE(SameRect(returned, place)) << returned.left << "," << returned.top << " from " << place.left << ","
                                           << place.top;
    EXPECT_EQ(PanesOf(back), panes) << "every pane back, in its order";
    EXPECT_EQ(pane_->ContentRect().Height(), stripped);
    EXPECT_FALSE(menu_->IsMenuItemChecked(kWalkFullScreen));
    EXPECT_TRUE(HelpBarShown());
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_TRUE(StillOpen());
}

TEST_F(FullScreenTest, AMaximisedWindowIsRestoredForFullScreenAndMaximisedAgainAfter)
{
    Window* before = ViewWindow();
    PortRect place;
    before->GetWindowBounds(&place);
    SendMessageA(before->GetWindowHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    PumpMessages();
    ASSERT_TRUE(IsZoomed(before->GetWindowHandle()));

    menu_->NavigateMenuCommand(kWalkFullScreen);
    PumpMessages();
    ASSERT_EQ(document_->FullScreen(), 1);
    // Asking again keeps the place to come back to.
    EXPECT_EQ(document_->SetFullScreen(view_, 1), 1);
    EXPECT_EQ(PanesOf(ViewWindow()), std::vector<Pane*>{pane_});

    menu_->NavigateMenuCommand(kWalkFullScreen);
    PumpMessages();
    HWND back = ViewWindow()->GetWindowHandle();
    EXPECT_TRUE(IsZoomed(back));
    SendMessageA(back, WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpMessages();
    PortRect restored;
    ViewWindow()->GetWindowBounds(&restored);
    EXPECT_TRUE(SameRect(restored, place)) << restored.left << "," << restored.top << "," << restored.right << ","
                                           << restored.bottom;
    EXPECT_EQ(document_->SetFullScreen(view_, 0), 0);
    EXPECT_EQ(ViewWindow()->GetWindowHandle(), back) << "leaving twice makes no new window";
}

TEST_F(FullScreenTest, ClosingThePopUpLeavesFullScreenAndTheModelStaysOpen)
{
    const std::vector<Pane*> panes = PanesOf(ViewWindow());
    // WM_CLOSE itself, then the system's close command that Alt+F4 gives.
    for (UINT close : {UINT(WM_CLOSE), UINT(WM_SYSCOMMAND)}) {
        menu_->NavigateMenuCommand(kWalkFullScreen);
        PumpMessages();
        HWND full = ViewWindow()->GetWindowHandle();
        ASSERT_EQ(document_->FullScreen(), 1);
        SendMessageA(full, close, close == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);
        PumpMessages();
        EXPECT_FALSE(IsWindow(full));
        ASSERT_TRUE(StillOpen()) << close;
        EXPECT_EQ(document_->FullScreen(), 0);
        EXPECT_EQ(view_->Navigation(), pane_) << "the view keeps its pane";
        EXPECT_TRUE(ViewWindow()->IsMdiChild());
        EXPECT_EQ(PanesOf(ViewWindow()), panes);
        EXPECT_FALSE(menu_->IsMenuItemChecked(kWalkFullScreen)) << "through the Walk menu";
        EXPECT_TRUE(HelpBarShown());
        menu_->UpdateNavigateMenu();
        EXPECT_FALSE(menu_->IsMenuItemChecked(kWalkFullScreen));
    }
    // Outside full screen the view's window closes the model as before.
    SendMessageA(ViewWindow()->GetWindowHandle(), WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);
    model_ = nullptr;
    document_ = nullptr;
}

TEST_F(FullScreenTest, SpaceAndEscActOnlyWhileTheViewFillsTheScreen)
{
    HWND window = ViewWindow()->GetWindowHandle();
    EXPECT_EQ(pane_->PaneKeyDown(VK_ESCAPE, 0), 0);
    EXPECT_EQ(pane_->PaneKeyDown(VK_SPACE, 0), 0);
    Press(window, VK_SPACE);
    Press(window, VK_ESCAPE);
    EXPECT_EQ(document_->FullScreen(), 0);
    EXPECT_TRUE(StillOpen());

    menu_->NavigateMenuCommand(kWalkFullScreen);
    PumpMessages();
    HWND full = ViewWindow()->GetWindowHandle();
    EXPECT_EQ(pane_->PaneKeyDown(VK_ESCAPE, kModifierLeftButton), 0) << "not while the button is held";
    EXPECT_EQ(document_->FullScreen(), 1);

    // Space pops the Walk menu up (the key's own character chooses nothing there); Escape
    // dismisses it, nothing is done and the pane redraws.
    int32_t frames = pane_->FramesShown();
    gMenuWasUp = false;
    RunLater(200, [full] {
        gMenuWasUp = MenuShown();
        PostKey(full, VK_ESCAPE);
    });
    Press(full, VK_SPACE);
    PumpFor(300);
    EXPECT_TRUE(gMenuWasUp) << "the menu was not up when Escape came";
    EXPECT_EQ(document_->FullScreen(), 1);
    EXPECT_GT(pane_->FramesShown(), frames);
    EXPECT_TRUE(menu_->IsMenuItemChecked(kWalkFullScreen));

    // The last item chosen from the pop-up is Full Screen: the view leaves full screen.
    frames = pane_->FramesShown();
    RunLater(200, [full] {
        PostKey(full, VK_UP);
        PostKey(full, VK_RETURN);
    });
    Press(full, VK_SPACE);
    EXPECT_EQ(document_->FullScreen(), 0);
    EXPECT_GT(pane_->FramesShown(), frames);
    EXPECT_FALSE(menu_->IsMenuItemChecked(kWalkFullScreen));

    // Esc pressed on the full-screen window leaves it.
    menu_->NavigateMenuCommand(kWalkFullScreen);
    PumpMessages();
    full = ViewWindow()->GetWindowHandle();
    Press(full, VK_ESCAPE);
    EXPECT_EQ(document_->FullScreen(), 0);
    EXPECT_FALSE(IsWindow(full));
    EXPECT_TRUE(HelpBarShown());
    EXPECT_TRUE(StillOpen());
}

TEST_F(FullScreenTest, ThePanesOwnWalkMenuTogglesFullScreenWithItsCheckMark)
{
    WalkOptionsMenu* options = WalkOptionsMenu::Make(pane_, model_);
    ASSERT_NE(options, nullptr);
    options->DoMenuCommand(kOptionsFullScreen, 0);
    EXPECT_TRUE(options->IsMenuItemChecked(kOptionsFullScreen));
    EXPECT_EQ(document_->FullScreen(), 1);
    EXPECT_NE(pane_->FullScreenState(), 0);
    options->DoMenuCommand(kOptionsFullScreen, 0);
    EXPECT_FALSE(options->IsMenuItemChecked(kOptionsFullScreen));
    EXPECT_EQ(document_->FullScreen(), 0);
    EXPECT_TRUE(ViewWindow()->IsMdiChild());
    options->DeleteMenuObject();
}

}  // namespace
