// The texture manager: the one program-wide record, made at engine start-up, that holds the list
// of media holders and the two sets of shade level tables.
#pragma once

#include <cstdint>

#include "draw/shade_level_tables.h"

class DynamicArray;

struct TextureManager {
    DynamicArray* holderList;    // media holder pointers (element size pointer, grow step 4)
    ShadeLevelEntry* sourceSet;  // first entry of the source set (its arrays belong to the shade tables)
    ShadeLevelEntry* screenSet;  // first entry of the screen set, which every user reads
    int32_t started;             // 1 once initialised
};

// The manager the program made, or null.
TextureManager* CurrentTextureManager();

// Initialises the zero-filled block and makes it the program's manager; builds the shade tables
// when the shared render offscreen exists.
void InitTextureManager(TextureManager* manager);
// Releases the holder list and the shade tables, and frees the manager (made with new).
void FreeTextureManager();
