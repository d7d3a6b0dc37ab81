// The credits window: the picture and the text that a model's author put into its credits, shown
// in a modal dialog titled "Credits" with an "OK" button; and the dialog in which credits are
// edited, a facility that nothing in the program opens.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/root_object.h"
#include "toolkit/dialog_window.h"

class DismissButton;
class DynamicArray;
class Q_Offscreen;
class TextItem;
struct PictureSize;

// Builds, runs and closes the credits dialog for the picture and the text (each may be null).
// The text is the bytes of the credits text, used within its element count.
void ShowCredits(Q_Offscreen* picture, DynamicArray* text);

class CreditsDialog : public DialogWindow {
public:
    // The picture centred between the side margins below the top margin, clipped to the content
    // less the margins; then the controls.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;

    void SetCreditsPicture(Q_Offscreen* picture) { picture_ = picture; }
    Q_Offscreen* CreditsPicture() const { return picture_; }
    DismissButton* OkButton() const { return okButton_; }
    TextItem* CreditsTextItem() const { return textItem_; }

protected:
    ~CreditsDialog() override = default;

private:
    friend ResultCode BuildCreditsDialog(CreditsDialog* dialog, const PortRect& rect);

    DismissButton* okButton_ = nullptr;
    Q_Offscreen* picture_ = nullptr;  // borrowed from the model window
    TextItem* textItem_ = nullptr;
};

// The windoid at the rectangle with the OK button and the text item.
ResultCode BuildCreditsDialog(CreditsDialog* dialog, const PortRect& rect);

// The picture's size in pixels; 0 x 0 for none.
PictureSize CreditsPictureSize(const Q_Offscreen* picture);

// Copies the picture into the pane being drawn, below its top margin, centred between its side
// margins and clipped to its content less the margins.
void DrawCreditsPicture(Pane* pane, Q_Offscreen* picture);

// What the credits editor works on: a credits picture and a credits text array, and the call
// that tells the owner they changed.
class CreditsOwner : public RootObject {
public:
    virtual Q_Offscreen* CreditsPicture() = 0;
    virtual DynamicArray* CreditsText() = 0;
    // Takes the new picture and text (either may be null); the old text array is freed by the
    // editor, the old picture by the editor when it was replaced.
    virtual void SetCredits(Q_Offscreen* picture, DynamicArray* text) = 0;
    // Called with 1 once the credits changed.
    virtual void CreditsChanged(int32_t changed) = 0;
};

// The credits editing dialog ("Credits...") for the owner's picture and text; 0 for OK, 1 for
// Cancel.
int32_t EditCredits(CreditsOwner* owner);
