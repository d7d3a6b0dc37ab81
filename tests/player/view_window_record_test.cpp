// The player document's window records: by its kind a record unlinks a button-panel window from
// its panel, releases a view object, frees a button panel with its buttons, or frees only itself.
#include <gtest/gtest.h>

#include "player/view_base.h"
#include "player/view_window_record.h"
#include "toolkit/button_panel.h"
#include "toolkit/button_panel_window.h"

namespace {

// A button panel that notes its destruction.
class CountedPanel : public ButtonPanel {
public:
    explicit CountedPanel(int32_t* destroyed) : destroyed_(destroyed) {}
    void Destroy() override
    {
        ++*destroyed_;
        ButtonPanel::Destroy();
    }

private:
    int32_t* destroyed_;
};

class ReleasedView : public ViewBase {
public:
    void ReleaseViewObject() override { ++released; }
    int32_t released = 0;
};

TEST(ViewWindowRecordTest, RecordsUnlinkPanelWindowsReleaseViewsAndFreePanelsByKind)
{
    int32_t destroyed = 0;
    // Kinds 2, 3, 5 and 6: the window lets its panel go, which survives.
    for (int16_t kind : {2, 3, 5, 6}) {
        auto* window = new ButtonPanelWindow;
        window->PaneCreate(0);
        auto* panel = new CountedPanel(&destroyed);
        ASSERT_EQ(panel->PanelInit(-2), kResultOk);
        window->LinkPanelOwner(panel);
        auto* record = ViewWindowRecord::Make(window, kind);
        EXPECT_EQ(record->RecordView(), nullptr) << kind;
        record->Free();
        EXPECT_EQ(panel->PanelWindow(), nullptr) << kind;
        window->PaneDestroy();
        EXPECT_EQ(destroyed, 0) << kind;
        panel->PanelDeleteItems();
        destroyed = 0;
    }
    // The released view kinds release their object; the walk view and other kinds do nothing more.
    for (int16_t kind : {7, 10, 25, 27, 29, 31, 35, 36, 72, 12}) {
        ReleasedView view;
        auto* record = ViewWindowRecord::Make(&view, kind);
        EXPECT_EQ(record->RecordView(), &view);
        record->Free();
        EXPECT_EQ(view.released, kind == 72 || kind == 12 ? 0 : 1) << kind;
    }
    // The panel kinds free the panel with its buttons.
    for (int16_t kind : {11, 13, 15, 17, 18, 20, 21, 28, 59, 62}) {
        auto* panel = new CountedPanel(&destroyed);
        ASSERT_EQ(panel->PanelInit(-2), kResultOk);
        panel->PanelAddItem(200);
        auto* record = ViewWindowRecord::Make(panel, kind);
        EXPECT_EQ(record->RecordView(), nullptr);
        record->Free();
    }
    EXPECT_EQ(destroyed, 10);
}

}  // namespace
