// The player's user-interface services and the log of what they show.
#include "player/player_ui_services.h"

#include <cstring>

#include "foundation/ui_services.h"
#include "player/event_log.h"
#include "toolkit/current_progress.h"
#include "toolkit/progress_window.h"

namespace {

constexpr size_t kLoggedTextSize = 1024;

PlayerUiServices gPlayerServices;

void LogProgressText(const char* text)
{
    LogText("progress", text);
}

}  // namespace

void PlayerUiServices::ShowAlert(const char* text)
{
    LogText("alert", text);
    ToolkitUiServices::ShowAlert(text);
}

int32_t PlayerUiServices::ProgressFinish()
{
    const bool open = CurrentProgressWindow() != nullptr;
    const int32_t stopped = ToolkitUiServices::ProgressFinish();
    if (open && !CurrentProgressWindow()) LogEvent("progress-closed %d", int(stopped));
    return stopped;
}

void InstallPlayerUiServices()
{
    InstallUiServices(&gPlayerServices);
    InstallProgressTextHook(LogProgressText);
}

void RemovePlayerUiServices()
{
    InstallProgressTextHook(nullptr);
    InstallUiServices(nullptr);
}

void LogText(const char* kind, const char* text)
{
    char line[kLoggedTextSize];
    size_t length = 0;
    for (const char* p = text ? text : ""; *p && length + 2 < sizeof line; ++p) {
        if (*p == '\n') {
            line[length++] = '\\';
            line[length++] = 'n';
        } else if (*p != '\r') {
            line[length++] = *p;
        }
    }
    line[length] = '\0';
    LogEvent("%s %s", kind, line);
}
