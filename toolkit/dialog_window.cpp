// The modal dialog window: its windoid, its default control, its modal run and its closing.
#include "toolkit/dialog_window.h"

#include <cstdio>
#include <new>

#include "draw/current_port.h"
#include "draw/text.h"
#include "toolkit/control_list.h"
#include "toolkit/input_events.h"
#include "toolkit/message_loop.h"
#include "toolkit/push_button.h"
#include "toolkit/window.h"

namespace {

constexpr WindowFlags kDialogWindoidFlags = kWindowCaption | kWindowDialog;
constexpr int32_t kReturnKey = 13;
constexpr int32_t kPlusKey = 43;

}  // namespace

void FillSystemColorRect(const PortRect& rect, int32_t systemColor)
{
    HDC dc = GetPort();
    if (!dc) return;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    FillRect(dc, &area, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(systemColor + 1)));
}

ResultCode DialogWindow::CreateDialogWindoid(const PortRect& bounds)
{
    fillBackground_ = 0;
    result_ = 0;
    focused_ = nullptr;
    PaneCreate(0);
    SetPortKind(kPortDialogPane);
    active_ = 1;
    previousActive_ = GetActiveWindow();
    windoid_ = new (std::nothrow) Window;
    if (!windoid_) return kResultOutOfMemory;
    if (windoid_->CreateWindowObject(bounds, title_, kNoWindowSize, kNoWindowSize, kNoWindowSize,
                                     kDialogWindoidFlags, kWindowDestroys) != kResultOk) {
        windoid_->DestroyWindowObject();
        windoid_ = nullptr;
        return kResultNotFound;
    }
    windoid_->AddPane(this);
    // A dialog without its control list, or not in its windoid, could hold nothing it is given.
    if (!controls_ || Owner() != windoid_) {
        windoid_->RemovePane(this);
        windoid_->DestroyWindowObject();
        windoid_ = nullptr;
        return kResultOutOfMemory;
    }
    return kResultOk;
}

void DialogWindow::SetDialogText(const char* text)
{
    std::snprintf(title_, sizeof title_, "%s", text ? text : "");
    if (windoid_) windoid_->SetWindowTitle(title_);
}

void DialogWindow::ShowDialog()
{
    if (windoid_) windoid_->ShowWindowObject();
    if (controls_) controls_->ControlListFocusNext(nullptr);
}

void DialogWindow::DialogSetDefault(PaneItem* control)
{
    if (control == focused_) return;
    if (auto* old = dynamic_cast<FocusPushButton*>(focused_)) old->SetControlFocus(0);
    focused_ = control;
    if (auto* button = dynamic_cast<FocusPushButton*>(control)) button->SetControlFocus(1);
}

void DialogWindow::DialogPressFocused()
{
    if (!controls_) return;
    if (auto* button = dynamic_cast<PushButton*>(focused_)) button->ButtonPress();
}

int32_t DialogWindow::RunModalDialog()
{
    if (GetCapture()) ReleaseCapture();
    return RunMessageLoop(kModalLoop) == kLoopEndRequested ? result_ : cancelResult_;
}

void DialogWindow::CloseDialog()
{
    HWND previous = previousActive_;
    Window* windoid = windoid_;
    windoid_ = nullptr;
    if (windoid)
        windoid->CloseWindowObject();
    else
        PaneDestroy();
    if (previous && IsWindow(previous)) SetFocus(previous);
}

void DialogWindow::Draw(int32_t mode, int32_t horizontal, int32_t vertical)
{
    if (fillBackground_) FillSystemColorRect(contentRect_, COLOR_BTNFACE);
    TextMode(kTextTransparent);
    PaneDrawControls(mode, horizontal, vertical);
}

int32_t DialogWindow::PaneKeyDown(int32_t key, int32_t modifiers)
{
    if (!(modifiers & kModifierAlt) && (key == kReturnKey || key == kPlusKey)) DialogPressFocused();
    return 0;
}

int32_t DialogWindow::PaneCloseRequest()
{
    for (int32_t i = 0; controls_ && i < controls_->ArrayCount(); ++i) {
        auto* button = dynamic_cast<PushButton*>(controls_->ItemAt(i));
        if (button && button->ControlCommand() == IDCANCEL) {
            button->ButtonPress();
            return 1;
        }
    }
    if (!focused_) return 0;
    DialogPressFocused();
    return 1;
}
