// The help bar in the probe: its window's place once the probe is ready, and every change of its
// text, logged with the system's own free-memory figure so that a check can compare the two.
#include "tests/toolkit/probe/help_bar_scenarios.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "toolkit/document_frame.h"
#include "toolkit/help_bar.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/window.h"

namespace {

char LastText[kHelpTextSize] = {};

HelpBarHost* CurrentHost()
{
    DocumentFrame* frame = GetCurrentFrame();
    return frame ? frame->GetHelpBarHost() : nullptr;
}

}  // namespace

void LogHelpBarReady()
{
    HelpBarHost* host = CurrentHost();
    if (!host) {
        std::printf("HELPBAR none\n");
        std::fflush(stdout);
        return;
    }
    HWND hwnd = host->bar->PaneWindow();
    RECT rect = {0, 0, 0, 0};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("HELPBAR bar=%llu@%ld,%ld,%ld,%ld\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), rect.left, rect.top,
                rect.right, rect.bottom);
    std::fflush(stdout);
}

void WatchHelpBar()
{
    HelpBarHost* host = CurrentHost();
    if (!host || std::strcmp(host->bar->Text(), LastText) == 0) return;
    std::snprintf(LastText, sizeof LastText, "%s", host->bar->Text());
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    std::printf("HELPTEXT memory_kbytes=%llu text=%s\n",
                static_cast<unsigned long long>((status.ullAvailPhys + status.ullAvailPageFile) >> 10), LastText);
    std::fflush(stdout);
}
