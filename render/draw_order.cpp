// Draw order: the stable sort and the contact-plane correction.
#include "render/draw_order.h"

#include <algorithm>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
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
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    // The places numbered twice and the correction's work room made: spent beforehand, as is
    // each step below; once the frame has stopped the order is left as it stands.
    if (!budget.Spend(FrameCost::kOrdered, 4 * int64_t(count))) return;
    for (int32_t i = 0; i < count; ++i) {
        if (i + kStateAhead < count) PrefetchRecordState(records[i + kStateAhead]);
        records[i]->DrawIndex = i;
    }
    CountTurns(count);
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
    if (!budget.Spend(FrameCost::kOrdered, memberCount)) return;
    for (int32_t m = 0; m < memberCount; ++m) {
        ContactsReadAhead(member, memberCount, m);
        const ObjectGeometry* r = member[m];
        const int32_t own = r->DrawIndex;
        if (own < 0 || own >= count || records[own] != r || !r->Contacts) continue;
        if (!budget.Spend(FrameCost::kOrdered, r->Contacts->ArrayCount())) return;
        CountTurns(r->Contacts->ArrayCount());
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
    CountTurns(memberCount);
    work.standsAt.resize(size_t(count));
    work.pulledAt.assign(size_t(count), -1);
    work.sortedPlace.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i) work.standsAt[size_t(i)] = work.sortedPlace[size_t(i)] = i;
    CountTurns(count);
    // The places visited, counted as the correction ends.
    int64_t visits = 0;
    int32_t i = 0;
    while (i < count) {
        ++visits;
        const int32_t own = work.sortedPlace[size_t(i)];
        if (work.pulledAt[size_t(own)] != i) {
            // Of the records after this place that may go first, the nearest-drawn one.
            const int32_t first = work.firstCandidate[size_t(own)];
            const int32_t end = work.endCandidate[size_t(own)];
            if (!budget.Spend(FrameCost::kOrdered, 1 + end - first)) break;
            int32_t best = -1;
            for (int32_t c = first; c < end; ++c) {
                const int32_t at = work.standsAt[size_t(work.candidates[size_t(c)])];
                if (at > i && (best == -1 || at < best)) best = at;
            }
            CountTurns(end - first);
            if (best >= 0) {
                // The places it moves past.
                if (!budget.Spend(FrameCost::kOrdered, best - i)) break;
                work.pulledAt[size_t(own)] = i;
                ObjectGeometry* moved = records[best];
                const int32_t movedPlace = work.sortedPlace[size_t(best)];
                for (int32_t k = best; k > i; --k) {
                    records[k] = records[k - 1];
                    work.sortedPlace[size_t(k)] = work.sortedPlace[size_t(k - 1)];
                    work.standsAt[size_t(work.sortedPlace[size_t(k)])] = k;
                }
                CountTurns(best - i);
                records[i] = moved;
                work.sortedPlace[size_t(i)] = movedPlace;
                work.standsAt[size_t(movedPlace)] = i;
                continue;
            }
        }
        ++i;
    }
    CountTurns(visits);
    for (int32_t k = 0; k < count; ++k) {
        if (k + kStateAhead < count) PrefetchRecordState(records[k + kStateAhead]);
        records[k]->DrawIndex = k;
    }
    CountTurns(count);
}

void StableSortDrawList(DynamicArray* list)
{
    const int32_t count = list->ArrayCount();
    if (count < 2) return;
    ObjectGeometry** records = list->Elements<ObjectGeometry*>();
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    if (!gSortScratch) gSortScratch = NewDynamicArray(0, int32_t(sizeof(KeyedRecord)), 64);
    if (!gSortScratch ||
        (gSortScratch->ArrayCount() < 2 * count && gSortScratch->ArraySetCount(2 * count) != kResultOk)) {
        // Without room to merge, an insertion sort keeps the order of equal entries too; its
        // moves, at most one for every pair, are spent beforehand (refused, the list stays
        // unsorted: the frame has stopped).
        if (!budget.Spend(FrameCost::kOrdered, int64_t(count) * (count - 1) / 2)) return;
        int64_t moves = 0;
        for (int32_t i = 1; i < count; ++i) {
            ObjectGeometry* item = records[i];
            int32_t j = i;
            while (j > 0 && ContactListCompare(&records[j - 1], &item) > 0) {
                records[j] = records[j - 1];
                --j;
            }
            moves += i - j;
            records[j] = item;
        }
        CountTurns(count + moves);
        return;
    }
    // Each pass of the merge moves every record once; with the keys read and the records put
    // back, spent beforehand.
    const int64_t passes = BitLength(uint32_t(count - 1));
    if (!budget.Spend(FrameCost::kOrdered, (passes + 2) * count)) return;
    // The depths are read once into the work room beside their records; a record of the second
    // run goes first when the list's comparison puts it before the first run's record, which is
    // when it lies deeper.
    KeyedRecord* from = gSortScratch->Elements<KeyedRecord>();
    KeyedRecord* to = from + count;
    for (int32_t i = 0; i < count; ++i) {
        if (i + kStateAhead < count) PrefetchRecordState(records[i + kStateAhead]);
        from[i] = {records[i]->ScreenMinimum[1], records[i]};
    }
    CountTurns(count);
    for (int32_t width = 1; width < count; width *= 2) {
        for (int32_t lo = 0; lo < count; lo += 2 * width) {
            const int32_t mid = std::min(lo + width, count);
            const int32_t hi = std::min(lo + 2 * width, count);
            int32_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi) to[out++] = from[b].depth > from[a].depth ? from[b++] : from[a++];
            while (a < mid) to[out++] = from[a++];
            while (b < hi) to[out++] = from[b++];
        }
        CountTurns(count);
        std::swap(from, to);
    }
    for (int32_t i = 0; i < count; ++i) records[i] = from[i].record;
    CountTurns(count);
}

void FreeDrawOrderScratch()
{
    if (gSortScratch) gSortScratch->Destroy();
    gSortScratch = nullptr;
}
