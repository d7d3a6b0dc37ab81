// The text entry dialog, in its two widths: the caller's text in an edit field, copied back out
// of the field after "OK" while the dialog still holds it.
#include "toolkit/text_entry_dialog.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "toolkit/alert.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dialog_layout.h"
#include "toolkit/dialog_records.h"
#include "toolkit/dialog_window.h"
#include "toolkit/edit_text.h"

namespace {

using namespace DialogLayout;

class TextEntryDialog final : public DialogWindow {};

constexpr int32_t kAccepted = 1;
constexpr int32_t kCancelled = 0;
// The wide dialog, its edit field and its "OK" button are this much wider or further right.
constexpr int32_t kWideExtra = 200;
// EM_SETSEL's end that selects the whole text.
constexpr int32_t kWholeText = -1;

int32_t RunTextEntry(int32_t extra, uint32_t fieldStyle, const char* title, const char* prompt, char* buffer,
                     int32_t choice)
{
    if (!buffer) return kCancelled;
    const DialogRecords& records = kTextEntryRecords;
    PortRect bounds;
    PlaceDialogRect(&bounds, records.dialog.rect.Width() + extra, records.dialog.rect.Height(), 0);
    DialogBuilder build(new (std::nothrow) TextEntryDialog, bounds, kCancelled);
    build.SetTitle(title ? title : "");
    build.AddText(records.text.rect, prompt ? prompt : "");

    PortRect field = (choice == kTextFieldNarrow ? kTextEntryNarrowField : kTextEntryWideField).rect;
    field.right += extra;
    auto* edit = new (std::nothrow) EditText(fieldStyle);
    if (edit) {
        char text[kTextEntrySize];
        std::snprintf(text, sizeof text, "%.*s", kTextEntrySize - 1, buffer);
        edit->ItemInit();
        edit->ItemSetBounds(field);
        edit->ItemSetTitle(text);
    }
    build.AddItem(edit);

    build.StartButtonGroup();
    PortRect ok = records.buttons[0].rect;
    ok.left += extra;
    ok.right += extra;
    PortRect cancel = records.buttons[1].rect;
    if (extra) cancel = {ok.right + kButtonGap, ok.top, ok.right + kButtonGap + kButtonWidth, ok.bottom};
    build.AddButton(ok, records.buttons[0].text, kAccepted, IDOK, true);
    build.AddButton(cancel, records.buttons[1].text, kCancelled, IDCANCEL, false);

    build.Show();
    if (build.Built()) edit->SelectEditText(0, kWholeText);
    const int32_t result = build.Wait();
    // The field goes with the dialog: its text is read while the dialog is still up.
    char edited[kTextEntrySize] = {};
    if (result != kCancelled) edit->ItemGetTitle(edited);
    build.Close();
    if (result != kCancelled) std::memcpy(buffer, edited, std::strlen(edited) + 1);
    return result;
}

}  // namespace

int32_t AskText(const char* title, const char* prompt, char* buffer, int32_t choice)
{
    return RunTextEntry(0, kEditPlainStyle, title, prompt, buffer, choice);
}

int32_t AskTextWide(const char* title, const char* prompt, char* buffer, int32_t choice)
{
    return RunTextEntry(kWideExtra, kEditAutoScrollStyle, title, prompt, buffer, choice);
}
