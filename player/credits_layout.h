// The geometry of the credits windows: the credits dialog's rectangle and text lines from its
// picture's size and its text's measured width, where its picture is copied, and the credits
// editor's rectangle, the places of its items and how it follows a change of picture.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "toolkit/dialog_layout.h"

namespace CreditsLayout {
constexpr int32_t kMargin = DialogLayout::kMargin;
constexpr int32_t kButtonWidth = DialogLayout::kButtonWidth;
constexpr int32_t kButtonHeight = DialogLayout::kButtonHeight;
constexpr int32_t kBaseWidth = 297;
constexpr int32_t kBaseHeight = 2 * kMargin + kButtonHeight;  // 54: the OK button alone
constexpr int32_t kLineHeight = 14;
// Words wrap short of the line's end: the measured width is shared out over lines this much
// narrower than the text item.
constexpr int32_t kWrapAllowance = 10;
// The text's line width: the dialog's width less both margins and the allowance.
constexpr int32_t kTextInset = 2 * kMargin + kWrapAllowance;  // 36
// The text item's bottom as it is built, before the layout gives it its lines.
constexpr int32_t kStartTextBottom = 63;

// The editor: its height without picture and edit field, the edit field's share, the picture
// buttons' width and the gap between them, and its least size.
constexpr int32_t kEditorBaseHeight = 66;
constexpr int32_t kEditFieldHeight = 50;
constexpr int32_t kPictureButtonWidth = kButtonWidth + 20;  // 81
constexpr int32_t kPictureButtonGap = 3;
constexpr int32_t kEditorMinimumWidth = kBaseWidth;
constexpr int32_t kEditorMinimumHeight = kEditorBaseHeight + kMargin + kEditFieldHeight;  // 129
// The editor is placed this much lower than centred (and kept inside the screen's gaps).
constexpr int32_t kEditorLowering = 10;
}  // namespace CreditsLayout

// A picture's size in pixels; 0 x 0 for none.
struct PictureSize {
    int32_t width;
    int32_t height;
};

struct CreditsDialogLayout {
    PortRect rect;  // the content rectangle on the screen
    int32_t lines;  // the text's lines; 0 without a text
    PortRect text;  // the text item, in the dialog: as many of the lines as fit
};

// The credits dialog centred on the screen and kept inside it less the editor's gaps, as wide
// as its picture and as tall as its picture and text ask unless the screen cuts it: `picture`
// null without one, `textWidth` the measured width of the text, negative without one.
CreditsDialogLayout LayOutCreditsDialog(const PortRect& screen, const PictureSize* picture, int32_t textWidth);

// The credits dialog's items as built in a dialog `width` x `height`: the OK button centred at
// the bottom, and the text item before the layout gives it its lines.
PortRect CreditsOkButtonBounds(int32_t width, int32_t height);
PortRect CreditsTextStartBounds(int32_t width);

// Where a picture of the given bounds is copied in a pane's content: below the top margin,
// centred between the side margins when it is narrower than they leave, and clipped to the
// content less the margins; the source is cut as the target was, so that a clipped picture is
// cut, never squeezed. Empty rectangles when nothing of it shows.
struct PictureCopy {
    PortRect source;
    PortRect target;
};
PictureCopy CreditsPictureCopy(const PortRect& content, const PortRect& pictureBounds);

// The editor's content rectangle on the screen for a picture (null: none).
PortRect CreditsEditorRect(const PortRect& screen, const PictureSize* picture);
// The editor's rectangle after its picture changed size: grown or shrunk by half the difference
// on each side, never below the least size, kept inside the screen.
PortRect ResizedForPicture(const PortRect& rect, PictureSize before, PictureSize after, const PortRect& screen);

// The editor's items in a dialog `width` x `height`: the buttons stand on the bottom row ("No
// Picture" above "Picture..."), the edit field at the top.
struct CreditsEditorPlaces {
    PortRect ok;
    PortRect cancel;
    PortRect picture;
    PortRect noPicture;
    PortRect text;
};
CreditsEditorPlaces PlaceCreditsEditorItems(int32_t width, int32_t height);
