// The confirmation: a fixed dialog with the caller's text and two buttons centred under it.
#include "toolkit/confirm_dialog.h"

#include <windows.h>

#include <new>

#include "toolkit/alert.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_layout.h"
#include "toolkit/dialog_records.h"
#include "toolkit/dialog_window.h"
#include "toolkit/document_frame.h"

namespace {

using namespace DialogLayout;

class ConfirmDialog final : public DialogWindow {};

constexpr int32_t kConfirmed = 1;
constexpr int32_t kCancelled = 0;
constexpr int32_t kHalfGap = kButtonGap / 2;

}  // namespace

int32_t AskConfirm(const char* text)
{
    const DialogRecords& records = kConfirmRecords;
    const PortRect& dialogRect = records.dialog.rect;
    PortRect bounds;
    PlaceDialogRect(&bounds, dialogRect.Width(), dialogRect.Height(), 0);
    DialogBuilder build(new (std::nothrow) ConfirmDialog, bounds, kCancelled);
    if (DocumentFrame* frame = GetCurrentFrame()) build.SetTitle(frame->Title());
    build.AddText(records.text.rect, text ? text : "");
    build.StartButtonGroup();
    const int32_t middle = dialogRect.Width() >> 1;
    const PortRect& ok = records.buttons[0].rect;
    const PortRect& cancel = records.buttons[1].rect;
    build.AddButton({middle - kHalfGap - kButtonWidth, ok.top, middle - kHalfGap, ok.bottom}, records.buttons[0].text,
                    kConfirmed, IDOK, true);
    build.AddButton({middle + kHalfGap, cancel.top, middle + kHalfGap + kButtonWidth, cancel.bottom},
                    records.buttons[1].text, kCancelled, IDCANCEL, false);
    build.AddIcon(records.icon.rect);
    return build.Run();
}
