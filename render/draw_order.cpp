// Draw order: the stable sort and the contact-plane correction.
#include "render/draw_order.h"

#include <algorithm>

#include "foundation/dynamic_array.h"
#include "model/contact_list.h"
#include "render/observer.h"
#include "render/record_prefetch.h"

namespace {

// A record with its nearest depth, as the merge sort moves them.
struct KeyedRecord {
    int32_t depth;
    ObjectGeometry* record;
};

// How many places ahead the walks over the list read the records' state.
constexpr int32_t kStateAhead = 16;

// The merge sort's work room of keyed records, twice the list's length, grown as needed and kept.
DynamicArray* gSortScratch = nullptr;

}  // namespace

int32_t ContactPlaneFacing(const ContactEntry& entry, const Observer* observer)
{
    const int64_t dx = int64_t(entry.Point.x) - observer->x;
    const int64_t dy = int64_t(entry.Point.y) - observer->y;
    const int64_t dz = int64_t(entry.Point.z) - observer->z;
    return entry.Normal.x * dx + entry.Normal.y * dy + entry.Normal.z * dz >= 0 ? 1 : 0;
}

void RefineDrawOrder(DynamicArray* list, const Observer* observer)
{
    const int32_t count = list->ArrayCount();
    ObjectGeometry** records = list->Elements<ObjectGeometry*>();
    for (int32_t i = 0; i < count; ++i) {
        if (i + kStateAhead < count) PrefetchRecordState(records[i + kStateAhead]);
        records[i]->DrawIndex = int16_t(i);
        records[i]->PulledAt = -1;
        records[i]->OrderSpare = 0;
    }
    int32_t i = 0;
    while (i < count) {
        ContactsReadAhead(records, count, i);
        ObjectGeometry* r = records[i];
        if (r->Contacts && r->PulledAt != i) {
            int32_t best = -1;
            const ContactEntry* entries = r->Contacts->Elements<ContactEntry>();
            for (int32_t k = 0; k < r->Contacts->ArrayCount(); ++k) {
                const ContactEntry* e = entries + k;
                // The plane first: it is the entry's own, where the other record lies elsewhere in
                // memory, and half the planes of a frame face away.
                if (!ContactPlaneFacing(*e, observer)) continue;
                const ObjectGeometry* t = e->Other;
                // Only records of this list after this place count, the nearest-drawn one first.
                if (!t || t->DrawIndex <= i || t->DrawIndex >= count || (best != -1 && t->DrawIndex >= best)) continue;
                if (records[t->DrawIndex] != t || !t->Visible) continue;
                if (t->ScreenMinimum[0] > r->ScreenMaximum[0] || r->ScreenMinimum[0] > t->ScreenMaximum[0]) continue;
                if (t->ScreenMinimum[2] > r->ScreenMaximum[2] || r->ScreenMinimum[2] > t->ScreenMaximum[2]) continue;
                best = t->DrawIndex;
            }
            if (best >= 0) {
                r->PulledAt = int16_t(i);
                r->OrderSpare = 0;
                ObjectGeometry* moved = records[best];
                for (int32_t k = best; k > i; --k) {
                    records[k] = records[k - 1];
                    records[k]->DrawIndex = int16_t(k);
                }
                records[i] = moved;
                moved->DrawIndex = int16_t(i);
                continue;
            }
        }
        ++i;
    }
}

void StableSortDrawList(DynamicArray* list)
{
    const int32_t count = list->ArrayCount();
    if (count < 2) return;
    ObjectGeometry** records = list->Elements<ObjectGeometry*>();
    if (!gSortScratch) gSortScratch = NewDynamicArray(0, int32_t(sizeof(KeyedRecord)), 64);
    if (!gSortScratch ||
        (gSortScratch->ArrayCount() < 2 * count && gSortScratch->ArraySetCount(2 * count) != kResultOk)) {
        // Without room to merge, an insertion sort keeps the order of equal entries too.
        for (int32_t i = 1; i < count; ++i) {
            ObjectGeometry* item = records[i];
            int32_t j = i;
            while (j > 0 && ContactListCompare(&records[j - 1], &item) > 0) {
                records[j] = records[j - 1];
                --j;
            }
            records[j] = item;
        }
        return;
    }
    // The depths are read once into the work room beside their records; a record of the second
    // run goes first when the list's comparison puts it before the first run's record, which is
    // when it lies deeper.
    KeyedRecord* from = gSortScratch->Elements<KeyedRecord>();
    KeyedRecord* to = from + count;
    for (int32_t i = 0; i < count; ++i) {
        if (i + kStateAhead < count) PrefetchRecordState(records[i + kStateAhead]);
        from[i] = {records[i]->ScreenMinimum[1], records[i]};
    }
    for (int32_t width = 1; width < count; width *= 2) {
        for (int32_t lo = 0; lo < count; lo += 2 * width) {
            const int32_t mid = std::min(lo + width, count);
            const int32_t hi = std::min(lo + 2 * width, count);
            int32_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi) to[out++] = from[b].depth > from[a].depth ? from[b++] : from[a++];
            while (a < mid) to[out++] = from[a++];
            while (b < hi) to[out++] = from[b++];
        }
        std::swap(from, to);
    }
    for (int32_t i = 0; i < count; ++i) records[i] = from[i].record;
}

void FreeDrawOrderScratch()
{
    if (gSortScratch) gSortScratch->Destroy();
    gSortScratch = nullptr;
}
