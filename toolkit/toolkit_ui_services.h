// The user-interface services of the toolkit, which the lower layers call upward: alerts in the
// toolkit's alert (a system message box while no frame exists), the beep, the program's cursors
// and the one current progress window. Installed first at start-up and removed before the
// drawing layer shuts down.
#pragma once

#include "draw/cursors.h"

class ToolkitUiServices : public CursorUiServices {
public:
    void ShowAlert(const char* text) override;
    void PlayBeep(int32_t kind) override;

    int32_t OpenProgress() override;
    int32_t OpenTextureProgress() override;
    int32_t OpenLibraryProgress() override;
    void ProgressSetText(const char* text) override;
    void ProgressSetMessage(const char* text) override;
    void ProgressSetDetail(const char* text) override;
    void ProgressSetTotal(int32_t total) override;
    void ProgressSetValue(int32_t value) override;
    int32_t ProgressValue() override;
    void ProgressShow() override;
    int32_t ProgressUpdate(int32_t increment) override;
    void ProgressShowCredits(Q_Offscreen* picture, DynamicArray* text) override;
    int32_t ProgressFinish() override;
};

void InstallToolkitServices();
void RemoveToolkitServices();
