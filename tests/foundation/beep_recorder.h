// BeepRecorder: installed as the user-interface services while it lives, it records the beeps
// asked for instead of sounding them.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ui_services.h"

class BeepRecorder : public UiServices {
public:
    BeepRecorder() : previous_(InstallUiServices(this)) {}
    ~BeepRecorder() override { InstallUiServices(previous_); }
    void PlayBeep(int32_t kind) override { beeps.push_back(kind); }

    std::vector<int32_t> beeps;

private:
    UiServices* previous_;
};
