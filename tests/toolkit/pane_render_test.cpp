// Drawing a pane into another port: into an offscreen with the offscreen's bounds, depth and the
// draw mode of its kind, the pane's own state back afterwards; a port that cannot begin, and one
// whose end fails (shown in the alert).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/current_port.h"
#include "draw/pen_state.h"
#include "draw/q_offscreen.h"
#include "draw/shapes.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/control_list.h"
#include "toolkit/pane.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

// Paints its content orange and records the mode and content it was drawn with.
class PaintingPane : public Pane {
public:
    void Draw(int32_t mode, int32_t, int32_t) override
    {
        drawings.push_back({mode, contentRect_.right, contentRect_.bottom, centreX_, centreY_, screenDepth_});
        PenNormal();
        RGBForeColor({0xFFFF, 0x8000, 0});
        PaintRectPolygon(contentRect_);
    }

    // mode, width, height, centre x, centre y, depth
    std::vector<std::vector<int32_t>> drawings;
};

// A 20 x 10 port of a memory DC whose Activate and Deactivate answer as the test says.
class ScriptedPort : public PortBase {
public:
    ScriptedPort(PortKind kind, ResultCode begin, ResultCode end) : begin_(begin), end_(end)
    {
        SetPortKind(kind);
        SetPortBounds({0, 0, 20, 10});
        dc_ = CreateCompatibleDC(nullptr);
    }
    ~ScriptedPort() override { DeleteDC(dc_); }

    ResultCode Activate() override
    {
        if (begin_ == kResultOk) SetPort(dc_);
        return begin_;
    }
    ResultCode Deactivate() override
    {
        SetPort(nullptr);
        return end_;
    }

private:
    ResultCode begin_;
    ResultCode end_;
};

class PaneRenderTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        window_ = new Window;
        ASSERT_EQ(window_->CreateWindowObject({0, 0, 300, 200}, "Render", {0, 0}, {0, 0}, {0, 0},
                                              kWindowCaption | kWindowSystemMenu, kWindowDestroys),
                  kResultOk);
        window_->SetWindowOwner(frame_);
        frame_->RegisterDocumentWindow(window_);
        window_->ShowWindowObject();
        pane_ = new PaintingPane;
        pane_->PaneCreate(0);
        window_->AddPane(pane_);
        PumpMessages();
        pane_->drawings.clear();
    }

    void TearDown() override
    {
        window_->DestroyWindowObject();
        FrameFixture::TearDown();
    }

    Window* window_ = nullptr;
    PaintingPane* pane_ = nullptr;
};

TEST_F(PaneRenderTest, DrawsIntoAnOffscreenAsItsKindAndSizeAndGetsItsOwnStateBack)
{
    const PortRect content = pane_->ContentRect();
    const int32_t centreX = pane_->CentreX();
    auto* offscreen = new Q_Offscreen;
    ASSERT_EQ(offscreen->QOffscreenInit({0, 0, 64, 48}, -1, nullptr), kResultOk);
    EXPECT_EQ(pane_->RenderPaneToPort(offscreen), kResultOk);
    EXPECT_EQ(pane_->drawings, (std::vector<std::vector<int32_t>>{{kPortOffscreen, 64, 48, 32, 24, offscreen->Depth()}}))
        << "drawn once, into the offscreen alone";
    EXPECT_EQ(GetPixel(offscreen->PortDC(), 0, 0), RGB(255, 128, 0));
    EXPECT_EQ(GetPixel(offscreen->PortDC(), 63, 47), RGB(255, 128, 0));
    EXPECT_EQ(pane_->ContentRect().right, content.right);
    EXPECT_EQ(pane_->ContentRect().bottom, content.bottom);
    EXPECT_EQ(pane_->CentreX(), centreX);
    EXPECT_EQ(pane_->RedirectPort(), nullptr);
    EXPECT_EQ(CurrentDrawingPane(), nullptr);
    offscreen->DisposeOffscreen();

    // Pictures and the kind -5 have draw modes of their own.
    ScriptedPort picture(kPortPicture, kResultOk, kResultOk);
    ScriptedPort kindFive(-5, kResultOk, kResultOk);
    EXPECT_EQ(pane_->RenderPaneToPort(&picture), kResultOk);
    EXPECT_EQ(pane_->RenderPaneToPort(&kindFive), kResultOk);
    ASSERT_EQ(pane_->drawings.size(), 3u);
    EXPECT_EQ(pane_->drawings[1][0], 11);
    EXPECT_EQ(pane_->drawings[2][0], 10);
    EXPECT_EQ(pane_->drawings[2][1], 20);
}

TEST_F(PaneRenderTest, APortThatCannotBeginIsNotDrawnAndOneThatFailsToEndIsReported)
{
    ScriptedPort closed(kPortPicture, kResultFailed, kResultOk);
    EXPECT_EQ(pane_->RenderPaneToPort(&closed), -1);
    EXPECT_TRUE(pane_->drawings.empty());
    EXPECT_EQ(FindDialogWindoid(), nullptr) << "no alert";

    ScriptedPort failing(kPortPicture, kResultOk, ResultCode{-108});
    std::string shown;
    RunLater(30, [&shown] {
        Pane* alert = WindowObject<Window>(FindDialogWindoid())->PaneAt(0);
        for (int32_t i = 0; i < alert->Controls()->ArrayCount(); ++i) {
            if (auto* text = dynamic_cast<TextItem*>(alert->Controls()->ItemAt(i))) shown = text->Title();
        }
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN);
    });
    EXPECT_EQ(pane_->RenderPaneToPort(&failing), -108);
    EXPECT_EQ(shown, "Error #-108");
    EXPECT_EQ(pane_->drawings.size(), 1u);
    EXPECT_EQ(pane_->RedirectPort(), nullptr);
}

}  // namespace
