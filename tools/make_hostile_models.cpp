// make-hostile-models DIR: writes the hostile model files into DIR, with the picture files they
// name beside them, for qmdl-info to read. Model files that an earlier build of the maker left in
// DIR and that it no longer writes are removed,
// so that a file whose kind changed its outcome is not read twice under two names.
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "tools/hostile_models.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-hostile-models DIR\n");
        return 2;
    }
    int failures = 0;
    std::set<std::string> written;
    auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = std::string(argv[1]) + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) ++failures;
        if (file) std::fclose(file);
    };
    for (const HostileModel& model : HostileModels()) {
        write(model.name, model.bytes);
        for (const auto& picture : model.pictures) write(picture.first, picture.second);
        written.insert(model.name);
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], error)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() == ".qpy" && !written.count(path.filename().string())) {
            std::filesystem::remove(path, error);
            if (error) ++failures;
        }
    }
    return failures == 0 && !error ? 0 : 1;
}
