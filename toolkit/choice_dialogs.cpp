// The three-, four- and six-button questions: the text measured and wrapped as the alert's is,
// the buttons in rows from the lower right corner.
#include "toolkit/choice_dialogs.h"

#include <algorithm>
#include <new>

#include "toolkit/alert.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_window.h"
#include "toolkit/push_button.h"

namespace {

class ChoiceDialog final : public DialogWindow {};

constexpr int32_t kNoChoice = 0;
// A focus flag of 0: the button has the focus in any case.
constexpr int32_t kFocusAlways = 0;
constexpr int32_t kMaximumButtons = 6;

// The text starts here and takes this much height per line, and one line more.
constexpr int32_t kTextLeft = 23;
constexpr int32_t kTextTop = 13;
constexpr int32_t kLineHeight = 16;
constexpr int32_t kButtonWidth = 120;
constexpr int32_t kButtonHeight = 20;
constexpr int32_t kBottomMargin = 10;
// A second row of buttons stands this far above the first.
constexpr int32_t kRowGap = 9;

struct ChoiceLayout {
    int32_t buttonCount;
    int32_t buttonsPerRow;
    // The text is measured at least this wide; the dialog is this much wider and this high
    // before it grows by the lines after the first.
    int32_t leastTextWidth;
    int32_t extraWidth;
    int32_t height;
    // The text ends this far from the right edge, or (with a column width) in the middle column
    // of that width.
    int32_t textRightMargin;
    int32_t textColumn;
    // The buttons' right margin and the gap between them.
    int32_t buttonMargin;
    int32_t focusFlags[kMaximumButtons];
};

constexpr ChoiceLayout kThree = {3, 3, 400, 24, 72, 0, 380, 10, {kChoiceFocusFirst, kFocusAlways, kChoiceFocusThird}};
constexpr ChoiceLayout kFour = {
    4, 4, 250, 24 + 50, 72, 13, 0, 13, {kFocusAlways, kFocusAlways, kChoiceFocusThird, kChoiceFocusFourth}};
constexpr ChoiceLayout kSix = {6, 3, 400, 24, 88, 10, 0, 10,
                               {kChoiceFocusFirst, kFocusAlways, kChoiceFocusThird, kChoiceFocusFourth,
                                kChoiceFocusFifth, kChoiceFocusSixth}};

int32_t RunChoice(const ChoiceLayout& layout, const char* text, const char* const* labels, int32_t flags)
{
    if (!text) text = "";
    // The widened width also counts the lines.
    const int32_t width = std::max(DialogTextWidth(text), layout.leastTextWidth) + layout.extraWidth;
    PortRect bounds;
    const int32_t lines = PlaceDialogRect(&bounds, width, layout.height, width);
    bounds.bottom += (lines - 1) * kLineHeight;
    const int32_t dialogWidth = bounds.Width();
    const int32_t height = bounds.Height();

    DialogBuilder build(new (std::nothrow) ChoiceDialog, bounds, kNoChoice);
    const int32_t textRight =
        layout.textColumn ? dialogWidth - (dialogWidth - layout.textColumn) / 2 : dialogWidth - layout.textRightMargin;
    build.AddText({kTextLeft, kTextTop, textRight, (lines + 1) * kLineHeight}, text);
    for (int32_t i = 0; i < layout.buttonCount; ++i) {
        const int32_t row = i / layout.buttonsPerRow;
        const int32_t column = i % layout.buttonsPerRow;
        const int32_t right = dialogWidth - layout.buttonMargin - column * (kButtonWidth + layout.buttonMargin);
        const int32_t bottom = height - kBottomMargin - row * (kButtonHeight + kRowGap);
        const int32_t flag = layout.focusFlags[i];
        build.AddButton({right - kButtonWidth, bottom - kButtonHeight, right, bottom}, labels && labels[i] ? labels[i] : "", i + 1,
                        kDefaultControlId, flag == kFocusAlways || (flags & flag) != 0);
    }
    return build.Run();
}

}  // namespace

int32_t AskThree(const char* text, const char* const labels[3], int32_t flags)
{
    return RunChoice(kThree, text, labels, flags);
}

int32_t AskFour(const char* text, const char* const labels[4], int32_t flags)
{
    return RunChoice(kFour, text, labels, flags);
}

int32_t AskSix(const char* text, const char* const labels[6], int32_t flags)
{
    return RunChoice(kSix, text, labels, flags);
}
