// The credits window with real windows: its size, title, items and text for a picture and a
// text (the text bounded by its count), the OK button alone without either, Return closing it,
// and its picture on the screen, centred between the margins and cut where it is clipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "player/credits_window.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/control_list.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Numbers = std::vector<int32_t>;

Numbers EdgesOf(const PortRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// The picture of the tests: red rises by 3 a column (so that every column of up to 256 has its
// own red), green by 2 a row.
COLORREF GradientAt(int32_t x, int32_t y)
{
    return RGB(uint8_t(0x30 + 3 * x), uint8_t(0x40 + 2 * y), uint8_t(0xC0 - 3 * x));
}

Q_Offscreen* GradientPicture(int32_t width, int32_t height)
{
    auto* picture = new Q_Offscreen;
    if (picture->QOffscreenInit({0, 0, width, height}, -1, nullptr) != kResultOk || picture->Depth() != 32) {
        ADD_FAILURE() << "no 32-bit picture on this screen";
        picture->DisposeOffscreen();
        return nullptr;
    }
    uint8_t** rows = picture->GetRowTable();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const COLORREF colour = GradientAt(x, y);
            uint8_t* pixel = rows[y] + 4 * x;  // blue, green, red, unused
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
            pixel[3] = 0;
        }
    }
    return picture;
}

// The characters without a terminator, `spare` more in the block beyond the count.
DynamicArray* CreditsText(const char* text, const char* spare = "")
{
    const std::string all = std::string(text) + spare;
    DynamicArray* array = NewDynamicArray(int32_t(all.size()), 1, 16);
    std::memcpy(array->ArrayData(), all.data(), all.size());
    array->ArraySetCount(int32_t(std::strlen(text)));
    return array;
}

CreditsDialog* ShownCredits()
{
    HWND dialog = FindDialogWindoid();
    Window* window = dialog ? WindowObject<Window>(dialog) : nullptr;
    return window && window->PaneCount() > 0 ? dynamic_cast<CreditsDialog*>(window->PaneAt(0)) : nullptr;
}

Numbers ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

std::string Caption(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

COLORREF PanePixel(Pane* pane, int32_t x, int32_t y)
{
    HDC dc = GetDC(pane->PaneWindow());
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(pane->PaneWindow(), dc);
    return colour;
}

class CreditsWindowTest : public FrameFixture {
protected:
    // Shows the credits; once the dialog is up and painted, `look` runs and Return closes it.
    static void ShowAndLook(Q_Offscreen* picture, DynamicArray* text, std::function<void(CreditsDialog*)> look)
    {
        bool looked = false;
        RunLater(150, [&] {
            CreditsDialog* dialog = ShownCredits();
            ASSERT_NE(dialog, nullptr);
            UpdateWindow(dialog->PaneWindow());
            look(dialog);
            looked = true;
            PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN);
        });
        ShowCredits(picture, text);
        EXPECT_TRUE(looked);
        EXPECT_EQ(FindDialogWindoid(), nullptr) << "Return closed the dialog";
    }
};

TEST_F(CreditsWindowTest, APictureAndATextGiveTheLayoutsWindow)
{
    auto* picture = new Q_Offscreen;
    const RGBColor48 gold = {0xFFFF, 0xCCCC, 0};
    ASSERT_EQ(picture->QOffscreenInit({0, 0, 400, 300}, -1, &gold), kResultOk);
    DynamicArray* text = CreditsText("Made by Q", "!!!");
    ShowAndLook(picture, text, [&](CreditsDialog* dialog) {
        HWND windoid = dialog->Windoid()->GetWindowHandle();
        EXPECT_EQ(Caption(windoid), "Credits");
        // 54 + 13 + 300, and one line of text with the margin below it.
        EXPECT_EQ(ClientSize(windoid), (Numbers{426, 367 + 14 + 13}));
        EXPECT_EQ(dialog->CreditsPicture(), picture);
        ASSERT_NE(dialog->CreditsTextItem()->Title(), nullptr);
        EXPECT_STREQ(dialog->CreditsTextItem()->Title(), "Made by Q") << "the text ends at its count";
        EXPECT_EQ(EdgesOf(dialog->CreditsTextItem()->Bounds()), (Numbers{13, 326, 413, 340}));
        ASSERT_NE(dialog->OkButton(), nullptr);
        EXPECT_EQ(EdgesOf(dialog->OkButton()->Bounds()), (Numbers{182, 353, 243, 381}));
        EXPECT_EQ(dialog->OkButton()->ControlCommand(), IDOK);
        EXPECT_STREQ(dialog->OkButton()->ControlTitle(), "OK");
        EXPECT_EQ(PanePixel(dialog, 13, 13), RGB(0xFF, 0xCC, 0));
    });
    EXPECT_EQ(text->LockCount(), 0) << "the text is unlocked again";
    EXPECT_EQ(text->ArrayCount(), 9);
    text->Destroy();
    picture->DisposeOffscreen();
}

TEST_F(CreditsWindowTest, WithoutPictureOrTextTheOkButtonStandsAlone)
{
    ShowAndLook(nullptr, nullptr, [](CreditsDialog* dialog) {
        EXPECT_EQ(ClientSize(dialog->Windoid()->GetWindowHandle()), (Numbers{297, 54}));
        EXPECT_EQ(dialog->Controls()->ArrayCount(), 2);
        EXPECT_EQ(dialog->CreditsTextItem()->Title(), nullptr);
        EXPECT_EQ(dialog->CreditsTextItem()->Bounds().Height(), 0);
        EXPECT_EQ(EdgesOf(dialog->OkButton()->Bounds()), (Numbers{118, 13, 179, 41}));
    });
}

TEST_F(CreditsWindowTest, AnEmptyTextTakesOneLine)
{
    DynamicArray* text = CreditsText("", "spare");
    ShowAndLook(nullptr, text, [](CreditsDialog* dialog) {
        EXPECT_EQ(ClientSize(dialog->Windoid()->GetWindowHandle()), (Numbers{297, 54 + 14 + 13}));
        EXPECT_EQ(dialog->CreditsTextItem()->Title(), nullptr);
        EXPECT_EQ(EdgesOf(dialog->CreditsTextItem()->Bounds()), (Numbers{13, 13, 284, 27}));
    });
    text->Destroy();
}

TEST_F(CreditsWindowTest, ThePictureIsDrawnCentredBelowTheTopMargin)
{
    Q_Offscreen* picture = GradientPicture(64, 48);
    ASSERT_NE(picture, nullptr);
    ShowAndLook(picture, nullptr, [](CreditsDialog* dialog) {
        EXPECT_EQ(ClientSize(dialog->Windoid()->GetWindowHandle()), (Numbers{297, 54 + 13 + 48}));
        // (271 - 64) / 2 = 103 right of the left margin.
        EXPECT_EQ(PanePixel(dialog, 116, 13), GradientAt(0, 0));
        EXPECT_EQ(PanePixel(dialog, 150, 30), GradientAt(34, 17));
        EXPECT_EQ(PanePixel(dialog, 179, 60), GradientAt(63, 47));
        EXPECT_NE(PanePixel(dialog, 115, 13), GradientAt(0, 0));
        EXPECT_NE(PanePixel(dialog, 116, 12), GradientAt(0, 0));
        EXPECT_NE(PanePixel(dialog, 180, 60), GradientAt(63, 47));
    });
    picture->DisposeOffscreen();
}

TEST_F(CreditsWindowTest, APictureWiderThanTheWindowIsCutAtTheMargin)
{
    Q_Offscreen* picture = GradientPicture(200, 40);
    ASSERT_NE(picture, nullptr);
    auto* dialog = new CreditsDialog;
    ASSERT_EQ(BuildCreditsDialog(dialog, {100, 100, 250, 220}), kResultOk);
    dialog->SetCreditsPicture(picture);
    dialog->ShowDialog();
    PumpFor(100);
    UpdateWindow(dialog->PaneWindow());
    RECT client;
    GetClientRect(dialog->PaneWindow(), &client);
    const int32_t right = client.right - 13;  // the clip edge
    ASSERT_LT(right - 13, 200) << "the window is narrower than the picture";
    EXPECT_EQ(PanePixel(dialog, 13, 13), GradientAt(0, 0));
    // The column at the clip edge is the picture's own column there: cut, not squeezed.
    EXPECT_EQ(PanePixel(dialog, right - 1, 20), GradientAt(right - 1 - 13, 7));
    EXPECT_NE(PanePixel(dialog, right, 20), GradientAt(right - 13, 7));
    dialog->CloseDialog();
    picture->DisposeOffscreen();
}

}  // namespace
