// Hostile model files whose cost lies in their pictures: a few bytes declare pictures of any size
// in every form the readers take (run-length bitmaps of 4 and 8 bits, JPEG files plain and
// progressive, progressive ones of many scans, pictures embedded in the model file, the credits
// picture), a file is named by many paths, and many small pictures become large textures. Each
// names picture files written beside it (see hostile_pictures.cpp).
#pragma once

#include <vector>

#include "tools/hostile_models.h"

std::vector<HostileModel> PictureHostileModels();
