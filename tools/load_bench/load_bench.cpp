// load-bench --write FACES...: writes the city of each number of faces to city-FACES.qpy in the
// current folder, the same buildings directly under the root to flat-city-FACES.qpy and the city
// standing on one ground to grounded-city-FACES.qpy, and prints how long each took to build and
// write (on the clock and in the processor).
// load-bench --textures ENTRIES...: reads a texture table of each number of entries, each one
// its save index alone (20 bytes), three times from memory into a new texture list, and prints
// the median time and how it grew, as below.
// load-bench [--flat | --grounded] FACES...: reads each city-FACES.qpy (flat-city-FACES.qpy with
// --flat, grounded-city-FACES.qpy with --grounded), smallest first, three times with the program's
// own reader, as the open command reads it, and prints the median time (on the clock, and the
// processor time the process took, which a busy machine disturbs less), the median time freeing
// the model took, the faces and objects read, the contacts found between them (and a digest of
// them all, which a change to the contact search compares before and after) and the process's
// peak memory after the reads (the peak working set on Windows, the peak resident set elsewhere),
// and what the read spent of each cost of its budget per byte of the file (model/read_budget.h),
// and for the costs it spent more of than the bytes it read pay for, how much of what any model
// has each took (those of a refused read ran out); then how much the time grew from the first
// file to the last against the growth of the faces.
// load-bench --files MODEL...: reads each model file three times in the same way and prints the
// reader's result with the same figures.
// load-bench --honest DIR: the same over the honest models in DIR (load-honest-*.qpy, as
// make-honest-models writes them), in the order of their names. With --files and --honest each
// file's figures end with what it spent of each cost as a part of what the cost is allowed once
// its bytes are read and what it built is built (tools/honest_reads gathers them).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include "draw/drawing_layer_services.h"
#include "foundation/loop_turns.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "render/renderer_texture_mapping.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "textures/texture_table.h"
#include "tools/textured_samples.h"
#include "tools/tool_support.h"

namespace {

constexpr int32_t kReadsPerFile = 3;

// The digest of nothing, and the factor each value digested is folded in with.
constexpr uint64_t kDigestStart = 14695981039346656037ull;
constexpr uint64_t kDigestPrime = 1099511628211ull;

struct Counts {
    int64_t objects = 0;
    int64_t faces = 0;
    int64_t contacts = 0;
    // A digest of every contact in the order of the tree and of each record's list: the record it
    // names (by its number in their pool), its point and its normal.
    uint64_t contactDigest = kDigestStart;
};

void Digest(uint64_t* digest, int64_t value)
{
    *digest = (*digest ^ uint64_t(value)) * kDigestPrime;
}

void Count(const ModelObject* node, Counts* counts)
{
    ++counts->objects;
    for (int32_t i = 0; i < node->GeometryCount(); ++i) {
        const ObjectGeometry* record = node->GeometryAt(i);
        counts->faces += record->PolygonCount();
        counts->contacts += record->ContactCount();
        for (int32_t k = 0; k < record->ContactCount(); ++k) {
            const ContactEntry entry = record->ContactAt(k);
            const int16_t fields[6] = {entry.Point.x,  entry.Point.y,  entry.Point.z,
                                       entry.Normal.x, entry.Normal.y, entry.Normal.z};
            Digest(&counts->contactDigest, entry.OtherNumber);
            for (const int16_t field : fields) Digest(&counts->contactDigest, field);
        }
    }
    for (int32_t i = 0; i < node->ChildCount(); ++i) Count(node->ChildAt(i), counts);
}

// The processor time the process has taken, user and system, in milliseconds.
double ProcessorMilliseconds()
{
#ifdef _WIN32
    FILETIME created, ended, system, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &system, &user)) return 0;
    auto ticks = [](const FILETIME& time) { return double(uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime); };
    return (ticks(system) + ticks(user)) / 1e4;  // 100-nanosecond ticks
#else
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    auto milliseconds = [](const timeval& time) { return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3; };
    return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
#endif
}

double PeakMegabytes()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // kilobytes here
#endif
}

std::string CityFileName(int32_t faces, CityLayout layout)
{
    const char* prefix = layout == CityLayout::Flat ? "flat-city-" : layout == CityLayout::Grounded ? "grounded-city-" : "city-";
    return prefix + std::to_string(faces) + ".qpy";
}

struct Timing {
    double clock;
    double processor;
    double free = 0;  // freeing what was read, on the clock
    ResultCode result = kResultOk;
};

// What the read spent of each cost of its budget, per byte of the file and (a relation) per thing
// built of its base, and beyond what the bytes it read pay for, as a part of what any model has
// (what the read builds) or of what the read built allows (a relation); and the turns its loops
// took against the most its charge allows.
struct Spending {
    double perByte[int32_t(ReadCost::kCount)] = {};
    double perBase[int32_t(ReadCost::kCount)] = {};
    double beyond[int32_t(ReadCost::kCount)] = {};
    double ofAllowance[int32_t(ReadCost::kCount)] = {};
    int32_t bytesRead = 0;
    int64_t turns = 0;
    int64_t turnLimit = 0;
};

// The costs as load-bench names them, in their order.
constexpr const char* kCostNames[int32_t(ReadCost::kCount)] = {
    "faces",      "corners",  "nodes",      "connections", "contacts", "search",         "face-contacts",
    "contact-entries", "coverage", "slice-cuts", "lighting",    "smooth",   "sibling-bounds", "tree-walks"};

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Reads the file into a new document with its own texture list and frees it; the times taken in
// milliseconds (negative when the file cannot be opened) and the reader's result.
Timing ReadOnce(const std::string& path, Counts* counts, Spending* spending)
{
    bool scrambled = false;
    DiskFileStream* file = OpenModelFileForReading(path, &scrambled);
    if (!file) return {-1, -1, -1, kResultNotFound};
    TextureRecordList* textures = NewTextureRecordList();
    InstallTextureLayerServices().SetDocumentTextureList(textures);
    ModelDocument* document = new ModelDocument;
    ResultCode result = document->Init();
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = ProcessorMilliseconds();
    const int64_t turnsBefore = TurnsCounted();
    if (result == kResultOk) {
        if (scrambled) file->StreamScrambleOn();
        result = document->ReadModelFile(file);
    }
    spending->turns = TurnsCounted() - turnsBefore;
    Timing taken = {MillisecondsSince(start), ProcessorMilliseconds() - processorStart};
    taken.result = result;
    int32_t bytes = 0;
    IgnoreResult(file->StreamSize(&bytes));  // 0 when the size cannot be had: nothing is divided by it
    file->FileObjectDestroy();
    *counts = Counts{};
    Count(document->Holder->Root, counts);
    const ReadBudget& budget = document->Holder->Budget;
    // Where the read ended: the end of the file, or where it was refused.
    spending->bytesRead = int32_t(budget.BytesRead());
    spending->turnLimit = budget.TurnLimit();
    for (int32_t cost = 0; cost < int32_t(ReadCost::kCount); ++cost) {
        const ReadCost c = ReadCost(cost);
        const int64_t spent = budget.Spent(c);
        const int64_t base = budget.Spent(BaseOf(c));
        const int64_t anyModel = Allowance(c, 0);
        const bool relation = cost >= kFirstRelation;
        // What the bytes pay for (and any model has, for a relation), and beyond it what any model
        // has or what the read built allows the relation.
        const int64_t paid = Allowance(c, spending->bytesRead) - (relation ? 0 : anyModel);
        const int64_t pairs = budget.Spent(ReadCost::kContactPairs);
        const int64_t unpaid = relation ? Allowance(c, 0, base, pairs) - anyModel : anyModel;
        spending->perByte[cost] = bytes > 0 ? double(spent) / bytes : 0;
        spending->perBase[cost] = cost >= kFirstRelation && base > 0 ? double(spent) / double(base) : 0;
        spending->beyond[cost] = spent <= paid ? 0 : unpaid > 0 ? double(spent - paid) / double(unpaid) : 1e9;
        const int64_t allowed = Allowance(c, spending->bytesRead, relation ? base : 0);
        spending->ofAllowance[cost] = allowed > 0 ? double(spent) / double(allowed) : 0;
    }
    const auto freeing = std::chrono::steady_clock::now();
    document->Destroy();
    taken.free = MillisecondsSince(freeing);
    InstallTextureLayerServices().SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(textures);
    FreeTextureRecordList(textures);
    return taken;
}

// A texture table's body of `entries` entries numbered from 1, each holding its save index alone.
bool WriteBareTextureTable(MemoryStream* stream, int32_t entries)
{
    stream->StreamInit(kStreamWriting);
    ResultCode result = kResultOk;
    for (int32_t index = 1; index <= entries && result == kResultOk; ++index) {
        result = stream->StreamBeginChunk(kTagTextureEntry);
        if (result == kResultOk) result = stream->StreamBeginChunk(kTagTextureId);
        if (result == kResultOk) result = stream->StreamTransferValue(&index, kValue32);
        if (result == kResultOk) result = stream->StreamEndChunk();
        if (result == kResultOk) result = stream->StreamEndChunk();
    }
    return result == kResultOk && stream->StreamSetDirection(kStreamReading) == kResultOk &&
           stream->StreamSetPosition(0) == kResultOk;
}

// Reads the table into a new document's texture list as a model read does (the records it made
// released afterwards); the milliseconds taken, negative when it cannot be read.
Timing ReadTextureTableOnce(MemoryStream* stream, int32_t entries)
{
    TextureRecordList* textures = NewTextureRecordList();
    TextureLayerServices& services = InstallTextureLayerServices();
    services.SetDocumentTextureList(textures);
    IgnoreResult(stream->StreamSetPosition(0));
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = ProcessorMilliseconds();
    services.BeginTextureSave(stream);
    ResultCode result = services.ReadTextureTable(stream);
    IgnoreResult(services.CollectUsedTextures(true));  // no progress window: never stopped
    const Timing taken = {MillisecondsSince(start), ProcessorMilliseconds() - processorStart};
    if (TextureRecordCount(textures) != entries) result = kResultNotFound;
    services.SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(textures);
    FreeTextureRecordList(textures);
    return result == kResultOk ? taken : Timing{-1, -1};
}

// How the median grew from the first size to the last against the sizes.
void PrintGrowth(const std::vector<double>& medians, const std::vector<int64_t>& sizes, const char* what)
{
    if (medians.size() < 2 || medians.front() <= 0 || sizes.front() <= 1) return;
    const double n0 = double(sizes.front());
    const double n1 = double(sizes.back());
    std::printf("growth: time x%.2f for %s x%.2f (n log n x%.2f, n squared x%.2f)\n", medians.back() / medians.front(),
                what, n1 / n0, n1 * std::log(n1) / (n0 * std::log(n0)), (n1 / n0) * (n1 / n0));
}

// The median of the three readings.
double Median(std::vector<double> readings)
{
    std::sort(readings.begin(), readings.end());
    return readings[readings.size() / 2];
}

Timing Median(const std::vector<Timing>& readings)
{
    std::vector<double> clock, processor, free;
    for (const Timing& reading : readings) {
        clock.push_back(reading.clock);
        processor.push_back(reading.processor);
        free.push_back(reading.free);
    }
    return {Median(clock), Median(processor), Median(free), readings.front().result};
}

int BenchTextureTables(const std::vector<int32_t>& sizes)
{
    std::vector<double> medians;
    std::vector<int64_t> entryCounts;
    for (int32_t entries : sizes) {
        MemoryStream stream;
        if (!WriteBareTextureTable(&stream, entries)) {
            std::fprintf(stderr, "load-bench: no memory for a table of %d entries\n", entries);
            return 1;
        }
        std::vector<Timing> readings;
        for (int32_t i = 0; i < kReadsPerFile; ++i) {
            readings.push_back(ReadTextureTableOnce(&stream, entries));
            if (readings.back().clock < 0) {
                std::fprintf(stderr, "load-bench: the table of %d entries was not read whole\n", entries);
                return 1;
            }
        }
        const Timing median = Median(readings);
        medians.push_back(median.clock);
        entryCounts.push_back(entries);
        int32_t bytes = 0;
        IgnoreResult(stream.StreamSize(&bytes));
        std::printf("texture table: entries %d, bytes %d, load-ms %.1f, cpu-ms %.1f, peak-mb %.1f\n", entries, bytes,
                    median.clock, median.processor, PeakMegabytes());
    }
    PrintGrowth(medians, entryCounts, "entries");
    return 0;
}


// Reads each path three times and prints the figures of each; for cities, also how the time grew
// with the faces. 1 when a file cannot be opened, or a city cannot be read.
int BenchReads(const std::vector<std::string>& paths, bool cities)
{
    InitTextureManager(new TextureManager{});
    InstallTextureLayerServices();
    InstallRendererTextureMapping();
    std::vector<double> medians;
    std::vector<int64_t> faceCounts;
    int status = 0;
    for (const std::string& path : paths) {
        std::vector<Timing> readings;
        Counts counts;
        Spending spending;
        for (int32_t i = 0; i < kReadsPerFile && status == 0; ++i) {
            readings.push_back(ReadOnce(path, &counts, &spending));
            if (readings.back().clock < 0 || (cities && readings.back().result != kResultOk)) {
                std::fprintf(stderr, "load-bench: cannot read %s\n", path.c_str());
                status = 1;
            }
        }
        if (status != 0) break;
        const Timing median = Median(readings);
        medians.push_back(median.clock);
        faceCounts.push_back(counts.faces);
        std::printf("%s: result %d, faces %lld, objects %lld, contacts %lld, load-ms %.1f, cpu-ms %.1f, free-ms %.1f, "
                    "peak-mb %.1f\n  contact digest %016llx\n",
                    path.c_str(), int(median.result), (long long)counts.faces, (long long)counts.objects,
                    (long long)counts.contacts, median.clock, median.processor, median.free, PeakMegabytes(),
                    (unsigned long long)counts.contactDigest);
        std::printf("  spent per byte:");
        for (int32_t cost = 0; cost < int32_t(ReadCost::kCount); ++cost)
            std::printf(" %s %.4f", kCostNames[cost], spending.perByte[cost]);
        std::printf("\n");
        std::printf("  spent per thing built:");
        for (int32_t cost = kFirstRelation; cost < int32_t(ReadCost::kCount); ++cost) {
            std::printf(" %s %.4f/%s", kCostNames[cost], spending.perBase[cost],
                        kCostNames[int32_t(BaseOf(ReadCost(cost)))]);
        }
        std::printf("\n");
        std::printf("  of its allowance:");
        for (int32_t cost = 0; cost < int32_t(ReadCost::kCount); ++cost)
            std::printf(" %s %.4f", kCostNames[cost], spending.ofAllowance[cost]);
        std::printf("\n");
        std::string beyond;
        for (int32_t cost = 0; cost < int32_t(ReadCost::kCount); ++cost) {
            if (spending.beyond[cost] > 0)
                beyond += " " + std::string(kCostNames[cost]) + " " + std::to_string(spending.beyond[cost]);
        }
        if (!beyond.empty())
            std::printf("  %s %d bytes read, of what any model has or what it built allows:%s\n",
                        median.result == kResultPastBudget ? "refused after" : "past", spending.bytesRead,
                        beyond.c_str());
        std::printf("  turns: %lld of %lld\n", (long long)spending.turns, (long long)spending.turnLimit);
    }
    RemoveRendererTextureMapping();
    RemoveTextureLayerServices();
    FreeTextureManager();
    if (cities && status == 0) PrintGrowth(medians, faceCounts, "faces");
    return status;
}

// The honest model files in the folder, in the order of their names; none when it cannot be read.
std::vector<std::string> HonestModelFiles(const std::string& folder)
{
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("load-honest-", 0) == 0 && entry.path().extension() == ".qpy")
            paths.push_back(folder + "/" + name);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 && argv[1][0] == '-' ? argv[1] : "";
    const bool write = mode == "--write";
    const bool tables = mode == "--textures";
    const bool files = mode == "--files";
    const bool honest = mode == "--honest";
    const CityLayout layout = mode == "--flat" ? CityLayout::Flat : mode == "--grounded" ? CityLayout::Grounded : CityLayout::Grouped;
    const bool known = mode.empty() || write || tables || files || honest || mode == "--flat" || mode == "--grounded";
    std::vector<std::string> arguments(argv + (mode.empty() ? 1 : 2), argv + argc);
    if (honest && arguments.size() == 1) arguments = HonestModelFiles(arguments.front());
    std::vector<int32_t> sizes;
    for (const std::string& argument : arguments) sizes.push_back(files || honest ? 1 : std::atoi(argument.c_str()));
    if (!known || sizes.empty() || *std::min_element(sizes.begin(), sizes.end()) < 1) {
        std::fprintf(stderr, "usage: load-bench --write FACES... | load-bench [--flat | --grounded] FACES... | "
                             "load-bench --textures ENTRIES... | load-bench --files MODEL... | "
                             "load-bench --honest DIR\n");
        return 2;
    }
#ifdef _WIN32
    IgnoreResult(VolumeCapabilities());
    InstallDrawingLayerServices();
#else
    ProgramVolumeLimits.maxNameLength = 255;
    ProgramVolumeLimits.maxExtensionLength = 255;
#endif
    UseToolScreen();
    if (write) {
        int32_t failures = 0;
        for (int32_t faces : sizes) {
            for (CityLayout written : {CityLayout::Grouped, CityLayout::Flat, CityLayout::Grounded}) {
                const auto start = std::chrono::steady_clock::now();
                const double processorStart = ProcessorMilliseconds();
                failures += WriteCitySample(CityFileName(faces, written), faces, written);
                std::printf("  write-ms %.1f, cpu-ms %.1f\n", MillisecondsSince(start), ProcessorMilliseconds() - processorStart);
            }
        }
        return failures == 0 ? 0 : 1;
    }
    if (tables) {
        InitTextureManager(new TextureManager{});
        const int status = BenchTextureTables(sizes);
        RemoveTextureLayerServices();
        FreeTextureManager();
        return status;
    }
    if (files || honest) return BenchReads(arguments, false);
    std::vector<std::string> cities;
    for (int32_t faces : sizes) cities.push_back(CityFileName(faces, layout));
    return BenchReads(cities, true);
}
