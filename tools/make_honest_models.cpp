// make-honest-models DIR [--large | --frames]: writes the honest models into DIR as
// load-honest-<kind>.qpy, at the sizes a test run reads (or with --large at the largest sizes a real
// author makes, for load-bench), and prints each file's name, its size and how long it took to build
// and write. Honest model files that an earlier build left in DIR and that it no longer writes are
// removed, so that a kind renamed is not read twice. With --frames it writes instead the scenes the
// frame budget is weighed against (tools/honest_frames draws them) as frames-honest-<name>.qpy.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "tools/honest_models.h"
#include "tools/sample_scenes.h"

namespace {

constexpr char kPrefix[] = "load-honest-";
constexpr char kFramesPrefix[] = "frames-honest-";

// The scenes whose frames ask the most of the frame budget: the town of glass of 50 blocks (its
// lobbies and shop windows filling the view) and of 930 (some 990,000 faces), and the forest of
// 14,000 trees on 16 patches (1,501,144 faces); the museum of 400 rooms whose doorways and glass
// cases show the rooms beyond, the high street of 1,200 shops seen from inside one through its
// window, the harbour of 150 berths looked along from its quay, and the roads over 7 x 7 tiles of
// ground looked along from one of them over the river. Each has one size, built as
// the test size.
const HonestModel kFrameModels[] = {
    {"glass-town-50", [] { return BuildHonestGlassTown(50); }, nullptr},
    {"glass-town-930", [] { return BuildHonestGlassTown(930); }, nullptr},
    {"forest-14000", [] { return BuildHonestForest(14000, 16); }, nullptr},
    {"museum-400", [] { return BuildHonestMuseum(400); }, nullptr},
    {"high-street-1200", [] { return BuildHonestHighStreet(1200); }, nullptr},
    {"harbour-150", [] { return BuildHonestHarbour(150); }, nullptr},
    {"roads-7", [] { return BuildHonestRoads(7); }, nullptr},
};

}  // namespace

int main(int argc, char** argv)
{
    const bool large = argc == 3 && std::strcmp(argv[2], "--large") == 0;
    const bool frames = argc == 3 && std::strcmp(argv[2], "--frames") == 0;
    if (argc != 2 && !large && !frames) {
        std::fprintf(stderr, "usage: make-honest-models DIR [--large | --frames]\n");
        return 2;
    }
    int failures = 0;
    std::set<std::string> written;
    int32_t count = int32_t(sizeof kFrameModels / sizeof kFrameModels[0]);
    const HonestModel* models = frames ? kFrameModels : HonestModels(&count);
    const std::string prefix = frames ? kFramesPrefix : kPrefix;
    for (int32_t i = 0; i < count; ++i) {
        const HonestModel& model = models[i];
        const std::string name = prefix + model.kind + ".qpy";
        const auto start = std::chrono::steady_clock::now();
        const std::vector<uint8_t> bytes = ModelFileBytes(large ? model.largeSize() : model.testSize());
        const std::string path = std::string(argv[1]) + "/" + name;
        std::FILE* file = bytes.empty() ? nullptr : std::fopen(path.c_str(), "wb");
        const bool whole = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file && std::fclose(file) != 0) ++failures;
        if (!whole) {
            std::fprintf(stderr, "make-honest-models: %s was not written\n", path.c_str());
            ++failures;
            continue;
        }
        const std::chrono::duration<double, std::milli> taken = std::chrono::steady_clock::now() - start;
        std::printf("%s: %zu bytes, %.0f ms\n", name.c_str(), bytes.size(), taken.count());
        std::fflush(stdout);
        written.insert(name);
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".qpy" && !written.count(name)) {
            std::filesystem::remove(entry.path(), error);
            if (error) ++failures;
        }
    }
    return failures == 0 && !error ? 0 : 1;
}
