// EditText: the "EDIT" control made while the field has an open owner pane, its text read back
// into the title when the control goes, and the keys that the field answers.
#include "toolkit/edit_text.h"

#include "draw/fonts.h"
#include "toolkit/app_globals.h"
#include "toolkit/control_list.h"
#include "toolkit/input_events.h"
#include "toolkit/pane.h"

namespace {

// An edit field's text is read through a buffer of this size: at most 255 characters.
constexpr int kEditTextBufferSize = 256;
// EM_SETSEL's end that selects the whole text.
constexpr int32_t kSelectToEnd = 32767;
// The character that EditTextKey gets when the field loses the focus, and when it is deactivated.
constexpr int32_t kLostFocusKey = '+';
constexpr int32_t kDeactivatedKey = -1;
constexpr int32_t kTabKey = 9;
constexpr int32_t kReturnKey = 13;

}  // namespace

void EditText::ItemInit()
{
    TextItem::ItemInit();
    control_ = nullptr;
    word_ = 1;
}

void EditText::ItemDelete()
{
    if (control_) DestroyWindow(control_);
    control_ = nullptr;
    TextItem::ItemDelete();
}

void EditText::ItemSetOwner(Pane* pane)
{
    owner_ = pane;
    if (!title_) StoreTitle("");
    if (control_ || !pane || !pane->PaneWindow()) return;
    control_ = CreateWindowExA(WS_EX_NOPARENTNOTIFY, "EDIT", title_ ? title_ : "", controlStyle_,
                               bounds_.left, bounds_.top, bounds_.Width(), bounds_.Height(),
                               pane->PaneWindow(), reinterpret_cast<HMENU>(INT_PTR(kEditControlId)),
                               AppInstance(), nullptr);
    if (!control_) return;
    SendMessageA(control_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetFont(FontNumber(style_.fontNumber), style_.fontSize,
                                                  style_.fontStyle)),
                 TRUE);
    UseTextFont(FontNumber(kDefaultItemStyle.fontNumber), kDefaultItemStyle.fontSize,
                kDefaultItemStyle.fontStyle);
}

void EditText::ItemClearOwner()
{
    owner_ = nullptr;
    if (!control_) return;
    char text[kEditTextBufferSize] = {};
    GetWindowTextA(control_, text, kEditTextBufferSize);
    DestroyWindow(control_);
    control_ = nullptr;
    StoreTitle(text);
}

void EditText::ItemDraw()
{
    if (control_) RedrawWindow(control_, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
}

void EditText::ItemRefresh()
{
    if (!owner_) return;
    owner_->BeginPaneDrawing();
    owner_->EndPaneDrawing();
}

void EditText::ItemSetBounds(const PortRect& rect)
{
    bounds_ = rect;
    if (control_) MoveWindow(control_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void EditText::ItemTakeFocus()
{
    if (!control_) return;
    if (owner_) owner_->BeginPaneDrawing();
    SendMessageA(control_, EM_SETSEL, 0, kSelectToEnd);
    SetFocus(control_);
    if (owner_) owner_->EndPaneDrawing();
}

void EditText::ItemActivate(int32_t flag)
{
    if (!control_) return;
    if (flag == 0) {
        EditTextKey(kDeactivatedKey, 0);
        DestroyCaret();
        EnableWindow(control_, FALSE);
    } else {
        EnableWindow(control_, TRUE);
        CreateCaret(control_, nullptr, 0, 0);
    }
}

int32_t EditText::ItemCommand(HWND control, int32_t code)
{
    if (!control_ || control != control_) return 0;
    if (code == EN_KILLFOCUS) EditTextKey(kLostFocusKey, 0);
    return 1;
}

void EditText::ItemFocusWindow()
{
    if (control_) SetFocus(control_);
}

void EditText::ItemSetTitle(const char* text)
{
    StoreTitle(text);
    if (control_) SetWindowTextA(control_, title_ ? title_ : "");
}

void EditText::ItemGetTitle(char* text)
{
    if (control_) {
        char current[kEditTextBufferSize] = {};
        GetWindowTextA(control_, current, kEditTextBufferSize);
        StoreTitle(current);
    }
    TextItem::ItemGetTitle(text);
}

int32_t EditText::ItemTitleLength()
{
    return control_ ? int32_t(GetWindowTextLengthA(control_)) : TextItem::ItemTitleLength();
}

int32_t EditText::EditTextKey(int32_t character, int32_t modifiers)
{
    if (modifiers & kModifierAlt) return 0;
    switch (character) {
    case kTabKey:
        if (owner_ && owner_->Controls()) owner_->Controls()->ControlListFocusNext(this);
        return 1;
    case kReturnKey:
    case kLostFocusKey:
        return 1;
    default:
        return 0;
    }
}

void EditText::SelectEditText(int32_t start, int32_t end)
{
    if (!control_) return;
    SendMessageA(control_, EM_SETSEL, WPARAM(start), LPARAM(end));
    SetFocus(control_);
}
