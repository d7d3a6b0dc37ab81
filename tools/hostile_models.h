// Hostile model files made from a sample by changing a few bytes: counts that are negative or
// larger than their chunk, lengths of 0xFFFFFFF0, indices outside their lists, and files cut
// short. The tests read them with the model file reader; make-hostile-models writes them for
// qmdl-info.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HostileModel {
    enum Outcome { kMustFail, kMustLoad, kAnyResult };
    std::string name;
    std::vector<uint8_t> bytes;
    Outcome outcome;
};

std::vector<HostileModel> HostileModels();
