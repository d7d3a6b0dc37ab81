// The texture manager: the one program-wide record, made at engine start-up, that holds the list
// of media holders, the two sets of shade level tables, the save numbering of the texture table
// being read or written, the depth of the texture set's locks, and the picture budget that the
// pictures it decodes spend on.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "draw/shade_level_tables.h"
#include "foundation/file_lookups.h"

class DynamicArray;
class MediaHolder;
class PictureBudget;
class TextureRecord;
class TextureRecordList;

struct TextureManager {
    DynamicArray* holderList;    // media holder pointers (element size pointer, grow step 4)
    ShadeLevelEntry* sourceSet;  // first entry of the source set (its arrays belong to the shade tables)
    ShadeLevelEntry* screenSet;  // first entry of the screen set, which every user reads
    int32_t started;             // 1 once initialised
    TextureRecordList* saveList; // the texture list whose table is being read or written, or null
    int32_t saveCounter;         // the next save index to give
    int32_t libraryReading;      // set while a library file is read: unresolved files void entries
    int32_t lockDepth;           // nesting of LockTextureSet
    // The picture budget of the model read last, which every picture decoded spends on, or null
    // (TextureServices::ChargePicturesTo).
    PictureBudget* pictures;
    // The embedded-data holders of the list by their chunk position, so that a texture table's
    // thousands of entries each find the holder of their chunk in one look.
    std::unordered_multimap<int32_t, MediaHolder*> embeddedByPosition;
    // The holders of picture files by the key of their file's path (FileNameKey), the first made
    // for each: every spelling of one file's name finds its holder in one look.
    std::unordered_map<std::string, MediaHolder*> holdersByFile;
    // The image files beside the opened model (ImageResourceList) by the key of their name.ext.
    std::unordered_map<std::string, TextureRecord*> imagesByName;
    // What the system said of the file names that the texture table being read named: asked once
    // a name a read.
    FileLookups lookups;
};

// The manager the program made, or null.
TextureManager* CurrentTextureManager();

// Initialises the zero-filled block and makes it the program's manager; builds the shade tables
// when the shared render offscreen exists.
void InitTextureManager(TextureManager* manager);
// Destroys every media holder (their pictures unlocked first), releases the holder list and the
// shade tables, and frees the manager (made with new). Records still bound to a holder are left
// with it: the program's texture lists are freed first.
void FreeTextureManager();
