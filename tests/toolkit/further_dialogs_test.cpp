// The further dialogs up on the screen: their sizes, items, control ids, answers and default
// buttons, the save-changes question of the close protocol, and the text entry's copy of the
// edited text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/toolkit/toolkit_support.h"
#include "toolkit/changes_dialogs.h"
#include "toolkit/choice_dialogs.h"
#include "toolkit/confirm_dialog.h"
#include "toolkit/control_list.h"
#include "toolkit/dialog_window.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/edit_text.h"
#include "toolkit/icon_item.h"
#include "toolkit/overwrite_texture_dialog.h"
#include "toolkit/text_entry_dialog.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

// One item of the dialog that is up: buttons with their id, answer and focus; texts and edit
// fields with their text; the icon with its id.
struct Item {
    char kind;  // 'b'utton, 't'ext, 'e'dit, 'i'con
    PortRect rect;
    std::string text;
    int32_t id;
    int32_t result;
    bool focus;

    bool operator==(const Item& other) const
    {
        return kind == other.kind && rect.left == other.rect.left && rect.top == other.rect.top &&
               rect.right == other.rect.right && rect.bottom == other.rect.bottom && text == other.text &&
               id == other.id && result == other.result && focus == other.focus;
    }
};

void PrintTo(const Item& item, std::ostream* out)
{
    *out << item.kind << " (" << item.rect.left << ", " << item.rect.top << ", " << item.rect.right << ", "
         << item.rect.bottom << ") \"" << item.text << "\" id " << item.id << " = " << item.result
         << (item.focus ? " focus" : "");
}

Item Button(PortRect rect, const char* label, int32_t id, int32_t result, bool focus = false)
{
    return {'b', rect, label, id, result, focus};
}
Item Text(PortRect rect, const std::string& text) { return {'t', rect, text, 0, 0, false}; }
Item Icon() { return {'i', {11, 13, 43, 45}, "", 32515, 0, false}; }

struct Dialog {
    int32_t width = 0;
    int32_t height = 0;
    PortRect screen = {0, 0, 0, 0};
    std::string title;
    std::vector<Item> items;
    DialogWindow* pane = nullptr;
};

Dialog Inspect()
{
    Dialog dialog;
    HWND hwnd = FindDialogWindoid();
    if (!hwnd) return dialog;
    Window* window = WindowObject<Window>(hwnd);
    auto* pane = dynamic_cast<DialogWindow*>(window->PaneAt(0));
    dialog.pane = pane;
    RECT client;
    GetClientRect(hwnd, &client);
    dialog.width = client.right;
    dialog.height = client.bottom;
    window->GetWindowBounds(&dialog.screen);
    dialog.title = window->Title();
    for (int32_t i = 0; i < pane->Controls()->ArrayCount(); ++i) {
        PaneItem* item = pane->Controls()->ItemAt(i);
        if (auto* button = dynamic_cast<DismissButton*>(item)) {
            dialog.items.push_back(Button(item->Bounds(), button->ControlTitle(), button->ControlCommand(),
                                          button->DismissResult(), pane->FocusedControl() == button));
        } else if (auto* edit = dynamic_cast<EditText*>(item)) {
            char text[256];
            edit->ItemGetTitle(text);
            dialog.items.push_back({'e', item->Bounds(), text, 0, 0, false});
        } else if (auto* text = dynamic_cast<TextItem*>(item)) {
            dialog.items.push_back(Text(item->Bounds(), text->Title()));
        } else if (auto* icon = dynamic_cast<IconItem*>(item)) {
            dialog.items.push_back({'i', item->Bounds(), "", icon->IconId(), 0, false});
        }
    }
    return dialog;
}

// Clicks the dialog's button of that label.
void Click(const char* label)
{
    Dialog dialog = Inspect();
    ASSERT_NE(dialog.pane, nullptr);
    for (int32_t i = 0; i < dialog.pane->Controls()->ArrayCount(); ++i) {
        auto* button = dynamic_cast<DismissButton*>(dialog.pane->Controls()->ItemAt(i));
        if (button && std::strcmp(button->ControlTitle(), label) == 0) {
            SendMessageA(button->Control(), BM_CLICK, 0, 0);
            return;
        }
    }
    ADD_FAILURE() << "no button " << label;
}

// What the dialog that comes up next looks like, after which the button of `label` is clicked.
void InspectThenClick(Dialog* seen, const char* label)
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

using FurtherDialogTest = FrameFixture;

TEST_F(FurtherDialogTest, SaveChangesIsAsWideAsItsLineNeedsOrTakesTwoLines)
{
    ASSERT_LT(56 + WindowTextWidth("Save changes to \"room\"?"), 298);
    Dialog seen;
    InspectThenClick(&seen, "&No");
    EXPECT_EQ(AskSaveChanges("room"), kSaveChangesDiscard);
    EXPECT_EQ(seen.width, 308) << "a short text gives the narrowest dialog";
    EXPECT_EQ(seen.height, 105);
    EXPECT_EQ(seen.title, frame_->Title());
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({56, 22, 298, 42}, "Save changes to \"room\"?"),
                                             Button({22, 64, 102, 92}, "&Yes", IDYES, 1, true),
                                             Button({122, 64, 186, 92}, "&No", IDNO, 2),
                                             Button({206, 64, 270, 92}, "Cancel", IDCANCEL, 3), Icon()}));

    const std::string wide(30, 'W');
    const int32_t textWidth = WindowTextWidth("Save changes to \"" + wide + "\"?");
    ASSERT_GE(56 + textWidth, 298);
    ASSERT_LE(56 + textWidth + 10, GetSystemMetrics(SM_CXSCREEN));
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(AskSaveChanges(wide.c_str()), kSaveChangesSave);
    const int32_t width = 56 + textWidth + 10;
    const int32_t middle = width / 2;
    EXPECT_EQ(seen.width, width);
    ASSERT_EQ(seen.items.size(), 5u);
    EXPECT_EQ(seen.items[0], Text({56, 22, width - 10, 42}, "Save changes to \"" + wide + "\"?"));
    EXPECT_EQ(seen.items[1], Button({middle - 132, 64, middle - 52, 92}, "&Yes", IDYES, 1, true));
    EXPECT_EQ(seen.items[3], Button({middle + 52, 64, middle + 116, 92}, "Cancel", IDCANCEL, 3));

    const std::string huge(150, 'W');
    InspectThenClick(&seen, "Cancel");
    EXPECT_EQ(AskSaveChanges(huge.c_str()), kSaveChangesCancel);
    EXPECT_EQ(seen.width, 370);
    EXPECT_EQ(seen.height, 165);
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({56, 22, 360, 109}, "Save changes to:\n\"" + huge + "\"?"),
                                             Button({51, 124, 128, 152}, "&Yes", IDYES, 1, true),
                                             Button({159, 124, 220, 152}, "&No", IDNO, 2),
                                             Button({252, 124, 313, 152}, "Cancel", IDCANCEL, 3), Icon()}));

    // A name too long for any text is cut, never written past the text.
    const std::string endless(2000, 'n');
    InspectThenClick(&seen, "Cancel");
    EXPECT_EQ(AskSaveChanges(endless.c_str()), kSaveChangesCancel);
    ASSERT_FALSE(seen.items.empty());
    EXPECT_EQ(seen.items[0].text.size(), 511u);

    RunLater(30, [] { SendMessageA(FindDialogWindoid(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(AskSaveChanges("room"), kSaveChangesCancel) << "a close request cancels";
}

TEST_F(FurtherDialogTest, DiscardChangesKeepsTheSaveTextInItsTwoLineLayout)
{
    // At least 208 wide, wider for a line that needs it.
    const int32_t textWidth = WindowTextWidth("Discard changes to \"room\"?");
    const int32_t width = 56 + textWidth < 198 ? 208 : 56 + textWidth + 10;
    const int32_t middle = width / 2;
    Dialog seen;
    InspectThenClick(&seen, "&No");
    EXPECT_EQ(AskDiscardChanges("room"), 0);
    EXPECT_EQ(seen.width, width);
    EXPECT_EQ(seen.height, 105);
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({56, 22, width - 10, 42}, "Discard changes to \"room\"?"),
                                             Button({middle - 74, 64, middle - 10, 92}, "&Yes", IDYES, 1, true),
                                             Button({middle + 10, 64, middle + 74, 92}, "&No", IDNO, 0), Icon()}));

    const std::string huge(150, 'W');
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(AskDiscardChanges(huge.c_str()), 1);
    EXPECT_EQ(seen.width, 370);
    EXPECT_EQ(seen.height, 165);
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({56, 22, 360, 109}, "Save changes to:\n\"" + huge + "\"?"),
                                             Button({98, 124, 159, 152}, "&Yes", IDYES, 1, true),
                                             Button({191, 124, 252, 152}, "&No", IDNO, 0), Icon()}));
}

TEST_F(FurtherDialogTest, TextureOverwriteStandsAboveTheMiddleAndEscapeSkips)
{
    Dialog seen;
    RunLater(30, [&seen] {
        seen = Inspect();
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_ESCAPE);
    });
    EXPECT_EQ(AskOverwriteTexture("brick.bmp"), kSkipTexture);
    const int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(seen.screen.left, screenWidth / 2 - 220);
    EXPECT_EQ(seen.screen.bottom, screenHeight / 2 - 100);
    EXPECT_EQ(seen.width, 440);
    EXPECT_EQ(seen.height, 138);
    EXPECT_EQ(
        seen.items,
        (std::vector<Item>{
            Text({60, 20, 425, 60},
                 "There is already a texture named \"brick.bmp\" in the current directory.  Do you want to overwrite it?"),
            Button({15, 90, 85, 118}, "&Yes", IDYES, 1), Button({95, 90, 165, 118}, "Yes to &All", 11, 2, true),
            Button({175, 90, 245, 118}, "&No", IDNO, 3), Button({255, 90, 325, 118}, "No to A&ll", 10, 4),
            Button({335, 90, 425, 118}, "&Skip Texture", IDCANCEL, 5), Icon()}));
}

TEST_F(FurtherDialogTest, ConfirmCentresItsButtonsAndReturnConfirms)
{
    Dialog seen;
    RunLater(30, [&seen] {
        seen = Inspect();
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN);
    });
    EXPECT_EQ(AskConfirm("Replace the walk path?"), 1);
    EXPECT_EQ(seen.width, 394);
    EXPECT_EQ(seen.height, 105);
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({68, 13, 384, 61}, "Replace the walk path?"),
                                             Button({126, 64, 187, 92}, "OK", IDOK, 1, true),
                                             Button({207, 64, 268, 92}, "Cancel", IDCANCEL, 0), Icon()}));
}

TEST_F(FurtherDialogTest, TextEntryCopiesTheEditedTextAfterOKAndOnlyThen)
{
    char buffer[300];
    std::memset(buffer, 'Z', sizeof buffer);
    std::strcpy(buffer, "old name");
    Dialog seen;
    DWORD selection = 0;
    RunLater(30, [&] {
        seen = Inspect();
        HWND edit = GetFocus();
        selection = DWORD(SendMessageA(edit, EM_GETSEL, 0, 0));
        SetWindowTextA(edit, "new name");
        Click("OK");
    });
    EXPECT_EQ(AskText("Rename", "Name of the view:", buffer, kTextFieldWide), 1);
    EXPECT_STREQ(buffer, "new name");
    EXPECT_EQ(seen.title, "Rename");
    EXPECT_EQ(seen.width, 200);
    EXPECT_EQ(seen.height, 122);
    EXPECT_EQ(selection, DWORD(MAKELONG(0, 8))) << "the whole text is selected in the focused field";
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({11, 13, 200, 26}, "Name of the view:"),
                                             {'e', {11, 33, 189, 53}, "old name", 0, 0, false},
                                             Button({23, 81, 84, 109}, "OK", IDOK, 1, true),
                                             Button({116, 81, 177, 109}, "Cancel", IDCANCEL, 0)}));

    // The wide dialog, narrow field; Cancel leaves the buffer.
    RunLater(30, [&] {
        seen = Inspect();
        SetWindowTextA(GetFocus(), "other");
        Click("Cancel");
    });
    EXPECT_EQ(AskTextWide("Rename", "Name:", buffer, kTextFieldNarrow), 0);
    EXPECT_STREQ(buffer, "new name");
    EXPECT_EQ(seen.width, 400);
    ASSERT_EQ(seen.items.size(), 4u);
    EXPECT_EQ(seen.items[1], (Item{'e', {11, 33, 244, 53}, "new name", 0, 0, false}));
    EXPECT_EQ(seen.items[2], Button({223, 81, 284, 109}, "OK", IDOK, 1, true));
    EXPECT_EQ(seen.items[3], Button({304, 81, 365, 109}, "Cancel", IDCANCEL, 0));

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
    Dialog seen;
    InspectThenClick(&seen, "Stop");
    EXPECT_EQ(AskThree("Which?", three, 0), 3);
    // A short text counts as 400 pixels: two lines of a dialog 400 wide.
    EXPECT_EQ(seen.width, 400);
    EXPECT_EQ(seen.height, 88);
    EXPECT_EQ(seen.title, "");
    EXPECT_EQ(seen.items, (std::vector<Item>{Text({23, 13, 390, 48}, "Which?"),
                                             Button({270, 58, 390, 78}, "Walk", kDefaultControlId, 1),
                                             Button({140, 58, 260, 78}, "Fly", kDefaultControlId, 2, true),
                                             Button({10, 58, 130, 78}, "Stop", kDefaultControlId, 3)}));

    const char* const six[] = {"1", "2", "3", "4", "5", "6"};
    InspectThenClick(&seen, "5");
    EXPECT_EQ(AskSix("Which?", six, kChoiceFocusFifth), 5);
    EXPECT_EQ(seen.height, 104);
    ASSERT_EQ(seen.items.size(), 7u);
    EXPECT_EQ(seen.items[1], Button({270, 74, 390, 94}, "1", kDefaultControlId, 1));
    EXPECT_EQ(seen.items[4], Button({270, 45, 390, 65}, "4", kDefaultControlId, 4));
    EXPECT_EQ(seen.items[5], Button({140, 45, 260, 65}, "5", kDefaultControlId, 5, true));

    const char* const four[] = {"1", "2", "3", "4"};
    InspectThenClick(&seen, "1");
    EXPECT_EQ(AskFour("Which?", four, kChoiceFocusFourth), 1);
    // At least 250 pixels of text: 324 wide, two lines.
    EXPECT_EQ(seen.width, 324);
    EXPECT_EQ(seen.height, 88);
    ASSERT_EQ(seen.items.size(), 5u);
    EXPECT_EQ(seen.items[0], Text({23, 13, 311, 48}, "Which?"));
    EXPECT_EQ(seen.items[2], Button({58, 58, 178, 78}, "2", kDefaultControlId, 2));
    EXPECT_EQ(seen.items[4], Button({-208, 58, -88, 78}, "4", kDefaultControlId, 4, true));
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

TEST_F(FurtherDialogTest, ClosingAskTheQuestionAndSavesAsAnswered)
{
    auto* document = new UnsavedDocument;
    ASSERT_EQ(document->DocumentSetup(0, nullptr, 0), 1);
    Dialog seen;
    InspectThenClick(&seen, "&Yes");
    EXPECT_EQ(document->AskCloseDocument(), 1);
    ASSERT_FALSE(seen.items.empty());
    EXPECT_EQ(seen.items[0].text, "Save changes to \"" + std::string(document->Title()) + "\"?");
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
    InspectThenClick(&seen, "Cancel");
    EXPECT_EQ(document->AskCloseDocument(), 0);
    RunLater(30, [] { PostKey(DialogDefaultControl(FindDialogWindoid()), VK_ESCAPE); });
    EXPECT_EQ(document->AskCloseDocument(), 0);
    EXPECT_TRUE(document->saves.empty());

    document->DestroyDocumentFrame();
    document->FreeDocumentFrame();
}

}  // namespace
