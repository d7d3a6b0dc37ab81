// Buttons: the control made when the owner pane opens and destroyed when it closes with the
// title and state kept, notifications routed to the button whose control sent them, groups, the
// check box kinds, dismiss buttons ending their dialog's run, and the ids of dialog labels.
#include <cstring>

#include "draw/fonts.h"
#include "foundation/dynamic_array.h"
#include "tests/toolkit/item_fixture.h"
#include "toolkit/button_kinds.h"
#include "toolkit/control_list.h"
#include "toolkit/dialog_window.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/message_loop.h"

namespace {

class CountingButton : public FocusPushButton {
public:
    void ButtonPress() override { ++presses; }
    int32_t presses = 0;

protected:
    ~CountingButton() override = default;
};

template <class T>
T* MakeItem(const PortRect& bounds)
{
    auto* item = new T;
    item->ItemInit();
    item->ItemSetBounds(bounds);
    return item;
}

class TestDialog : public DialogWindow {
protected:
    ~TestDialog() override = default;
};

using ButtonTest = ItemTest;

TEST_F(ButtonTest, ControlLivesWhileThePaneIsOpenAndTitleAndStateOutliveIt)
{
    auto* button = MakeItem<CountingButton>({10, 20, 90, 48});
    button->SetControlTitle("Render");
    button->SetControlCommand(77);
    button->SetControlFocus(1);
    auto* untitled = MakeItem<PushButton>({10, 60, 90, 88});
    auto* check = MakeItem<CheckBoxButton>({10, 100, 90, 120});
    check->ButtonSetState(1);
    RecordingPane* pane = MakePane();
    pane->PaneAddControl(button);
    pane->PaneAddControl(untitled);
    pane->PaneAddControl(check);
    EXPECT_EQ(button->Control(), nullptr) << "no control before the pane opens";

    window_->AddPane(pane);
    HWND control = button->Control();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), pane->PaneWindow());
    EXPECT_EQ(ControlClass(control), "Button");
    EXPECT_EQ(ControlText(control), "Render");
    EXPECT_EQ(GetDlgCtrlID(control), 77);
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    const LONG_PTR expected = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON;
    EXPECT_EQ(style & expected, expected);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), GetFont(7, 8, kFontBold));
    EXPECT_EQ(GetFocus(), control) << "the focus flag focuses the control";
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, pane->PaneWindow(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 90);
    EXPECT_EQ(rect.bottom, 48);
    ASSERT_NE(untitled->ControlTitle(), nullptr) << "an absent title becomes the empty text";
    EXPECT_STREQ(untitled->ControlTitle(), "");
    EXPECT_EQ(SendMessageA(check->Control(), BM_GETCHECK, 0, 0), BST_CHECKED);

    window_->RemovePane(pane);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(button->Control(), nullptr);
    EXPECT_STREQ(button->ControlTitle(), "Render");
    EXPECT_EQ(check->ButtonGetState(), 1);

    window_->AddPane(pane);
    ASSERT_NE(button->Control(), nullptr);
    EXPECT_EQ(ControlText(button->Control()), "Render");
    EXPECT_EQ(SendMessageA(check->Control(), BM_GETCHECK, 0, 0), BST_CHECKED) << "a fresh control shows the state";

    const std::string longTitle(600, 'w');
    button->SetControlTitle(longTitle.c_str());
    EXPECT_EQ(std::strlen(button->ControlTitle()), longTitle.size());
    EXPECT_EQ(ControlText(button->Control()), longTitle);
}

TEST_F(ButtonTest, NotificationsReachOnlyTheButtonWhoseControlSentThem)
{
    auto* first = MakeItem<CountingButton>({10, 10, 90, 38});
    auto* second = MakeItem<CountingButton>({10, 50, 90, 78});
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(first);
    pane->PaneAddControl(second);
    ControlList* list = pane->Controls();

    // A real click: the control tells the pane, which routes the notification.
    SendMessageA(second->Control(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(first->presses, 0);
    EXPECT_EQ(second->presses, 1);

    EXPECT_EQ(list->ControlListCommand(first->Control(), BN_CLICKED), 1);
    EXPECT_EQ(first->presses, 1);
    EXPECT_EQ(list->ControlListCommand(first->Control(), BN_SETFOCUS), 1) << "its own control's notification";
    EXPECT_EQ(first->presses, 1);
    EXPECT_EQ(list->ControlListCommand(pane->PaneWindow(), BN_CLICKED), 0) << "another window's click";
    EXPECT_EQ(first->presses + second->presses, 2);
}

TEST_F(ButtonTest, GroupsSelectOneButtonAndStyleOnlyTheirFirst)
{
    DynamicArray* group = NewDynamicArray(0, sizeof(PushButton*), 4);
    auto* first = MakeItem<RadioButton>({10, 10, 90, 30});
    auto* second = MakeItem<RadioButton>({10, 40, 90, 60});
    auto* third = MakeItem<CheckBoxButton>({10, 70, 90, 90});
    for (PushButton* button : {static_cast<PushButton*>(first), static_cast<PushButton*>(second),
                               static_cast<PushButton*>(third)})
        button->SetButtonGroup(group);
    EXPECT_EQ(first->ItemWindowStyle(), uint32_t(WS_GROUP | WS_TABSTOP | BS_RADIOBUTTON));
    EXPECT_EQ(second->ItemWindowStyle(), uint32_t(BS_RADIOBUTTON));
    EXPECT_EQ(third->ItemWindowStyle(), uint32_t(WS_TABSTOP | BS_CHECKBOX));

    second->SelectInGroup();
    EXPECT_EQ(first->ButtonGetState(), 0);
    EXPECT_EQ(second->ButtonGetState(), 1);

    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(first);
    pane->PaneAddControl(second);
    pane->PaneAddControl(third);
    third->SelectInGroup();
    EXPECT_EQ(SendMessageA(first->Control(), BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageA(second->Control(), BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageA(third->Control(), BM_GETCHECK, 0, 0), 1);

    // A member that goes leaves the group; the next first member carries WS_GROUP.
    pane->PaneRemoveControl(first);
    first->ItemDelete();
    EXPECT_EQ(group->ArrayCount(), 2);
    EXPECT_EQ(second->ItemWindowStyle() & WS_GROUP, uint32_t(WS_GROUP));

    // A list of 4-byte elements cannot hold a button's pointer: it is not joined.
    DynamicArray* narrow = NewDynamicArray(0, 4, 4);
    auto* loner = MakeItem<PushButton>({0, 0, 10, 10});
    loner->SetButtonGroup(narrow);
    EXPECT_EQ(loner->ButtonGroup(), nullptr);
    EXPECT_EQ(narrow->ArrayCount(), 0);
    loner->ItemDelete();
    narrow->Destroy();
}

TEST_F(ButtonTest, CheckToggleFlipsItsStateOnEachClick)
{
    auto* toggle = MakeItem<CheckToggleButton>({10, 10, 90, 30});
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(toggle);
    SendMessageA(toggle->Control(), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(toggle->Control(), BM_GETCHECK, 0, 0), 1);
    SendMessageA(toggle->Control(), BM_CLICK, 0, 0);
    EXPECT_EQ(toggle->ButtonGetState(), 0);
}

TEST_F(ButtonTest, DismissButtonsEndTheirDialogsRunWithTheirResult)
{
    auto* dialog = new TestDialog;
    ASSERT_EQ(dialog->CreateDialogWindoid({200, 200, 400, 300}), kResultOk);
    auto* keep = MakeItem<DismissButton>({10, 60, 70, 88});
    keep->SetControlTitle("Keep");
    keep->SetDismissResult(7);
    auto* drop = MakeItem<DismissButton>({90, 60, 150, 88});
    drop->SetControlTitle("Drop");
    drop->SetDismissResult(-3);
    dialog->PaneAddControl(keep);
    dialog->PaneAddControl(drop);
    dialog->ShowDialog();
    RunLater(30, [drop] { SendMessageA(drop->Control(), BM_CLICK, 0, 0); });
    EXPECT_EQ(dialog->RunModalDialog(), -3);
    RunLater(30, [keep] { SendMessageA(keep->Control(), BM_CLICK, 0, 0); });
    EXPECT_EQ(dialog->RunModalDialog(), 7);
    dialog->CloseDialog();
}

TEST_F(ButtonTest, ADismissButtonOutsideADialogEndsNoRun)
{
    auto* button = MakeItem<DismissButton>({10, 10, 70, 38});
    button->SetDismissResult(5);
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(button);
    int32_t depthAfterPress = -1;
    RunLater(20, [button, &depthAfterPress] {
        SendMessageA(button->Control(), BM_CLICK, 0, 0);
        RunLater(40, [&depthAfterPress] {
            depthAfterPress = ModalRunDepth();
            EndModalRun();
        });
    });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    PumpFor(100);
    EXPECT_EQ(depthAfterPress, 1) << "the press left the run going";
}

TEST(ButtonResultIdTest, OnlyTheExactLabelsHaveDialogIds)
{
    EXPECT_EQ(ButtonResultId("OK"), IDOK);
    EXPECT_EQ(ButtonResultId("Cancel"), IDCANCEL);
    EXPECT_EQ(ButtonResultId("&Yes"), IDYES);
    EXPECT_EQ(ButtonResultId("&No"), IDNO);
    for (const char* other : {"Ok", "OK ", "cancel", "Yes", "&Yes ", "", "Picture..."})
        EXPECT_EQ(ButtonResultId(other), 5011) << other;
    EXPECT_EQ(ButtonResultId(nullptr), 5011);
}

}  // namespace
