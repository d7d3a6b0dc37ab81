// The credits window: its layout from the picture and the measured text, its items, its drawing
// and its modal run.
#include "player/credits_window.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "draw/font_faces.h"
#include "draw/q_offscreen.h"
#include "draw/text.h"
#include "foundation/dynamic_array.h"
#include "player/credits_layout.h"
#include "player/credits_text.h"
#include "player/event_log.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"

namespace {

constexpr char kCreditsTitle[] = "Credits";
constexpr char kOkLabel[] = "OK";
// The OK button leaves the dialog's result at 0.
constexpr int32_t kOkResult = 0;
// The text is drawn in font 1 of size 10, bold, on a transparent background, wrapped at word
// breaks.
constexpr ItemStyle kCreditsTextStyle = {0, 1, kFontBold, 10, 1};

// The text is measured as TextWidth measures, in the screen's own font, which runs wider than the
// bold font the text is drawn in.
int32_t CreditsTextWidth(const char* characters)
{
    return TextWidth(characters, 0, int32_t(std::strlen(characters)));
}

// The test build's log: where the dialog stands on the screen, its text item and its text.
void LogCreditsShown(CreditsDialog* dialog)
{
    PortRect place;
    dialog->Windoid()->GetWindowBounds(&place);
    const PortRect& text = dialog->CreditsTextItem()->Bounds();
    LogEvent("credits %d,%d,%d,%d text %d,%d,%d,%d", int(place.left), int(place.top), int(place.right),
             int(place.bottom), int(text.left), int(text.top), int(text.right), int(text.bottom));
    const char* title = dialog->CreditsTextItem()->Title();
    LogEvent("credits-text %s", title ? title : "");
}

}  // namespace

PictureSize CreditsPictureSize(const Q_Offscreen* picture)
{
    if (!picture) return {0, 0};
    return {picture->PortBounds().Width(), picture->PortBounds().Height()};
}

void DrawCreditsPicture(Pane* pane, Q_Offscreen* picture)
{
    if (!picture) return;
    const PictureCopy copy = CreditsPictureCopy(pane->ContentRect(), picture->PortBounds());
    if (!copy.target.IsEmpty()) picture->CopyOffscreenToPort(pane, copy.source, copy.target);
}

void CreditsDialog::Draw(int32_t mode, int32_t horizontal, int32_t vertical)
{
    DrawCreditsPicture(this, picture_);
    PaneDrawControls(mode, horizontal, vertical);
}

ResultCode BuildCreditsDialog(CreditsDialog* dialog, const PortRect& rect)
{
    const ResultCode made = dialog->CreateDialogWindoid(rect);
    if (made != kResultOk) return made;
    const int32_t width = rect.Width();
    dialog->okButton_ = AddDialogButton(dialog, CreditsOkButtonBounds(width, rect.Height()), kOkLabel, kOkResult,
                                        IDOK, true, nullptr);
    auto* text = new (std::nothrow) TextItem;
    if (text) {
        text->ItemInit();
        text->ItemSetStyle(kCreditsTextStyle);
        text->ItemSetBounds(CreditsTextStartBounds(width));
        dialog->PaneAddControl(text);
    }
    dialog->textItem_ = text;
    return dialog->okButton_ && text ? kResultOk : kResultOutOfMemory;
}

void ShowCredits(Q_Offscreen* picture, DynamicArray* text)
{
    PortRect screen;
    GetScreenBounds(&screen);
    const PictureSize size = CreditsPictureSize(picture);
    char* characters = nullptr;
    int32_t textWidth = -1;
    if (text) {
        text->ArrayLock();
        characters = CopyCreditsText(text);
        text->ArrayUnlock();
        textWidth = characters ? CreditsTextWidth(characters) : 0;
    }
    const CreditsDialogLayout layout = LayOutCreditsDialog(screen, picture ? &size : nullptr, textWidth);

    auto* dialog = new (std::nothrow) CreditsDialog;
    if (dialog && BuildCreditsDialog(dialog, layout.rect) == kResultOk) {
        dialog->SetCreditsPicture(picture);
        dialog->CreditsTextItem()->ItemSetTitle(characters);
        dialog->CreditsTextItem()->ItemSetBounds(layout.text);
        dialog->SetDialogText(kCreditsTitle);
        dialog->ShowDialog();
        LogCreditsShown(dialog);
        dialog->RunModalDialog();
    }
    std::free(characters);
    if (dialog) dialog->CloseDialog();
}
