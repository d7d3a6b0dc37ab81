// The question asked before a texture file overwrites one of the same name (a facility that
// nothing in the program opens).
#pragma once

#include <cstdint>

// The answers: overwrite this one, overwrite all, keep this one, keep all, skip the texture.
constexpr int32_t kOverwriteTexture = 1;
constexpr int32_t kOverwriteAllTextures = 2;
constexpr int32_t kKeepTexture = 3;
constexpr int32_t kKeepAllTextures = 4;
constexpr int32_t kSkipTexture = 5;

// "There is already a texture named "name" ..." with five buttons, "Yes to &All" the default.
// Escape, a run that ends without a button or a dialog that cannot be shown answer kSkipTexture.
int32_t AskOverwriteTexture(const char* name);
