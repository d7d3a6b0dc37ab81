// The probe's button panel scenario: a document window holding a button panel whose third cell
// owns a sub-panel, everything it does logged.
#pragma once

class DocumentFrame;

using ProbeLog = void (*)(const char* format, ...);

// Opens the window in the document (once) and logs PANEL_READY with the screen rectangles of
// its cells; then PANEL_PRESS, PANEL_TRACK and PANEL_CLICK for the panel's actions, PANEL_POPUP
// with the sub-panel's cells when it pops up and PANEL_POPDOWN when it is gone.
void OpenPanelScenario(DocumentFrame* document, ProbeLog log);
