// Test support: user-interface services that record alerts, cursor shapes and progress calls
// instead of showing anything, installed for the life of a scope.
#pragma once

#include <string>
#include <vector>

#include "foundation/ui_services.h"

class UiRecorder : public UiServices {
public:
    UiRecorder() : previous_(InstallUiServices(this)) {}
    ~UiRecorder() override { InstallUiServices(previous_); }

    void ShowAlert(const char* text) override { alerts.emplace_back(text); }
    void SetCursorShape(int32_t shape) override { cursors.push_back(shape); }
    void ProgressSetValue(int32_t value) override { progress.push_back(value); }
    int32_t ProgressUpdate(int32_t /*reserved*/) override
    {
        ++updates;
        return 0;
    }

    std::vector<std::string> alerts;
    std::vector<int32_t> cursors;
    std::vector<int32_t> progress;
    int32_t updates = 0;

private:
    UiServices* previous_;
};
