// Edit fields, text items and icons: the edit control's text kept as the title through a
// 256-byte buffer, the keys the field answers, its notifications; the text drawn into the
// current port and the port's font and mode restored; shared icons never destroyed.
#include <cstring>
#include <string>

#include "draw/current_port.h"
#include "draw/fonts.h"
#include "tests/toolkit/item_fixture.h"
#include "toolkit/control_list.h"
#include "toolkit/edit_text.h"
#include "toolkit/icon_item.h"
#include "toolkit/input_events.h"
#include "toolkit/text_item.h"

namespace {

class KeyRecordingEdit : public EditText {
public:
    explicit KeyRecordingEdit(uint32_t style = kEditPlainStyle) : EditText(style) {}
    int32_t EditTextKey(int32_t character, int32_t modifiers) override
    {
        keys.push_back(character);
        return EditText::EditTextKey(character, modifiers);
    }
    std::vector<int32_t> keys;

protected:
    ~KeyRecordingEdit() override = default;
};

// 300 characters, each telling its position.
std::string LongText()
{
    std::string text;
    for (int i = 0; i < 300; ++i) text += char('a' + i % 26);
    return text;
}

using EditTextTest = ItemTest;

TEST_F(EditTextTest, TextLivesInTheControlWhileOpenAndIsCutTo255WhenReadBack)
{
    auto* edit = new KeyRecordingEdit(kEditMultilineStyle);
    edit->ItemInit();
    edit->ItemSetBounds({13, 13, 200, 63});
    edit->ItemSetStyle({0, 1, 1, 10, 3});
    const std::string text = LongText();
    edit->ItemSetTitle(text.c_str());
    RecordingPane* pane = MakePane();
    pane->PaneAddControl(edit);
    window_->AddPane(pane);

    HWND control = edit->Control();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ControlClass(control), "Edit");
    EXPECT_EQ(GetDlgCtrlID(control), kEditControlId);
    // The edit control trades WS_BORDER for a client edge.
    EXPECT_EQ(uint32_t(GetWindowLongPtrA(control, GWL_STYLE)) & kEditMultilineStyle, kEditMultilineStyle & ~WS_BORDER);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), GetFont(1, 10, kFontBold));
    EXPECT_EQ(edit->ItemTitleLength(), 300) << "the control holds the whole text";

    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    edit->ItemGetTitle(buffer);
    EXPECT_EQ(std::string(buffer), text.substr(0, 255));

    window_->RemovePane(pane);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(std::string(edit->Title()), text.substr(0, 255));

    window_->AddPane(pane);
    EXPECT_EQ(ControlText(edit->Control()), text.substr(0, 255));
    edit->ItemSetTitle("Credits");
    EXPECT_EQ(ControlText(edit->Control()), "Credits");
}

TEST_F(EditTextTest, KeysSelectionAndNotifications)
{
    std::vector<std::string> log;
    auto* edit = new KeyRecordingEdit;
    edit->ItemInit();
    edit->ItemSetBounds({10, 10, 200, 30});
    edit->ItemSetTitle("walkway");
    ProbeItem* next = ProbeItem::Make("next", &log);
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(edit);
    pane->PaneAddControl(next);
    ControlList* list = pane->Controls();
    list->ControlListAddFocusable(edit);
    list->ControlListAddFocusable(next);

    EXPECT_EQ(edit->EditTextKey('\t', kModifierAlt), 0);
    EXPECT_EQ(edit->EditTextKey('\t', 0), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"next:owner", "next:focus"}));
    EXPECT_EQ(edit->EditTextKey('\r', 0), 1);
    EXPECT_EQ(edit->EditTextKey('+', 0), 1);
    EXPECT_EQ(edit->EditTextKey('a', 0), 0);

    DWORD start = 0;
    DWORD end = 0;
    edit->SelectEditText(2, 5);
    SendMessageA(edit->Control(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 5u);
    edit->ItemTakeFocus();
    SendMessageA(edit->Control(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u) << "taking the focus selects the whole text";

    edit->keys.clear();
    EXPECT_EQ(list->ControlListCommand(edit->Control(), EN_KILLFOCUS), 1);
    EXPECT_EQ(list->ControlListCommand(edit->Control(), EN_CHANGE), 1);
    EXPECT_EQ(list->ControlListCommand(pane->PaneWindow(), EN_KILLFOCUS), 0);
    EXPECT_EQ(edit->keys, (std::vector<int32_t>{'+'})) << "losing the focus is the key '+'";

    edit->keys.clear();
    edit->ItemActivate(0);
    EXPECT_FALSE(IsWindowEnabled(edit->Control()));
    ASSERT_FALSE(edit->keys.empty());
    EXPECT_EQ(edit->keys.front(), -1) << "deactivation is the key -1 (then the lost focus, '+')";
    edit->ItemActivate(1);
    EXPECT_TRUE(IsWindowEnabled(edit->Control()));
    // The probe item logs into `log`, which ends with this test.
    window_->RemovePane(pane);
    pane->PaneDestroy();
}

// The grey the drawing tests' port starts as.
constexpr uint32_t kGrey = 0x808080;

TEST_F(EditTextTest, TextItemsDrawWrappedIntoTheirBoundsAndRestoreThePort)
{
    auto* text = new TextItem;
    text->ItemInit();
    text->ItemSetBounds({10, 2, 70, 38});
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(text);
    PixelPort port(120, 40, kGrey);
    text->ItemDraw();
    EXPECT_EQ(port.Count({0, 0, 120, 40}, kGrey), 120 * 40) << "no title, nothing drawn";

    text->ItemSetTitle("Walk Walk Walk Walk");
    text->ItemSetStyle({0, 1, 0, 12, 3});
    SetBkMode(port.dc(), TRANSPARENT);
    text->ItemDraw();
    EXPECT_GT(port.Count({10, 2, 70, 14}, 0), 0) << "the first line";
    EXPECT_GT(port.Count({10, 16, 70, 38}, 0), 0) << "wrapped to a second line";
    EXPECT_EQ(port.Count({10, 2, 70, 38}, PixelPort::kWhite), 0) << "transparent";
    EXPECT_EQ(port.Count({70, 0, 120, 40}, kGrey), 50 * 40) << "nothing outside the bounds";
    EXPECT_EQ(GetBkMode(port.dc()), OPAQUE);
    EXPECT_EQ(GetCurrentObject(port.dc(), OBJ_FONT), GetFont(7, 8, kFontBold));

    PixelPort opaque(120, 40, kGrey);
    text->ItemSetStyle({0, 1, 0, 12, 3 | kItemOpaqueText});
    text->ItemDraw();
    EXPECT_GT(opaque.Count({10, 2, 70, 14}, PixelPort::kWhite), 0) << "an opaque background";
}

TEST_F(EditTextTest, SharedIconsAreDrawnAndNeverDestroyed)
{
    auto* icon = new IconItem;
    icon->ItemInit();
    icon->ItemSetBounds({4, 4, 36, 36});
    icon->SetItemIcon(32516);
    HICON shared = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));
    EXPECT_EQ(icon->Icon(), shared);
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(icon);
    {
        PixelPort port(120, 40, kGrey);
        icon->ItemDraw();
        EXPECT_LT(port.Count({4, 4, 36, 36}, kGrey), 32 * 32);
        EXPECT_EQ(port.Count({40, 0, 120, 40}, kGrey), 80 * 40);
    }
    pane->PaneRemoveControl(icon);
    icon->ItemDelete();
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(shared, &info)) << "the shared icon still exists";
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

}  // namespace
