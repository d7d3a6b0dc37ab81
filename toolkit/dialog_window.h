// DialogWindow: a pane alone in a windoid of its own, built in code and run modally by a nested
// message loop until one of its dismiss buttons is pressed. Base of the alert, the question, the
// further dialogs, the progress window and the credits window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/pane.h"

class PaneItem;

class DialogWindow : public Pane {
public:
    DialogWindow() = default;

    // Fills the content with the button face colour when asked to, then draws the controls over
    // a transparent text background.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;
    // Return (13) and '+' (43) without Alt press the focused control. Always 0.
    int32_t PaneKeyDown(int32_t key, int32_t modifiers) override;
    // Presses the button whose control id is IDCANCEL, as Escape does, else the focused one.
    int32_t PaneCloseRequest() override;

    // Makes the pane and its windoid (a modal dialog with a caption), hidden until ShowDialog. The
    // content bounds are in screen coordinates. kResultNotFound when the windoid could not be
    // made, kResultOutOfMemory when the pane got no control list or no place in it: nothing is
    // disabled then, and CloseDialog destroys the pane alone.
    ResultCode CreateDialogWindoid(const PortRect& bounds);
    // Copies the text (at most 255 characters) as the title, and the window's when it has one.
    void SetDialogText(const char* text);
    // Shows the windoid and focuses its first focusable control.
    void ShowDialog();
    // Moves the default focus to the control (or to none).
    void DialogSetDefault(PaneItem* control);
    void DialogPressFocused();
    // Runs the modal loop until a dismiss button ends it; the result field. A run ended by
    // WM_QUIT answers the cancel result.
    int32_t RunModalDialog();
    // Closes and destroys the windoid with this pane (the object is freed), enables what it
    // disabled, and gives the focus back to the window that was active before the dialog was
    // made, when that window still exists.
    void CloseDialog();

    void SetFillBackground(int32_t fill) { fillBackground_ = fill; }
    int32_t DialogResult() const { return result_; }
    void SetDialogResult(int32_t result) { result_ = result; }
    // What the dialog answers when it ends without a button (0 unless set).
    void SetCancelResult(int32_t result) { cancelResult_ = result; }
    int32_t CancelResult() const { return cancelResult_; }
    PaneItem* FocusedControl() const { return focused_; }
    const char* DialogTitle() const { return title_; }
    Window* Windoid() const { return windoid_; }

protected:
    ~DialogWindow() override = default;

    char title_[256] = {};
    int32_t fillBackground_ = 0;
    int32_t result_ = 0;
    PaneItem* focused_ = nullptr;
    int32_t cancelResult_ = 0;
    Window* windoid_ = nullptr;
    HWND previousActive_ = nullptr;
};

// Fills the rectangle of the current port with the system colour (brush value index + 1).
void FillSystemColorRect(const PortRect& rect, int32_t systemColor);
