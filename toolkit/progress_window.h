// ProgressWindow: the small dialog through which long loads report their progress: a title, one
// or two text lines, a bar, and a Stop or Cancel button (or none), grown to show a model's
// credits picture and text while the rest of the file is read, and turned into a "Finished
// loading." notice that waits for OK when the load ends with credits shown. The one current
// progress window and the operations loaders call on it are in current_progress.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/root_object.h"
#include "toolkit/dialog_window.h"

class PushButton;
class Q_Offscreen;
class TextItem;

// The windows' buttons: "Cancel" (the model reader), "Stop" (the texture adder), or none (the
// texture library scan).
constexpr int32_t kProgressCancel = 0;
constexpr int32_t kProgressStop = 1;
constexpr int32_t kProgressNoButton = 2;

// The draw mode of an update: the filled part of the bar alone.
constexpr int32_t kDrawProgressBar = -1;

// The least time between two pumps of the updates (milliseconds): the window stays alive while
// the load, not the window, takes the time.
constexpr uint32_t kProgressPumpInterval = 15;
// Laying the window out again for new credits measures their text, moves and redraws the window:
// after one, the next waits at least this long (milliseconds) and at least this many times what
// the last one took, so that credits changed at every chunk of a load cost it a fixed share of
// its time.
constexpr uint32_t kCreditsLayoutSpacing = 200;
constexpr uint32_t kCreditsLayoutShare = 4;

// Told every text the progress windows show on their lines, as they show it (null: none told).
using ProgressTextHook = void (*)(const char* text);
void InstallProgressTextHook(ProgressTextHook hook);

class ProgressWindow : public DialogWindow {
public:
    ProgressWindow() = default;

    // Code kDrawProgressBar paints the filled part of the bar; any other draws the window
    // through the shared offscreen with the bar empty, then the credits picture and the
    // controls. The counter field, when switched on, comes last.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;

    // Makes the hidden windoid titled "Progress" with the button of the mode and the counter
    // field (empty and off). kResultNotFound when the windoid could not be made.
    ResultCode CreateProgressWindoid(int32_t mode);
    // The title (at most 255 characters), applied to the window at once.
    void SetProgressTitle(const char* text);
    // Line 1 (the message) and line 2 (the detail), made on first use and drawn at once. A line
    // made after the layout keeps an empty rectangle until the next LayOutAndShow.
    void SetMessage(const char* text);
    void SetDetail(const char* text);
    // Stores the total and the bar's pixels per unit (the bar width for a total below 1).
    void SetTotal(int32_t total);
    void SetValue(int32_t value) { value_ = value; }
    int32_t Value() const { return value_; }
    // Makes the counter field when missing, switches it on and sets its text.
    void SetCounter(const char* text);
    // Line 1's text into the buffer (nothing without line 1).
    void CopyMessage(char* buffer, size_t size) const;

    // Sizes the window for the lines that exist, fits their texts (ending a cut one in "..."),
    // centres it on the screen, shows it and draws it in full. A window that has laid credits
    // out keeps their layout: its lines are placed in it, and it is shown and drawn.
    void LayOutAndShow();
    // Adds the increment to the value (sets it with a total of -1) and paints the filled bar
    // when its width in pixels differs from what the bar shows (after a full draw, any width).
    void AdvanceBar(int32_t increment);
    // Whether an update at `now` (milliseconds) pumps the queue: the first update after the
    // window was shown, after its credits and after a new message or stage does, any other once
    // the pump interval has passed since the last pump.
    bool PumpIsDue(uint32_t now) const { return pumpAtOnce_ || now - lastPump_ >= kProgressPumpInterval; }
    void Pumped(uint32_t now)
    {
        lastPump_ = now;
        pumpAtOnce_ = false;
    }
    void PumpAtNextUpdate() { pumpAtOnce_ = true; }
    // The credits to show: the picture (not owned; kept until the next call, which its owner
    // makes before it lets the picture go) and the text (its characters, no terminator, up to
    // the first zero), copied (a text that cannot be copied is not shown). They are laid out by
    // LayOutCredits, when one is due. With
    // neither, the credits shown are withdrawn at once: no pointer to the picture is kept, and
    // the window keeps its size until the next layout.
    void SetCredits(Q_Offscreen* picture, const DynamicArray* text);
    // Whether credits wait for a layout, and whether one is due at `now` (milliseconds): the
    // first of the window at once, any other once the spacing after the last has passed.
    bool CreditsWaiting() const { return creditsWaiting_; }
    bool CreditsLayoutIsDue(uint32_t now) const
    {
        return creditsWaiting_ && (!creditsLaidOut_ || int32_t(now - nextCreditsLayout_) >= 0);
    }
    // Grows the window round the credits that wait and draws them, the window and its button
    // staying up and in place but for the growth: the window never shrinks while it shows
    // credits, so that what a user points at stays where it was.
    void LayOutCredits();
    // The layout that began at `began` ended at `ended`: the next waits for the spacing.
    void CreditsLaidOut(uint32_t began, uint32_t ended);
    // With credits shown, a button and no stop request: the window becomes the "Finished
    // loading." notice, whose OK button ends its modal run. Otherwise nothing.
    void AwaitAcknowledgement();

    // The stop request, left by the button (its result value), by the stop command an update's
    // pump took (1) or by a quit (1); never cleared.
    int32_t StopRequested() const { return result_ != 0; }
    void RequestStop();
    // The stop command (AppCommandMessage 13) that the button's press posts, taken from the queue
    // by an update's pump: the stop result becomes 1, whatever the button left.
    void TakeStopCommand();

    int32_t ShowsCredits() const { return creditsText_ || creditsPicture_; }
    PushButton* Button() const { return button_; }
    TextItem* MessageLine() const { return line1_; }
    TextItem* DetailLine() const { return line2_; }
    TextItem* CounterField() const { return counter_; }
    int32_t CounterShown() const { return counterShown_; }
    TextItem* CreditsText() const { return creditsText_; }
    Q_Offscreen* CreditsPicture() const { return creditsPicture_; }
    const PortRect& Bar() const { return bar_; }
    int32_t Total() const { return total_; }
    double PixelsPerUnit() const { return pixelsPerUnit_; }
    const char* ProgressTitle() const { return progressTitle_; }

protected:
    ~ProgressWindow() override = default;

private:
    // A text line with an empty rectangle, added to the pane; null when out of memory.
    TextItem* AddTextLine();
    // Sets line 1 or 2 (the detail), creating it, and draws it over its rectangle cleared to
    // white (the message) or to the button face (the detail).
    void SetLine(TextItem** line, const char* text, bool detail);
    // Places the bar (its top and bottom `topGap` and `bottomGap` above the bottom edge) and
    // the button in a window of the content size, and recomputes the pixels per unit.
    void PlaceBarAndButton(int32_t width, int32_t height, int32_t topGap, int32_t bottomGap);
    // Moves the windoid to the content rectangle, the windoid position lock notwithstanding.
    void MoveWindoid(const PortRect& content);
    // Takes the credits text item out of the pane and deletes it.
    void RemoveCreditsText();
    // Makes the credits text item at the top given for the waiting text in a window `width`
    // wide; the height it takes, 0 without a text.
    int32_t AddCreditsText(int32_t top, int32_t width);
    void DrawCreditsPicture();
    // Where the text lines stand, above the bar, in a window with credits `height` high; places
    // the lines there.
    PortRect CreditsLineRect(int32_t height) const;
    void PlaceCreditsLines(int32_t height);
    // Takes the item out of the pane, erases its rectangle and deletes it.
    void DeleteErasedItem(TextItem** item);

    PushButton* button_ = nullptr;
    TextItem* line1_ = nullptr;
    TextItem* line2_ = nullptr;
    TextItem* counter_ = nullptr;
    double pixelsPerUnit_ = 0.0;
    int32_t value_ = 0;
    int32_t total_ = 0;
    int32_t counterShown_ = 0;
    PortRect bar_ = {0, 0, 0, 0};
    char progressTitle_[256] = {};
    TextItem* creditsText_ = nullptr;
    Q_Offscreen* creditsPicture_ = nullptr;
    // The credits that wait for a layout (the text's characters ended by a zero), and the
    // content size of the last layout of credits.
    Q_Offscreen* waitingPicture_ = nullptr;
    Owned<DynamicArray> waitingText_;
    bool creditsWaiting_ = false;
    bool creditsLaidOut_ = false;
    int32_t creditsWidth_ = 0;
    int32_t creditsHeight_ = 0;
    uint32_t nextCreditsLayout_ = 0;
    // The filled width the bar shows, or kBarNotShown after a full draw.
    int32_t barShown_ = kBarNotShown;
    uint32_t lastPump_ = 0;
    bool pumpAtOnce_ = true;

    static constexpr int32_t kBarNotShown = -1;
};
