// make-landscapes DIR FACES...: writes the honest landscape (tools/honest_models.h) of each number
// of faces, in patches of 128 x 128 quads as the large honest landscape is stored, into DIR as
// landscape-FACES.qpy: the yardstick that the time and memory of a hostile read of as many faces
// are held to (tools/hostile_read_times). Prints each file's name and size.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/honest_models.h"
#include "tools/sample_scenes.h"

namespace {

// The side of a patch of the large honest landscape, in quads.
constexpr int32_t kPatchSide = 128;

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make-landscapes DIR FACES...\n");
        return 2;
    }
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        const long faces = std::strtol(argv[i], nullptr, 10);
        if (faces <= 0 || faces > (1L << 24)) {
            std::fprintf(stderr, "usage: make-landscapes DIR FACES...\n");
            return 2;
        }
        const std::vector<uint8_t> bytes = ModelFileBytes(BuildHonestLandscape(int32_t(faces), kPatchSide));
        const std::string path = std::string(argv[1]) + "/landscape-" + std::to_string(faces) + ".qpy";
        std::FILE* file = bytes.empty() ? nullptr : std::fopen(path.c_str(), "wb");
        const bool whole = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if ((file && std::fclose(file) != 0) || !whole) {
            std::fprintf(stderr, "make-landscapes: %s was not written\n", path.c_str());
            ++failures;
            continue;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return failures == 0 ? 0 : 1;
}
