// The windows a modal window disabled, and enabling exactly those again.
#include "toolkit/modal_disable.h"

#include "foundation/dynamic_array.h"

namespace {

struct Disabling {
    HWND modal;
    DynamicArray* windows;
};

BOOL CALLBACK DisableOtherWindowProc(HWND hwnd, LPARAM parameter)
{
    auto* disabling = reinterpret_cast<Disabling*>(parameter);
    if (hwnd == disabling->modal || !IsWindowEnabled(hwnd)) return TRUE;
    // A window that cannot be remembered is left enabled, so that it is never left disabled.
    if (disabling->windows->Append(&hwnd) >= 0) EnableWindow(hwnd, FALSE);
    return TRUE;
}

}  // namespace

DisabledWindows::~DisabledWindows()
{
    DestroyArray(windows_);
}

void DisabledWindows::DisableOthers(HWND modal)
{
    if (!windows_) windows_ = NewDynamicArray(0, sizeof(HWND), 8);
    if (!windows_) return;
    Disabling disabling = {modal, windows_};
    EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindowProc, reinterpret_cast<LPARAM>(&disabling));
}

void DisabledWindows::EnableAgain()
{
    if (!windows_) return;
    for (int32_t i = windows_->ArrayCount() - 1; i >= 0; --i) {
        HWND hwnd = *windows_->At<HWND>(i);
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    }
    IgnoreResult(windows_->ArraySetCount(0));
}

int32_t DisabledWindows::Count() const
{
    return windows_ ? windows_->ArrayCount() : 0;
}
