// The progress window: its windoid and button, its text lines and their fitting, the layouts
// with and without credits, the bar and its drawing, and the "Finished loading." notice.
#include "toolkit/progress_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "draw/font_faces.h"
#include "draw/pen_state.h"
#include "draw/q_offscreen.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "foundation/dynamic_array.h"
#include "toolkit/bevel.h"
#include "toolkit/dialog_layout.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/stop_button.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using DialogLayout::kButtonHeight;
using DialogLayout::kButtonWidth;
using DialogLayout::kMargin;

constexpr char kWindowTitle[] = "Progress";
constexpr char kFinishedText[] = "Finished loading.";
constexpr size_t kTextBufferSize = 256;

ProgressTextHook gProgressTextHook = nullptr;

// The window without credits: its width, its height without text lines, what each line adds,
// and where its centre is placed (the left edge and top edge from the screen's centre).
constexpr int32_t kWindowWidth = 297;
constexpr int32_t kWindowHeight = 66;
constexpr int32_t kLineStep = 16;
constexpr int32_t kCentreToLeft = 148;
constexpr int32_t kCentreToTop = 49;
// The first and the second text row; a line alone takes the first. The second row shares its
// width with the counter field.
constexpr PortRect kFirstRow = {13, 13, 263, 31};
constexpr PortRect kSecondRow = {13, 33, 201, 51};
constexpr int32_t kCounterLeft = 236;
constexpr int32_t kCounterRight = 274;
// Drawing a line clears its rectangle and this much below it.
constexpr int32_t kLineClearance = 5;
// The bar: its gaps above the window's bottom edge, and its right gap with a button.
constexpr int32_t kBarTopGap = 33;
constexpr int32_t kBarBottomGap = 20;
constexpr int32_t kButtonLeftGap = kMargin + kButtonWidth;   // 74
constexpr int32_t kButtonTopGap = kMargin + kButtonHeight;   // 41
constexpr int32_t kBarRightGapWithButton = kButtonLeftGap + kMargin;  // 87

// The window with credits.
constexpr int32_t kCreditsHeight = 62;
constexpr int32_t kCreditsBarTopGap = 26;
constexpr int32_t kCreditsBarBottomGap = 13;
constexpr int32_t kCreditsLineTopGap = 47;
constexpr int32_t kCreditsLineBottomGap = 29;
constexpr int32_t kCreditsTextLineHeight = 14;
// What the text leaves of the window's width: both margins and 10 more.
constexpr int32_t kCreditsTextInset = 2 * kMargin + 10;
constexpr ItemStyle kCreditsTextStyle = {0, 1, kFontBold, 10, 3};

constexpr int32_t kCancelResult = 3;
constexpr int32_t kStopResult = 1;
constexpr int32_t kOkResult = 1;
constexpr int32_t kQuitResult = 1;
constexpr int32_t kStopCommandResult = 1;
// A text line keeps at least this many characters when it is cut, the last three of them dots.
constexpr int32_t kShortestCutLength = 3;
constexpr char kEllipsis[] = "...";

constexpr RGBColor48 kEmptyBarColor = {0xCCCD, 0xCCCD, 0xFFFF};
constexpr RGBColor48 kFilledBarColor = {0x451F, 0x451F, 0x451F};

// Cuts the line's text until it fits the width, ending a cut text in "...". The text is
// measured in the screen's own font, as the credits are.
void FitLineText(TextItem* line, int32_t width)
{
    char text[kTextBufferSize];
    line->ItemGetTitle(text);
    const int32_t original = int32_t(std::strlen(text));
    int32_t length = original;
    while (length > kShortestCutLength && TextWidth(text, 0, length) > width) --length;
    if (length < original) std::memcpy(text + length - kShortestCutLength, kEllipsis, kShortestCutLength);
    text[length] = 0;
    line->ItemSetTitle(text);
}

// Stores at most 255 characters of the text as the item's title.
void SetItemText(TextItem* item, const char* text)
{
    char limited[kTextBufferSize];
    std::snprintf(limited, sizeof limited, "%s", text ? text : "");
    item->ItemSetTitle(limited);
}

PortRect RowOf(const PortRect& row, int32_t left, int32_t right)
{
    return {left, row.top, right, row.bottom};
}

// The window with credits of the content size: centred on the screen, its edges kept inside the
// screen's gaps, never below the window's least size.
PortRect CreditsWindowRect(const PortRect& screen, int32_t width, int32_t height)
{
    PortRect rect = KeepInsideScreen(CentredOnScreen(screen, width, height), screen);
    if (rect.Width() < kWindowWidth) rect.right = rect.left + kWindowWidth;
    if (rect.Height() < kWindowHeight) rect.bottom = rect.top + kWindowHeight;
    return rect;
}

// The bottom of the credits' area, above the text lines, in a window with credits `height` high:
// the picture and the credits text end there.
int32_t CreditsAreaBottom(int32_t height)
{
    return height - kCreditsHeight;
}

}  // namespace

ResultCode ProgressWindow::CreateProgressWindoid(int32_t mode)
{
    SetDialogText(kWindowTitle);
    GetScreenBounds(&bar_);
    if (CreateDialogWindoid(bar_) != kResultOk) return kResultNotFound;
    if (mode == kProgressCancel || mode == kProgressStop) {
        auto* button = new (std::nothrow) StopButton;
        if (button) {
            button->ItemInit();
            button->SetControlTitle(mode == kProgressStop ? "Stop" : "Cancel");
            button->SetDismissResult(mode == kProgressStop ? kStopResult : kCancelResult);
            // The system's Cancel command: Escape and WM_CLOSE press it.
            button->SetControlCommand(IDCANCEL);
            DialogSetDefault(button);
            PaneAddControl(button);
            button_ = button;
        }
    }
    counter_ = AddTextLine();
    return kResultOk;
}

TextItem* ProgressWindow::AddTextLine()
{
    auto* line = new (std::nothrow) TextItem;
    if (!line) return nullptr;
    line->ItemInit();
    PaneAddControl(line);
    return line;
}

void ProgressWindow::SetProgressTitle(const char* text)
{
    std::snprintf(progressTitle_, sizeof progressTitle_, "%s", text ? text : "");
    if (windoid_) windoid_->SetWindowTitle(progressTitle_);
}

void InstallProgressTextHook(ProgressTextHook hook)
{
    gProgressTextHook = hook;
}

void ProgressWindow::SetLine(TextItem** line, const char* text, bool detail)
{
    if (gProgressTextHook && text) gProgressTextHook(text);
    PumpAtNextUpdate();
    if (!*line) *line = AddTextLine();
    if (!*line) return;
    BeginPaneDrawing();
    PortRect cleared = (*line)->Bounds();
    cleared.bottom += kLineClearance;
    if (detail) {
        FillSystemColorRect(cleared, COLOR_BTNFACE);
        TextMode(kTextTransparent);
    } else {
        EraseRect(cleared);
    }
    SetItemText(*line, text);
    (*line)->ItemDraw();
    EndPaneDrawing();
}

void ProgressWindow::SetMessage(const char* text)
{
    SetLine(&line1_, text, false);
}

void ProgressWindow::SetDetail(const char* text)
{
    SetLine(&line2_, text, true);
}

void ProgressWindow::SetTotal(int32_t total)
{
    total_ = total;
    const int32_t width = int16_t(bar_.right - bar_.left);
    pixelsPerUnit_ = total >= 1 ? double(width) / total : width;
}

void ProgressWindow::SetCounter(const char* text)
{
    if (!counter_) counter_ = AddTextLine();
    if (!counter_) return;
    counterShown_ = 1;
    SetItemText(counter_, text);
}

void ProgressWindow::CopyMessage(char* buffer, size_t size) const
{
    if (!line1_ || !buffer || size == 0) return;
    std::snprintf(buffer, size, "%s", line1_->Title() ? line1_->Title() : "");
}

void ProgressWindow::RequestStop()
{
    if (!result_) result_ = kQuitResult;
}

void ProgressWindow::TakeStopCommand()
{
    result_ = kStopCommandResult;
}

void ProgressWindow::PlaceBarAndButton(int32_t width, int32_t height, int32_t topGap, int32_t bottomGap)
{
    const int32_t right = width - (button_ ? kBarRightGapWithButton : kMargin);
    bar_ = {kMargin, height - topGap, right, height - bottomGap};
    SetTotal(total_);
    if (button_)
        button_->ItemSetBounds({width - kButtonLeftGap, height - kButtonTopGap, width - kMargin, height - kMargin});
}

void ProgressWindow::MoveWindoid(const PortRect& content)
{
    // The lock holds the windoids against the user while a load pumps messages; a stage that
    // lays this window out from inside a pump must still size it for its lines and credits.
    const int32_t locked = WindoidPositionLock();
    SetWindoidPositionLock(0);
    windoid_->MoveWindowObject(content);
    SetWindoidPositionLock(locked);
}

void ProgressWindow::LayOutAndShow()
{
    // A window that has laid credits out keeps its place and size (a stage's show, a picture
    // decoded, comes while they are shown): its lines stand where the credits layout puts them.
    if (creditsLaidOut_) {
        PlaceCreditsLines(creditsHeight_);
        SetDialogText(progressTitle_);
        if (!windoid_) return;
        ShowDialog();
        RedrawPane(kDrawFull);
        return;
    }
    PortRect screen;
    GetScreenBounds(&screen);
    const int32_t lines = (line1_ ? 1 : 0) + (line2_ ? 1 : 0);
    const int32_t left = screen.left + screen.Width() / 2 - kCentreToLeft;
    const int32_t top = screen.top + screen.Height() / 2 - kCentreToTop;
    const PortRect rect = {left, top, left + kWindowWidth, top + kWindowHeight + lines * kLineStep};

    if (line1_) {
        line1_->ItemSetBounds(kFirstRow);
        FitLineText(line1_, kFirstRow.Width());
    }
    const PortRect& detailRow = line1_ ? kSecondRow : kFirstRow;
    if (line2_) {
        line2_->ItemSetBounds(detailRow);
        FitLineText(line2_, detailRow.Width());
    }
    if (counter_) counter_->ItemSetBounds(RowOf(line2_ ? detailRow : kSecondRow, kCounterLeft, kCounterRight));

    SetDialogText(progressTitle_);
    if (!windoid_) return;
    MoveWindoid(rect);
    PlaceBarAndButton(rect.Width(), rect.Height(), kBarTopGap, kBarBottomGap);
    ShowDialog();
    RedrawPane(kDrawFull);
}

void ProgressWindow::AdvanceBar(int32_t increment)
{
    value_ = total_ == -1 ? increment : value_ + increment;
    const int32_t width = bar_.right - bar_.left;
    // Within the total the scaled value is at most the width; below 0 nothing is filled.
    const double scaled = value_ * pixelsPerUnit_ + 0.5;
    const int32_t filled = value_ > total_ || total_ == -1 ? width : scaled < 0 ? 0 : int32_t(scaled);
    if (filled == barShown_) return;
    barShown_ = filled;
    const int32_t right = bar_.right;
    bar_.right = bar_.left + filled;
    RedrawPane(kDrawProgressBar);
    bar_.right = right;
}

void ProgressWindow::Draw(int32_t mode, int32_t horizontal, int32_t vertical)
{
    if (mode == kDrawProgressBar) {
        const PortRect filled = {bar_.left + 1, bar_.top + 1, bar_.right - 1, bar_.bottom - 1};
        if (!filled.IsEmpty()) {
            PaintColourRect(filled, kFilledBarColor);
            RGBForeColor(kBlackColor);
        }
    } else {
        // The bar is drawn empty: the next update fills it.
        barShown_ = kBarNotShown;
        // Through the shared offscreen when there is one, so that the window does not flicker.
        const bool buffered = Lock() == kResultOk;
        FillSystemColorRect(contentRect_, COLOR_BTNFACE);
        PaintColourRect(bar_, kEmptyBarColor);
        RGBForeColor(kBlackColor);
        FrameRect(bar_);
        if (buffered) {
            PaneShowLinkedOffscreen(contentRect_);
            Unlock();
        }
        if (creditsPicture_) DrawCreditsPicture();
        TextMode(kTextTransparent);
        PaneDrawControls(mode, horizontal, vertical);
    }
    if (counterShown_ && counter_) counter_->ItemDraw();
}

void ProgressWindow::DrawCreditsPicture()
{
    const PortRect& picture = creditsPicture_->PortBounds();
    const int32_t paneWidth = contentRect_.Width();
    const int32_t left = picture.Width() < paneWidth - 2 * kMargin ? (paneWidth - picture.Width()) / 2 : kMargin;
    // A picture taller than the window that the screen leaves is cut at the bottom of the
    // credits' area, above the text lines and the bar.
    const int32_t rows = std::min(picture.Height(), CreditsAreaBottom(contentRect_.Height()) - kMargin);
    if (rows <= 0) return;
    const PortRect source = {0, 0, picture.Width(), rows};
    creditsPicture_->CopyOffscreenToPort(this, source, {left, kMargin, left + picture.Width(), kMargin + rows});
}

void ProgressWindow::RemoveCreditsText()
{
    if (!creditsText_) return;
    PaneRemoveControl(creditsText_);
    creditsText_->ItemDelete();
    creditsText_ = nullptr;
}

int32_t ProgressWindow::AddCreditsText(int32_t top, int32_t width)
{
    if (!waitingText_) return 0;
    auto* item = new (std::nothrow) TextItem;
    if (!item) return 0;
    const auto* text = static_cast<const char*>(waitingText_->ArrayData());
    item->ItemInit();
    item->ItemSetStyle(kCreditsTextStyle);
    item->ItemSetTitle(text);
    // Measured in the screen's own font, as the credits window measures the same text, so that
    // both give it the same lines.
    const int32_t lines = TextWidth(text, 0, waitingText_->ArrayCount() - 1) / (width - kCreditsTextInset) + 1;
    item->ItemSetBounds({kMargin, top, width - kMargin, top + lines * kCreditsTextLineHeight});
    PaneAddControl(item);
    creditsText_ = item;
    return lines * kCreditsTextLineHeight + kMargin;
}

void ProgressWindow::SetCredits(Q_Offscreen* picture, const DynamicArray* text)
{
    if (!picture && !text && !ShowsCredits() && !creditsWaiting_) return;
    waitingPicture_ = picture;
    waitingText_.reset();
    if (text && text->ArrayData()) {
        // The characters stand without a terminator; a zero among them ends the text.
        const size_t count = size_t(text->ArrayCount()) * size_t(text->ElementSize());
        const auto* characters = static_cast<const char*>(text->ArrayData());
        const size_t length = strnlen(characters, count);
        if (length > 0) waitingText_.reset(NewDynamicArray(int32_t(length) + 1, 1, 1));
        if (waitingText_) {
            auto* copy = static_cast<char*>(waitingText_->ArrayData());
            std::memcpy(copy, characters, length);
            copy[length] = 0;
        }
    }
    creditsWaiting_ = true;
    if (picture || text) return;
    RemoveCreditsText();
    creditsPicture_ = nullptr;
}

void ProgressWindow::LayOutCredits()
{
    creditsWaiting_ = false;
    RemoveCreditsText();
    creditsPicture_ = waitingPicture_;
    if (!windoid_) return;

    int32_t width = std::max(kWindowWidth, creditsWidth_);
    int32_t height = kCreditsHeight;
    int32_t textTop = kMargin;
    if (creditsPicture_) {
        const PortRect& bounds = creditsPicture_->PortBounds();
        height += bounds.Height() + kMargin;
        if (bounds.Width() + 2 * kMargin > width) width = bounds.Width() + 2 * kMargin;
        textTop = 2 * kMargin + bounds.Height();
    }
    PortRect screen;
    GetScreenBounds(&screen);
    // The text wraps in the width that the window keeps on the screen.
    width = CreditsWindowRect(screen, width, height).Width();
    height += AddCreditsText(textTop, width);
    const PortRect rect = CreditsWindowRect(screen, width, std::max(height, creditsHeight_));
    creditsWidth_ = rect.Width();
    creditsHeight_ = rect.Height();
    creditsLaidOut_ = true;
    MoveWindoid(rect);

    const int32_t w = rect.Width();
    const int32_t h = rect.Height();
    PlaceBarAndButton(w, h, kCreditsBarTopGap, kCreditsBarBottomGap);
    PlaceCreditsLines(h);
    // The text shows the lines that fit above the message: all of them unless the screen cut the
    // window.
    if (creditsText_) {
        PortRect bounds = creditsText_->Bounds();
        const int32_t fit = (CreditsAreaBottom(h) - bounds.top) / kCreditsTextLineHeight;
        bounds.bottom = std::min(bounds.bottom, bounds.top + std::max(fit, 0) * kCreditsTextLineHeight);
        creditsText_->ItemSetBounds(bounds);
    }

    windoid_->ShowWindowObject();
    RedrawPane(kDrawFull);
}

void ProgressWindow::CreditsLaidOut(uint32_t began, uint32_t ended)
{
    nextCreditsLayout_ = ended + std::max(kCreditsLayoutSpacing, kCreditsLayoutShare * (ended - began));
}

void ProgressWindow::PlaceCreditsLines(int32_t height)
{
    for (TextItem* line : {line1_, line2_, counter_})
        if (line) line->ItemSetBounds(CreditsLineRect(height));
}

PortRect ProgressWindow::CreditsLineRect(int32_t height) const
{
    return {kMargin, height - kCreditsLineTopGap, bar_.right, height - kCreditsLineBottomGap};
}

void ProgressWindow::DeleteErasedItem(TextItem** item)
{
    if (!*item) return;
    PaneRemoveControl(*item);
    EraseRect((*item)->Bounds());
    (*item)->ItemDelete();
    *item = nullptr;
}

void ProgressWindow::AwaitAcknowledgement()
{
    if (!ShowsCredits() || !button_ || StopRequested()) return;
    BeginPaneDrawing();
    DeleteErasedItem(&counter_);
    counterShown_ = 0;
    DeleteErasedItem(&line2_);
    EndPaneDrawing();
    if (!line1_) {
        line1_ = AddTextLine();
        if (line1_) line1_->ItemSetBounds(CreditsLineRect(contentRect_.Height()));
    }
    SetMessage(kFinishedText);

    const PortRect place = button_->Bounds();
    // The focus leaves the Stop button before it goes.
    DialogSetDefault(nullptr);
    PaneRemoveControl(button_);
    button_->ItemDelete();
    button_ = nullptr;
    auto* ok = new (std::nothrow) DismissButton;
    if (!ok) return;
    ok->ItemInit();
    ok->SetControlTitle("OK");
    ok->SetDismissResult(kOkResult);
    ok->SetControlCommand(IDOK);
    ok->ItemSetBounds(place);
    DialogSetDefault(ok);
    PaneAddControl(ok);
    button_ = ok;
    total_ = -1;
    RunModalDialog();
}
