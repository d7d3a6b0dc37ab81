// The save-changes and discard-changes questions: one line of text in a dialog as wide as the
// text needs, or two lines in a taller dialog when no screen-wide dialog holds the one line.
#include "toolkit/changes_dialogs.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "draw/text.h"
#include "toolkit/alert.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_layout.h"
#include "toolkit/dialog_records.h"
#include "toolkit/dialog_window.h"
#include "toolkit/document_frame.h"

namespace {

using namespace DialogLayout;

class SaveChangesDialog final : public DialogWindow {};
class DiscardChangesDialog final : public DialogWindow {};

// The dialog leaves this much to the right of a text that widened it.
constexpr int32_t kTextRightGap = 10;

// A button's place relative to the dialog's middle, and what it answers.
struct ButtonPlace {
    int32_t left;
    int32_t right;
    int32_t result;
    int32_t controlId;
    bool focus;
};

struct ChangesDialog {
    const DialogRecords& oneLine;
    const DialogRecords& twoLines;
    // The narrowest dialog: both side margins, the buttons and the gaps between them.
    int32_t minimumWidth;
    const ButtonPlace* buttons;
    int32_t cancelResult;
};

constexpr int32_t kSaveNoHalf = kSaveNoWidth / 2;
constexpr ButtonPlace kSaveButtons[] = {
    {-kSaveNoHalf - kSaveGap - kSaveYesWidth, -kSaveNoHalf - kSaveGap, kSaveChangesSave, IDYES, true},
    {-kSaveNoHalf, kSaveNoHalf, kSaveChangesDiscard, IDNO, false},
    {kSaveNoHalf + kSaveGap, kSaveNoHalf + kSaveGap + kSaveCancelWidth, kSaveChangesCancel, IDCANCEL, false},
};
constexpr ChangesDialog kSaveChanges = {
    kSaveChangesRecords, kSaveChangesTwoLineRecords,
    2 * kSaveGap + 2 * kSaveSideMargin + kSaveCancelWidth + kSaveNoWidth + kSaveYesWidth, kSaveButtons,
    kSaveChangesCancel};

constexpr int32_t kDiscard = 1;
constexpr int32_t kKeep = 0;
constexpr int32_t kDiscardHalfGap = kSaveGap / 2;
constexpr ButtonPlace kDiscardButtons[] = {
    {-kDiscardHalfGap - kDiscardYesWidth, -kDiscardHalfGap, kDiscard, IDYES, true},
    {kDiscardHalfGap, kDiscardHalfGap + kDiscardNoWidth, kKeep, IDNO, false},
};
constexpr ChangesDialog kDiscardChanges = {
    kDiscardChangesRecords, kDiscardChangesTwoLineRecords,
    2 * kSaveSideMargin + kDiscardYesWidth + kDiscardNoWidth + kSaveGap, kDiscardButtons, kKeep};

// The dialog at its narrowest, widened for a one-line text `textWidth` wide when it needs to be;
// false when even a dialog as wide as the screen does not hold the line.
bool FitDialogToText(PortRect* dialog, PortRect* text, int32_t textWidth, int32_t minimumWidth)
{
    dialog->right = dialog->left + minimumWidth;
    text->right = dialog->right - kTextRightGap;
    if (text->left + textWidth < text->right) return true;
    if (text->left - dialog->left + textWidth + kTextRightGap > GetSystemMetrics(SM_CXSCREEN)) return false;
    dialog->right = text->left + textWidth + kTextRightGap;
    text->right = dialog->right - kTextRightGap;
    return true;
}

int32_t RunChangesDialog(DialogWindow* dialog, const ChangesDialog& kind, const char* name)
{
    if (!name) name = "";
    char text[kNamedDialogTextSize];
    std::snprintf(text, sizeof text, kind.oneLine.text.text, name);
    const DialogRecords* records = &kind.oneLine;
    PortRect dialogRect = records->dialog.rect;
    PortRect textRect = records->text.rect;
    const int32_t textWidth = TextWidth(text, 0, int32_t(std::strlen(text)));
    const bool oneLine = FitDialogToText(&dialogRect, &textRect, textWidth, kind.minimumWidth);
    if (!oneLine) {
        records = &kind.twoLines;
        dialogRect = records->dialog.rect;
        textRect = records->text.rect;
        std::snprintf(text, sizeof text, records->text.text, name);
    }

    PortRect bounds;
    PlaceDialogRect(&bounds, dialogRect.Width(), dialogRect.Height(), 0);
    DialogBuilder build(dialog, bounds, kind.cancelResult);
    if (DocumentFrame* frame = GetCurrentFrame()) build.SetTitle(frame->Title());
    build.AddText(textRect, text);
    build.StartButtonGroup();
    const int32_t middle = (dialogRect.left + dialogRect.right) >> 1;
    for (int32_t i = 0; i < records->buttonCount; ++i) {
        const ButtonPlace& place = kind.buttons[i];
        PortRect rect = records->buttons[i].rect;
        if (oneLine) {
            rect.left = middle + place.left;
            rect.right = middle + place.right;
        }
        build.AddButton(rect, records->buttons[i].text, place.result, place.controlId, place.focus);
    }
    build.AddIcon(records->icon.rect);
    return build.Run();
}

}  // namespace

int32_t AskSaveChanges(const char* name)
{
    return RunChangesDialog(new (std::nothrow) SaveChangesDialog, kSaveChanges, name);
}

int32_t AskDiscardChanges(const char* name)
{
    return RunChangesDialog(new (std::nothrow) DiscardChangesDialog, kDiscardChanges, name);
}
