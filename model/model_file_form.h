// How the first twelve bytes of a file read, as the open command tests them: a model file read
// plain, a model file read through the scrambling filter, or not a model file.
#pragma once

class MemoryStream;

enum class ModelFileForm { kPlain, kScrambled, kNotAModel };

// Reads the header words at offset 0, plain and then through the filter when the plain form
// type is not a model's; leaves the stream at offset 0 with the filter off.
ModelFileForm ReadModelFileForm(MemoryStream* file);
