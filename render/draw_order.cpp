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

// Whether the record touching `record` through its contact of the index may have to go first, as
// far as the frame tells it whatever the order: the contact plane faces the eye, and the other
// record is visible and overlaps the record on the screen.
bool MayGoFirst(const ObjectGeometry* record, int32_t index, const Observer* observer)
{
    const ObjectGeometry* other = record->ContactOther(index);
    if (!ContactPlaneFacing(record->ContactAt(index), observer) || !other->Visible) return false;
    if (other->ScreenMinimum[0] > record->ScreenMaximum[0] || record->ScreenMinimum[0] > other->ScreenMaximum[0])
        return false;
    return other->ScreenMinimum[2] <= record->ScreenMaximum[2] && record->ScreenMinimum[2] <= other->ScreenMaximum[2];
}

// A record's candidates up to this many are looked at whole at every visit; a longer list is kept
// in sorted order and looked at from where its last look left off.
constexpr int32_t kScannedCandidates = 16;

// Of the candidates [first, end) of the record at sorted place `own` (sorted places; in rising
// order when there are more than kScannedCandidates), the one not yet standing that stands
// nearest, into `*best` (-1: none). Records pulled forward and not yet standing stand nearest, the
// one pulled last first, then the others by their sorted places. A long list finds the nearest
// pulled one down the pulled records while they are no more than its candidates (else among the
// candidates), else the first in sorted order never pulled, past those the record's cursor has
// passed for good (each once: a record standing or pulled never comes back). The places looked
// at, one at least, as the correction spends them.
int64_t NearestCandidate(DrawOrderWork& work, int32_t own, int32_t first, int32_t end, int32_t* best)
{
    *best = -1;
    int64_t looked = 1;
    const int32_t* candidates = work.candidates.data();
    const auto waiting = [&](int32_t place) { return place != own && !work.stands[size_t(place)]; };
    if (end - first <= kScannedCandidates) {
        // Where a record not yet standing stands: the lower, the nearer the place looked at.
        const auto standing = [&work](int32_t place) {
            const int64_t when = work.pulledWhen[size_t(place)];
            return when > 0 ? -when : int64_t(place);
        };
        for (int32_t c = first; c < end; ++c) {
            const int32_t place = candidates[c];
            if (waiting(place) && (*best == -1 || standing(place) < standing(*best))) *best = place;
        }
        looked += end - first;
    } else if (int64_t(work.pulled.size()) <= end - first) {
        for (size_t k = work.pulled.size(); k-- > 0 && *best < 0;) {
            const int32_t place = work.pulled[k];
            ++looked;
            if (waiting(place) && std::binary_search(candidates + first, candidates + end, place)) *best = place;
        }
    } else {
        int64_t latest = 0;
        for (int32_t c = first; c < end; ++c) {
            const int32_t place = candidates[c];
            if (waiting(place) && work.pulledWhen[size_t(place)] > latest) {
                latest = work.pulledWhen[size_t(place)];
                *best = place;
            }
        }
        looked += end - first;
    }
    if (*best < 0) {
        int32_t& next = work.nextCandidate[size_t(own)];
        for (; next < end && (!waiting(candidates[next]) || work.pulledWhen[size_t(candidates[next])] > 0); ++next)
            ++looked;
        if (next < end) *best = candidates[next];
    }
    CountTurns(looked);
    return looked;
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
        if (!budget.Spend(FrameCost::kOrdered, r->ContactCount())) return;
        CountTurns(r->ContactCount());
        work.firstCandidate[size_t(own)] = int32_t(work.candidates.size());
        for (int32_t k = 0; k < r->ContactCount(); ++k) {
            if (!MayGoFirst(r, k, observer)) continue;
            // Only records of this list count.
            const ObjectGeometry* other = r->ContactOther(k);
            const int32_t place = other->DrawIndex;
            if (place >= 0 && place < count && records[place] == other) work.candidates.push_back(place);
        }
        // A long list in the order of its sorted places, each once.
        const auto from = work.candidates.begin() + work.firstCandidate[size_t(own)];
        if (work.candidates.end() - from > kScannedCandidates) {
            std::sort(from, work.candidates.end());
            work.candidates.erase(std::unique(from, work.candidates.end()), work.candidates.end());
            CountTurns(2 * int64_t(work.candidates.end() - from));
        }
        work.endCandidate[size_t(own)] = int32_t(work.candidates.size());
    }
    CountTurns(memberCount);
    // The correction pulls a record forward to the place being looked at, in front of the record
    // standing there, and looks at the place again. Records before the place stand for good; those
    // after it stand in two runs, first the records pulled forward, the one pulled last first, then
    // the others in their sorted order: so which of two records stands first follows from when
    // each was pulled, or from their sorted places, and no place moves when a record is pulled.
    work.pulledAt.assign(size_t(count), -1);
    work.pulledWhen.assign(size_t(count), 0);
    work.stands.assign(size_t(count), 0);
    work.sorted.assign(records, records + count);
    work.pulled.clear();
    work.nextCandidate = work.firstCandidate;
    CountTurns(count);
    int64_t clock = 0;
    int32_t nextSorted = 0;
    // The places visited and the records stepped past in the two runs, counted as the correction
    // ends.
    int64_t visits = 0;
    int64_t steps = 0;
    int32_t i = 0;
    while (i < count) {
        ++visits;
        // The record at the place: the one pulled last that does not stand yet (a record pulled
        // again is met again above where it was first pulled, and stands by the time that comes
        // up), else the first of the sorted run neither pulled nor standing.
        while (!work.pulled.empty() && work.stands[size_t(work.pulled.back())]) {
            work.pulled.pop_back();
            ++steps;
        }
        if (work.pulled.empty()) {
            while (work.pulledWhen[size_t(nextSorted)] > 0 || work.stands[size_t(nextSorted)]) {
                ++nextSorted;
                ++steps;
            }
        }
        const int32_t own = work.pulled.empty() ? nextSorted : work.pulled.back();
        if (work.pulledAt[size_t(own)] != i) {
            // Of the records after this place that may go first, the nearest-drawn one.
            const int32_t first = work.firstCandidate[size_t(own)];
            const int32_t end = work.endCandidate[size_t(own)];
            int32_t best = -1;
            if (!budget.Spend(FrameCost::kOrdered, NearestCandidate(work, own, first, end, &best))) break;
            if (best >= 0) {
                work.pulledAt[size_t(own)] = i;
                work.pulledWhen[size_t(best)] = ++clock;
                work.pulled.push_back(best);
                continue;
            }
        }
        work.stands[size_t(own)] = 1;
        records[i] = work.sorted[size_t(own)];
        ++i;
    }
    CountTurns(visits + steps);
    // Cut short, the records not yet standing keep their sorted order.
    for (int32_t k = 0; i < count; ++k) {
        if (!work.stands[size_t(k)]) records[i++] = work.sorted[size_t(k)];
    }
    for (int32_t k = 0; k < count; ++k) {
        if (k + kStateAhead < count) PrefetchRecordState(records[k + kStateAhead]);
        records[k]->DrawIndex = k;
    }
    CountTurns(2 * int64_t(count));
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
