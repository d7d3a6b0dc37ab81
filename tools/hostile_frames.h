// Hostile model files whose cost lies in drawing one frame rather than in reading: each small,
// each asking the renderer to draw again and again what lies behind see-through faces and
// elements (see hostile_frames.cpp).
#pragma once

#include <vector>

#include "tools/hostile_models.h"

std::vector<HostileModel> FrameHostileModels();
