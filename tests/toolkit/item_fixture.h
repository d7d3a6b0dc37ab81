// Test support for pane items: a pane that records how it is drawn, an item that records what
// its control list asks of it, and a document window of the tests' own frame whose panes can be
// opened and closed.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/toolkit/toolkit_support.h"
#include "toolkit/pane.h"
#include "toolkit/pane_item.h"
#include "toolkit/window.h"

class RecordingPane : public Pane {
public:
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override
    {
        drawModes.push_back(mode);
        Pane::Draw(mode, horizontal, vertical);
    }

    std::vector<int32_t> drawModes;

protected:
    ~RecordingPane() override = default;
};

// Logs "name:call" for each operation that the control list routes to it.
class ProbeItem : public PaneItem {
public:
    static ProbeItem* Make(const char* name, std::vector<std::string>* log)
    {
        auto* item = new ProbeItem(name, log);
        item->ItemInit();
        return item;
    }

    void ItemDelete() override
    {
        Log("delete");
        PaneItem::ItemDelete();
    }
    void ItemSetOwner(Pane* pane) override
    {
        Log("owner");
        PaneItem::ItemSetOwner(pane);
    }
    void ItemClearOwner() override
    {
        Log("clear");
        PaneItem::ItemClearOwner();
    }
    int32_t ItemMouseDown(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) override
    {
        Log("down");
        return takesPress;
    }
    int32_t ItemTrack(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) override
    {
        Log("track");
        return trackAnswer;
    }
    void ItemTakeFocus() override { Log("focus"); }
    uint32_t ItemWindowStyle() override { return windowStyle; }

    int32_t takesPress = 0;
    int32_t trackAnswer = 0;
    uint32_t windowStyle = 0;

protected:
    ~ProbeItem() override = default;

private:
    ProbeItem(const char* name, std::vector<std::string>* log) : name_(name), log_(log) {}
    void Log(const char* call) { log_->push_back(name_ + ":" + call); }

    std::string name_;
    std::vector<std::string>* log_;
};

// A shown document window (client 300 x 200) of a frame of the tests' own.
class ItemTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_NE(frame_, nullptr);
        window_ = new Window;
        ASSERT_EQ(window_->CreateWindowObject({20, 20, 320, 220}, "Items", {0, 0}, {0, 0}, {0, 0},
                                              kWindowCaption | kWindowSizing | kWindowSystemMenu, kWindowHides),
                  kResultOk);
        window_->SetWindowOwner(frame_);
        frame_->RegisterDocumentWindow(window_);
        window_->ShowWindowObject();
    }

    void TearDown() override
    {
        if (window_) window_->DestroyWindowObject();
        FrameFixture::TearDown();
    }

    // A pane made with the creation flags, not yet open.
    static RecordingPane* MakePane(int32_t flags = 0)
    {
        auto* pane = new RecordingPane;
        pane->PaneCreate(flags);
        return pane;
    }

    // A pane made with the flags and opened in the window.
    RecordingPane* OpenPane(int32_t flags = 0)
    {
        RecordingPane* pane = MakePane(flags);
        window_->AddPane(pane);
        return pane;
    }

    Window* window_ = nullptr;
};

// The text of a control window.
inline std::string ControlText(HWND control)
{
    char text[1024] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

inline std::string ControlClass(HWND control)
{
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    return name;
}
