// render-frame MODEL OUT.bmp [--size WxH] [--depth 4|8|16|24|32] [--flash 0|1] [--eye X,Y,Z]
//              [--angles ROLL,PITCH,HEADING] [--lens N,D] [--options MASK] [--frames N] [--last-frame OUT2.bmp]
//              [--budget] [--then VIEW]...
// Renders a model file with the program's own reader and renderer (its textures loaded, and
// locked around each frame as the player has them), from where its walk observer stands (or the
// given eye), with the options and lens the player takes from its preferences, into an offscreen of the given depth as a screen of that depth would have it, and writes the
// frame as a BMP file of that depth. --flash 0 draws faces through the system's polygon calls.
// --frames N then renders N more frames, turning the heading one step before each, and prints
// the median and 95th percentile time per frame with the faces and pixels drawn per frame (with
// --budget also, cost by cost and for the turns, the most any of them spent of its allowance);
// --last-frame writes the last of those frames as a second BMP file. --budget prints what the
// first frame spent against its budget: the faces and elements drawn, those drawn behind
// see-through ones, the faces in view, each cost with its allowance, whether it passed one and
// whether it stopped, and the turns its loops took beside the turns its allowances come to.
// --then FLASH:own or FLASH:X,Y,Z:ROLL,PITCH,HEADING (with --budget) then draws the model afresh
// through that face path from the walk observer's own place or from that eye, and prints a line
// `then: VIEW` with what that frame spent, as for the first: the frames of many views of a
// large model for one read of it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "draw/device_list.h"
#include "draw/drawing_layer_services.h"
#include "draw/pen_state.h"
#include "draw/port_base.h"
#include "draw/program_palette.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/disk_file_stream.h"
#include "foundation/loop_turns.h"
#include "foundation/ui_services.h"
#include "model/model_holder.h"
#include "player/navigation_steps.h"
#include "player/open_command.h"
#include "player/player_document.h"
#include "player/player_preferences.h"
#include "player/preference_sections.h"
#include "player/walk_observer.h"
#include "raster/raster_sets.h"
#include "render/device_points.h"
#include "render/face_front_end.h"
#include "render/frame_render.h"
#include "render/observer.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "render/render_context.h"
#include "render/renderer_texture_mapping.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "tools/tool_support.h"
#include "textures/texture_services_impl.h"

namespace {

const char kUsage[] =
    "usage: render-frame MODEL OUT.bmp [--size WxH] [--depth 4|8|16|24|32] [--flash 0|1] [--eye X,Y,Z] "
    "[--angles ROLL,PITCH,HEADING] [--lens N,D] [--options MASK] [--frames N] [--last-frame OUT2.bmp] [--budget] "
    "[--then FLASH:own|FLASH:X,Y,Z:ROLL,PITCH,HEADING]...";

// A further frame of --then: its face path, and its eye and angles (none given: the walk
// observer's own).
struct FurtherView {
    std::string text;
    int32_t flash = 1;
    bool own = true;
    int32_t eye[3] = {0, 0, 0};
    int32_t angles[3] = {0, 0, 0};
};

struct Arguments {
    std::string model;
    std::string output;
    int32_t width = 640;
    int32_t height = 480;
    int32_t depth = 32;
    int32_t flash = 1;
    bool eyeGiven = false;
    int32_t eye[3] = {0, 0, 0};
    bool anglesGiven = false;
    int32_t angles[3] = {0, 0, 0};
    bool lensGiven = false;
    int32_t lens[2] = {0, 0};
    bool optionsGiven = false;
    uint32_t options = 0;
    int32_t frames = 0;
    std::string lastFrame;
    bool budget = false;
    std::vector<FurtherView> further;
};

bool ParseInts(const char* text, int32_t* out, int32_t count, char separator)
{
    const char* p = text;
    for (int32_t i = 0; i < count; ++i) {
        char* end = nullptr;
        const long value = std::strtol(p, &end, 10);
        if (end == p || value < -32768 || value > 32767) return false;
        out[i] = int32_t(value);
        if (i + 1 < count) {
            if (*end != separator) return false;
            p = end + 1;
        } else if (*end != '\0') {
            return false;
        }
    }
    return true;
}

// FLASH:own or FLASH:X,Y,Z:ROLL,PITCH,HEADING.
bool ParseFurtherView(const std::string& text, FurtherView* view)
{
    view->text = text;
    if (text.size() < 3 || (text[0] != '0' && text[0] != '1') || text[1] != ':') return false;
    view->flash = text[0] - '0';
    const std::string place = text.substr(2);
    if (place == "own") return true;
    const size_t colon = place.find(':');
    if (colon == std::string::npos) return false;
    view->own = false;
    return ParseInts(place.substr(0, colon).c_str(), view->eye, 3, ',') &&
           ParseInts(place.substr(colon + 1).c_str(), view->angles, 3, ',');
}

bool Parse(int argc, char** argv, Arguments* a)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg.rfind("--", 0) != 0) {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--budget") {
            a->budget = true;
            continue;
        }
        if (!hasValue) return false;
        const char* value = argv[++i];
        if (arg == "--size") {
            int32_t size[2];
            if (!ParseInts(value, size, 2, 'x') || size[0] < 2 || size[1] < 2 || size[0] > 4096 || size[1] > 4096)
                return false;
            a->width = size[0];
            a->height = size[1];
        } else if (arg == "--depth") {
            if (!ParseInts(value, &a->depth, 1, 0)) return false;
            if (a->depth != 4 && a->depth != 8 && a->depth != 16 && a->depth != 24 && a->depth != 32) return false;
        } else if (arg == "--flash") {
            if (!ParseInts(value, &a->flash, 1, 0) || (a->flash != 0 && a->flash != 1)) return false;
        } else if (arg == "--eye") {
            if (!ParseInts(value, a->eye, 3, ',')) return false;
            a->eyeGiven = true;
        } else if (arg == "--angles") {
            if (!ParseInts(value, a->angles, 3, ',')) return false;
            a->anglesGiven = true;
        } else if (arg == "--lens") {
            if (!ParseInts(value, a->lens, 2, ',') || a->lens[0] < 1 || a->lens[1] < 1) return false;
            a->lensGiven = true;
        } else if (arg == "--options") {
            char* end = nullptr;
            const unsigned long mask = std::strtoul(value, &end, 0);
            if (end == value || *end != '\0' || mask > 0x3FFF) return false;
            a->options = uint32_t(mask);
            a->optionsGiven = true;
        } else if (arg == "--frames") {
            if (!ParseInts(value, &a->frames, 1, 0) || a->frames < 1) return false;
        } else if (arg == "--last-frame") {
            a->lastFrame = value;
        } else if (arg == "--then") {
            FurtherView view;
            if (!ParseFurtherView(value, &view)) return false;
            a->further.push_back(view);
        } else {
            return false;
        }
    }
    if (positional.size() != 2 || (!a->lastFrame.empty() && a->frames == 0) || (!a->further.empty() && !a->budget))
        return false;
    a->model = positional[0];
    a->output = positional[1];
    return true;
}



// Opens the model as the player's document does (the same preferences, root colour and order of
// set-up); null after the reader's alert when it cannot be read.
PlayerDocument* LoadModel(const std::string& path)
{
    DiskFileStream* file = new DiskFileStream;
    if (file->FileObjectInit(kOpenGivenFile, 0, 0, "", "") != kResultOk ||
        file->SetFileFromPath(SystemPath(path).c_str()) != kResultOk) {
        file->FileObjectDestroy();
        ShowAlert(("Cannot open the model file " + path + ".").c_str());
        return nullptr;
    }
    PlayerDocument* document = LoadPlayerDocument(file);
    file->FileObjectDestroy();
    return document;
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The offscreen's pixels as a bottom-up BMP file of its depth (a colour table at 4 and 8 bits),
// written a row at a time: a copy of the whole frame would hold as much memory again as the
// offscreen, more than the frame's own drawing takes at the largest sizes.
bool WriteBmp(Q_Offscreen* offscreen, int32_t width, int32_t height, const std::string& path)
{
    GdiFlush();
    const PixelFormat& format = offscreen->Format();
    const int32_t bits = format.bitsPerPixel * format.planes;
    if (!format.rowTable || format.planes != 1) return false;
    std::vector<RGBQUAD> colours;
    if (bits <= 8) {
        colours.resize(size_t(1) << bits);
        const UINT got = GetDIBColorTable(offscreen->PortDC(), 0, UINT(colours.size()), colours.data());
        if (got == 0) {
            std::vector<PALETTEENTRY> entries(colours.size());
            GetPaletteEntries(ProgramPalette, 0, UINT(entries.size()), entries.data());
            for (size_t i = 0; i < entries.size(); ++i)
                colours[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        }
    }
    const uint32_t rowBytes = uint32_t((width * bits + 31) / 32 * 4);
    const uint32_t tableBytes = uint32_t(colours.size() * 4);
    const uint32_t offset = 14 + 40 + tableBytes;
    std::vector<uint8_t> head;
    head.reserve(offset);
    head.push_back('B');
    head.push_back('M');
    Put32(head, offset + rowBytes * uint32_t(height));
    Put32(head, 0);
    Put32(head, offset);
    Put32(head, 40);
    Put32(head, uint32_t(width));
    Put32(head, uint32_t(height));
    Put16(head, 1);
    Put16(head, uint32_t(bits));
    Put32(head, 0);  // BI_RGB; 16 bits are 5-5-5
    Put32(head, rowBytes * uint32_t(height));
    Put32(head, 2835);
    Put32(head, 2835);
    Put32(head, uint32_t(colours.size()));
    Put32(head, 0);
    for (const RGBQUAD& q : colours) {
        head.push_back(q.rgbBlue);
        head.push_back(q.rgbGreen);
        head.push_back(q.rgbRed);
        head.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(head.data(), 1, head.size(), file) == head.size();
    const uint32_t usedBytes = uint32_t((width * bits + 7) / 8);
    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t y = height - 1; y >= 0 && written; --y) {
        std::copy(format.rowTable[y], format.rowTable[y] + usedBytes, row.begin());
        written = std::fwrite(row.data(), 1, rowBytes, file) == rowBytes;
    }
    return std::fclose(file) == 0 && written;
}

// One frame as the navigation pane draws it: the textures locked around it.
void RenderFrame(Observer* observer)
{
    LockTextureSet(CurrentTextureManager());
    RenderFrameTimed(observer, 0, 0);
    UnlockTextureSet(CurrentTextureManager());
}

// The preferences applied as the walk view applies them: the lens when it differs, the render
// options, and the eye attached to the world anew.
void ApplyPreferences(Observer* observer, const PlayerPreferences& preferences)
{
    const NavigationSection& navigation = *preferences.Navigation();
    if (observer->zoomNum != navigation.lensNumerator || observer->zoomDen != navigation.lensDenominator)
        observer->SetViewZoom(navigation.lensNumerator, navigation.lensDenominator);
    observer->SetObserverOptions(RenderOptionMask(*preferences.Render()));
    observer->AttachObserverToWorld();
}

// The costs as --budget names them.
constexpr struct {
    const char* name;
    FrameCost cost;
} kCostNames[] = {{"drawn", FrameCost::kDrawn},
                  {"pixels", FrameCost::kPixels},
                  {"line-pixels", FrameCost::kLinePixels},
                  {"corner-pairs", FrameCost::kCornerPairs},
                  {"system-spans", FrameCost::kSystemSpans},
                  {"taken-up", FrameCost::kTakenUp},
                  {"walked", FrameCost::kWalked},
                  {"viewed", FrameCost::kViewed},
                  {"ordered", FrameCost::kOrdered},
                  {"masked", FrameCost::kMasked}};
constexpr int32_t kCostCount = int32_t(FrameCost::kCount);

// What the frame just drawn spent against its budget, and the turns its loops took.
void PrintBudget(const FrameBudget& budget, int64_t turns)
{
    std::printf("drawn: %lld\n", static_cast<long long>(budget.Spent(FrameCost::kDrawn)));
    std::printf("redrawn: %lld\n", static_cast<long long>(budget.Redrawn()));
    std::printf("in-view: %lld\n", static_cast<long long>(budget.InView()));
    std::printf("tested: %lld\n", static_cast<long long>(budget.Tested()));
    for (const auto& cost : kCostNames)
        std::printf("%s-spent: %lld of %lld\n", cost.name, static_cast<long long>(budget.Spent(cost.cost)),
                    static_cast<long long>(budget.Allowance(cost.cost)));
    std::printf("passed: %d\n", budget.Passed() ? 1 : 0);
    std::printf("stopped: %d\n", budget.Stopped() ? 1 : 0);
    std::printf("turns: %lld of %lld\n", static_cast<long long>(turns),
                static_cast<long long>(budget.TurnsAllowance()));
}

// Of a run of frames, for each cost (and for the turns, last) what the frame that spent the
// largest share of its allowance spent and was allowed.
class MostSpent {
public:
    void Take(const FrameBudget& budget, int64_t turns)
    {
        for (int32_t cost = 0; cost < kCostCount; ++cost)
            Keep(cost, budget.Spent(FrameCost(cost)), budget.Allowance(FrameCost(cost)));
        Keep(kCostCount, turns, budget.TurnsAllowance());
    }
    void Print() const
    {
        for (const auto& cost : kCostNames) Print(cost.name, int32_t(cost.cost));
        Print("turns", kCostCount);
    }

private:
    void Keep(int32_t k, int64_t spent, int64_t allowed)
    {
        // spent / allowed > spent_ / allowed_, in whole numbers.
        if (allowed > 0 && (allowed_[k] == 0 || double(spent) * allowed_[k] > double(spent_[k]) * allowed)) {
            spent_[k] = spent;
            allowed_[k] = allowed;
        }
    }
    void Print(const char* name, int32_t k) const
    {
        std::printf("%s-most: %lld of %lld\n", name, static_cast<long long>(spent_[k]),
                    static_cast<long long>(allowed_[k]));
    }

    int64_t spent_[kCostCount + 1] = {};
    int64_t allowed_[kCostCount + 1] = {};
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5));
    return values[index];
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments args;
    if (!Parse(argc, argv, &args)) {
        ShowAlert(kUsage);
        return 2;
    }

    // The drawing layer as on a screen of the requested depth, with the shade tables for it.
    IgnoreResult(VolumeCapabilities());
    InstallDrawingLayerServices();
    InstallRendererRegionWork();
    InstallRasterSets();
    SetScreenCaps(ScreenCapsOfDepth(args.depth));
    static RecordedCapsReader standIn;  // the screen of that depth is the device of every DC
    InstallDeviceCapsReader(&standIn);
    CreateProgramPalette();
    InitPenState();
    IgnoreResult(PolyRgnStartup());  // the lists are made again where first needed
    IgnoreResult(InitWindowList());  // the device list may stay empty: its readers allow for that
    Q_Offscreen* offscreen = new Q_Offscreen;
    if (offscreen->QOffscreenInit({0, 0, args.width, args.height}, args.depth, &kWhiteColor) != kResultOk) {
        ShowAlert("Cannot make the offscreen.");
        return 1;
    }
    if (InitProjectionArrays() != kResultOk || InitRasterBuffers() != kResultOk) {
        ShowAlert("Cannot make the renderer's work arrays.");
        return 1;
    }
    InstallRendererTextureMapping();
    // The offscreen becomes the shared render target and the shade tables are built for the
    // screen before the model's textures are loaded; the shade tables and the pictures the model
    // file holds publish offscreens of their own meanwhile, so the target is published again.
    IgnoreResult(offscreen->Activate());
    InitTextureManager(new TextureManager{});
    PlayerDocument* document = LoadModel(args.model);
    if (!document) return 1;
    offscreen->Unlock();
    IgnoreResult(offscreen->Lock());

    // The document's walk observer, laid out as the navigation pane lays out a pane of the
    // offscreen's size (no fixed ratio) and with the preferences applied as the walk view
    // applies them; then what the command line gives.
    WalkObserver* observer = document->Walk();
    const PortRect port = {0, 0, args.width, args.height};
    const int32_t centreX = args.width / 2;
    const int32_t centreY = args.height / 2;
    const NavigationLayout layout = LayOutNavigation(port, centreX, centreY, 0, 0);
    observer->SetViewportSize(layout.viewportWidth, layout.viewportHeight);
    ApplyPreferences(observer, *document->Preferences());
    if (args.lensGiven) observer->SetViewZoom(int16_t(args.lens[0]), int16_t(args.lens[1]));
    if (args.optionsGiven) observer->SetObserverOptions(args.options);
    // The player takes the switch from the registry; the tool has its own.
    SetDirectPixelDrawing(args.flash);
    const ShortVector3 ownEye = {observer->x, observer->y, observer->z};
    const int16_t ownAngles[3] = {int16_t(observer->roll), int16_t(observer->pitch), int16_t(observer->heading)};
    if (args.eyeGiven)
        observer->SetObserverPosition({int16_t(args.eye[0]), int16_t(args.eye[1]), int16_t(args.eye[2])});
    if (args.anglesGiven)
        observer->SetObserverAngles(int16_t(args.angles[0]), int16_t(args.angles[1]), int16_t(args.angles[2]));
    SetViewOrigin(centreX, centreY);

    const int64_t turnsBefore = TurnsCounted();
    RenderFrame(observer);
    if (args.budget) PrintBudget(CurrentRenderContext().frameBudget, TurnsCounted() - turnsBefore);
    if (!WriteBmp(offscreen, args.width, args.height, args.output)) {
        ShowAlert(("Cannot write " + args.output + ".").c_str());
        return 1;
    }
    for (const FurtherView& view : args.further) {
        SetDirectPixelDrawing(view.flash);
        if (view.own) {
            observer->SetObserverPosition(ownEye);
            observer->SetObserverAngles(ownAngles[0], ownAngles[1], ownAngles[2]);
        } else {
            observer->SetObserverPosition({int16_t(view.eye[0]), int16_t(view.eye[1]), int16_t(view.eye[2])});
            observer->SetObserverAngles(int16_t(view.angles[0]), int16_t(view.angles[1]), int16_t(view.angles[2]));
        }
        // Drawn as a first frame: nothing kept of the frames before.
        observer->BumpSerial();
        NoteLayeringChanged(observer->owner);
        std::printf("then: %s\n", view.text.c_str());
        const int64_t turnsThen = TurnsCounted();
        RenderFrame(observer);
        PrintBudget(CurrentRenderContext().frameBudget, TurnsCounted() - turnsThen);
    }

    if (args.frames > 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        std::vector<double> times;
        times.reserve(size_t(args.frames));
        const int16_t heading = observer->heading;
        MostSpent most;
        for (int32_t i = 0; i < args.frames; ++i) {
            observer->MoveObserverRelative(0, 0, 0, 1, 0, 0);
            const int64_t turnsBefore = TurnsCounted();
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            RenderFrame(observer);
            GdiFlush();
            QueryPerformanceCounter(&end);
            times.push_back(Milliseconds(start, end, frequency));
            most.Take(CurrentRenderContext().frameBudget, TurnsCounted() - turnsBefore);
        }
        // The same frames again, counting the faces and the pixels they cover.
        observer->SetObserverAngles(observer->roll, observer->pitch, heading);
        SetFaceAreaCounting(1);
        for (int32_t i = 0; i < args.frames; ++i) {
            observer->MoveObserverRelative(0, 0, 0, 1, 0, 0);
            RenderFrame(observer);
        }
        const double faces = double(FacesCounted()) / args.frames;
        const double pixels = double(FaceAreaDrawn()) / args.frames;
        SetFaceAreaCounting(0);
        if (!args.lastFrame.empty() && !WriteBmp(offscreen, args.width, args.height, args.lastFrame)) {
            ShowAlert(("Cannot write " + args.lastFrame + ".").c_str());
            return 1;
        }
        std::printf("frames: %d\n", int(args.frames));
        std::printf("ms-per-frame: %.3f\n", Percentile(times, 0.5));
        std::printf("ms-per-frame-p95: %.3f\n", Percentile(times, 0.95));
        std::printf("faces-per-frame: %.1f\n", faces);
        std::printf("pixels-per-frame: %.0f\n", pixels);
        if (args.budget) most.Print();
    }

    IgnoreResult(offscreen->Deactivate());
    document->Free();
    RemoveTextureLayerServices();
    FreeImageResources();
    RemoveRendererTextureMapping();
    FreeTextureManager();
    offscreen->DisposeOffscreen();
    FreeRasterBuffers();
    FreeProjectionArrays();
    PolyRgnShutdown();
    FreePenState();
    return 0;
}
