// The users of a texture record (scene objects, surfaces, polygon elements) and the use counts
// that decode a picture on its first use and release it after the last: adding and removing
// users, locks, the moves of users between records and the replacement of a record's picture.
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <unordered_map>
#include <vector>

#include "draw/q_offscreen.h"
#include "draw/raster_globals.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/polygon_element.h"
#include "model/surface.h"
#include "textures/media_holder.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_mapping.h"

int32_t TextureUserListSuppressed = 0;

namespace {

// Counts and loads one more use (the picture is decoded when nothing uses it yet).
ResultCode CountUse(TextureRecord* record)
{
    MediaHolder* holder = record->holder;
    ResultCode result = kResultOk;
    if (holder->UseCount() == 0) result = holder->MediaHolderLoad();
    if (result == kResultOk) {
        ++record->useCount;
        holder->AddUse();
    }
    return result;
}

ResultCode AddUser(TextureRecord* record, DynamicArray* users, void* user)
{
    if (!record) return kResultFailed;
    if (!TextureUserListSuppressed && users) users->Append(&user);
    if (record->saveIndex != -1) return kResultOk;
    if (!record->holder) return kResultFailed;
    return CountUse(record);
}

// Ends the uses that `removed` users leaving the record took.
void EndUses(TextureRecord* record, int32_t removed)
{
    if (record->saveIndex != -1 || !record->holder) return;
    // A user whose picture could not be loaded took no use: the uses never outnumber the users
    // left.
    for (int32_t i = 0; i < removed && record->useCount > TextureUserCount(record); ++i) {
        MediaHolder* holder = record->holder;
        if (holder->UseCount() == 1) holder->MediaHolderUnload();
        --record->useCount;
        holder->RemoveUse();
    }
}

void RemoveUser(TextureRecord* record, DynamicArray* users, const void* user)
{
    if (!record) return;
    // Users mostly leave in the reverse of the order they came (a tree is destroyed from its last
    // child), so the search starts at the end.
    const int32_t index = FindLastPointer(users, user);
    if (index < 0) return;
    IgnoreResult(users->Remove(index));
    EndUses(record, 1);
}

DynamicArray* UserList(TextureRecord* record, LeavingUser::List list)
{
    switch (list) {
    case LeavingUser::kObjects: return record->objectUsers;
    case LeavingUser::kSurfaces: return record->surfaceUsers;
    default: return record->elementUsers;
    }
}

// Takes the users off the list, each from the end as often as it is counted; how many went.
int32_t RemoveCounted(DynamicArray* users, std::unordered_map<const void*, int32_t>* counts)
{
    const int32_t count = ListCount(users);
    std::vector<bool> leaves(size_t(count), false);
    int32_t removed = 0;
    for (int32_t i = count - 1; i >= 0; --i) {
        const auto found = counts->find(PointerAt<void>(users, i));
        if (found == counts->end() || found->second == 0) continue;
        --found->second;
        leaves[size_t(i)] = true;
        ++removed;
    }
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!leaves[size_t(i)]) IgnoreResult(SetPointer(users, kept++, PointerAt<void>(users, i)));
    }
    if (removed > 0) IgnoreResult(users->ArraySetCount(kept));
    return removed;
}

// Binds `texture` to the side of a user in place of whatever it has there.
void BindSurfaceSide(Surface* surface, TextureRecord* texture, int32_t side)
{
    surface->SetSideTexture(texture, side);
}

}  // namespace

int32_t TextureUserCount(const TextureRecord* record)
{
    int32_t count = 0;
    for (const DynamicArray* users : {record->objectUsers, record->surfaceUsers, record->elementUsers})
        if (users) count += users->ArrayCount();
    return count;
}

ResultCode TextureAddObjectUser(TextureRecord* record, ModelObject* user)
{
    // Loading locks offscreens, which publishes them: the offscreen published before, while it
    // is still locked, is published again.
    Q_Offscreen* published = PublishedOffscreen;
    const ResultCode result = AddUser(record, record ? record->objectUsers : nullptr, user);
    if (published && published != PublishedOffscreen && published->LockCount() > 0) published->PublishRasterGlobals();
    return result;
}

ResultCode TextureAddSurfaceUser(TextureRecord* record, Surface* user)
{
    return AddUser(record, record ? record->surfaceUsers : nullptr, user);
}

ResultCode TextureAddElementUser(TextureRecord* record, PolygonElement* user)
{
    return AddUser(record, record ? record->elementUsers : nullptr, user);
}

void TextureRemoveObjectUser(TextureRecord* record, ModelObject* user)
{
    RemoveUser(record, record ? record->objectUsers : nullptr, user);
}

void TextureRemoveSurfaceUser(TextureRecord* record, Surface* user)
{
    RemoveUser(record, record ? record->surfaceUsers : nullptr, user);
}

void TextureRemoveElementUser(TextureRecord* record, PolygonElement* user)
{
    RemoveUser(record, record ? record->elementUsers : nullptr, user);
}

void RemoveLeavingUsers(std::vector<LeavingUser>* users)
{
    std::sort(users->begin(), users->end(), [](const LeavingUser& a, const LeavingUser& b) {
        return std::less<TextureRecord*>()(a.record, b.record) || (a.record == b.record && a.list < b.list);
    });
    std::unordered_map<const void*, int32_t> counts;
    for (size_t first = 0; first < users->size();) {
        TextureRecord* record = (*users)[first].record;
        int32_t removed = 0;
        size_t next = first;
        while (next < users->size() && (*users)[next].record == record) {
            const LeavingUser::List list = (*users)[next].list;
            counts.clear();
            for (; next < users->size() && (*users)[next].record == record && (*users)[next].list == list; ++next)
                ++counts[(*users)[next].user];
            if (record) removed += RemoveCounted(UserList(record, list), &counts);
        }
        if (record) EndUses(record, removed);
        first = next;
    }
    users->clear();
}

ResultCode AcquireTexture(TextureRecord* record)
{
    if (!record->holder) return kResultFailed;
    ResultCode result = kResultOk;
    if (record->holder->UseCount() == 0) result = record->holder->MediaHolderLoad();
    if (result == kResultOk) {
        ++record->lockCount;
        record->holder->AddUse();
    }
    return result;
}

void ReleaseTexture(TextureRecord* record)
{
    if (!record->holder || record->lockCount <= 0) return;
    if (record->holder->UseCount() == 1) record->holder->MediaHolderUnload();
    --record->lockCount;
    record->holder->RemoveUse();
}

ResultCode ReattachTextureUsers(TextureRecord* record)
{
    SetTextureSaveIndex(record, -1);
    TextureUserListSuppressed = 1;
    ResultCode result = kResultOk;
    for (int32_t i = 0; result == kResultOk && i < record->objectUsers->ArrayCount(); ++i)
        result = TextureAddObjectUser(record, PointerAt<ModelObject>(record->objectUsers, i));
    for (int32_t i = 0; result == kResultOk && i < record->surfaceUsers->ArrayCount(); ++i)
        result = TextureAddSurfaceUser(record, PointerAt<Surface>(record->surfaceUsers, i));
    for (int32_t i = 0; result == kResultOk && i < record->elementUsers->ArrayCount(); ++i)
        result = TextureAddElementUser(record, PointerAt<PolygonElement>(record->elementUsers, i));
    CountTurns(TextureUserCount(record));
    if (result != kResultOk && LowMemoryLevel != 0) result = kResultNoPicture;
    TextureUserListSuppressed = 0;
    return result;
}

namespace {

// Whether entry i of the user list names the same user as the entry before it: a user that shows
// the record on both sides is listed twice in a row, and its mapping is set up once.
bool RepeatsUser(const DynamicArray* users, int32_t i)
{
    return i > 0 && PointerAt<void>(users, i) == PointerAt<void>(users, i - 1);
}

}  // namespace

ResultCode RefreshTextureUsers(TextureRecord* record, bool watched)
{
    ModelHolder* model = nullptr;
    // A user's mapping is worked out over its faces, a microsecond or more each; a look costs some
    // 20 ns.
    auto stopped = [watched] { return watched && ProgressUpdate(0) != 0; };
    bool stop = false;
    int32_t walked = 0;
    for (int32_t i = 0; !stop && i < record->objectUsers->ArrayCount(); ++i, ++walked) {
        if (RepeatsUser(record->objectUsers, i)) continue;
        ModelObject* object = PointerAt<ModelObject>(record->objectUsers, i);
        object->RebindSurfaceTextures();
        if (!model) model = object->Holder;
        stop = stopped();
    }
    for (int32_t i = 0; !stop && i < record->surfaceUsers->ArrayCount(); ++i, ++walked) {
        if (RepeatsUser(record->surfaceUsers, i)) continue;
        Surface* surface = PointerAt<Surface>(record->surfaceUsers, i);
        UpdateSideTextureMapping(surface);
        if (!model && surface->Owner) model = surface->Owner->Holder;
        stop = stopped();
    }
    for (int32_t i = 0; !stop && i < record->elementUsers->ArrayCount(); ++i, ++walked) {
        if (RepeatsUser(record->elementUsers, i)) continue;
        PolygonElement* element = PointerAt<PolygonElement>(record->elementUsers, i);
        element->UpdateElementTextureMapping();
        if (!model && element->Owner && element->Owner->Owner) model = element->Owner->Owner->Holder;
        stop = stopped();
    }
    CountTurns(walked);
    if (model) NextNonZeroSerial(model);
    return stop ? kResultStopped : kResultOk;
}

namespace {

// Binds `other` (or nothing) in place of the record on every side of every user that shows it,
// from the last user back. Each rebinding takes the user off the record's list; a user that
// shows the record on neither side any more is taken off here.
void RebindUsers(TextureRecord* record, TextureRecord* other)
{
    for (int32_t n = record->objectUsers->ArrayCount(); n > 0; n = record->objectUsers->ArrayCount()) {
        ModelObject* object = PointerAt<ModelObject>(record->objectUsers, n - 1);
        if (object->FrontTexture == record) object->SetSurfaceTexture(other, kSideFront);
        if (object->BackTexture == record) object->SetSurfaceTexture(other, kSideBack);
        if (record->objectUsers->ArrayCount() == n) IgnoreResult(record->objectUsers->Remove(n - 1));
    }
    for (int32_t n = record->surfaceUsers->ArrayCount(); n > 0; n = record->surfaceUsers->ArrayCount()) {
        Surface* surface = PointerAt<Surface>(record->surfaceUsers, n - 1);
        if (surface->FrontTexture == record) BindSurfaceSide(surface, other, kSideFront);
        if (surface->BackTexture == record) BindSurfaceSide(surface, other, kSideBack);
        if (record->surfaceUsers->ArrayCount() == n) IgnoreResult(record->surfaceUsers->Remove(n - 1));
    }
    for (int32_t n = record->elementUsers->ArrayCount(); n > 0; n = record->elementUsers->ArrayCount()) {
        PolygonElement* element = PointerAt<PolygonElement>(record->elementUsers, n - 1);
        element->SetElementTexture(other);
        if (record->elementUsers->ArrayCount() == n) IgnoreResult(record->elementUsers->Remove(n - 1));
    }
}

}  // namespace

void DetachTextureUsers(TextureRecord* record)
{
    // Only the sides that show the record lose their texture.
    RebindUsers(record, nullptr);
}

void ReplaceTextureInUsers(TextureRecord* record, TextureRecord* other)
{
    if (other != record) RebindUsers(record, other);
}

namespace {

// Moves the record to `fresh` (a holder bound in place of `old`, which the caller keeps meanwhile):
// the new picture is loaded when no one uses it yet (else the old holder comes back, and `fresh`
// goes unless another record keeps it), and the record's uses move along.
ResultCode MoveToHolder(TextureRecord* record, MediaHolder* old, MediaHolder* fresh)
{
    if (fresh == old) return kResultOk;
    const int32_t uses = record->useCount + record->lockCount;
    if (uses > 0 && fresh->UseCount() == 0) {
        const ResultCode result = fresh->MediaHolderLoad();
        if (result != kResultOk) {
            SetTextureHolder(record, old);
            return result;
        }
    }
    for (int32_t i = 0; i < uses; ++i) {
        fresh->AddUse();
        if (old) {
            if (old->UseCount() == 1) old->MediaHolderUnload();
            old->RemoveUse();
        }
    }
    return kResultOk;
}

// Binds the holder that `bind` gives the record in place of its own, as MoveToHolder moves it;
// the record keeps its holder when `bind` fails.
template <class Bind>
ResultCode ReplaceHolder(TextureRecord* record, Bind bind)
{
    MediaHolder* old = record->holder;
    KeepHolder(old);
    ResultCode result = bind();
    if (result != kResultOk) SetTextureHolder(record, old);
    else result = MoveToHolder(record, old, record->holder);
    LetHolderGo(old);
    return result;
}

}  // namespace

ResultCode ReplaceTextureFile(TextureRecord* record, DiskFileStream* file)
{
    return ReplaceHolder(record, [&] { return LoadTextureFromFileObject(record, file); });
}

ResultCode ReplaceTextureEmbedded(TextureRecord* record, MemoryStream* modelFile, int32_t position)
{
    return ReplaceHolder(record, [&] { return BindEmbeddedTextureData(record, modelFile, position); });
}
