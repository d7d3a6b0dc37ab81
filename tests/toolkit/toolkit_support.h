// Test support for the toolkit: the toolkit started once per test program as the program starts
// it (window classes, the drawing layer, the shared offscreen, the device list, the global lists
// and the toolkit's services, with help calls recorded instead of shown), a document frame of
// the tests' own, message pumping, and actions run later from inside whatever loop is running.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/document_frame.h"

// A document with a frame window (and an MDI client) and nothing else.
class TestFrame : public DocumentFrame {
public:
    // Sets a frame up (shown parked until its first window, or hidden with kFrameModeHidden) and
    // makes it current; null when it got no frame window.
    static TestFrame* Make(int32_t mode = 0);
    // Destroys and frees the frame if it still exists.
    static void Dispose(TestFrame* frame);

    void DocumentWindowNotify(Window* /*window*/, int32_t code) override { notifications.push_back(code); }

    std::vector<int32_t> notifications;
};

// While it lives, a dialog that is still up after a few seconds fails the test and is closed
// (its cancel button pressed), so that a lost key fails a test instead of hanging it.
class DialogWatchdog {
public:
    DialogWatchdog();
    ~DialogWatchdog();
    DialogWatchdog(const DialogWatchdog&) = delete;
    DialogWatchdog& operator=(const DialogWatchdog&) = delete;

private:
    UINT_PTR timer_;
};

// A test with a frame of its own, shown parked until its first window, and a watchdog that
// closes a dialog a lost key left up.
class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TestFrame* frame_ = nullptr;
    DialogWatchdog watchdog_;
};

// Dispatches every message waiting for the thread; false when WM_QUIT was among them (it is
// taken).
bool PumpMessages();
// Pumps for the given time.
bool PumpFor(DWORD milliseconds);
// Runs the action after `delay` ms from inside whatever message loop is dispatching then (a
// modal run, for example).
void RunLater(DWORD delay, std::function<void()> action);
// Takes a WM_QUIT that is waiting; its exit code, or -1 when none was waiting.
int32_t TakeQuit();

// A help call as the toolkit made it.
struct HelpCallRecord {
    HWND window;
    std::string file;
    UINT command;
};
std::vector<HelpCallRecord>& RecordedHelpCalls();

// The first visible, enabled top-level window of the thread whose class is the windoid class
// and whose window object is a dialog, or null.
HWND FindDialogWindoid();
// A 32-bit DIB section filled with one colour (0xRRGGBB, white unless given), made the current
// port for its life, whose pixels the drawing tests read.
class PixelPort {
public:
    static constexpr uint32_t kWhite = 0xFFFFFF;

    PixelPort(int32_t width, int32_t height, uint32_t fill = kWhite);
    ~PixelPort();
    PixelPort(const PixelPort&) = delete;
    PixelPort& operator=(const PixelPort&) = delete;

    // 0xRRGGBB.
    uint32_t Pixel(int32_t x, int32_t y) const { return pixels_[y * width_ + x] & 0xFFFFFF; }
    // How many pixels of the rectangle have the colour.
    int32_t Count(const RECT& rect, uint32_t colour) const;
    // The points that are not the fill colour, in rows.
    std::vector<std::array<int32_t, 2>> Inked() const;
    HDC dc() const { return dc_; }

private:
    int32_t width_;
    int32_t height_;
    uint32_t fill_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

// The control window of the dialog windoid's default control, or null.
HWND DialogDefaultControl(HWND dialog);
// Presses a key in the window the way the keyboard does: WM_KEYDOWN then WM_KEYUP posted to it.
void PostKey(HWND window, WPARAM key);
// The lParam of a mouse message at the point of the window's client area.
inline LPARAM Point(int32_t x, int32_t y)
{
    return LPARAM(uint32_t(uint16_t(x)) | (uint32_t(uint16_t(y)) << 16));
}
// A WH_MOUSE hook that drops the mouse input of the display (whose pointer other programs
// share), so that only what a test posts reaches its windows.
LRESULT CALLBACK DropRealMouseInput(int code, WPARAM wParam, LPARAM lParam);
