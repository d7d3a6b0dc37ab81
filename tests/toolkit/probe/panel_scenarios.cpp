// The probe's button panel scenario: a grid of four glyph buttons (play, stop, turn left with a
// sub-panel of turn left, forward and turn right, and home) in a document window of its own.
#include "tests/toolkit/probe/panel_scenarios.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "toolkit/button_item.h"
#include "toolkit/button_panel.h"
#include "toolkit/button_panel_window.h"
#include "toolkit/document_frame.h"
#include "toolkit/window.h"

namespace {

constexpr WindowFlags kPanelWindowFlags = kWindowCaption | kWindowSystemMenu;
constexpr PortRect kPanelWindowContent = {10, 250, 160, 290};
constexpr WindowSize kNoSize = {0, 0};
constexpr int32_t kColumns = 4;
constexpr uint8_t kCells[] = {206, 208, 160, 170};
constexpr uint8_t kSubCells[] = {160, 162, 164};
constexpr int32_t kCellWithSubPanel = 2;
constexpr UINT kWatchInterval = 25;
// "cellN=HWND@l,t,r,b " for up to four cells.
constexpr size_t kCellsTextSize = 4 * 64;

ProbeLog gLog = nullptr;

// Logs the actions of the panel, with the tick count and the glyph of the cell.
class ProbeButtonPanel : public ButtonPanel {
public:
    void Press(int32_t index, int32_t /*modifiers*/) override
    {
        gLog("PANEL_PRESS i=%d glyph=%d t=%lu", index, PanelItemKind(index), GetTickCount());
    }
    void Click(int32_t index, int32_t /*modifiers*/) override
    {
        gLog("PANEL_CLICK i=%d", index);
        ReleaseAll();
    }
    void Track(int32_t index, int32_t oldIndex, int32_t /*modifiers*/) override
    {
        gLog("PANEL_TRACK i=%d old=%d", index, oldIndex);
    }

    // The sub-panel of the third cell is freed with the panel, which goes with its window.
    void Destroy() override;

    ButtonPanel* subPanel = nullptr;
};

Window* gWindow = nullptr;
ProbeButtonPanel* gPanel = nullptr;

void ProbeButtonPanel::Destroy()
{
    if (subPanel) subPanel->PanelDeleteItems();
    gPanel = nullptr;
    gWindow = nullptr;
    ButtonPanel::Destroy();
}
bool gReadyLogged = false;
HWND gPopUpLogged = nullptr;

// The cells of a panel shown in a pane, as "cellN=HWND@l,t,r,b" in screen coordinates.
void FormatCells(char* text, size_t size, const ButtonPanel* panel, const char* name)
{
    text[0] = 0;
    HWND pane = panel->PanelWindow()->PaneWindow();
    size_t used = 0;
    for (int32_t i = 0; i < panel->ArrayCount() && used < size; ++i) {
        PortRect cell;
        panel->PanelItemRect(i, &cell);
        POINT corners[2] = {{cell.left, cell.top}, {cell.right, cell.bottom}};
        MapWindowPoints(pane, nullptr, corners, 2);
        const int written = snprintf(text + used, size - used, "%s%d=%llu@%ld,%ld,%ld,%ld ", name, i,
                                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(pane)), corners[0].x,
                                     corners[0].y, corners[1].x, corners[1].y);
        if (written < 0) break;
        used += size_t(written);
    }
}

// Runs from every loop: reports the window once it is drawn, and the pop-up coming and going.
void CALLBACK WatchPanel(HWND, UINT, UINT_PTR, DWORD)
{
    char cells[kCellsTextSize];
    if (!gReadyLogged && gWindow && IsWindowVisible(gWindow->GetWindowHandle())) {
        gReadyLogged = true;
        FormatCells(cells, sizeof cells, gPanel, "cell");
        gLog("PANEL_READY %s", cells);
    }
    if (!gPanel) return;
    ButtonPanelWindow* popUp = gPanel->subPanel->PanelWindow();
    HWND shown = popUp ? popUp->PaneWindow() : nullptr;
    if (shown && shown != gPopUpLogged && IsWindowVisible(shown)) {
        gPopUpLogged = shown;
        FormatCells(cells, sizeof cells, gPanel->subPanel, "sub");
        gLog("PANEL_POPUP t=%lu %s", GetTickCount(), cells);
    } else if (!shown && gPopUpLogged) {
        gPopUpLogged = nullptr;
        gLog("PANEL_POPDOWN glyph=%d", gPanel->PanelItemKind(kCellWithSubPanel));
    }
}

ProbeButtonPanel* MakePanel()
{
    auto* panel = new ProbeButtonPanel;
    IgnoreResult(panel->PanelInit(kColumns));
    for (uint8_t glyph : kCells) panel->PanelAddItem(glyph);
    auto* sub = new ButtonPanel;
    IgnoreResult(sub->PanelInit(int32_t(sizeof kSubCells)));
    for (uint8_t glyph : kSubCells) sub->PanelAddItem(glyph);
    sub->PanelSetItemState(0, kButtonPressed);
    panel->subPanel = sub;
    panel->PanelSetSubPanel(kCellWithSubPanel, sub);
    return panel;
}

}  // namespace

void OpenPanelScenario(DocumentFrame* document, ProbeLog log)
{
    if (gWindow) return;
    gLog = log;
    gWindow = new Window;
    gWindow->SetWindowOwner(document);
    document->RegisterDocumentWindow(gWindow);
    if (gWindow->CreateWindowObject(kPanelWindowContent, "Probe panel", kNoSize, kNoSize, kNoSize, kPanelWindowFlags,
                                    kWindowHides) != kResultOk) {
        gLog("FAILED panel window");
        return;
    }
    gPanel = MakePanel();
    auto* pane = new ButtonPanelWindow;
    pane->PaneCreate(0);
    pane->LinkPanelOwner(gPanel);
    pane->PanelWindowSetPlacement(nullptr, kPanelAtOrigin);
    gWindow->AddPane(pane);
    gWindow->ShowWindowObject();
    SetTimer(nullptr, 0, kWatchInterval, WatchPanel);
}
