// make-hostile-models DIR: writes the hostile model files into DIR, for qmdl-info to read.
#include <cstdio>
#include <string>

#include "tools/hostile_models.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-hostile-models DIR\n");
        return 2;
    }
    int failures = 0;
    for (const HostileModel& model : HostileModels()) {
        const std::string path = std::string(argv[1]) + "/" + model.name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(model.bytes.data(), 1, model.bytes.size(), file) != model.bytes.size()) ++failures;
        if (file) std::fclose(file);
    }
    return failures == 0 ? 0 : 1;
}
