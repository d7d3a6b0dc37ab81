// The texture table: save numbering, the entry reader with its progress poll, the closing pass,
// the table handler of texture source files, the writer, and duplicate matching.
#include "textures/texture_table.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "draw/image_format.h"
#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/loop_turns.h"
#include "foundation/process_state.h"
#include "foundation/typed_value.h"
#include "foundation/ui_services.h"
#include "model/object_stream.h"
#include "model/read_budget.h"
#include "textures/media_holder.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"

namespace {

constexpr ChunkTag kTagForm = ChunkTagOf("FORM");
constexpr ChunkTag kFormModel = ChunkTagOf("QMDL");

int32_t gEntriesRead = 0;

bool IsDiskFile(const MemoryStream* stream)
{
    return stream->StreamKind() == 2;
}

// The settings chunk: each attribute stored at its width, signed, in attribute order.
ResultCode TransferSettings(MemoryStream* stream, TextureAttributes* attributes)
{
    static constexpr int8_t kWidths[kTextureAttributeCount] = {1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 4, 4, 4, 4, 2, 2, 1, 1, 2};
    ResultCode result = kResultOk;
    for (int32_t n = 1; n <= kTextureAttributeCount && result == kResultOk; ++n) {
        int32_t& value = (*attributes)[n];
        switch (kWidths[n - 1]) {
        case 1: {
            int8_t byte = int8_t(value);
            result = stream->StreamTransferValue(&byte, kValueByte);
            value = byte;
            break;
        }
        case 2: {
            int16_t half = int16_t(value);
            result = stream->StreamTransferValue(&half, kValue16);
            value = half;
            break;
        }
        default:
            result = SerializeTypedValue(stream, &value, kTypedLong);
            break;
        }
    }
    return result;
}

// The first kind of progress poll: while the scene streaming lets it and no texture source is
// being added, the stream position is shown; -2 when the user pressed Stop or Cancel.
ResultCode PollProgress(MemoryStream* stream)
{
    if (ProgressSuppressionFlag || TextureAddingDepth != 0) return kResultOk;
    ProgressSetValue(stream->StreamPosition());
    return ProgressUpdate(0) ? kResultStopped : kResultOk;
}

// The second kind, while a texture source file is added: the percentage read.
ResultCode PollAddingProgress(MemoryStream* stream)
{
    int32_t value = ProgressValue();
    int32_t length = 0;
    IgnoreResult(stream->StreamSize(&length));  // 0 when the size cannot be had
    if (stream->StreamPosition() != 0 && length > 0)
        value = int32_t(stream->StreamPosition() * 100.0 / length);
    ProgressSetValue(value);
    return ProgressUpdate(0) ? kResultStopped : kResultOk;
}

ResultCode MemoryCheck(ResultCode result)
{
    return result == kResultOk && LowMemoryLevel != 0 ? kResultNotFound : result;
}

struct EntryState {
    TextureRecord* record = nullptr;
    bool isVoid = false;
    bool addToEmbedded = false;
};

// A file reference: the file found where it says, or among the image files beside the model.
// Each name asked of the system spends on the model's picture budget as it weighs (a look-up more
// for every folder deep past the first ones); kResultPastBudget, the entry void, once they come to
// more than it has left.
ResultCode ReadFileReference(TextureManager* manager, MemoryStream* stream, EntryState* entry)
{
    DiskFileStream* file = new (std::nothrow) DiskFileStream;
    if (!file) {
        entry->isVoid = true;
        return kResultOk;
    }
    IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
    file->SetFileAttribute(IsDiskFile(stream) ? static_cast<DiskFileStream*>(stream) : nullptr);
    file->SetNameLookups(&manager->lookups);
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    const int64_t weighed = manager->lookups.Weight();
    const bool found = file->Write(stream) == kResultOk;
    file->SetNameLookups(nullptr);
    file->SetFileAttribute(nullptr);
    if (manager->pictures && !manager->pictures->Spend((manager->lookups.Weight() - weighed) * kUnitsPerFileLookup)) {
        ShowAlert(kFileNamesPastBudgetMessage);
        entry->isVoid = true;
        file->FileObjectDestroy();
        return kResultPastBudget;
    }
    if (!found) {
        // Not where the reference says: among the image files beside the model.
        if (manager->libraryReading || LocateMissingTextureFile(file) != kResultOk) {
            entry->isVoid = true;
        } else {
            entry->addToEmbedded = true;
        }
    }
    if (!entry->isVoid && LoadTextureFromFileObject(entry->record, file) != kResultOk) entry->isVoid = true;
    file->FileObjectDestroy();
    return kResultOk;
}

ResultCode ReadPixels(TextureManager* manager, MemoryStream* stream, EntryState* entry)
{
    TextureRecord* record = entry->record;
    // From a model file the picture is read again when it is first used, so one that nothing uses
    // yet is only checked, without the system bitmap a decoded picture takes. One that its users
    // will load as soon as the entry is read is decoded here, once, and handed to its item.
    const bool fromFile = IsDiskFile(stream);
    bool handedOver = false;
    if (fromFile) {
        if (BindEmbeddedTextureData(record, stream, stream->StreamPosition() - 8) != kResultOk) {
            entry->isVoid = true;
            return kResultOk;
        }
        handedOver = TextureUserCount(record) > 0;
        if (!handedOver) {
            if (CheckImage(stream) == kResultOk)
                entry->addToEmbedded = true;
            else
                entry->isVoid = true;
            return kResultOk;
        }
    } else {
        handedOver = MakeEmbeddedPictureTexture(record) == kResultOk;
        if (!handedOver) entry->isVoid = true;
    }
    Q_Offscreen* picture = new (std::nothrow) Q_Offscreen;
    if (!picture) return kResultNoPicture;
    // A picture past the model's picture budget ends the read (its reader has said why).
    const ResultCode result = picture->ReadWriteOffscreenImage(stream, nullptr, 0, manager->pictures);
    if (result == kResultOk) {
        // A model file's item that cannot take the picture here reads it from the file when used.
        if (handedOver && SetTexturePicture(record, picture) != kResultOk && !fromFile) entry->isVoid = true;
        entry->addToEmbedded = true;
    } else {
        entry->isVoid = true;
    }
    picture->DisposeOffscreen();
    return result == kResultPastBudget ? result : kResultOk;
}

ResultCode ReadName(MemoryStream* stream, TextureRecord* record)
{
    char name[kTextureNameBytes] = {};
    const int32_t length = std::clamp(stream->StreamChunkBytesLeft(), 0, kTextureNameBytes - 1);
    const ResultCode result = stream->TransferBytes(name, length);
    if (result < 0) return result;
    name[kTextureNameBytes - 1] = 0;
    SetTextureName(record, name);
    return kResultOk;
}

ResultCode ReadEntry(TextureManager* manager, MemoryStream* stream)
{
    EntryState entry;
    ResultCode status = kResultOk;
    int32_t chunks = 0;
    for (; status == kResultOk; ++chunks) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        if (tag == kTagTextureId) {
            int32_t index = 0;
            status = stream->StreamTransferValue(&index, kValue32);
            if (status == kResultOk) entry.record = NewTextureForIndex(manager, index);
        } else if (tag == kTagTextureVoid) {
            entry.isVoid = true;
        } else if (entry.record) {
            // Everything else acts on the entry's record, so comes after its "TXID".
            if (tag == kTagTextureName) {
                status = ReadName(stream, entry.record);
            } else if (tag == kTagTextureFile) {
                status = ReadFileReference(manager, stream, &entry);
            } else if (tag == kTagTexturePixels) {
                status = ReadPixels(manager, stream, &entry);
            } else if (tag == kTagTextureSettings) {
                status = TransferSettings(stream, &entry.record->attributes);
            }
        }
        IgnoreResult(stream->StreamEndChunk());
        if (status == kResultOk) status = PollProgress(stream);
        status = MemoryCheck(status);
    }
    CountTurns(chunks);
    TextureRecord* record = entry.record;
    if (!record) return status;
    if (status == kResultOk && !entry.isVoid) {
        // The users recorded so far take the picture now: one that cannot be decoded (its reader
        // has said why), or an entry that names none, ends the read with that status.
        status = ReattachTextureUsers(record);
        if (entry.addToEmbedded && EmbeddedTextureList) EmbeddedTextureList->Append(&record);
        if (status == kResultOk) ++gEntriesRead;
    } else {
        DetachTextureUsers(record);
        DestroyTextureRecord(record);
    }
    return status;
}

// The records numbered for writing, by index.
std::vector<TextureRecord*> NumberedRecords(TextureRecordList* list)
{
    std::vector<TextureRecord*> records;
    for (int32_t i = 0; i < TextureRecordCount(list); ++i) {
        TextureRecord* record = TextureRecordAt(list, i);
        if (record->saveIndex >= 1) records.push_back(record);
    }
    std::sort(records.begin(), records.end(),
              [](const TextureRecord* a, const TextureRecord* b) { return a->saveIndex < b->saveIndex; });
    return records;
}

template <class Body>
ResultCode WriteChunk(MemoryStream* stream, ChunkTag tag, Body body)
{
    ResultCode result = stream->StreamBeginChunk(tag);
    if (result != kResultOk) return result;
    result = body();
    const ResultCode ended = stream->StreamEndChunk();
    return result != kResultOk ? result : ended;
}

ResultCode WriteEntry(MemoryStream* stream, TextureRecord* record)
{
    return WriteChunk(stream, kTagTextureEntry, [&]() {
        ResultCode result = WriteChunk(stream, kTagTextureId, [&]() {
            return stream->StreamTransferValue(&record->saveIndex, kValue32);
        });
        if (result == kResultOk) {
            result = WriteChunk(stream, kTagTextureName, [&]() {
                return stream->TransferBytes(record->name, int32_t(std::strlen(record->name)) + 1);
            });
        }
        if (result == kResultOk)
            result = WriteChunk(stream, kTagTextureSettings, [&]() { return TransferSettings(stream, &record->attributes); });
        if (result != kResultOk || !record->holder) return result;
        const MediaKind kind = record->holder->Kind();
        if (kind == kMediaBmp || kind == kMediaJpeg) return TextureItemQuery(record, stream);
        // Every other picture travels in the file itself, decoded for the while.
        const bool acquired = AcquireTexture(record) == kResultOk;
        if (TextureItemProperty(record, 0)) result = TextureItemWriteData(record, stream);
        if (acquired) ReleaseTexture(record);
        return result;
    });
}

}  // namespace

void BeginTextureSave(TextureManager* manager, MemoryStream* /*stream*/, TextureRecordList* list)
{
    manager->saveList = list;
    manager->lookups.Clear();
    ClearTextureSaveIndices(list);
    manager->saveCounter = 1;
}

void BeginLibraryTextureSave(TextureManager* manager, MemoryStream* stream, TextureRecordList* list)
{
    BeginTextureSave(manager, stream, list);
    manager->libraryReading = 1;
}

int32_t AssignTextureIndex(TextureManager* manager, TextureRecord* record)
{
    if (!record) return kNoTextureIndex;
    if (record->saveIndex == -1) SetTextureSaveIndex(record, manager->saveCounter++);
    return record->saveIndex;
}

TextureRecord* NewTextureForIndex(TextureManager* manager, int32_t index)
{
    // -1 marks the records that carry no index: no stored index may name one of them.
    if (!manager || !manager->saveList || index == kNoTextureIndex || index == -1) return nullptr;
    TextureRecord* record = FindTextureBySaveIndex(manager->saveList, index);
    if (record) return record;
    record = new (std::nothrow) TextureRecord(manager->saveList);
    if (record) SetTextureSaveIndex(record, index);
    return record;
}

ResultCode ReadTextureTable(TextureManager* manager, MemoryStream* stream, int32_t /*ignored*/)
{
    if (stream->StreamIsWriting()) return kResultOk;
    gEntriesRead = 0;
    ResultCode status = kResultOk;
    int32_t chunks = 0;
    for (; status == kResultOk; ++chunks) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        if (tag == kTagTextureEntry) status = ReadEntry(manager, stream);
        IgnoreResult(stream->StreamEndChunk());
        if (status == kResultOk) status = PollProgress(stream);
        if (status == kResultOk && TextureAddingDepth != 0) status = PollAddingProgress(stream);
        status = MemoryCheck(status);
    }
    CountTurns(chunks);
    return status;
}

ResultCode WriteTextureTable(TextureManager* manager, MemoryStream* stream)
{
    if (!stream->StreamIsWriting() || !manager) return kResultOk;
    const std::vector<TextureRecord*> records = NumberedRecords(manager->saveList);
    // The pictures decoded to be written are the model's own, not what a file asks for: they spend
    // on no picture budget, so that no save can leave one out.
    PictureBudget* const pictures = manager->pictures;
    manager->pictures = nullptr;
    const ResultCode result = records.empty() ? kResultOk : WriteChunk(stream, kTagTextureTableChunk, [&]() {
        ResultCode entry = kResultOk;
        for (size_t i = 0; i < records.size() && entry == kResultOk; ++i) entry = WriteEntry(stream, records[i]);
        return entry;
    });
    manager->pictures = pictures;
    // The table is the file's last texture reference: the numbering ends, so that users added or
    // removed later count again instead of being only recorded as during a read.
    ClearTextureSaveIndices(manager->saveList);
    manager->saveList = nullptr;
    return result;
}

ResultCode CollectUsedTextures(TextureManager* manager, MemoryStream* /*stream*/, UserRefresh refresh)
{
    if (!manager) return kResultOk;
    manager->libraryReading = 0;
    TextureRecordList* list = manager->saveList;
    ResultCode result = kResultOk;
    int32_t i = 0;
    for (; refresh != UserRefresh::kNone && result == kResultOk && i < TextureRecordCount(list); ++i)
        result = RefreshTextureUsers(TextureRecordAt(list, i), refresh == UserRefresh::kWatched);
    CountTurns(i);
    ClearTextureSaveIndices(list);
    manager->saveList = nullptr;
    manager->lookups.Clear();
    return result;
}

TextureManager* CollectUsedTexturesTwin(TextureManager* manager, MemoryStream* stream)
{
    IgnoreResult(CollectUsedTextures(manager, stream, UserRefresh::kWhole));  // not watched: never stopped
    return manager;
}

namespace {

// The texture tables of the "QMDL" forms inside the chunk the stream is in, `depth` forms down;
// a form nested deeper than the scene reader follows fails the read rather than the stack.
ResultCode ReadSourceForms(TextureManager* manager, MemoryStream* stream, int32_t depth)
{
    ResultCode status = kResultOk;
    while (status == kResultOk) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        if (tag == kTagForm) {
            uint32_t formType = 0;
            if (stream->StreamTransferValue(&formType, kValue32) == kResultOk && formType == kFormModel)
                status = depth < kMaxReadDepth ? ReadSourceForms(manager, stream, depth + 1) : kResultTooDeep;
        } else if (tag == kTagTextureTableChunk) {
            status = ReadTextureTable(manager, stream, 0);
        }
        IgnoreResult(stream->StreamEndChunk());
    }
    return status;
}

}  // namespace

ResultCode TextureTableChunk(TextureManager* manager, MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        return WriteChunk(stream, kTagTextureTableChunk, [&]() { return ReadTextureTable(manager, stream, 0); });
    }
    return ReadSourceForms(manager, stream, 0);
}

TextureRecord* FindLinkedTexture(TextureManager* manager, int32_t index)
{
    return manager && manager->saveList ? FindTextureByLinkIndex(manager->saveList, index) : nullptr;
}

int32_t TextureTableEntriesRead()
{
    return gEntriesRead;
}

bool SameTextureName(const TextureRecord* a, const TextureRecord* b)
{
    return std::strncmp(a->name, b->name, kTextureNameBytes) == 0;
}

bool SameTextureFile(const TextureRecord* a, const TextureRecord* b)
{
    PathRecord left;
    PathRecord right;
    GetTexturePath(a, &left);
    GetTexturePath(b, &right);
    return SamePathName(left.text, right.text) != 0;
}

bool SameTextureAttributes(const TextureRecord* a, const TextureRecord* b)
{
    return std::memcmp(a->attributes.values, b->attributes.values, sizeof a->attributes.values) == 0;
}

int32_t MergeSameNamedTexture(TextureRecord* keep, TextureRecord* duplicate)
{
    if (!SameTextureName(keep, duplicate)) return 0;
    ReplaceTextureInUsers(duplicate, keep);
    return 1;
}

int32_t MergeDuplicateTexture(TextureRecord* keep, TextureRecord* duplicate)
{
    if (!SameTextureName(keep, duplicate)) return 0;
    if (SameTextureFile(keep, duplicate) && SameTextureAttributes(keep, duplicate)) {
        ReplaceTextureInUsers(duplicate, keep);
        return 1;
    }
    MakeUniqueTextureName(duplicate);
    return 0;
}

void RemoveSharedHolderRecords(TextureRecordList* /*list*/)
{
    if (!EmbeddedTextureList || !LibraryTextureList) return;
    for (int32_t i = 0; i < TextureRecordCount(EmbeddedTextureList); ++i) {
        TextureRecord* record = TextureRecordAt(EmbeddedTextureList, i);
        const int32_t at = LibraryTextureList->ArrayFind(&record);
        if (at >= 0) IgnoreResult(LibraryTextureList->Remove(at));
    }
}
