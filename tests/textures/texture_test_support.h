// Test helpers of the texture layer: alerts captured instead of shown, streams over bytes, and
// picture readers over bytes in memory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/ui_services.h"
#include "tests/foundation/stream_bytes.h"

// Collects alert texts (and progress values) while it is installed.
class AlertCatcher : public UiServices {
public:
    AlertCatcher() { previous_ = InstallUiServices(this); }
    ~AlertCatcher() override { InstallUiServices(previous_); }

    void ShowAlert(const char* text) override { alerts.emplace_back(text); }
    void ProgressSetValue(int32_t value) override { progressValues.push_back(value); }
    int32_t OpenTextureProgress() override { return openProgress ? 0 : -1; }
    int32_t ProgressUpdate(int32_t /*reserved*/) override
    {
        ++updates;
        return updates == stopAt ? 1 : 0;
    }

    std::vector<std::string> alerts;
    std::vector<int32_t> progressValues;
    bool openProgress = false;
    int32_t updates = 0;
    int32_t stopAt = 0;  // the update that answers a stop (0: none)

private:
    UiServices* previous_;
};

// A picture reader of type R over a file's bytes in memory, with the alerts it gives captured.
template <class R>
struct ReadInMemory {
    explicit ReadInMemory(const Bytes& file) { Load(stream, file); }
    AlertCatcher catcher;
    MemoryStream stream;
    R reader{&stream};
};

// A message of the readers with the file name put in (empty for memory streams).
inline std::string WithName(const char* format, const char* name = "")
{
    char text[600];
    std::snprintf(text, sizeof text, format, name);
    return text;
}
