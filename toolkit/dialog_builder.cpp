// Building dialogs in code: their items, the measuring of their texts and their run.
#include "toolkit/dialog_builder.h"

#include <cstring>
#include <new>

#include "draw/current_port.h"
#include "draw/fonts.h"
#include "draw/text.h"
#include "foundation/dynamic_array.h"
#include "toolkit/dialog_layout.h"
#include "toolkit/dialog_window.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/icon_item.h"
#include "toolkit/text_item.h"

namespace {

constexpr FontNumber kMeasureFont = 0;
constexpr int32_t kMeasureSize = 12;
constexpr int32_t kGroupGrowStep = 4;

}  // namespace

int32_t DialogTextWidth(const char* text)
{
    HDC saved = GetPort();
    HDC screen = PrepareWindowDC(nullptr);
    SetPort(screen);
    SelectTextFont(kMeasureFont, kMeasureSize, 0);
    const int32_t width = TextWidth(text, 0, int32_t(std::strlen(text)));
    ReleasePortDC(nullptr, screen);
    SetPort(saved);
    return width;
}

PaneItem* AddDialogIcon(DialogWindow* dialog, const PortRect& bounds, int32_t iconId)
{
    auto* icon = new (std::nothrow) IconItem;
    if (!icon) return nullptr;
    icon->ItemInit();
    icon->ItemSetBounds(bounds);
    icon->SetItemIcon(iconId);
    dialog->PaneAddControl(icon);
    return icon;
}

TextItem* AddDialogText(DialogWindow* dialog, const PortRect& bounds, const char* text)
{
    auto* item = new (std::nothrow) TextItem;
    if (!item) return nullptr;
    item->ItemInit();
    item->ItemSetBounds(bounds);
    item->ItemSetTitle(text);
    dialog->PaneAddControl(item);
    return item;
}

DismissButton* AddDialogButton(DialogWindow* dialog, const PortRect& bounds, const char* label, int32_t result,
                               int32_t controlId, bool focus, DynamicArray* group)
{
    auto* button = new (std::nothrow) DismissButton;
    if (!button) return nullptr;
    button->ItemInit();
    button->ItemSetBounds(bounds);
    button->SetControlTitle(label);
    button->SetDismissResult(result);
    if (group) button->SetButtonGroup(group);
    if (focus) dialog->DialogSetDefault(button);
    button->SetControlCommand(controlId);
    dialog->PaneAddControl(button);
    return button;
}

int32_t RunBuiltDialog(DialogWindow* dialog)
{
    dialog->SetFillBackground(1);
    dialog->ShowDialog();
    const int32_t result = dialog->RunModalDialog();
    dialog->CloseDialog();
    return result;
}

DialogBuilder::DialogBuilder(DialogWindow* dialog, const PortRect& bounds, int32_t cancelResult)
    : dialog_(dialog), cancelResult_(cancelResult)
{
    if (!dialog_) return;
    built_ = dialog_->CreateDialogWindoid(bounds) == kResultOk;
    dialog_->SetCancelResult(cancelResult);
}

DialogBuilder::~DialogBuilder()
{
    Close();
}

void DialogBuilder::SetTitle(const char* text)
{
    if (built_) dialog_->SetDialogText(text);
}

void DialogBuilder::AddIcon(const PortRect& bounds)
{
    if (built_) built_ = AddDialogIcon(dialog_, bounds, DialogLayout::kQuestionIcon) != nullptr;
}

void DialogBuilder::AddText(const PortRect& bounds, const char* text)
{
    if (built_) built_ = AddDialogText(dialog_, bounds, text) != nullptr;
}

void DialogBuilder::AddItem(PaneItem* item)
{
    if (!item) built_ = false;
    if (built_)
        dialog_->PaneAddControl(item);
    else if (item)
        item->ItemDelete();
}

void DialogBuilder::StartButtonGroup()
{
    if (!built_) return;
    group_ = NewDynamicArray(0, sizeof(DismissButton*), kGroupGrowStep);
    built_ = group_ != nullptr;
}

void DialogBuilder::AddButton(const PortRect& bounds, const char* label, int32_t result, int32_t controlId,
                              bool focus)
{
    if (built_) built_ = AddDialogButton(dialog_, bounds, label, result, controlId, focus, group_) != nullptr;
}

void DialogBuilder::Show()
{
    if (!built_) return;
    dialog_->SetFillBackground(1);
    dialog_->ShowDialog();
}

int32_t DialogBuilder::Wait()
{
    return built_ ? dialog_->RunModalDialog() : cancelResult_;
}

void DialogBuilder::Close()
{
    // A group belongs to its buttons, which free it with the last of them.
    if (group_ && group_->ArrayCount() == 0) group_->Destroy();
    group_ = nullptr;
    if (!dialog_ || closed_) return;
    closed_ = true;
    dialog_->CloseDialog();
}

int32_t DialogBuilder::Run()
{
    Show();
    const int32_t result = Wait();
    Close();
    return result;
}
