// PushButton and FocusPushButton: the "BUTTON" control made while the button has an open owner
// pane, its title, check state and group, and the ids of the dialog button labels.
#include "toolkit/push_button.h"

#include <cstdlib>
#include <cstring>

#include "draw/fonts.h"
#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "toolkit/app_globals.h"
#include "toolkit/pane.h"

namespace {

// Copies the text into a block of its own (null for none, or when no block can be had).
char* CopyTitle(const char* text)
{
    if (!text) return nullptr;
    const size_t length = std::strlen(text);
    auto* block = static_cast<char*>(std::calloc(length + 1, 1));
    if (block) std::memcpy(block, text, length);
    return block;
}

struct LabelId {
    const char* label;
    int32_t id;
};

constexpr LabelId kLabelIds[] = {{"OK", IDOK}, {"Cancel", IDCANCEL}, {"&Yes", IDYES}, {"&No", IDNO}};

}  // namespace

int32_t ButtonResultId(const char* label)
{
    if (label) {
        for (const LabelId& entry : kLabelIds)
            if (std::strcmp(label, entry.label) == 0) return entry.id;
    }
    return kDefaultControlId;
}

PushButton::~PushButton()
{
    std::free(title_);
}

void PushButton::ItemInit()
{
    PaneItem::ItemInit();
    control_ = nullptr;
    commandId_ = kDefaultControlId;
    std::free(title_);
    title_ = nullptr;
    rangeMinimum_ = 0;
    rangeMaximum_ = 1;
    state_ = 0;
    group_ = nullptr;
}

void PushButton::ItemDelete()
{
    SetButtonGroup(nullptr);
    if (control_) DestroyWindow(control_);
    control_ = nullptr;
    PaneItem::ItemDelete();
}

void PushButton::ItemSetOwner(Pane* pane)
{
    owner_ = pane;
    if (!title_) title_ = CopyTitle("");
    if (control_ || !pane || !pane->PaneWindow()) return;
    control_ = CreateWindowExA(WS_EX_NOPARENTNOTIFY, ItemClassName(), title_ ? title_ : "",
                               ItemWindowStyle() | WS_CHILD | WS_VISIBLE, bounds_.left, bounds_.top,
                               bounds_.Width(), bounds_.Height(), pane->PaneWindow(),
                               reinterpret_cast<HMENU>(INT_PTR(commandId_)), AppInstance(), nullptr);
    if (!control_) return;
    ItemSetStyle(style_);
    // A fresh control shows the state the button kept while it had none.
    ButtonSetState(state_);
}

void PushButton::ItemClearOwner()
{
    owner_ = nullptr;
    if (!control_) return;
    DestroyWindow(control_);
    control_ = nullptr;
}

void PushButton::ItemDraw()
{
    if (control_) RedrawWindow(control_, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
}

void PushButton::ItemSetBounds(const PortRect& rect)
{
    if (rect.left == bounds_.left && rect.top == bounds_.top && rect.right == bounds_.right &&
        rect.bottom == bounds_.bottom)
        return;
    bounds_ = rect;
    if (control_ && owner_) MoveWindow(control_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void PushButton::ItemActivate(int32_t flag)
{
    if (control_) EnableWindow(control_, flag != 0);
}

void PushButton::ItemSetStyle(const ItemStyle& style)
{
    style_ = style;
    if (!control_) return;
    HFONT font = GetFont(FontNumber(style.fontNumber), style.fontSize, style.fontStyle);
    SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

uint32_t PushButton::ItemWindowStyle()
{
    if (group_ && group_->ArrayCount() > 0 && PointerAt<PushButton>(group_, 0) != this) return 0;
    return WS_GROUP;
}

int32_t PushButton::ItemCommand(HWND control, int32_t code)
{
    if (!control_ || control != control_) return 0;
    if (code == BN_CLICKED) ButtonPress();
    return 1;
}

void PushButton::ItemFocusWindow()
{
    if (control_) SetFocus(control_);
}

void PushButton::ButtonSetState(int32_t value)
{
    state_ = value;
    if (control_) SendMessageA(control_, BM_SETCHECK, WPARAM(value), 0);
}

int32_t PushButton::ButtonGetState()
{
    if (control_) state_ = int32_t(SendMessageA(control_, BM_GETCHECK, 0, 0));
    return state_;
}

void PushButton::SetControlTitle(const char* text)
{
    std::free(title_);
    title_ = CopyTitle(text);
    if (control_) SetWindowTextA(control_, title_ ? title_ : "");
}

void PushButton::SetButtonGroup(DynamicArray* group)
{
    if (group == group_) return;
    // A group holds button pointers; a list of any other element size is not joined.
    if (group && group->ElementSize() != int32_t(sizeof(PushButton*))) group = nullptr;
    if (group_) {
        RemovePointer(group_, this);
        if (group_->ArrayCount() == 0) group_->Destroy();
        group_ = nullptr;
    }
    if (!group) return;
    PushButton* self = this;
    if (group->Append(&self) >= 0) group_ = group;
}

void PushButton::SelectInGroup()
{
    if (!group_) {
        ButtonSetState(1);
        return;
    }
    for (int32_t i = 0; i < group_->ArrayCount(); ++i) {
        PushButton* button = PointerAt<PushButton>(group_, i);
        button->ButtonSetState(button == this ? 1 : 0);
    }
}

void PushButton::SetButtonRange(int32_t minimum, int32_t maximum)
{
    rangeMinimum_ = minimum;
    rangeMaximum_ = maximum;
}

void FocusPushButton::ItemInit()
{
    PushButton::ItemInit();
    focus_ = 0;
}

void FocusPushButton::ItemSetOwner(Pane* pane)
{
    PushButton::ItemSetOwner(pane);
    if (focus_ && control_) SetFocus(control_);
}

uint32_t FocusPushButton::ItemWindowStyle()
{
    return PushButton::ItemWindowStyle() | WS_TABSTOP | (focus_ ? BS_DEFPUSHBUTTON : 0);
}

void FocusPushButton::SetControlFocus(int32_t flag)
{
    focus_ = flag;
    if (flag && control_) SetFocus(control_);
}
