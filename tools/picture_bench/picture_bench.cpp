// picture-bench [--runs R] [--turn NS]: what decoding a picture and copying it into its texture
// costs on the system it runs on (Wine, for the program's weights), against the units the
// picture budget charges for it (model/picture_budget.h) and in the turns of a read's loops. Each
// kind of picture the readers meet: bitmaps of every encoding (run-length ones whose rows are all
// empty, plain ones of 1, 8 and 24 bits), JPEG files plain and progressive, grey and in colour,
// progressive ones of many scans, pictures of one column and of one row, and pictures of one
// pixel by the thousand; each decoded from memory into an offscreen as the media items decode a
// file, and copied into a texture of at most 1024 x 1024 pixels as they make one, on a screen of 8
// and of 32 bits. Every case is the quickest of R runs (3 unless given) and prints the
// milliseconds of the decoding and of the copy, the units charged, and the nanoseconds and turns
// (at NS nanoseconds a turn, 13 unless given: the typical turn of an honest read, measured by
// system-weights) of a unit.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/device_list.h"
#include "draw/drawing_layer_services.h"
#include "draw/mem_pix_map.h"
#include "draw/program_palette.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/memory_stream.h"
#include "model/picture_budget.h"
#include "textures/bmp_reader.h"
#include "textures/jpeg_reader.h"
#include "textures/media_item.h"
#include "textures/offscreen_reader.h"
#include "tools/picture_files.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Case {
    std::string name;
    Bytes file;
    bool jpeg;
    int32_t pictures;  // decoded one after another
};

struct Timing {
    double decode = 1e300;  // milliseconds
    double copy = 1e300;
    int64_t units = 0;
    bool read = false;
};

// Decodes the file `pictures` times from memory and copies each picture into its texture, as the
// media items do.
Timing Run(const Case& c)
{
    Timing timing;
    PictureBudget budget;
    budget.AddBytes(int64_t(1) << 40);
    double decode = 0;
    double copy = 0;
    for (int32_t i = 0; i < c.pictures; ++i) {
        MemoryStream stream;
        stream.StreamInit(kStreamReading);
        if (stream.StreamSetSize(int32_t(c.file.size())) != kResultOk) return timing;
        std::memcpy(stream.Buffer()->ArrayData(), c.file.data(), c.file.size());
        ImageReader* reader = c.jpeg ? static_cast<ImageReader*>(new OffscreenReader<JpegImageReader>(&stream))
                                     : static_cast<ImageReader*>(new OffscreenReader<BmpImageReader>(&stream));
        reader->ChargePicturesTo(&budget);
        const auto decoding = Clock::now();
        const ResultCode result = reader->Read(8);
        decode += MillisecondsSince(decoding);
        Q_Offscreen* picture = reader->ImageReaderOffscreen();
        reader->Destroy();
        if (result != kResultOk || !picture) return timing;
        const auto copying = Clock::now();
        PortRect source;
        picture->GetBounds(&source);
        MemPixMap* level = new MemPixMap;
        if (level->MemPixMapInit({0, 0, TextureSide(source.Width()), TextureSide(source.Height())}, 8) == kResultOk) {
            PortRect target;
            level->GetBounds(&target);
            IgnoreResult(picture->Lock());
            IgnoreResult(level->Lock());
            picture->CopyOffscreenToPort(level, source, target);
            level->Unlock();
            picture->Unlock();
        }
        level->DisposePixMap();
        copy += MillisecondsSince(copying);
        picture->DisposeOffscreen();
    }
    timing.decode = decode;
    timing.copy = copy;
    timing.units = budget.Spent();
    timing.read = true;
    return timing;
}

// Bytes that pay for a picture of the size at up to three units a pixel beyond what any picture
// may take (the files end before them): the budget lets pictures of every size be timed.
Bytes Paid(Bytes file, int64_t width, int64_t height)
{
    file.resize(file.size() + size_t(width * height * 3 / kPictureUnitsPerByte), 0);
    return file;
}

std::vector<Case> Cases()
{
    std::vector<Case> cases = {
        {"run-length 8 bits, 8192 x 8192", Paid(RunLengthBitmap(8192, 8192, 8), 8192, 8192), false, 1},
        {"run-length 4 bits, 8192 x 8192", Paid(RunLengthBitmap(8192, 8192, 4), 8192, 8192), false, 1},
        {"run-length 8 bits, 1 x 32767", RunLengthBitmap(1, 32767, 8), false, 1},
        {"run-length 8 bits, 32767 x 1", RunLengthBitmap(32767, 1, 8), false, 1},
        {"run-length 8 bits, 1 x 1, 1000 times", RunLengthBitmap(1, 1, 8), false, 1000},
        {"run-length 8 bits, 513 x 513, 10 times", RunLengthBitmap(513, 513, 8), false, 10},
        {"plain 1 bit, 4096 x 4096", PlainBitmap(4096, 4096, 1, 0x5A), false, 1},
        {"plain 8 bits, 4096 x 4096", PlainBitmap(4096, 4096, 8, 7), false, 1},
        {"plain 24 bits, 2048 x 2048", PlainBitmap(2048, 2048, 24, 0x80), false, 1},
    };
    if (!JpegFilesWritable()) return cases;
    const struct {
        const char* name;
        JpegShape shape;
        int32_t pictures;
    } jpegs[] = {
        {"JPEG colour, 4096 x 4096", {4096, 4096, 3, false, 0}, 1},
        {"JPEG grey, 4096 x 4096", {4096, 4096, 1, false, 0}, 1},
        {"JPEG colour progressive, 4096 x 4096", {4096, 4096, 3, true, 0}, 1},
        {"JPEG grey progressive, 4096 x 4096", {4096, 4096, 1, true, 0}, 1},
        {"JPEG grey of 100 scans, 2048 x 2048", {2048, 2048, 1, true, 100}, 1},
        {"JPEG grey of 500 scans, 2048 x 2048", {2048, 2048, 1, true, 500}, 1},
        {"JPEG grey of 100 scans, 8192 x 8192", {8192, 8192, 1, true, 100}, 1},
        {"JPEG colour, 8 x 32760", {8, 32760, 3, false, 0}, 1},
        {"JPEG colour, 32760 x 8", {32760, 8, 3, false, 0}, 1},
        {"JPEG colour, 8 x 8, 1000 times", {8, 8, 3, false, 0}, 1000},
    };
    for (const auto& j : jpegs)
        cases.push_back({j.name, Paid(GreyJpeg(j.shape), j.shape.width, j.shape.height), true, j.pictures});
    return cases;
}

// The drawing layer as on a screen of the depth, as render-frame sets it up.
void UseScreen(int32_t depth)
{
    DisposeWindowList();
    DisposeProgramPalette();
    SetScreenCaps(ScreenCapsOfDepth(depth));
    CreateProgramPalette();
    IgnoreResult(InitWindowList());
}

}  // namespace

int main(int argc, char** argv)
{
    int32_t runs = 3;
    double turn = 13;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--turn") == 0) turn = std::max(1.0, std::atof(argv[i + 1]));
    }
    InstallDrawingLayerServices();
    static RecordedCapsReader standIn;  // the screen of each depth is the device of every DC
    InstallDeviceCapsReader(&standIn);
    const std::vector<Case> cases = Cases();
    std::printf("%-40s %5s %10s %10s %12s %8s %8s\n", "picture", "depth", "decode ms", "copy ms", "units", "ns/unit",
                "turns/unit");
    for (const int32_t depth : {32, 8}) {
        UseScreen(depth);
        {
            // The system's part of every picture: an offscreen of one pixel made and disposed.
            constexpr int32_t kOffscreens = 1000;
            double best = 1e300;
            for (int32_t run = 0; run < runs; ++run) {
                const auto start = Clock::now();
                for (int32_t i = 0; i < kOffscreens; ++i) {
                    Q_Offscreen* offscreen = new Q_Offscreen;
                    IgnoreResult(offscreen->QOffscreenInit({0, 0, 1, 1}, 8, nullptr));
                    offscreen->DisposeOffscreen();
                }
                best = std::min(best, MillisecondsSince(start));
            }
            std::printf("%-40s %5d %10.1f us an offscreen, %.0f turns\n", "offscreens of 1 x 1 made", int(depth),
                        best * 1000 / kOffscreens, best * 1e6 / kOffscreens / turn);
        }
        // The copy alone, from pictures of each size into a texture of 1024 x 1024 and of 256 x 256.
        for (const int32_t side : {1024, 2048, 4096, 8192}) {
            for (const int32_t level : {1024, 256}) {
                Q_Offscreen* picture = new Q_Offscreen;
                MemPixMap* texture = new MemPixMap;
                if (picture->QOffscreenInit({0, 0, side, side}, 8, nullptr) == kResultOk &&
                    texture->MemPixMapInit({0, 0, level, level}, 8) == kResultOk) {
                    double best = 1e300;
                    for (int32_t run = 0; run < runs; ++run) {
                        const auto start = Clock::now();
                        picture->CopyOffscreenToPort(texture, {0, 0, side, side}, {0, 0, level, level});
                        best = std::min(best, MillisecondsSince(start));
                    }
                    std::printf("copy %5d x %-5d into %4d x %-4d         %5d %10.1f ms\n", int(side), int(side), int(level),
                                int(level), int(depth), best);
                }
                texture->DisposePixMap();
                picture->DisposeOffscreen();
            }
        }
        for (const Case& c : cases) {
            Timing best;
            for (int32_t run = 0; run < runs; ++run) {
                const Timing t = Run(c);
                if (!t.read) break;
                if (t.decode + t.copy < best.decode + best.copy) best = t;
            }
            if (!best.read) {
                std::printf("%-40s %5d   not read\n", c.name.c_str(), int(depth));
                continue;
            }
            const double perUnit = (best.decode + best.copy) * 1e6 / double(std::max<int64_t>(best.units, 1));
            std::printf("%-40s %5d %10.1f %10.1f %12lld %8.2f %8.3f\n", c.name.c_str(), int(depth), best.decode, best.copy,
                        (long long)best.units, perUnit, perUnit / turn);
            std::fflush(stdout);
        }
    }
    return 0;
}
