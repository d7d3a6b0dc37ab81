// Draw order: the stable sort and the contact-plane correction.
#include "render/draw_order.h"

#include <algorithm>

#include "foundation/dynamic_array.h"
#include "model/contact_list.h"
#include "render/observer.h"
#include "render/record_prefetch.h"
#include "render/render_context.h"

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

namespace {

// Whether the record `other` touching `record` through the contact may have to go first, as far as
// the frame tells it whatever the order: the contact plane faces the eye, and the other record is
// visible and overlaps the record on the screen.
bool MayGoFirst(const ObjectGeometry* record, const ContactEntry& entry, const Observer* observer)
{
    const ObjectGeometry* other = entry.Other;
    if (!ContactPlaneFacing(entry, observer) || !other || !other->Visible) return false;
    if (other->ScreenMinimum[0] > record->ScreenMaximum[0] || record->ScreenMinimum[0] > other->ScreenMaximum[0])
        return false;
    return other->ScreenMinimum[2] <= record->ScreenMaximum[2] && record->ScreenMinimum[2] <= other->ScreenMaximum[2];
}

}  // namespace

void RefineDrawOrder(DynamicArray* list, const DynamicArray* members, const Observer* observer)
{
    const int32_t count = list->ArrayCount();
    ObjectGeometry** records = list->Elements<ObjectGeometry*>();
    for (int32_t i = 0; i < count; ++i) {
        if (i + kStateAhead < count) PrefetchRecordState(records[i + kStateAhead]);
        records[i]->DrawIndex = i;
    }
    // What decides whether a record lets another go first changes nothing while the order is
    // corrected, except where the two records stand: so the contacts of each record of the list
    // are read once, walking the members in their own order (the records, their contacts and the
    // records they touch lie close together in memory in that order, where the sorted list jumps
    // about), and the sorted places of the records that may go first are kept. The correction
    // then moves places in the work room alone, never reading a record again.
    DrawOrderWork& work = CurrentRenderContext().drawOrder;
    work.firstCandidate.assign(size_t(count), 0);
    work.endCandidate.assign(size_t(count), 0);
    work.candidates.clear();
    const int32_t memberCount = members->ArrayCount();
    ObjectGeometry* const* member = members->Elements<ObjectGeometry*>();
    for (int32_t m = 0; m < memberCount; ++m) {
        ContactsReadAhead(member, memberCount, m);
        const ObjectGeometry* r = member[m];
        const int32_t own = r->DrawIndex;
        if (own < 0 || own >= count || records[own] != r || !r->Contacts) continue;
        work.firstCandidate[size_t(own)] = int32_t(work.candidates.size());
        const ContactEntry* entries = r->Contacts->Elements<ContactEntry>();
        for (int32_t k = 0; k < r->Contacts->ArrayCount(); ++k) {
            if (!MayGoFirst(r, entries[k], observer)) continue;
            // Only records of this list count.
            const int32_t place = entries[k].Other->DrawIndex;
            if (place >= 0 && place < count && records[place] == entries[k].Other) work.candidates.push_back(place);
        }
        work.endCandidate[size_t(own)] = int32_t(work.candidates.size());
    }
    work.standsAt.resize(size_t(count));
    work.pulledAt.assign(size_t(count), -1);
    work.sortedPlace.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i) work.standsAt[size_t(i)] = work.sortedPlace[size_t(i)] = i;
    int32_t i = 0;
    while (i < count) {
        const int32_t own = work.sortedPlace[size_t(i)];
        if (work.pulledAt[size_t(own)] != i) {
            // Of the records after this place that may go first, the nearest-drawn one.
            int32_t best = -1;
            for (int32_t c = work.firstCandidate[size_t(own)]; c < work.endCandidate[size_t(own)]; ++c) {
                const int32_t at = work.standsAt[size_t(work.candidates[size_t(c)])];
                if (at > i && (best == -1 || at < best)) best = at;
            }
            if (best >= 0) {
                work.pulledAt[size_t(own)] = i;
                ObjectGeometry* moved = records[best];
                const int32_t movedPlace = work.sortedPlace[size_t(best)];
                for (int32_t k = best; k > i; --k) {
                    records[k] = records[k - 1];
                    work.sortedPlace[size_t(k)] = work.sortedPlace[size_t(k - 1)];
                    work.standsAt[size_t(work.sortedPlace[size_t(k)])] = k;
                }
                records[i] = moved;
                work.sortedPlace[size_t(i)] = movedPlace;
                work.standsAt[size_t(movedPlace)] = i;
                continue;
            }
        }
        ++i;
    }
    for (int32_t k = 0; k < count; ++k) {
        if (k + kStateAhead < count) PrefetchRecordState(records[k + kStateAhead]);
        records[k]->DrawIndex = k;
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
