// What every fuzz target shares: a quiet user interface whose alerts are checked and counted
// instead of printed, and streams set up over the fuzzer's bytes.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"

// Alerts must be terminated texts of a sane length; the progress window never reports Stop.
class FuzzUi : public UiServices {
public:
    void ShowAlert(const char* text) override
    {
        if (!text || std::strlen(text) > 4096) std::abort();
        ++alerts;
    }

    int32_t alerts = 0;
};

// Installs the quiet user interface once for the whole run.
inline FuzzUi& InstallFuzzUi()
{
    static FuzzUi* ui = [] {
        auto* made = new FuzzUi;
        InstallUiServices(made);
        return made;
    }();
    return *ui;
}

// Sets the stream up for reading the bytes from offset 0; false when there is no memory.
inline bool LoadStream(MemoryStream& stream, const uint8_t* data, size_t size)
{
    stream.StreamInit(kStreamReading);
    if (size > size_t(INT32_MAX) || stream.StreamSetSize(int32_t(size)) != kResultOk) return false;
    if (size > 0) std::memcpy(stream.Buffer()->ArrayData(), data, size);
    return true;
}
