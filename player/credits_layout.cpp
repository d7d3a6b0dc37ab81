// The credits windows' geometry: pure arithmetic on rectangles.
#include "player/credits_layout.h"

#include <algorithm>

using namespace CreditsLayout;

CreditsDialogLayout LayOutCreditsDialog(const PortRect& screen, const PictureSize* picture, int32_t textWidth)
{
    int32_t width = kBaseWidth;
    int32_t height = kBaseHeight;
    if (picture) {
        height += kMargin + picture->height;
        if (picture->width + 2 * kMargin > width) width = picture->width + 2 * kMargin;
    }
    // A picture wider than the screen less its gaps narrows the dialog to them, and the text
    // wraps in the width kept. No screen leaves a line less than a pixel.
    width = KeepInsideScreen(CentredOnScreen(screen, width, height), screen).Width();
    const int32_t lineWidth = std::max(width - kTextInset, 1);
    // A text gets a line more than its width fills, even when it fills its lines exactly.
    const int32_t lines = textWidth < 0 ? 0 : textWidth / lineWidth + 1;
    // Whatever passes the screen's height is cut by the screen all the same: the height is taken
    // no further, so that no count of lines overflows it.
    if (lines > 0)
        height = int32_t(std::min<int64_t>(height + int64_t(lines) * kLineHeight + kMargin, screen.Height()));

    CreditsDialogLayout layout;
    layout.rect = KeepInsideScreen(CentredOnScreen(screen, width, height), screen);
    layout.lines = lines;
    // The text shows the lines that fit above the OK button's row, a margin above the button: all
    // of them unless the screen cut the dialog. Below a picture taller than the screen it stands
    // at the button's top, at most a margin below where its lines end, and so shows none.
    const int32_t buttonTop = layout.rect.Height() - kMargin - kButtonHeight;
    const int32_t textTop = std::min(picture ? 2 * kMargin + picture->height : kMargin, buttonTop);
    const int32_t shown = std::min((buttonTop - kMargin - textTop) / kLineHeight, lines);
    layout.text = {kMargin, textTop, layout.rect.Width() - kMargin, textTop + shown * kLineHeight};
    return layout;
}

PortRect CreditsOkButtonBounds(int32_t width, int32_t height)
{
    const int32_t right = (width + kButtonWidth) / 2;
    return {right - kButtonWidth, height - kMargin - kButtonHeight, right, height - kMargin};
}

PortRect CreditsTextStartBounds(int32_t width)
{
    return {kMargin, kMargin, width - kMargin, kStartTextBottom};
}

PictureCopy CreditsPictureCopy(const PortRect& content, const PortRect& pictureBounds)
{
    const int32_t pictureWidth = pictureBounds.Width();
    PortRect target = {pictureBounds.left + kMargin, pictureBounds.top + kMargin, pictureBounds.right + kMargin,
                       pictureBounds.bottom + kMargin};
    const int32_t available = content.Width() - 2 * kMargin;
    if (pictureWidth < available) {
        const int32_t shift = (available - pictureWidth) / 2;
        target.left += shift;
        target.right += shift;
    }
    const PortRect clipped = {std::max(target.left, content.left + kMargin), std::max(target.top, content.top + kMargin),
                              std::min(target.right, content.right - kMargin),
                              std::min(target.bottom, content.bottom - kMargin)};
    if (clipped.IsEmpty()) return {{0, 0, 0, 0}, {0, 0, 0, 0}};
    const PortRect source = {pictureBounds.left + (clipped.left - target.left),
                             pictureBounds.top + (clipped.top - target.top),
                             pictureBounds.right - (target.right - clipped.right),
                             pictureBounds.bottom - (target.bottom - clipped.bottom)};
    return {source, clipped};
}

PortRect CreditsEditorRect(const PortRect& screen, const PictureSize* picture)
{
    int32_t width = kBaseWidth;
    int32_t height = kEditorBaseHeight;
    if (picture) {
        height = kMargin + picture->height + kEditorBaseHeight;
        if (picture->width + 2 * kMargin > width) width = picture->width + 2 * kMargin;
    }
    height += kMargin + kEditFieldHeight;
    PortRect rect = CentredOnScreen(screen, width, height);
    rect.bottom += kEditorLowering;
    return KeepInsideScreen(rect, screen);
}

PortRect ResizedForPicture(const PortRect& rect, PictureSize before, PictureSize after, const PortRect& screen)
{
    const int32_t dx = after.width - before.width;
    const int32_t dy = after.height - before.height;
    PortRect resized = {rect.left - dx / 2, rect.top - dy / 2, rect.right + (dx - dx / 2),
                        rect.bottom + (dy - dy / 2)};
    if (resized.Width() < kEditorMinimumWidth) resized.right = resized.left + kEditorMinimumWidth;
    if (resized.Height() < kEditorMinimumHeight) resized.bottom = resized.top + kEditorMinimumHeight;
    return KeepInsideScreen(resized, screen);
}

CreditsEditorPlaces PlaceCreditsEditorItems(int32_t width, int32_t height)
{
    const int32_t rowTop = height - kMargin - kButtonHeight;
    const int32_t rowBottom = height - kMargin;
    CreditsEditorPlaces places;
    places.ok = {width - kMargin - kButtonWidth, rowTop, width - kMargin, rowBottom};
    places.cancel = {places.ok.left - kMargin - kButtonWidth, rowTop, places.ok.left - kMargin, rowBottom};
    places.picture = {kMargin, rowTop, kMargin + kPictureButtonWidth, rowBottom};
    const int32_t upperBottom = rowTop - kPictureButtonGap;
    places.noPicture = {kMargin, upperBottom - kButtonHeight, kMargin + kPictureButtonWidth, upperBottom};
    places.text = {kMargin, kMargin, width - kMargin, kMargin + kEditFieldHeight};
    return places;
}
