// The texture overwrite question: a fixed dialog that stands with its bottom above the middle
// of the screen.
#include "toolkit/overwrite_texture_dialog.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "toolkit/alert.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_records.h"
#include "toolkit/dialog_window.h"
#include "toolkit/document_frame.h"
#include "toolkit/screen_bounds.h"

namespace {

class OverwriteTextureDialog final : public DialogWindow {};

// The dialog's bottom stands this far above the middle of the screen.
constexpr int32_t kBottomAboveMiddle = 100;
// The control ids of the buttons that have none of the system's.
constexpr int32_t kYesToAllId = 11;
constexpr int32_t kNoToAllId = 10;

struct ButtonAnswer {
    int32_t result;
    int32_t controlId;
    bool focus;
};

constexpr ButtonAnswer kAnswers[] = {
    {kOverwriteTexture, IDYES, false}, {kOverwriteAllTextures, kYesToAllId, true}, {kKeepTexture, IDNO, false},
    {kKeepAllTextures, kNoToAllId, false}, {kSkipTexture, IDCANCEL, false},
};

}  // namespace

int32_t AskOverwriteTexture(const char* name)
{
    const DialogRecords& records = kOverwriteTextureRecords;
    PortRect bounds;
    PlaceDialogRect(&bounds, records.dialog.rect.Width(), records.dialog.rect.Height(), 0);
    PortRect screen;
    GetScreenBounds(&screen);
    bounds.bottom = (screen.Height() >> 1) - kBottomAboveMiddle;
    bounds.top = bounds.bottom - records.dialog.rect.Height();

    char text[kNamedDialogTextSize];
    std::snprintf(text, sizeof text, records.text.text, name ? name : "");
    DialogBuilder build(new (std::nothrow) OverwriteTextureDialog, bounds, kSkipTexture);
    if (DocumentFrame* frame = GetCurrentFrame()) build.SetTitle(frame->Title());
    build.AddText(records.text.rect, text);
    build.StartButtonGroup();
    for (int32_t i = 0; i < records.buttonCount; ++i) {
        build.AddButton(records.buttons[i].rect, records.buttons[i].text, kAnswers[i].result, kAnswers[i].controlId,
                        kAnswers[i].focus);
    }
    build.AddIcon(records.icon.rect);
    return build.Run();
}
