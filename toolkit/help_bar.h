// HelpBar: the pane of the help bar along the bottom of a document frame. It shows one line of
// help text on the left and a gauge of the free memory on the right, and redraws each only when
// it changed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/pane.h"

// The draw mode that redraws only what changed: the text, the gauge.
constexpr int32_t kHelpBarChangesOnly = -12345;
// The text the bar keeps: at most 255 characters.
constexpr size_t kHelpTextSize = 256;

class HelpBar : public Pane {
public:
    HelpBar() = default;

    // The bar in full; in mode kHelpBarChangesOnly only the text and the gauge where they
    // changed.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;
    // Over the gauge (the right-most 106 pixels) the free memory, elsewhere what the bar is.
    void PaneHelpAtPoint(int32_t x, int32_t y, int32_t modifiers) override;
    // The bar lives as long as its frame: a close request is taken and does nothing.
    int32_t PaneCloseRequest() override { return 1; }

    // Keeps the text (cut to 255 characters); the text counts as changed when it differs.
    void HelpBarStoreText(const char* text);
    // The gauge's free-memory percentage (0 to 100); the gauge counts as changed when it differs.
    void SetPercentage(int32_t percentage);
    // The percentage from the memory figures now.
    void UpdatePercentage();

    const char* Text() const { return text_; }
    int32_t Percentage() const { return percentage_; }
    int32_t TextChanged() const { return textChanged_; }
    int32_t GaugeChanged() const { return gaugeChanged_; }

protected:
    ~HelpBar() override = default;

private:
    // The text in its field, black on what is there.
    void DrawHelpText(const PortRect& field);
    // The bottom strip of the gauge: the free part on the right, the rest on the left.
    void FillGauge(const PortRect& strip, bool twoTone);

    char text_[kHelpTextSize] = {};
    int32_t textChanged_ = 0;
    int32_t gaugeChanged_ = 0;
    int32_t percentage_ = 100;
};

// free / (total / 100 + 1), at most 100.
int32_t FreeMemoryPercentage(uint64_t available, uint64_t total);
// "Free memory space is N Kbytes." with N the available bytes shifted right by 10.
void FormatFreeMemoryText(char* text, size_t size, uint64_t available);
