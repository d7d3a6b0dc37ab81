// Hostile model files whose cost lies in the relations between their parts: each small, each
// asking the reader for work out of all proportion to its bytes (see hostile_relations.cpp).
#pragma once

#include <vector>

#include "tools/hostile_models.h"

std::vector<HostileModel> RelationHostileModels();
