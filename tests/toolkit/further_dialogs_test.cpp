// The further dialogs up on the screen: their sizes, items, control ids, answers and default
// buttons, the save-changes question of the close protocol, and the text entry's copy of the
// edited text.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

#include "tests/toolkit/toolkit_support.h"
#include "toolkit/changes_dialogs.h"
#include "toolkit/choice_dialogs.h"
#include "toolkit/confirm_dialog.h"
#include "toolkit/control_list.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_window.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/edit_text.h"
#include "toolkit/icon_item.h"
#include "toolkit/overwrite_texture_dialog.h"
#include "toolkit/text_entry_dialog.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Lines = std::vector<std::string>;

std::string Format(const char* format, ...)
{
    char text[600];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

DialogWindow* DialogUp()
{
    HWND hwnd = FindDialogWindoid();
    return hwnd ? dynamic_cast<DialogWindow*>(WindowObject<Window>(hwnd)->PaneAt(0)) : nullptr;
}

// The dialog that is up: "width x height title", then one line per item: "b place label
// id=answer" (with * for the default button), "t place text", "e place text", "i place id".
Lines Inspect()
{
    DialogWindow* dialog = DialogUp();
    if (!dialog) return {};
    RECT client;
    GetClientRect(FindDialogWindoid(), &client);
    Lines lines = {Format("%ldx%ld %s", client.right, client.bottom, dialog->DialogTitle())};
    for (int32_t i = 0; i < dialog->Controls()->ArrayCount(); ++i) {
        PaneItem* item = dialog->Controls()->ItemAt(i);
        const PortRect& r = item->Bounds();
        const std::string place = Format("%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
        if (auto* button = dynamic_cast<DismissButton*>(item)) {
            lines.push_back(Format("b %s %s %d=%d%s", place.c_str(), button->ControlTitle(), button->ControlCommand(),
                                   button->DismissResult(), dialog->FocusedControl() == button ? "*" : ""));
        } else if (auto* edit = dynamic_cast<EditText*>(item)) {
            char text[256];
            edit->ItemGetTitle(text);
            lines.push_back(Format("e %s %s", place.c_str(), text));
        } else if (auto* text = dynamic_cast<TextItem*>(item)) {
            lines.push_back(Format("t %s %s", place.c_str(), text->Title()));
        } else if (auto* icon = dynamic_cast<IconItem*>(item)) {
            lines.push_back(Format("i %s %d", place.c_str(), icon->IconId()));
        }
    }
    return lines;
}

void Click(const char* label)
{
    DialogWindow* dialog = DialogUp();
    ASSERT_NE(dialog, nullptr);
    for (int32_t i = 0; i < dialog->Controls()->ArrayCount(); ++i) {
        auto* button = dynamic_cast<DismissButton*>(dialog->Controls()->ItemAt(i));
        if (button && std::strcmp(button->ControlTitle(), label) == 0) {
            SendMessageA(button->Control(), BM_CLICK, 0, 0);
            return;
        }
    }
    ADD_FAILURE() << "no button " << label;
}

// Looks at the dialog that comes up next, then clicks its button of `label`.
void InspectThenClick(Lines* seen, const char* label)
{
    RunLater(30, [seen, label] {
        *seen = Inspect();
        Click(label);
    });
}

int32_t WindowTextWidth(const std::string& text)
{
    HDC dc = GetDC(nullptr);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

constexpr char kIcon[] = "i 11,13,43,45 32515";

using FurtherDialogTest = FrameFixture;

TEST_F(FurtherDialogTest, TheChangesQuestionsAreAsWideAsTheirLineOrTakeTwoLines)
{
    ASSERT_LT(56 + WindowTextWidth("Save changes to \"room\"?"), 298);
    Lines seen;
    InspectThenClick(&seen, "&No");
    EXPECT_EQ(AskSaveChanges("room"), kSaveChangesDiscard);
    EXPECT_EQ(seen, (Lines{"308x105 " + std::string(frame_->Title()), "t 56,22,298,42 Save changes to \"room\"?",
                           "b 22,64,102,92 &Yes 6=1*", "b 122,64,186,92 &No 7=2", "b 206,64,270,92 Cancel 2=3", kIcon}));

    const std::string wide(30, 'W');
    const int32_t width = 56 + WindowTextWidth("Save changes to \"" + wide + "\"?") + 10;
    ASSERT_GT(width, 308);
    ASSERT_LE(width, GetSystemMetrics(SM_CXSCREEN));
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(AskSaveChanges(wide.c_str()), kSaveChangesSave);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0].substr(0, seen[0].find(' ')), Format("%dx105", width));
    EXPECT_EQ(seen[4], Format("b %d,64,%d,92 Cancel 2=3", width / 2 + 52, width / 2 + 116));

    const std::string huge(150, 'W');
    InspectThenClick(&seen, "Cancel");
    EXPECT_EQ(AskSaveChanges(huge.c_str()), kSaveChangesCancel);
    EXPECT_EQ(seen, (Lines{"370x165 " + std::string(frame_->Title()),
                           "t 56,22,360,109 Save changes to:\n\"" + huge + "\"?", "b 51,124,128,152 &Yes 6=1*",
                           "b 159,124,220,152 &No 7=2", "b 252,124,313,152 Cancel 2=3", kIcon}));
    // The discard question's two-line layout keeps the text its record holds.
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(AskDiscardChanges(huge.c_str()), 1);
    EXPECT_EQ(seen, (Lines{"370x165 " + std::string(frame_->Title()),
                           "t 56,22,360,109 Save changes to:\n\"" + huge + "\"?", "b 98,124,159,152 &Yes 6=1*",
                           "b 191,124,252,152 &No 7=0", kIcon}));

    // A name too long for any text is cut, never written past the text.
    InspectThenClick(&seen, "&No");
    EXPECT_EQ(AskDiscardChanges(std::string(2000, 'n').c_str()), 0);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[1].size(), std::string("t 56,22,360,109 ").size() + 511);
    RunLater(30, [] { SendMessageA(FindDialogWindoid(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(AskSaveChanges("room"), kSaveChangesCancel) << "a close request cancels";
}

TEST_F(FurtherDialogTest, FixedDialogsStandWhereTheirRecordsSayAndAnswerTheirKeys)
{
    Lines seen;
    PortRect screen = {};
    RunLater(30, [&] {
        seen = Inspect();
        WindowObject<Window>(FindDialogWindoid())->GetWindowBounds(&screen);
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_ESCAPE);
    });
    EXPECT_EQ(AskOverwriteTexture("brick.bmp"), kSkipTexture);
    EXPECT_EQ(screen.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 220);
    EXPECT_EQ(screen.bottom, GetSystemMetrics(SM_CYSCREEN) / 2 - 100) << "100 pixels above the middle";
    EXPECT_EQ(seen, (Lines{"440x138 " + std::string(frame_->Title()),
                           "t 60,20,425,60 There is already a texture named \"brick.bmp\" in the current directory.  "
                           "Do you want to overwrite it?",
                           "b 15,90,85,118 &Yes 6=1", "b 95,90,165,118 Yes to &All 11=2*", "b 175,90,245,118 &No 7=3",
                           "b 255,90,325,118 No to A&ll 10=4", "b 335,90,425,118 &Skip Texture 2=5", kIcon}));

    RunLater(30, [&] {
        seen = Inspect();
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN);
    });
    EXPECT_EQ(AskConfirm("Replace the walk path?"), 1);
    EXPECT_EQ(seen, (Lines{"394x105 " + std::string(frame_->Title()), "t 68,13,384,61 Replace the walk path?",
                           "b 126,64,187,92 OK 1=1*", "b 207,64,268,92 Cancel 2=0", kIcon}));
}

TEST_F(FurtherDialogTest, TextEntryCopiesTheEditedTextAfterOKAndOnlyThen)
{
    char buffer[300];
    std::memset(buffer, 'Z', sizeof buffer);
    std::strcpy(buffer, "old name");
    Lines seen;
    DWORD selection = 0;
    RunLater(30, [&] {
        seen = Inspect();
        selection = DWORD(SendMessageA(GetFocus(), EM_GETSEL, 0, 0));
        SetWindowTextA(GetFocus(), "new name");
        Click("OK");
    });
    EXPECT_EQ(AskText("Rename", "Name of the view:", buffer, kTextFieldWide), 1);
    EXPECT_STREQ(buffer, "new name");
    EXPECT_EQ(selection, DWORD(MAKELONG(0, 8))) << "the whole text is selected in the focused field";
    EXPECT_EQ(seen, (Lines{"200x122 Rename", "t 11,13,200,26 Name of the view:", "e 11,33,189,53 old name",
                           "b 23,81,84,109 OK 1=1*", "b 116,81,177,109 Cancel 2=0"}));

    RunLater(30, [&] {
        seen = Inspect();
        SetWindowTextA(GetFocus(), "other");
        Click("Cancel");
    });
    EXPECT_EQ(AskTextWide("Rename", "Name:", buffer, kTextFieldNarrow), 0);
    EXPECT_STREQ(buffer, "new name") << "Cancel leaves the buffer";
    EXPECT_EQ(seen, (Lines{"400x122 Rename", "t 11,13,200,26 Name:", "e 11,33,244,53 new name",
                           "b 223,81,284,109 OK 1=1*", "b 304,81,365,109 Cancel 2=0"}));

    // A longer text fills the 256 bytes and not one more.
    RunLater(30, [] {
        SetWindowTextA(GetFocus(), std::string(300, 'x').c_str());
        Click("OK");
    });
    EXPECT_EQ(AskText("Rename", "Name:", buffer, kTextFieldWide), 1);
    EXPECT_EQ(std::string(buffer), std::string(255, 'x'));
    EXPECT_EQ(std::string(buffer + 256, sizeof buffer - 256), std::string(sizeof buffer - 256, 'Z'));
}

TEST_F(FurtherDialogTest, ChoicesStandRightAlignedInRowsAndAnswerTheirPlace)
{
    const char* const three[] = {"Walk", "Fly", "Stop"};
    Lines seen;
    InspectThenClick(&seen, "Stop");
    EXPECT_EQ(AskThree("Which?", three, 0), 3);
    // A short text counts as 400 pixels: two lines of a dialog 400 wide, without title or icon.
    EXPECT_EQ(seen, (Lines{"400x88 ", "t 23,13,390,48 Which?", "b 270,58,390,78 Walk 5011=1",
                           "b 140,58,260,78 Fly 5011=2*", "b 10,58,130,78 Stop 5011=3"}));

    const char* const six[] = {"1", "2", "3", "4", "5", "6"};
    InspectThenClick(&seen, "5");
    EXPECT_EQ(AskSix("Which?", six, kChoiceFocusFifth), 5);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0], "400x104 ");
    EXPECT_EQ(seen[2], "b 270,74,390,94 1 5011=1");
    EXPECT_EQ(seen[5], "b 270,45,390,65 4 5011=4") << "a second row above the first";
    EXPECT_EQ(seen[6], "b 140,45,260,65 5 5011=5*");

    const char* const four[] = {"1", "2", "3", "4"};
    InspectThenClick(&seen, "2");
    EXPECT_EQ(AskFour("Which?", four, kChoiceFocusFourth), 2);
    // At least 250 pixels of text: 324 wide, the buttons 13 apart.
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[3], "b 58,58,178,78 2 5011=2");
    EXPECT_EQ(seen[5], "b -208,58,-88,78 4 5011=4*");

    // The lines are counted for the widened width: 298 pixels a line in a dialog 400 wide, so
    // a text a little short of 596 pixels takes three lines once widened, not two.
    std::string text;
    while (DialogTextWidth(text.c_str()) <= 596 - 24) text += "x";
    ASSERT_LE(DialogTextWidth(text.c_str()), 596);
    InspectThenClick(&seen, "Walk");
    EXPECT_EQ(AskThree(text.c_str(), three, 0), 1);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], "400x104 ");
    EXPECT_EQ(seen[1], "t 23,13,390,64 " + text);
    InspectThenClick(&seen, "1");
    EXPECT_EQ(AskFour(text.c_str(), four, 0), 1);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0], "400x104 ") << "widened by 74";
}

// A document with unsaved changes whose saving answers as the test says.
class UnsavedDocument : public DocumentFrame {
public:
    int32_t DocumentNeedsSaving() override { return 1; }
    int32_t SaveDocument(int32_t how) override
    {
        saves.push_back(how);
        return saveResult;
    }

    std::vector<int32_t> saves;
    int32_t saveResult = 1;
};

TEST_F(FurtherDialogTest, ClosingAsksTheQuestionAndSavesAsAnswered)
{
    auto* document = new UnsavedDocument;
    ASSERT_EQ(document->DocumentSetup(0, nullptr, 0), 1);
    Lines seen;
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(document->AskCloseDocument(), 1);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[1].substr(seen[1].find(' ', 2) + 1), "Save changes to \"" + std::string(document->Title()) + "\"?");
    EXPECT_EQ(document->saves, std::vector<int32_t>{kSaveAsNew}) << "an untitled document asks for a name";

    document->SetDocumentTitle("room.qpy");
    document->saves.clear();
    document->saveResult = 0;
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(document->AskCloseDocument(), 0) << "a failed save keeps the document";
    EXPECT_EQ(document->saves, std::vector<int32_t>{kSaveInPlace});

    document->saves.clear();
    InspectThenClick(&seen, "&No");
    EXPECT_EQ(document->AskCloseDocument(), 1);
    RunLater(30, [] { PostKey(DialogDefaultControl(FindDialogWindoid()), VK_ESCAPE); });
    EXPECT_EQ(document->AskCloseDocument(), 0);
    EXPECT_TRUE(document->saves.empty());

    document->DestroyDocumentFrame();
    document->FreeDocumentFrame();
}

TEST_F(FurtherDialogTest, TheCloseQuestionsVariantsSaveInTheirOwnWayWhateverTheTitle)
{
    auto* document = new UnsavedDocument;
    ASSERT_EQ(document->DocumentSetup(0, nullptr, 0), 1);
    Lines seen;
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(document->AskCloseSavingInPlace(), 1);
    EXPECT_EQ(seen.size(), 6u) << "the save-changes question";
    EXPECT_EQ(document->saves, std::vector<int32_t>{kSaveInPlace}) << "untitled";

    document->SetDocumentTitle("room.qpy");
    document->saves.clear();
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(document->AskCloseSavingAsNew(), 1);
    EXPECT_EQ(document->saves, std::vector<int32_t>{kSaveAsNew}) << "titled";

    document->DestroyDocumentFrame();
    document->FreeDocumentFrame();
}

}  // namespace
