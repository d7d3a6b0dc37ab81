// system-weights [--runs R]: what a call to the system on a model read's path costs, in the turns of
// the read's loops (foundation/loop_turns.h), measured on the system it runs on (Wine, for the
// program's weights: foundation/system_weights.h).
// A turn: each honest model (tools/honest_models.h, at the sizes a test run reads) is written and
// read back from memory R times (5 unless given); its quickest read on the clock over the turns
// the read counted is what a turn of that model costs, and the median over the models is the
// typical turn. The heap: blocks of each size taken with calloc and given back with free, many
// held at once as a read holds them, and a list object made and destroyed as NewDynamicArray and
// Destroy do it. The regions: each call that the coverage of faces makes (a region made of a
// rectangle or of a polygon, two combined, compared, measured, deleted), on polygons of a few rows
// and of many, beside the work the read charges for the polygon (CoverageRegion::PolygonWork).
// The files: in folders of a few names and of thousands, a name opened as it is spelled in the
// folder, in other letter cases, and a name that is not there, as the reader opens a picture file
// and asks whether a referenced file opens; and a small bitmap decoded into its texture, opening
// and all, as a holder of a picture file does it.
// Each figure is printed in nanoseconds and in turns.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "draw/coverage_region.h"
#include "draw/drawing_layer_services.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "model/model_document.h"
#include "textures/media_holder.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/honest_models.h"
#include "tools/sample_scenes.h"
#include "tools/tool_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double NanosecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The quickest of `runs` timings of the work, each repeated `times` times: nanoseconds a time.
template <class Work>
double Quickest(int32_t runs, int32_t times, Work work)
{
    double best = 1e300;
    for (int32_t run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        for (int32_t i = 0; i < times; ++i) work(i);
        best = std::min(best, NanosecondsSince(start) / times);
    }
    return best;
}

// --- a turn ---

// One read of the bytes from memory: nanoseconds on the clock and the turns counted; negative
// nanoseconds when it failed.
double ReadOnce(const std::vector<uint8_t>& bytes, int64_t* turns)
{
    TextureRecordList* textures = NewTextureRecordList();
    InstallTextureLayerServices().SetDocumentTextureList(textures);
    MemoryStream stream;
    stream.StreamInit(kStreamReading);
    ModelDocument* document = new ModelDocument;
    double taken = -1;
    if (stream.StreamSetSize(int32_t(bytes.size())) == kResultOk && document->Init() == kResultOk) {
        std::memcpy(stream.Buffer()->ArrayData(), bytes.data(), bytes.size());
        const int64_t before = TurnsCounted();
        const auto start = Clock::now();
        const ResultCode result = document->ReadModelFile(&stream);
        taken = NanosecondsSince(start);
        *turns = TurnsCounted() - before;
        if (result != kResultOk) taken = -1;
    }
    document->Destroy();
    InstallTextureLayerServices().SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(textures);
    FreeTextureRecordList(textures);
    return taken;
}

// Prints what a turn of each honest model's read costs; the median of them.
double TurnNanoseconds(int32_t runs)
{
    InitTextureManager(new TextureManager{});
    InstallTextureLayerServices();
    int32_t count = 0;
    const HonestModel* models = HonestModels(&count);
    std::vector<double> perTurn;
    std::printf("a turn: the quickest of %d reads of each honest model over the turns it counted\n", runs);
    for (int32_t k = 0; k < count; ++k) {
        const std::vector<uint8_t> bytes = ModelFileBytes(models[k].testSize());
        double best = 1e300;
        int64_t turns = 0;
        for (int32_t run = 0; run < runs && !bytes.empty(); ++run) {
            const double taken = ReadOnce(bytes, &turns);
            if (taken < 0) break;
            best = std::min(best, taken);
        }
        if (bytes.empty() || best > 1e299 || turns <= 0) {
            std::printf("  %-24s not read\n", models[k].kind);
            continue;
        }
        perTurn.push_back(best / double(turns));
        std::printf("  %-24s %9zu bytes %12lld turns %9.2f ms %7.2f ns a turn\n", models[k].kind, bytes.size(),
                    (long long)turns, best / 1e6, perTurn.back());
    }
    const double median = Median(perTurn);
    std::printf("  median: %.2f ns a turn\n", median);
    return median;
}

// --- the heap ---

// Blocks held at once, as a read holds the lists it builds.
constexpr int32_t kHeldBlocks = 20000;

void PrintCall(const char* what, double nanoseconds, double turnNanoseconds, const char* note = "")
{
    std::printf("  %-52s %9.1f ns %8.1f turns%s\n", what, nanoseconds, nanoseconds / turnNanoseconds, note);
}

void MeasureHeap(int32_t runs, double turn)
{
    std::printf("the heap: %d blocks taken, then given back (a block taken and given back)\n", kHeldBlocks);
    std::vector<void*> blocks(kHeldBlocks, nullptr);
    for (const int32_t size : {8, 32, 64, 128, 512, 2048, 8192}) {
        double best = 1e300;
        for (int32_t run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            for (void*& block : blocks) block = std::calloc(size_t(size), 1);
            for (void* block : blocks) std::free(block);
            best = std::min(best, NanosecondsSince(start) / kHeldBlocks);
        }
        PrintCall(("calloc and free of " + std::to_string(size) + " bytes").c_str(), best, turn);
    }
    // Taken and given back at once, as a list made for one step of a loop (the block passes through
    // a volatile place, so that the compiler keeps the pair of calls).
    for (const int32_t size : {32, 512}) {
        void* volatile block = nullptr;
        const double taken = Quickest(runs, kHeldBlocks, [size, &block](int32_t) {
            block = std::calloc(size_t(size), 1);
            std::free(block);
        });
        PrintCall(("calloc and free of " + std::to_string(size) + " bytes, one at a time").c_str(), taken, turn);
    }
    // A list object alone (its block held in it), and with a block of 64 elements, and the turns
    // that making it counts.
    std::vector<DynamicArray*> lists(kHeldBlocks, nullptr);
    for (const int32_t count : {0, 64}) {
        double best = 1e300;
        double counted = 0;
        for (int32_t run = 0; run < runs; ++run) {
            const int64_t turnsBefore = TurnsCounted();
            const auto start = Clock::now();
            for (DynamicArray*& list : lists) list = NewDynamicArray(count, int32_t(sizeof(int16_t)), 4);
            for (DynamicArray*& list : lists) DestroyArray(list);
            best = std::min(best, NanosecondsSince(start) / kHeldBlocks);
            counted = double(TurnsCounted() - turnsBefore) / kHeldBlocks;
        }
        char note[64];
        std::snprintf(note, sizeof note, "  (%.0f counted)", counted);
        PrintCall(("NewDynamicArray of " + std::to_string(count) + " int16_t and Destroy").c_str(), best, turn, note);
    }
}

// --- the regions ---

// A regular polygon of `corners` points of the radius around (radius, radius), in whole plane
// units stored as FixedPoint, as the coverage of faces hands outlines to its regions.
DynamicArray* Outline(int32_t corners, double radius)
{
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 16);
    for (int32_t i = 0; outline && i < corners; ++i) {
        const double angle = 6.283185307179586 * (i + 0.5) / corners;
        const FixedPoint point = {Fixed(std::lround(radius * (1 + std::cos(angle)))) << 16,
                                  Fixed(std::lround(radius * (1 + std::sin(angle)))) << 16};
        outline->Append(&point);
    }
    return outline;
}

std::vector<POINT> DevicePoints(const DynamicArray* outline)
{
    std::vector<POINT> points;
    for (int32_t i = 0; i < outline->ArrayCount(); ++i) {
        const FixedPoint* p = outline->At<FixedPoint>(i);
        points.push_back({LONG(p->x >> 16), LONG(p->y >> 16)});
    }
    return points;
}

// The steps the system's making of a polygon region takes to file the polygon's edges by the row
// each begins on: each edge walks the rows filed before it, half of them on the whole.
int64_t EdgeFilingSteps(const std::vector<POINT>& points)
{
    std::vector<LONG> rows;
    int64_t edges = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const POINT& a = points[i];
        const POINT& b = points[(i + 1) % points.size()];
        if (a.y == b.y) continue;
        ++edges;
        rows.push_back(std::min(a.y, b.y));
    }
    std::sort(rows.begin(), rows.end());
    const int64_t distinct = std::unique(rows.begin(), rows.end()) - rows.begin();
    return edges * distinct / 2;
}

// The rectangles a region is kept as.
int64_t Rectangles(HRGN region)
{
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    return bytes > sizeof(RGNDATAHEADER) ? int64_t(bytes - sizeof(RGNDATAHEADER)) / int64_t(sizeof(RECT)) : 0;
}

void MeasureRegions(int32_t runs, double turn)
{
    constexpr int32_t kTimes = 2000;
    std::printf("the regions: each call, the quickest of %d runs of %d (work: what the read charges for the "
                "polygon, CoverageRegion::PolygonWork)\n",
                runs, kTimes);
    std::vector<HRGN> made(kTimes, nullptr);
    // Makes and deletes kTimes regions: the making's nanoseconds and the deleting's.
    auto makeAndDelete = [&](auto make, double* deleting) {
        double best = 1e300;
        *deleting = 1e300;
        for (int32_t run = 0; run < runs; ++run) {
            auto start = Clock::now();
            for (HRGN& region : made) region = make();
            best = std::min(best, NanosecondsSince(start) / kTimes);
            start = Clock::now();
            for (HRGN region : made) DeleteObject(region);
            *deleting = std::min(*deleting, NanosecondsSince(start) / kTimes);
        }
        return best;
    };
    double deleting = 0;
    PrintCall("CreateRectRgn of nothing", makeAndDelete([] { return CreateRectRgn(0, 0, 0, 0); }, &deleting), turn);
    PrintCall("DeleteObject of a region of nothing", deleting, turn);
    struct Shape {
        int32_t corners;
        double radius;
    };
    for (const Shape shape : {Shape{3, 1}, Shape{4, 8}, Shape{4, 64}, Shape{4, 512}, Shape{16, 64}, Shape{64, 64},
                              Shape{64, 512}, Shape{256, 64}, Shape{256, 512}, Shape{1024, 64}, Shape{1024, 512},
                              Shape{4096, 512}}) {
        DynamicArray* outline = Outline(shape.corners, shape.radius);
        const std::vector<POINT> points = DevicePoints(outline);
        const int64_t work = CoverageRegion::PolygonWork(outline);
        const double taken = makeAndDelete(
            [&] { return CreatePolygonRgn(points.data(), int(points.size()), WINDING); }, &deleting);
        HRGN region = CreatePolygonRgn(points.data(), int(points.size()), WINDING);
        const int64_t rectangles = Rectangles(region);
        char what[96];
        std::snprintf(what, sizeof what, "CreatePolygonRgn, %d corners, %d rows", shape.corners,
                      int(std::lround(2 * shape.radius)));
        const int64_t filing = EdgeFilingSteps(points);
        char note[128];
        std::snprintf(note, sizeof note, "  work %lld, %.1f ns a unit; %lld filing steps, %.2f ns a step",
                      (long long)work, work > 0 ? taken / double(work) : 0, (long long)filing,
                      filing > 0 ? taken / double(filing) : 0);
        PrintCall(what, taken, turn, note);
        std::snprintf(what, sizeof what, "  DeleteObject of it (%lld rectangles)", (long long)rectangles);
        PrintCall(what, deleting, turn);
        // Combined with a copy of itself shifted by a quarter of its size, and compared.
        const int32_t shift = std::max(1, int32_t(shape.radius / 2));
        HRGN other = CreatePolygonRgn(points.data(), int(points.size()), WINDING);
        OffsetRgn(other, shift, shift);
        HRGN target = CreateRectRgn(0, 0, 0, 0);
        for (const auto& [mode, name] : {std::pair<int, const char*>{RGN_AND, "AND"}, {RGN_DIFF, "DIFF"},
                                         {RGN_COPY, "COPY"}}) {
            const double combined = Quickest(runs, kTimes, [&](int32_t) { CombineRgn(target, region, other, mode); });
            std::snprintf(what, sizeof what, "  CombineRgn %s of it with another", name);
            PrintCall(what, combined, turn);
        }
        PrintCall("  EqualRgn of it with another", Quickest(runs, kTimes, [&](int32_t) { EqualRgn(region, other); }),
                  turn);
        PrintCall("  GetRegionData of its size",
                  Quickest(runs, kTimes, [&](int32_t) { GetRegionData(region, 0, nullptr); }), turn);
        for (HRGN r : {region, other, target}) DeleteObject(r);
        outline->Destroy();
    }
}

// --- the files ---

// A bitmap of 2 x 2 pixels of 24 bits: 70 bytes.
std::vector<uint8_t> SmallBitmap()
{
    std::vector<uint8_t> file(70, 0);
    auto put = [&file](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + size_t(i)] = uint8_t(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, 70, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 2, 4);
    put(22, 2, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, 16, 4);
    for (size_t i = 54; i < 70; ++i) file[i] = uint8_t(i * 37);
    return file;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The name with every letter in the other case.
std::string OtherCase(std::string name)
{
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return name;
}

void MeasureFiles(int32_t runs, double turn)
{
    constexpr int32_t kTimes = 200;
    char base[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return;
    const std::vector<uint8_t> bitmap = SmallBitmap();
    std::printf("the files: each call, the quickest of %d runs of %d\n", runs, kTimes);
    for (const int32_t names : {4, 1400, 5000}) {
        const std::string folder = std::string(base) + "qp-weights-" + std::to_string(names) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int32_t i = 0; i < names; ++i) WriteFile(folder + "picture-" + std::to_string(i) + ".bmp", bitmap);
        const std::string spelled = folder + "picture-0.bmp";
        const std::string other = folder + OtherCase("picture-0.bmp");
        const std::string missing = folder + "missing.bmp";
        auto opening = [&](const std::string& path) {
            return Quickest(runs, kTimes, [&path](int32_t) {
                std::FILE* file = std::fopen(path.c_str(), "rb");
                if (file) std::fclose(file);
            });
        };
        char what[96];
        std::snprintf(what, sizeof what, "fopen and fclose of a name as spelled, %d names", names);
        PrintCall(what, opening(spelled), turn);
        std::snprintf(what, sizeof what, "  of the name in the other case");
        PrintCall(what, opening(other), turn);
        std::snprintf(what, sizeof what, "  of a name not there");
        PrintCall(what, opening(missing), turn);
        std::snprintf(what, sizeof what, "  of a name not there, in the other case");
        PrintCall(what, opening(OtherCase(missing)), turn);
        // The bitmap decoded into its texture by a holder of its file, opened as spelled, and in
        // the other case.
        for (const std::string* path : {&spelled, &other}) {
            PathRecord record;
            if (SetPathRecordText(&record, path->c_str()) != kResultOk) continue;
            const double taken = Quickest(runs, kTimes, [&record](int32_t) {
                MediaHolder* holder = NewMediaHolder(CurrentTextureManager(), kMediaBmp);
                if (holder && SetHolderFile(holder, &record) == kResultOk) IgnoreResult(holder->MediaHolderLoad());
                DestroyMediaHolder(holder);
            });
            PrintCall(path == &spelled ? "  a holder made, its 70-byte bitmap decoded, freed" : "  the same, in the other case",
                      taken, turn);
        }
        for (int32_t i = 0; i < names; ++i) DeleteFileA((folder + "picture-" + std::to_string(i) + ".bmp").c_str());
        RemoveDirectoryA(folder.c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int32_t runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0 && std::atoi(argv[2]) > 0) {
        runs = std::atoi(argv[2]);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: system-weights [--runs R]\n");
        return 2;
    }
    InstallDrawingLayerServices();
    UseToolScreen();
    const double turn = TurnNanoseconds(runs);
    if (turn <= 0) {
        std::fprintf(stderr, "system-weights: no honest model was read\n");
        return 1;
    }
    MeasureHeap(runs, turn);
    MeasureRegions(runs, turn);
    MeasureFiles(runs, turn);
    return 0;
}
