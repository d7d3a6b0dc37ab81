// read-stops [--at MS]... MODEL...: how soon a read of each model file stops when its user asks
// it to, without any window. Each file is read once as the open command reads it, its looks at
// the progress timed: the read's time, how many looks it took, the longest time between two of
// them (and from the read's start to the first, and from the last to the alert or the end), and
// where in the file the longest gap ended. Then it is read again for each moment (milliseconds
// after the read began; unless given, a tenth, half and nine tenths of the first read's time, and
// the first look after the last byte was read, in the work at the end of the read, or the last
// look as the read finishes), the stop
// answered at the first look past it, and the time from that look to the reader's alert printed
// with the read's result (kResultStopped, -2, when the stop held) and the time the model then
// took to free. The exit status is 1 when a stopped read did not end in kResultStopped.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "draw/drawing_layer_services.h"
#include "foundation/disk_file_stream.h"
#include "foundation/ui_services.h"
#include "model/model_document.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/tool_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

// A stop asked for once all the file's bytes are read.
constexpr double kAtTheEnd = -1;

// The user-interface services of one read: each look at the progress (an update, and the finish)
// timed; a stop answered at the first look `stopAfter` milliseconds after the read began (or,
// with kAtTheEnd, at the first look once the progress shows every byte, or the finish), and at
// every look after it, as the progress window answers; the alert's time taken instead of showing it.
class LookTimer final : public UiServices {
public:
    LookTimer(double stopAfter, int32_t size) : stopAfter_(stopAfter), size_(size) {}

    void ShowAlert(const char* /*text*/) override { alert_ = Clock::now(); }
    int32_t OpenProgress() override
    {
        begun_ = last_ = Clock::now();
        return 0;
    }
    void ProgressSetValue(int32_t value) override { value_ = value; }
    int32_t ProgressValue() override { return value_; }
    int32_t ProgressUpdate(int32_t /*reserved*/) override { return Look(); }
    int32_t ProgressFinish() override
    {
        finishing_ = true;
        return Look();
    }

    // The longest time between two looks, the read's start and its first, in milliseconds, and
    // the progress value at the end of it.
    double longest = 0;
    int32_t longestEndedAt = 0;
    int64_t looks = 0;
    // The look that answered the stop; the alert.
    Clock::time_point stopped{};
    Clock::time_point begun() const { return begun_; }
    Clock::time_point last() const { return last_; }
    Clock::time_point alert() const { return alert_; }

private:
    int32_t Look()
    {
        const Clock::time_point now = Clock::now();
        ++looks;
        const double gap = Milliseconds(now - last_);
        if (gap > longest) {
            longest = gap;
            longestEndedAt = value_;
        }
        last_ = now;
        if (stopped != Clock::time_point{}) return 1;
        const bool due = stopAfter_ == kAtTheEnd ? finishing_ || (size_ > 0 && value_ >= size_)
                                                 : stopAfter_ >= 0 && Milliseconds(now - begun_) >= stopAfter_;
        if (!due) return 0;
        stopped = now;
        return 1;
    }

    double stopAfter_;
    int32_t size_;
    int32_t value_ = 0;
    bool finishing_ = false;
    Clock::time_point begun_{};
    Clock::time_point last_{};
    Clock::time_point alert_{};
};

struct Reading {
    ResultCode result = kResultOk;
    double readMs = 0;
    double freeMs = 0;
    double longestMs = 0;
    int32_t longestEndedAt = 0;
    int64_t looks = 0;
    int32_t size = 0;
    // From the last look to the end of the read; from the stop's look to the alert, and when
    // the stop came after the start (-1 without a stop or an alert).
    double lastToEndMs = 0;
    double stopToAlertMs = -1;
    double stopAtMs = -1;
};

// Reads the file once under a LookTimer that stops the read as `stopAfter` says (a negative other
// than kAtTheEnd: never).
bool ReadOnce(const char* path, double stopAfter, Reading* reading)
{
    bool scrambled = false;
    DiskFileStream* file = OpenModelFileForReading(path, &scrambled);
    if (!file) return false;
    IgnoreResult(file->StreamSize(&reading->size));  // 0 when the size cannot be had: no stop at the end
    TextureRecordList* textures = NewTextureRecordList();
    InstallTextureLayerServices().SetDocumentTextureList(textures);
    IndexImageResources(file);
    LookTimer timer(stopAfter, reading->size);
    UiServices* before = InstallUiServices(&timer);
    auto* document = new ModelDocument;
    reading->result = document->Init();
    if (reading->result == kResultOk) {
        if (scrambled) file->StreamScrambleOn();
        reading->result = document->ReadModelFile(file);
    }
    const Clock::time_point ended = Clock::now();
    InstallUiServices(before);
    file->FileObjectDestroy();
    const Clock::time_point freeing = Clock::now();
    document->Destroy();
    reading->freeMs = Milliseconds(Clock::now() - freeing);
    InstallTextureLayerServices().SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(textures);
    FreeTextureRecordList(textures);
    FreeImageResources();
    reading->readMs = Milliseconds(ended - timer.begun());
    reading->longestMs = timer.longest;
    reading->longestEndedAt = timer.longestEndedAt;
    reading->looks = timer.looks;
    reading->lastToEndMs = Milliseconds(ended - timer.last());
    if (timer.stopped != Clock::time_point{}) {
        reading->stopAtMs = Milliseconds(timer.stopped - timer.begun());
        if (timer.alert() != Clock::time_point{}) reading->stopToAlertMs = Milliseconds(timer.alert() - timer.stopped);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<double> moments;
    std::vector<const char*> models;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--at" && i + 1 < argc) {
            moments.push_back(std::atof(argv[++i]));
        } else if (argument.rfind("--", 0) == 0) {
            models.clear();
            break;
        } else {
            models.push_back(argv[i]);
        }
    }
    if (models.empty()) {
        std::fprintf(stderr, "usage: read-stops [--at MS]... MODEL...\n");
        return 2;
    }
    IgnoreResult(VolumeCapabilities());
    InstallDrawingLayerServices();
    UseToolScreen();
    InitTextureManager(new TextureManager{});
    InstallTextureLayerServices();
    InitTextureLibraries();
    int status = 0;
    for (const char* model : models) {
        Reading plain;
        if (!ReadOnce(model, -2, &plain)) {
            std::fprintf(stderr, "read-stops: cannot open %s\n", model);
            status = 2;
            continue;
        }
        std::printf("%s: result %d, read-ms %.1f, free-ms %.1f, looks %lld, longest-apart-ms %.1f (ended at byte %d of "
                    "%d), last-look-to-end-ms %.1f\n",
                    model, int(plain.result), plain.readMs, plain.freeMs, (long long)plain.looks, plain.longestMs,
                    int(plain.longestEndedAt), int(plain.size), plain.lastToEndMs);
        std::vector<double> at = moments;
        if (at.empty()) at = {plain.readMs / 10, plain.readMs / 2, plain.readMs * 9 / 10, kAtTheEnd};
        for (const double moment : at) {
            Reading stopped;
            if (!ReadOnce(model, moment, &stopped)) continue;
            if (stopped.stopAtMs < 0) {
                std::printf("  stop at %s: the read ended first (result %d, read-ms %.1f)\n",
                            moment == kAtTheEnd ? "the end" : std::to_string(moment).c_str(), int(stopped.result),
                            stopped.readMs);
                continue;
            }
            std::printf("  stop at %.1f ms%s: result %d, stop-to-alert-ms %.1f, free-ms %.1f\n", stopped.stopAtMs,
                        moment == kAtTheEnd ? " (the end)" : "", int(stopped.result), stopped.stopToAlertMs,
                        stopped.freeMs);
            if (stopped.result != kResultStopped) status = status == 0 ? 1 : status;
        }
        std::fflush(stdout);
    }
    RemoveTextureLayerServices();
    FreeTextureLibraries();
    FreeTextureManager();
    return status;
}
