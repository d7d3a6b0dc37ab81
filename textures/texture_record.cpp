// TextureRecord and TextureRecordList: record life, names, attributes and the list searches.
#include "textures/texture_record.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>

#include "draw/mem_pix_map.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "textures/media_holder.h"
#include "textures/texture_libraries.h"

namespace {

constexpr int32_t kUserGrowStep = 4;
constexpr int32_t kListGrowStep = 4;

// Default attributes, numbered 1 to 19.
constexpr int32_t kDefaultAttributes[kTextureAttributeCount] = {
    0, 1, 0,                                         // 1-3
    0, 0, 0,                                         // 4-6: 16.16 fixed
    0, 0, 0, 0,                                      // 7-10
    0x10000, 0x10000, 32 * 0x10000, 32 * 0x10000,    // 11-14: 16.16 fixed
    2, 2,                                            // 15-16
    0, 0,                                            // 17-18
    0,                                               // 19
};

DynamicArray* NewUserList()
{
    return NewDynamicArray(0, int32_t(sizeof(void*)), kUserGrowStep);
}

// Scans the list, locked meanwhile, for the first record `match` accepts.
template <class Match>
TextureRecord* FindRecord(TextureRecordList* list, Match match)
{
    if (!list) return nullptr;
    list->ArrayLock();
    TextureRecord* found = nullptr;
    int32_t i = 0;
    for (; i < list->ArrayCount() && !found; ++i) {
        TextureRecord* record = PointerAt<TextureRecord>(list, i);
        if (match(record)) found = record;
    }
    CountTurns(i);
    list->ArrayUnlock();
    return found;
}

}  // namespace

TextureRecord::TextureRecord(TextureRecordList* ownerList) : owner(ownerList)
{
    TextureRecord* self = this;
    if (owner) owner->Append(&self);
    objectUsers = NewUserList();
    surfaceUsers = NewUserList();
    elementUsers = NewUserList();
    ResetTextureAttributes(this);
}

TextureRecord::~TextureRecord()
{
    for (DynamicArray* users : {objectUsers, surfaceUsers, elementUsers})
        if (users) users->Destroy();
}

int32_t TextureRecordList::Compare(const void* a, const void* b)
{
    return CompareTextureNames(PointerIn<TextureRecord>(a), PointerIn<TextureRecord>(b));
}

TextureRecordList* NewTextureRecordList()
{
    TextureRecordList* list = new (std::nothrow) TextureRecordList;
    if (list && InitTextureRecordList(list) != kResultOk) {
        list->Destroy();
        return nullptr;
    }
    return list;
}

ResultCode InitTextureRecordList(TextureRecordList* list)
{
    list->ownerDocument = nullptr;
    list->bySaveIndex.clear();
    return list->Init(0, int32_t(sizeof(TextureRecord*)), kListGrowStep);
}

void SetTextureListOwner(TextureRecordList* list, void* document)
{
    list->ownerDocument = document;
}

void FreeTextureRecordList(TextureRecordList* list)
{
    if (list) list->Destroy();
}

void ReleaseTextureRecords(TextureRecordList* list)
{
    if (!list) return;
    // From the last to the first, so that each leaves the end of its list (and of the list of
    // embedded textures, in which a model's textures stand in the order they were read).
    while (list->ArrayCount() > 0) {
        const int32_t last = list->ArrayCount() - 1;
        DestroyTextureRecord(PointerAt<TextureRecord>(list, last));
        // A record of another list leaves this one here.
        if (list->ArrayCount() > last) IgnoreResult(list->Remove(last));
    }
}

int32_t TextureRecordCount(const TextureRecordList* list)
{
    return list ? list->ArrayCount() : 0;
}

TextureRecord* TextureRecordAt(const TextureRecordList* list, int32_t index)
{
    if (!list || index < 0 || index >= list->ArrayCount()) return nullptr;
    return PointerAt<TextureRecord>(list, index);
}

void ResetTextureAttributes(TextureRecord* record)
{
    SetTextureName(record, kUninitializedTextureName);
    std::memcpy(record->attributes.values, kDefaultAttributes, sizeof kDefaultAttributes);
}

void DestroyTextureRecord(TextureRecord* record)
{
    if (!record) return;
    SetTextureSaveIndex(record, -1);
    // The record leaves its own list and the program-wide list of embedded and relocated
    // textures, which names records of other lists and must never keep one that is gone.
    for (TextureRecordList* list : {record->owner, EmbeddedTextureList}) {
        // Looked for from the end, where the latest records stand.
        const int32_t index = FindLastPointer(list, record);
        if (index >= 0) IgnoreResult(list->Remove(index));
    }
    SetTextureHolder(record, nullptr);
    delete record;
}

void SetTextureHolder(TextureRecord* record, MediaHolder* holder)
{
    MediaHolder* const old = record->holder;
    record->holder = holder;
    if (old == holder) return;
    KeepHolder(holder);
    LetHolderGo(old);
}

TextureRecord* CloneTextureRecord(TextureRecord* record)
{
    TextureRecord* clone = new (std::nothrow) TextureRecord(record->owner);
    if (!clone) return nullptr;
    std::memcpy(clone->name, record->name, sizeof clone->name);
    clone->attributes = record->attributes;
    SetTextureHolder(clone, record->holder);
    MakeUniqueTextureName(clone);
    return clone;
}

void MakeUniqueTextureName(TextureRecord* record)
{
    char copy[kTextureNameBytes];
    std::memcpy(copy, record->name, sizeof copy);
    copy[kTextureNameBytes - 1] = 0;
    while (FindTextureByNameExcept(record->owner, copy, record)) {
        const size_t length = std::strlen(copy);
        if (length + 1 < sizeof copy) {
            copy[length] = '+';
            copy[length + 1] = 0;
            continue;
        }
        // The field is full: the last character before the run of "+" becomes one more "+".
        size_t i = length;
        while (i > 0 && copy[i - 1] == '+') --i;
        if (i == 0) break;
        copy[i - 1] = '+';
    }
    std::memcpy(record->name, copy, sizeof copy);
}

void SetTextureName(TextureRecord* record, const char* name)
{
    std::snprintf(record->name, sizeof record->name, "%s", name);
}

void GetTextureName(const TextureRecord* record, char* out)
{
    std::memcpy(out, record->name, sizeof record->name);
}

bool TextureIsPresent(const TextureRecord* record)
{
    return record != nullptr;
}

bool TextureInUse(const TextureRecord* record)
{
    return record->useCount > 0;
}

bool TextureLocked(const TextureRecord* record)
{
    return record->lockCount > 0;
}

void GetTexturePath(const TextureRecord* record, PathRecord* path)
{
    if (record && record->holder && record->holder->Item()) {
        GetHolderPath(record->holder, path);
    } else {
        ClearPathRecord(path);
    }
}

int32_t CompareTextureNames(const TextureRecord* a, const TextureRecord* b)
{
    char left[kTextureNameBytes];
    char right[kTextureNameBytes];
    GetTextureName(a, left);
    GetTextureName(b, right);
    left[kTextureNameBytes - 1] = right[kTextureNameBytes - 1] = 0;
    return std::strcmp(left, right);
}

TextureRecord* FindTextureByName(TextureRecordList* list, const char* name)
{
    return FindTextureByNameExcept(list, name, nullptr);
}

TextureRecord* FindTextureByNameExcept(TextureRecordList* list, const char* name, const TextureRecord* except)
{
    return FindRecord(list, [&](TextureRecord* record) {
        return record != except && std::strncmp(record->name, name, kTextureNameBytes) == 0;
    });
}

TextureRecord* FindTextureByNameAndPath(TextureRecordList* list, const char* name, const PathRecord* path)
{
    return FindRecord(list, [&](TextureRecord* record) {
        if (std::strncmp(record->name, name, kTextureNameBytes) != 0) return false;
        PathRecord own;
        GetTexturePath(record, &own);
        return SamePathName(own.text, path->text) != 0;
    });
}

TextureRecord* FindTextureBySaveIndex(TextureRecordList* list, int32_t index)
{
    if (!list) return nullptr;
    const auto found = list->bySaveIndex.find(index);
    return found == list->bySaveIndex.end() ? nullptr : found->second;
}

TextureRecord* FindTextureByLinkIndex(TextureRecordList* list, int32_t index)
{
    return FindRecord(list, [index](TextureRecord* record) { return record->linkIndex == index; });
}

void ClearTextureSaveIndices(TextureRecordList* list)
{
    FindRecord(list, [](TextureRecord* record) {
        SetTextureSaveIndex(record, -1);
        return false;
    });
}

void SetTextureSaveIndex(TextureRecord* record, int32_t index)
{
    if (record->saveIndex == index) return;
    if (TextureRecordList* list = record->owner) {
        const auto indexed = list->bySaveIndex.find(record->saveIndex);
        if (indexed != list->bySaveIndex.end() && indexed->second == record) list->bySaveIndex.erase(indexed);
        if (index != -1) list->bySaveIndex[index] = record;
    }
    record->saveIndex = index;
}

MemPixMap* FirstEmbeddedPixmap(TextureRecordList* list)
{
    TextureRecord* record = FindRecord(list, [](TextureRecord* r) {
        return TextureInUse(r) && r->holder && (r->holder->Kind() == kMediaPict || r->holder->Kind() == kMediaEmbedded);
    });
    return record ? TextureItemProperty(record, 0) : nullptr;
}
