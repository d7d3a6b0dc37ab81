// The credits editor: its layout, its picture buttons, its picture changes with the window that
// follows them, and what OK and Cancel leave with the owner.
#include "player/credits_editor.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "draw/font_faces.h"
#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "player/credits_text.h"
#include "textures/bmp_reader.h"
#include "textures/media_item.h"
#include "textures/offscreen_reader.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/edit_text.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"

namespace {

using namespace CreditsLayout;

constexpr char kEditorTitle[] = "Credits...";
constexpr char kOkLabel[] = "OK";
constexpr char kCancelLabel[] = "Cancel";
constexpr char kPictureLabel[] = "Picture...";
constexpr char kNoPictureLabel[] = "No Picture";
// The Open dialog of "Picture...": bitmap files.
constexpr uint32_t kBitmapFileType = 0x424D5000;  // "BMP" and a zero byte
constexpr char kBitmapFilter[] = "bitmap|*.bmp||";
constexpr ItemStyle kEditFieldStyle = {0, 1, kFontBold, 10, 3};
// The text array the owner gets: characters and a NUL, growing by 4.
constexpr int32_t kTextGrowStep = 4;
// The beep of a picture file that could not be read.
constexpr int32_t kRefusedBeep = 1;

// "Picture..." and "No Picture": buttons whose press changes the dialog's picture.
class PictureButton final : public FocusPushButton {
public:
    enum Action { kChoose, kRemove };

    PictureButton(CreditsEditDialog* dialog, Action action) : dialog_(dialog), action_(action) {}

    void ButtonPress() override
    {
        if (action_ == kChoose)
            dialog_->ChoosePicture();
        else
            dialog_->RemovePicture();
    }

protected:
    ~PictureButton() override = default;

private:
    CreditsEditDialog* dialog_;
    Action action_;
};

FocusPushButton* AddPictureButton(CreditsEditDialog* dialog, PictureButton::Action action, const char* label)
{
    auto* button = new (std::nothrow) PictureButton(dialog, action);
    if (!button) return nullptr;
    button->ItemInit();
    button->SetControlTitle(label);
    button->SetControlCommand(ButtonResultId(label));
    dialog->PaneAddControl(button);
    return button;
}

// The edit field's whole text as the owner keeps it (the characters and a NUL), or null when the
// field is empty. `refused` is set when a text could not be had for want of memory.
DynamicArray* FieldTextArray(EditText* field, bool* refused)
{
    *refused = false;
    HWND control = field->Control();
    const int32_t length = field->ItemTitleLength();
    if (length <= 0) return nullptr;
    DynamicArray* text = NewDynamicArray(length + 1, 1, kTextGrowStep);
    if (!text) {
        *refused = true;
        return nullptr;
    }
    auto* characters = static_cast<char*>(text->ArrayLock());
    if (control)
        GetWindowTextA(control, characters, length + 1);
    else
        std::memcpy(characters, field->Title(), size_t(length));
    text->ArrayUnlock();
    return text;
}

}  // namespace

void CreditsEditDialog::Draw(int32_t mode, int32_t horizontal, int32_t vertical)
{
    DrawCreditsPicture(this, currentPicture_);
    PaneDrawControls(mode, horizontal, vertical);
}

ResultCode CreditsEditDialog::BuildCreditsEditor(const PortRect& rect, CreditsOwner* owner)
{
    const ResultCode made = CreateDialogWindoid(rect);
    if (made != kResultOk) return made;
    SetCancelResult(kCreditsEditCancel);
    ok_ = AddDialogButton(this, {}, kOkLabel, kCreditsEditOk, ButtonResultId(kOkLabel), true, nullptr);
    cancel_ = AddDialogButton(this, {}, kCancelLabel, kCreditsEditCancel, ButtonResultId(kCancelLabel), false,
                              nullptr);
    pictureButton_ = AddPictureButton(this, PictureButton::kChoose, kPictureLabel);
    noPictureButton_ = AddPictureButton(this, PictureButton::kRemove, kNoPictureLabel);
    text_ = new (std::nothrow) EditText(kEditMultilineStyle);
    if (text_) {
        text_->ItemInit();
        text_->ItemSetStyle(kEditFieldStyle);
        char* characters = CopyCreditsText(owner->CreditsText());
        text_->ItemSetTitle(characters ? characters : "");
        std::free(characters);
        PaneAddControl(text_);
    }
    initialPicture_ = currentPicture_ = owner->CreditsPicture();
    PlaceItems(rect.Width(), rect.Height());
    PortRect screen;
    GetScreenBounds(&screen);
    windoid_->SetWindowSizeLimits({kEditorMinimumWidth, kEditorMinimumHeight}, {screen.Width(), screen.Height()});
    SetDialogText(kEditorTitle);
    return ok_ && cancel_ && pictureButton_ && noPictureButton_ && text_ ? kResultOk : kResultOutOfMemory;
}

void CreditsEditDialog::PlaceItems(int32_t width, int32_t height)
{
    const CreditsEditorPlaces places = PlaceCreditsEditorItems(width, height);
    if (ok_) ok_->ItemSetBounds(places.ok);
    if (cancel_) cancel_->ItemSetBounds(places.cancel);
    if (pictureButton_) pictureButton_->ItemSetBounds(places.picture);
    if (noPictureButton_) noPictureButton_->ItemSetBounds(places.noPicture);
    if (text_) text_->ItemSetBounds(places.text);
}

void CreditsEditDialog::ChoosePicture()
{
    const Owned<DiskFileStream> file(new (std::nothrow) DiskFileStream);
    if (!file) return;
    if (file->FileObjectInit(kFileOpenDialog, kBitmapFileType, 0, kBitmapFilter, "") == kResultOk &&
        file->FileDialog() == kResultOk)
        IgnoreResult(TakePictureFile(file.get()));  // a file that gives no picture is refused with a beep
}

ResultCode CreditsEditDialog::TakePictureFile(DiskFileStream* file)
{
    Q_Offscreen* picture = nullptr;
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    if (file->FileOpenStream() == kResultOk) {
        using PictureReader = OffscreenReader<BmpImageReader>;
        if (const Owned<PictureReader> reader{new (std::nothrow) PictureReader(file)}) {
            IgnoreResult(reader->Read(0));  // a failed read alerts and leaves no picture
            picture = reader->ImageReaderOffscreen();
        }
        IgnoreResult(file->FileCloseStream());
    }
    // The picture shown stays when the file gave none.
    if (!picture) {
        PlayBeep(kRefusedBeep);
        return kResultNoPicture;
    }
    ReplacePicture(picture);
    return kResultOk;
}

void CreditsEditDialog::RemovePicture()
{
    ReplacePicture(nullptr);
}

void CreditsEditDialog::ReplacePicture(Q_Offscreen* picture)
{
    const PictureSize before = CreditsPictureSize(currentPicture_);
    if (currentPicture_ && currentPicture_ != initialPicture_) currentPicture_->DisposeOffscreen();
    currentPicture_ = picture;
    FitWindowToPicture(before, CreditsPictureSize(picture));
}

void CreditsEditDialog::FitWindowToPicture(PictureSize before, PictureSize after)
{
    if (!windoid_) return;
    PortRect screen;
    GetScreenBounds(&screen);
    PortRect place;
    windoid_->GetWindowBounds(&place);
    const PortRect resized = ResizedForPicture(place, before, after, screen);
    windoid_->HideWindowObject();
    windoid_->MoveWindowObject(resized);
    PlaceItems(resized.Width(), resized.Height());
    windoid_->ShowWindowObject();
    RedrawPane(kDrawFull);
}

void CreditsEditDialog::CommitTo(CreditsOwner* owner)
{
    DynamicArray* oldText = owner->CreditsText();
    bool refused = false;
    DynamicArray* newText = text_ ? FieldTextArray(text_, &refused) : nullptr;
    // Without memory for the new text the owner keeps the old one rather than none.
    if (refused) newText = oldText;
    owner->SetCredits(currentPicture_, newText);
    if (initialPicture_ && initialPicture_ != currentPicture_) initialPicture_->DisposeOffscreen();
    initialPicture_ = currentPicture_;
    if (oldText && oldText != newText) oldText->Destroy();
    owner->CreditsChanged(1);
}

void CreditsEditDialog::DiscardNewPicture()
{
    if (currentPicture_ && currentPicture_ != initialPicture_) currentPicture_->DisposeOffscreen();
    currentPicture_ = initialPicture_;
}

int32_t EditCredits(CreditsOwner* owner)
{
    PortRect screen;
    GetScreenBounds(&screen);
    const PictureSize size = CreditsPictureSize(owner->CreditsPicture());
    const PortRect rect = CreditsEditorRect(screen, owner->CreditsPicture() ? &size : nullptr);
    auto* dialog = new (std::nothrow) CreditsEditDialog;
    if (!dialog) return kCreditsEditCancel;
    int32_t result = kCreditsEditCancel;
    if (dialog->BuildCreditsEditor(rect, owner) == kResultOk) {
        dialog->ShowDialog();
        result = dialog->RunModalDialog();
    }
    if (result == kCreditsEditOk)
        dialog->CommitTo(owner);
    else
        dialog->DiscardNewPicture();
    dialog->CloseDialog();
    return result;
}
