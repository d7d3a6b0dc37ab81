// The alert and the question under real input: what Return, Escape and WM_CLOSE answer, what is
// disabled while they are up, an alert over another modal dialog, and a quit during a question.
#include <gtest/gtest.h>

#include "tests/toolkit/toolkit_support.h"
#include "foundation/ui_services.h"
#include "toolkit/alert.h"
#include "toolkit/document_frame.h"
#include "toolkit/control_list.h"
#include "toolkit/message_loop.h"
#include "toolkit/pane.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

constexpr char kQuestion[] = "Opening another file will close \"room.\" Would you like to continue?";

class DialogTest : public FrameFixture {
protected:
    // Presses a key in the dialog that is up, through the keyboard's path to its focused control.
    void PressKeyLater(WPARAM key, DWORD delay = 30)
    {
        RunLater(delay, [this, key] {
            HWND dialog = FindDialogWindoid();
            ASSERT_NE(dialog, nullptr);
            frameEnabledWhileUp_ = IsWindowEnabled(frame_->FrameWindow());
            PostKey(DialogDefaultControl(FindDialogWindoid()), key);
        });
    }

    int frameEnabledWhileUp_ = -1;
};

TEST_F(DialogTest, QuestionAnswersReturnAndEscapeAsTheOpenCommandNeedsThem)
{
    PressKeyLater(VK_RETURN);
    EXPECT_EQ(AskQuestion(kQuestion, "OK", "Cancel", kQuestionFocusFirst), 0) << "Return presses OK";
    EXPECT_EQ(frameEnabledWhileUp_, 0);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));

    PressKeyLater(VK_ESCAPE);
    EXPECT_EQ(AskQuestion(kQuestion, "OK", "Cancel", kQuestionFocusFirst), 1) << "Escape presses Cancel";
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
    EXPECT_EQ(FindDialogWindoid(), nullptr);
}

TEST_F(DialogTest, QuestionFlagsChooseTheFocusAndTheButtonThatAnswersOne)
{
    // Flags 0: the second label's (left) button has the focus and answers 1.
    PressKeyLater(VK_RETURN);
    EXPECT_EQ(AskQuestion("Go on?", "&Yes", "&No", 0), 1);
    // Flags 3: the first label's (right) button has the focus and answers 1.
    PressKeyLater(VK_RETURN);
    EXPECT_EQ(AskQuestion("Go on?", "&Yes", "&No", kQuestionFocusFirst | kQuestionFirstAnswersOne), 1);
    // Flags 2: the left button has the focus and answers 0.
    PressKeyLater(VK_RETURN);
    EXPECT_EQ(AskQuestion("Go on?", "&Yes", "&No", kQuestionFirstAnswersOne), 0);
}

TEST_F(DialogTest, CloseOnADialogCountsAsCancelAndNeverDestroysItUnderItsRun)
{
    RunLater(30, [] { SendMessageA(FindDialogWindoid(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(AskQuestion(kQuestion, "OK", "Cancel", kQuestionFocusFirst), 1);
    EXPECT_EQ(FindDialogWindoid(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
}

TEST_F(DialogTest, QuitDuringAQuestionAnswersCancelAndStillQuits)
{
    RunLater(30, [] { PostQuitMessage(0); });
    EXPECT_EQ(AskQuestion(kQuestion, "OK", "Cancel", kQuestionFocusFirst), 1) << "never the value of OK";
    EXPECT_EQ(TakeQuit(), 0);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
}

TEST_F(DialogTest, AlertAnswersOneForOK)
{
    PressKeyLater(VK_RETURN);
    EXPECT_EQ(ShowAlertDialog("Cannot load bitmap gradient.bmp"), 1);
    EXPECT_EQ(frameEnabledWhileUp_, 0);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
}

TEST_F(DialogTest, AnAlertOverAModalDialogLeavesTheFrameDisabledUntilTheOuterCloses)
{
    int alertAnswer = -1;
    int frameEnabledAfterAlert = -1;
    int outerEnabledAfterAlert = -1;
    bool focusBack = false;
    RunLater(30, [&] {
        HWND outer = FindDialogWindoid();
        RunLater(30, [] { PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN); });
        alertAnswer = ShowAlertDialog("Error in loading file \"room.\"");
        frameEnabledAfterAlert = IsWindowEnabled(frame_->FrameWindow());
        outerEnabledAfterAlert = IsWindowEnabled(outer);
        // The focus came back to the outer dialog's default control, so its keys work again.
        focusBack = GetFocus() == DialogDefaultControl(outer);
        RunLater(30, [] { PostKey(DialogDefaultControl(FindDialogWindoid()), VK_ESCAPE); });
    });
    EXPECT_EQ(AskQuestion(kQuestion, "OK", "Cancel", kQuestionFocusFirst), 1);
    EXPECT_EQ(alertAnswer, 1);
    EXPECT_EQ(frameEnabledAfterAlert, 0);
    EXPECT_EQ(outerEnabledAfterAlert, 1);
    EXPECT_TRUE(focusBack);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
}

TEST_F(DialogTest, ErrorAlertShowsTheCodeInAnAlertOfTheNarrowestSize)
{
    std::string caption;
    std::string text;
    RECT client = {};
    RunLater(30, [&] {
        HWND dialog = FindDialogWindoid();
        char title[256] = {};
        GetWindowTextA(dialog, title, sizeof title);
        caption = title;
        GetClientRect(dialog, &client);
        Pane* pane = WindowObject<Window>(dialog)->PaneAt(0);
        for (int32_t i = 0; i < pane->Controls()->ArrayCount(); ++i) {
            if (auto* item = dynamic_cast<TextItem*>(pane->Controls()->ItemAt(i))) text = item->Title();
        }
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN);
    });
    EXPECT_EQ(ErrorAlert(-108), 1);
    EXPECT_EQ(text, "Error #-108");
    EXPECT_EQ(caption, frame_->Title());
    // A short message is measured as 250 pixels: 319 wide, two lines, 127 high.
    EXPECT_EQ(client.right, 319);
    EXPECT_EQ(client.bottom, 127);
}

// Before any frame exists the alert is a system message box, and the lower layers' alert goes
// there through the toolkit's services.
TEST(AlertWithoutFrame, GoesToASystemMessageBox)
{
    ASSERT_EQ(GetCurrentFrame(), nullptr);
    DialogWatchdog watchdog;
    std::string shown;
    RunLater(30, [&] {
        HWND box = FindWindowA("#32770", nullptr);
        ASSERT_NE(box, nullptr);
        EnumChildWindows(
            box,
            [](HWND child, LPARAM found) {
                char text[256] = {};
                GetWindowTextA(child, text, sizeof text);
                if (std::string(text).find("QPLAYX") != std::string::npos) *reinterpret_cast<std::string*>(found) = text;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ShowAlert("Sorry, the font file, QPLAYX.FON, was not found.");
    EXPECT_EQ(shown, "Sorry, the font file, QPLAYX.FON, was not found.");
    EXPECT_EQ(FindDialogWindoid(), nullptr) << "no windoid of the toolkit was made";
}

}  // namespace
