// The help bar in the probe: where its window is, and each text it comes to show.
#pragma once

// Logs "HELPBAR bar=HWND@left,top,right,bottom" (its client area on the screen).
void LogHelpBarReady();
// Logs "HELPTEXT memory_kbytes=N text=..." whenever the bar's text changed since the last call,
// with the free memory (physical plus page file, in units of 1024 bytes) as the system reports it.
void WatchHelpBar();
