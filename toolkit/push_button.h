// PushButton: a button on the system "BUTTON" class, with its command id, title, check state
// and radio group; FocusPushButton, a push button that can be the default button and take the
// keyboard focus. The button kinds that nothing in the program makes (check box, radio button,
// toggle) are in button_kinds.h.
#pragma once

#include "toolkit/pane_item.h"

class DynamicArray;

// The command id of a button that is given none, and the ids that ButtonResultId gives.
constexpr int32_t kDefaultControlId = 5011;

class PushButton : public PaneItem {
public:
    PushButton() = default;

    void ItemInit() override;
    // Leaves its group (deleting the group list once empty), destroys the control, frees.
    void ItemDelete() override;
    void ItemSetOwner(Pane* pane) override;
    void ItemClearOwner() override;
    void ItemDraw() override;
    void ItemSetBounds(const PortRect& rect) override;
    void ItemActivate(int32_t flag) override;
    int32_t ItemHasWindow() override { return control_ != nullptr; }
    void ItemSetStyle(const ItemStyle& style) override;
    // WS_GROUP unless the button is in a group other than as its first member.
    uint32_t ItemWindowStyle() override;
    // BN_CLICKED from its own control presses it; any code of its own control is taken.
    int32_t ItemCommand(HWND control, int32_t code) override;
    void ItemFocusWindow() override;

    // --- button operations ---
    // The system class of the control: "BUTTON".
    virtual const char* ItemClassName() { return "BUTTON"; }
    virtual void ButtonPress() {}
    virtual void ButtonSetState(int32_t value);
    virtual int32_t ButtonGetState();

    void SetControlTitle(const char* text);
    void SetControlCommand(int32_t id) { commandId_ = id; }
    int32_t ControlCommand() const { return commandId_; }
    // Joins the group list (a list of button pointers shared by the group's buttons).
    void SetButtonGroup(DynamicArray* group);
    DynamicArray* ButtonGroup() const { return group_; }
    // State 1 for this button, 0 for every other button of its group.
    void SelectInGroup();
    void SetButtonRange(int32_t minimum, int32_t maximum);
    HWND Control() const { return control_; }
    const char* ControlTitle() const { return title_; }

protected:
    ~PushButton() override;

    HWND control_ = nullptr;
    int32_t commandId_ = kDefaultControlId;
    char* title_ = nullptr;
    int32_t rangeMinimum_ = 0;
    int32_t rangeMaximum_ = 1;
    int32_t state_ = 0;
    DynamicArray* group_ = nullptr;
};

class FocusPushButton : public PushButton {
public:
    FocusPushButton() = default;

    void ItemInit() override;
    // Also gives the control the keyboard focus when the focus flag is set.
    void ItemSetOwner(Pane* pane) override;
    // The push button's | WS_TABSTOP, | BS_DEFPUSHBUTTON with the focus flag.
    uint32_t ItemWindowStyle() override;

    // Sets the focus flag; focuses the control when it exists and the flag is set.
    void SetControlFocus(int32_t flag);
    int32_t HasFocusFlag() const { return focus_; }

protected:
    ~FocusPushButton() override = default;

    int32_t focus_ = 0;
};

// The id of a dialog button label: "OK" 1, "Cancel" 2, "&Yes" 6, "&No" 7 (the system's IDOK,
// IDCANCEL, IDYES, IDNO, so that Return and Escape reach the matching button), any other 5011.
int32_t ButtonResultId(const char* label);
