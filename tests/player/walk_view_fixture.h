// The walk view in a real window of the tests' frame, made as the player document makes it, with
// a document of the tests' own that passes every command back down to the view; the renderer
// started once for the suite.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "draw/port_base.h"
#include "player/view_base.h"
#include "player/walk_view.h"
#include "tests/toolkit/toolkit_support.h"

class ModelHolder;
class PlayerPreferences;
class WalkObserver;
class Window;

using Command = std::array<int32_t, 3>;  // kind, code, value
using Commands = std::vector<Command>;

// What the player document does for a view: its preferences, every command noted (with its tick)
// and passed down to the view, the view's window.
class TestDocument : public ViewBase {
public:
    int32_t ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override;
    PlayerPreferences* Preferences() override { return preferences; }
    Window* GetWindow(int32_t) override
    {
        ++windowsAsked;
        return window;
    }
    void SetChanged(int32_t value) override { changed = value; }

    Commands Taken() { return std::exchange(commands, {}); }

    WalkView* view = nullptr;
    PlayerPreferences* preferences = nullptr;
    Window* window = nullptr;
    Commands commands;
    std::vector<DWORD> ticks;  // when each command came
    int32_t changed = 0;
    int32_t windowsAsked = 0;
    // Runs on each command before the view hears of it.
    void (*onCommand)() = nullptr;
};

// The view notes every command its panes send it.
class RecordingView : public WalkView {
public:
    int32_t ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override
    {
        commands.push_back({kind, code, value});
        return WalkView::ViewCommand(sender, kind, code, value);
    }
    Commands Taken() { return std::exchange(commands, {}); }

    Commands commands;
};

class WalkViewFixture : public FrameFixture {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    // The model holder, empty, and the walk observer of its model, owned by the document.
    void SetUp() override;
    // Frees whatever was made, the view first.
    void TearDown() override;

    // A window of the frame at the rectangle, registered as one of its document windows; null
    // when it could not be made.
    Window* MakeWindow(const PortRect& rect);
    // The view made as the document makes it (observer, record, inner and kind, its panes, its
    // name when one is given), its panes put into the document's window; it becomes `view_`.
    void MakeView(RecordingView* view, const char* name = nullptr);

    TestDocument document_;
    ModelHolder* holder_ = nullptr;
    WalkObserver* observer_ = nullptr;
    PlayerPreferences* preferences_ = nullptr;
    Window* window_ = nullptr;
    RecordingView* view_ = nullptr;
};
