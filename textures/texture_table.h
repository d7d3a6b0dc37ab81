// The texture table of a model file: the "TXTB" chunk with one "TXTE" entry per texture, the
// save numbering that gives textures the indices their references store, the reader of the
// table, the pass that closes a read, the handler used when a model or library file is added as
// a texture source, the writer of the table, and the matching of duplicate textures.
#pragma once

#include <cstdint>

#include "foundation/memory_stream.h"

struct TextureManager;
class TextureRecord;
class TextureRecordList;

constexpr ChunkTag kTagTextureTableChunk = ChunkTagOf("TXTB");
constexpr ChunkTag kTagTextureEntry = ChunkTagOf("TXTE");
constexpr ChunkTag kTagTextureId = ChunkTagOf("TXID");
constexpr ChunkTag kTagTextureName = ChunkTagOf("TXNM");
constexpr ChunkTag kTagTextureFile = ChunkTagOf("TXRF");
constexpr ChunkTag kTagTexturePixels = ChunkTagOf("TXPD");
constexpr ChunkTag kTagTextureSettings = ChunkTagOf("TXST");
constexpr ChunkTag kTagTextureVoid = ChunkTagOf("TXVD");
constexpr int32_t kTextureSettingsBytes = 43;
constexpr int32_t kNoTextureIndex = -2;

// Starts the numbering of a table read or written for the list: indices from 1.
void BeginTextureSave(TextureManager* manager, MemoryStream* stream, TextureRecordList* list);
// The same for a library file: a file reference that cannot be resolved voids its entry.
void BeginLibraryTextureSave(TextureManager* manager, MemoryStream* stream, TextureRecordList* list);
// The record's index, given on first use (-2 for none).
int32_t AssignTextureIndex(TextureManager* manager, TextureRecord* record);
// The record of the save list with the index, made when there is none; null without a save
// list and for -2.
TextureRecord* NewTextureForIndex(TextureManager* manager, int32_t index);
// Reads the body of a "TXTB" chunk the stream has entered; writing streams get nothing. 0, -2
// (stopped), -3 (memory low), -108 (no memory for a picture), kResultPastBudget (a picture past
// the model's picture budget) or the stream's failure.
ResultCode ReadTextureTable(TextureManager* manager, MemoryStream* stream, int32_t ignored);
// Writes the "TXTB" chunk of every record numbered since BeginTextureSave, in index order:
// its index, name, settings and picture (a file reference for BMP and JPEG files, the pixels
// for every other picture). Nothing when no record was numbered. The numbering ends with it.
ResultCode WriteTextureTable(TextureManager* manager, MemoryStream* stream);
// What closing a read does with the users of its records.
enum class UserRefresh : int32_t {
    kNone,     // nothing: the read failed, and its model goes
    kWhole,    // every user takes its texture mapping
    kWatched,  // the same, the progress window looked at as they go: a stop leaves the rest
};
// Closes a read: the users of every record are refreshed as asked and the numbering ends.
// kResultStopped when the user stopped a watched refresh, else 0.
ResultCode CollectUsedTextures(TextureManager* manager, MemoryStream* stream, UserRefresh refresh);
TextureManager* CollectUsedTexturesTwin(TextureManager* manager, MemoryStream* stream);
// Writing: an empty "TXTB" chunk. Reading: the texture tables of every "QMDL" form in the
// stream; forms nested more than kMaxReadDepth deep fail the read with kResultTooDeep.
ResultCode TextureTableChunk(TextureManager* manager, MemoryStream* stream);
TextureRecord* FindLinkedTexture(TextureManager* manager, int32_t index);
// Entries kept by the last table read.
int32_t TextureTableEntriesRead();

// --- duplicate textures ---
bool SameTextureName(const TextureRecord* a, const TextureRecord* b);
bool SameTextureFile(const TextureRecord* a, const TextureRecord* b);
bool SameTextureAttributes(const TextureRecord* a, const TextureRecord* b);
// 1 when the names match, after every user of `duplicate` moved to `keep`; else 0.
int32_t MergeSameNamedTexture(TextureRecord* keep, TextureRecord* duplicate);
// 1 when name, file and attributes match, after the same move; a duplicate of the name only
// gets a unique name; 0.
int32_t MergeDuplicateTexture(TextureRecord* keep, TextureRecord* duplicate);
// Takes every record of the embedded texture list out of the library texture list.
void RemoveSharedHolderRecords(TextureRecordList* list);
