// CreditsEditDialog: the dialog titled "Credits..." in which a model's credits are edited: the
// picture drawn as the credits window draws it, an edit field with the text, "Picture..." and
// "No Picture" to change the picture, "OK" and "Cancel". EditCredits (credits_window.h) runs it;
// nothing in the program opens it.
#pragma once

#include <cstdint>

#include "player/credits_layout.h"
#include "player/credits_window.h"

class DiskFileStream;
class EditText;
class FocusPushButton;

// What the editor's run answers.
constexpr int32_t kCreditsEditOk = 0;
constexpr int32_t kCreditsEditCancel = 1;

class CreditsEditDialog : public DialogWindow {
public:
    // The current picture as the credits window draws its picture; then the controls.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;

    // Makes the windoid at the content rectangle (screen coordinates) with its items, for the
    // owner's picture and text; kResultOutOfMemory or kResultNotFound when it could not be made.
    ResultCode BuildCreditsEditor(const PortRect& rect, CreditsOwner* owner);
    // "Picture...": the Open dialog for a bitmap file, then TakePictureFile.
    void ChoosePicture();
    // Reads the bitmap file (its object stays the caller's) into a new picture that replaces the
    // current one, and fits the window to it. A file that cannot be read beeps and leaves the
    // picture as it was: kResultNoPicture.
    ResultCode TakePictureFile(DiskFileStream* file);
    // "No Picture": drops the current picture and shrinks the window by its size.
    void RemovePicture();
    // After "OK", while the edit field still has its control: the owner takes the current
    // picture and the field's whole text (none when the field is empty), its replaced picture
    // and text are freed, and it is told of the change.
    void CommitTo(CreditsOwner* owner);
    // After "Cancel": a picture chosen in the dialog is disposed; the owner keeps its credits.
    void DiscardNewPicture();

    Q_Offscreen* CurrentPicture() const { return currentPicture_; }
    Q_Offscreen* InitialPicture() const { return initialPicture_; }
    PaneItem* OkButton() const { return ok_; }
    PaneItem* CancelButton() const { return cancel_; }
    FocusPushButton* PictureButton() const { return pictureButton_; }
    FocusPushButton* NoPictureButton() const { return noPictureButton_; }
    EditText* TextField() const { return text_; }

protected:
    ~CreditsEditDialog() override = default;

private:
    // Drops the current picture (disposing it unless it is the initial one), takes the new one
    // (or none) and fits the window to the change of size.
    void ReplacePicture(Q_Offscreen* picture);
    // Hidden, moved to the rectangle grown or shrunk by the change of picture size, its items
    // placed again for the new size, shown again.
    void FitWindowToPicture(PictureSize before, PictureSize after);
    void PlaceItems(int32_t width, int32_t height);

    PaneItem* ok_ = nullptr;
    PaneItem* cancel_ = nullptr;
    FocusPushButton* pictureButton_ = nullptr;
    FocusPushButton* noPictureButton_ = nullptr;
    Q_Offscreen* currentPicture_ = nullptr;
    Q_Offscreen* initialPicture_ = nullptr;  // the owner's, disposed only when OK replaced it
    EditText* text_ = nullptr;
};
