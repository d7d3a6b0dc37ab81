// Hostile model files made from a sample by changing a few bytes: counts that are negative or
// larger than their chunk, lengths of 0xFFFFFFF0, indices outside their lists, files cut short,
// a texture table entry without a picture, credits of a megabyte of text, and credits chunks by
// the ten thousand, empty or alternating between two texts. The tests read
// them with the model file reader (the outcome is the reader's alone, without the texture
// layer); make-hostile-models writes them for qmdl-info, which reads the texture table too (a
// name beginning "fail-" must fail there).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct HostileModel {
    enum Outcome { kMustFail, kMustLoad, kAnyResult };
    std::string name;
    std::vector<uint8_t> bytes;
    Outcome outcome;
    // Picture files that the model names, written beside it: each its name and bytes.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> pictures = {};
};

std::vector<HostileModel> HostileModels();
