// The alert and the two-button question, and the placing of dialogs on the screen.
#include "toolkit/alert.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "foundation/dynamic_array.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_layout.h"
#include "toolkit/dialog_window.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/document_frame.h"
#include "toolkit/screen_bounds.h"

namespace {

using namespace DialogLayout;

class AlertDialog final : public DialogWindow {};
class QuestionDialog final : public DialogWindow {};

// The alert's and the question's shared measures.
constexpr int32_t kLeastTextWidth = 250;
constexpr int32_t kCentredHeight = 110;
constexpr int32_t kHeightPad = 4;
constexpr int32_t kTextLeft = kIconLeft + kIconWidth + kMargin;                 // 56
constexpr int32_t kTextTop = kMargin + ((kIconHeight - kLineHeight) >> 1);       // 22
constexpr int32_t kTextPad = 7;
constexpr int32_t kButtonBottomGap = kMargin;                                     // h - 13
constexpr int32_t kButtonTopGap = kMargin + kButtonHeight;                        // h - 41
constexpr int32_t kQuestionButtons = 2;
constexpr char kErrorFormat[] = "Error #%d";

// The rectangle of an alert or question for the message and its text line count.
PortRect MessageDialogRect(const char* message, int32_t* lines)
{
    const int32_t width = std::max(DialogTextWidth(message), kLeastTextWidth);
    PortRect rect;
    *lines = PlaceDialogRect(&rect, width + kTextInset, kCentredHeight, width);
    rect.bottom += (*lines - 1) * kLineHeight + kHeightPad;
    return rect;
}

// The icon and the wrapped message; false when they could not be made.
bool AddIconAndText(DialogWindow* dialog, int32_t iconId, const char* message, int32_t lines, int32_t width)
{
    return AddDialogIcon(dialog, {kIconLeft, kMargin, kIconLeft + kIconWidth, kMargin + kIconHeight}, iconId) &&
           AddDialogText(dialog, {kTextLeft, kTextTop, width - kMargin, kTextTop + lines * kLineHeight + kTextPad},
                         message);
}

DismissButton* AddButton(DialogWindow* dialog, const PortRect& bounds, const char* label, int32_t result,
                         bool focus, DynamicArray* group)
{
    return AddDialogButton(dialog, bounds, label, result, ButtonResultId(label), focus, group);
}

// Shows the message where no dialog can be: before the first frame, or when the dialog could
// not be built. Nothing is lost.
int32_t SystemMessage(DialogWindow* dialog, const char* message)
{
    dialog->CloseDialog();
    MessageBoxA(nullptr, message, nullptr, MB_OK | MB_ICONINFORMATION);
    return 0;
}

}  // namespace

int32_t PlaceDialogRect(PortRect* rect, int32_t width, int32_t height, int32_t textWidth)
{
    PortRect screen;
    GetScreenBounds(&screen);
    return DialogRectOnScreen(screen.Width(), screen.Height(), rect, width, height, textWidth);
}

int32_t RunAlert(DialogWindow* dialog, const char* message)
{
    if (!message) message = "";
    int32_t lines = 1;
    const PortRect rect = MessageDialogRect(message, &lines);
    DocumentFrame* frame = GetCurrentFrame();
    if (!frame || dialog->CreateDialogWindoid(rect) != kResultOk) return SystemMessage(dialog, message);
    dialog->SetDialogText(frame->Title());
    const int32_t width = rect.Width();
    const int32_t height = rect.Height();
    const int32_t left = (width - kButtonWidth) >> 1;
    if (!AddIconAndText(dialog, kAlertIcon, message, lines, width) ||
        !AddButton(dialog, {left, height - kButtonTopGap, left + kButtonWidth, height - kButtonBottomGap}, "OK", 1,
                   true, nullptr))
        return SystemMessage(dialog, message);
    return RunBuiltDialog(dialog);
}

int32_t RunQuestion(DialogWindow* dialog, const char* message, const char* firstLabel, const char* secondLabel,
                    int32_t flags)
{
    if (!message) message = "";
    const bool firstAnswersOne = (flags & kQuestionFirstAnswersOne) != 0;
    const bool focusFirst = (flags & kQuestionFocusFirst) != 0;
    const int32_t leftResult = firstAnswersOne ? 0 : 1;
    const int32_t rightResult = firstAnswersOne ? 1 : 0;
    // What a run that ends without a button (or a question that cannot be shown) answers: what
    // the Cancel button would, else what the button without the focus would.
    const int32_t cancelResult = ButtonResultId(firstLabel) == IDCANCEL    ? rightResult
                                 : ButtonResultId(secondLabel) == IDCANCEL ? leftResult
                                 : focusFirst                              ? leftResult
                                                                           : rightResult;
    int32_t lines = 1;
    const PortRect rect = MessageDialogRect(message, &lines);
    if (dialog->CreateDialogWindoid(rect) != kResultOk) {
        dialog->CloseDialog();
        return cancelResult;
    }
    if (DocumentFrame* frame = GetCurrentFrame()) dialog->SetDialogText(frame->Title());
    dialog->SetCancelResult(cancelResult);
    const int32_t width = rect.Width();
    const int32_t height = rect.Height();
    const int32_t centre = (width - kButtonGap) >> 1;
    const int32_t top = height - kButtonTopGap;
    const int32_t bottom = height - kButtonBottomGap;
    DynamicArray* group = NewDynamicArray(0, sizeof(PushButton*), kQuestionButtons);
    const bool built = group && AddIconAndText(dialog, kQuestionIcon, message, lines, width) &&
                       AddButton(dialog, {centre - kButtonWidth, top, centre, bottom}, secondLabel, leftResult,
                                 !focusFirst, group) &&
                       AddButton(dialog, {centre + kButtonGap, top, centre + kButtonGap + kButtonWidth, bottom},
                                 firstLabel, rightResult, focusFirst, group);
    if (!built) {
        if (group && group->ArrayCount() == 0) group->Destroy();
        dialog->CloseDialog();
        return cancelResult;
    }
    return RunBuiltDialog(dialog);
}

int32_t ShowAlertDialog(const char* message)
{
    auto* dialog = new (std::nothrow) AlertDialog;
    if (!dialog) {
        MessageBoxA(nullptr, message ? message : "", nullptr, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    return RunAlert(dialog, message);
}

int32_t ErrorAlert(int32_t code)
{
    char text[sizeof kErrorFormat + 16];
    std::snprintf(text, sizeof text, kErrorFormat, int(code));
    return ShowAlertDialog(text);
}

int32_t AskQuestion(const char* message, const char* firstLabel, const char* secondLabel, int32_t flags)
{
    auto* dialog = new (std::nothrow) QuestionDialog;
    if (!dialog) return 0;
    return RunQuestion(dialog, message, firstLabel ? firstLabel : "", secondLabel ? secondLabel : "", flags);
}
