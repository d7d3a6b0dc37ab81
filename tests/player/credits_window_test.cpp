// The credits window with real windows: its size, title, items and text (bounded by its count)
// for a picture and a text, the OK button alone without either, Return closing it, and its
// picture on the screen, centred between the margins and cut at a margin that clips it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "player/credits_window.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Numbers = std::vector<int32_t>;

// The test picture: red rises by 3 a column (each of 256 columns its own red), green by 2 a row.
COLORREF GradientAt(int32_t x, int32_t y)
{
    return RGB(uint8_t(0x30 + 3 * x), uint8_t(0x40 + 2 * y), uint8_t(0xC0 - 3 * x));
}

Q_Offscreen* GradientPicture(int32_t width, int32_t height)
{
    auto* picture = new Q_Offscreen;
    EXPECT_EQ(picture->QOffscreenInit({0, 0, width, height}, -1, nullptr), kResultOk);
    EXPECT_EQ(picture->Depth(), 32);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const COLORREF colour = GradientAt(x, y);
            uint8_t* pixel = picture->GetRowTable()[y] + 4 * x;  // blue, green, red, unused
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    return picture;
}

Numbers ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

COLORREF PanePixel(Pane* pane, int32_t x, int32_t y)
{
    HDC dc = GetDC(pane->PaneWindow());
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(pane->PaneWindow(), dc);
    return colour;
}

// Shows the credits; once the dialog is up and painted, `look` runs and Return closes it.
void ShowAndLook(Q_Offscreen* picture, DynamicArray* text, std::function<void(CreditsDialog*)> look)
{
    bool looked = false;
    RunLater(150, [&] {
        HWND windoid = FindDialogWindoid();
        ASSERT_NE(windoid, nullptr);
        auto* dialog = dynamic_cast<CreditsDialog*>(WindowObject<Window>(windoid)->PaneAt(0));
        ASSERT_NE(dialog, nullptr);
        UpdateWindow(dialog->PaneWindow());
        look(dialog);
        looked = true;
        PostKey(DialogDefaultControl(windoid), VK_RETURN);
    });
    ShowCredits(picture, text);
    EXPECT_TRUE(looked);
    EXPECT_EQ(FindDialogWindoid(), nullptr) << "Return closed the dialog";
}

using CreditsWindowTest = FrameFixture;

TEST_F(CreditsWindowTest, APictureAndATextWithoutTerminatorGiveTheLayoutsWindow)
{
    auto* picture = new Q_Offscreen;
    const RGBColor48 gold = {0xFFFF, 0xCCCC, 0};
    ASSERT_EQ(picture->QOffscreenInit({0, 0, 400, 300}, -1, &gold), kResultOk);
    DynamicArray* text = NewDynamicArray(12, 1, 16);
    std::memcpy(text->ArrayData(), "Made by Q!!!", 12);
    IgnoreResult(text->ArraySetCount(9));
    ShowAndLook(picture, text, [&](CreditsDialog* dialog) {
        char caption[32] = {};
        GetWindowTextA(dialog->Windoid()->GetWindowHandle(), caption, sizeof caption);
        EXPECT_STREQ(caption, "Credits");
        EXPECT_EQ(ClientSize(dialog->Windoid()->GetWindowHandle()), (Numbers{426, 367 + 14 + 13}));
        EXPECT_STREQ(dialog->CreditsTextItem()->Title(), "Made by Q");
        const PortRect& bounds = dialog->CreditsTextItem()->Bounds();
        EXPECT_EQ((Numbers{bounds.left, bounds.top, bounds.right, bounds.bottom}), (Numbers{13, 326, 413, 340}));
        EXPECT_EQ(dialog->OkButton()->Bounds().left, 182);
        EXPECT_EQ(dialog->OkButton()->ControlCommand(), IDOK);
        EXPECT_EQ(PanePixel(dialog, 13, 13), RGB(0xFF, 0xCC, 0));
    });
    EXPECT_EQ(text->LockCount(), 0);
    text->Destroy();
    picture->DisposeOffscreen();

    ShowAndLook(nullptr, nullptr, [](CreditsDialog* dialog) {
        EXPECT_EQ(ClientSize(dialog->Windoid()->GetWindowHandle()), (Numbers{297, 54}));
        EXPECT_EQ(dialog->CreditsTextItem()->Bounds().Height(), 0);
        EXPECT_EQ(dialog->OkButton()->Bounds().top, 13);
    });
}

TEST_F(CreditsWindowTest, ThePictureIsCentredAndCutAtAMarginThatClipsIt)
{
    Q_Offscreen* small = GradientPicture(64, 48);
    ShowAndLook(small, nullptr, [](CreditsDialog* dialog) {
        // (271 - 64) / 2 = 103 right of the left margin, 13 below the top.
        EXPECT_EQ(PanePixel(dialog, 116, 13), GradientAt(0, 0));
        EXPECT_EQ(PanePixel(dialog, 179, 60), GradientAt(63, 47));
        EXPECT_NE(PanePixel(dialog, 115, 13), GradientAt(0, 0));
        EXPECT_NE(PanePixel(dialog, 116, 12), GradientAt(0, 0));
    });
    small->DisposeOffscreen();

    Q_Offscreen* wide = GradientPicture(200, 40);
    auto* dialog = new CreditsDialog;
    ASSERT_EQ(BuildCreditsDialog(dialog, {100, 100, 250, 220}), kResultOk);
    dialog->SetCreditsPicture(wide);
    dialog->ShowDialog();
    PumpFor(100);
    UpdateWindow(dialog->PaneWindow());
    const int32_t edge = ClientSize(dialog->PaneWindow())[0] - 13;
    ASSERT_LT(edge - 13, 200) << "the window is narrower than the picture";
    EXPECT_EQ(PanePixel(dialog, 13, 13), GradientAt(0, 0));
    // The last column inside the margin is the picture's own column there: cut, not squeezed.
    EXPECT_EQ(PanePixel(dialog, edge - 1, 20), GradientAt(edge - 14, 7));
    EXPECT_NE(PanePixel(dialog, edge, 20), GradientAt(edge - 13, 7));
    dialog->CloseDialog();
    wide->DisposeOffscreen();
}

}  // namespace
