// Read-ahead for the walks over the thousands of records a frame of a large scene makes: each
// record's data lies in blocks of its own (the record, its object, the object's vertex lists), so
// a walk that waits for each block in turn spends most of its time waiting. The walks ask for the
// blocks of the records a few places ahead while they work on the current one; asking changes
// nothing but when the memory arrives.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "render/observer.h"
#include "render/projection.h"

inline void Prefetch(const void* address)
{
    if (address) __builtin_prefetch(address);
}

// The fields a frame reads of every record (the first ones, from its object to its screen
// points).
inline void PrefetchRecordState(const ObjectGeometry* record)
{
    Prefetch(&record->Owner);
    Prefetch(&record->ScreenMinimum);
    Prefetch(&record->ScreenPoints);
}

// The place `distance` steps ahead of `index` in a walk of `step` (+1 or -1) through `count`
// places, or -1 beyond either end.
inline int32_t PlaceAhead(int32_t index, int32_t distance, int32_t step, int32_t count)
{
    const int32_t place = index + distance * step;
    return place >= 0 && place < count ? place : -1;
}

// The blocks a walk reads from each record's faces (whether they are drawn in layers, their
// surfaces' contacts and elements): the record, its list of faces, the faces, their surfaces.
inline void FacesReadAhead(ObjectGeometry* const* records, int32_t count, int32_t index, int32_t step)
{
    constexpr int32_t kRecordAhead = 32, kListAhead = 24, kFacesAhead = 16, kSurfacesAhead = 8;
    if (const int32_t k = PlaceAhead(index, kRecordAhead, step, count); k >= 0) PrefetchRecordState(records[k]);
    if (const int32_t k = PlaceAhead(index, kListAhead, step, count); k >= 0) Prefetch(records[k]->Polygons);
    if (const int32_t k = PlaceAhead(index, kFacesAhead, step, count); k >= 0 && records[k]->Polygons) {
        const DynamicArray* faces = records[k]->Polygons;
        PolygonRecord* const* face = faces->Elements<PolygonRecord*>();
        for (int32_t i = 0; i < faces->ArrayCount(); ++i) Prefetch(face[i]);
    }
    if (const int32_t k = PlaceAhead(index, kSurfacesAhead, step, count); k >= 0 && records[k]->Polygons) {
        const DynamicArray* faces = records[k]->Polygons;
        PolygonRecord* const* face = faces->Elements<PolygonRecord*>();
        for (int32_t i = 0; i < faces->ArrayCount(); ++i) {
            if (!face[i]) continue;
            Prefetch(&face[i]->ColourCode);
            if (const Surface* surface = face[i]->FaceSurface) {
                Prefetch(&surface->Elements[0]);
                Prefetch(&surface->SideCounters[2]);
            }
        }
    }
}

// The blocks the draw-order correction reads: the record, its contacts, the records they name.
inline void ContactsReadAhead(ObjectGeometry* const* records, int32_t count, int32_t index)
{
    constexpr int32_t kRecordAhead = 24, kListAhead = 16, kEntriesAhead = 10, kOthersAhead = 4;
    if (index + kRecordAhead < count) PrefetchRecordState(records[index + kRecordAhead]);
    if (index + kListAhead < count && records[index + kListAhead]->Contacts) {
        Prefetch(records[index + kListAhead]->Contacts);
    }
    if (index + kEntriesAhead < count && records[index + kEntriesAhead]->Contacts) {
        const ObjectGeometry* record = records[index + kEntriesAhead];
        const auto* data = reinterpret_cast<const uint8_t*>(record->Contacts);
        const size_t bytes = size_t(record->ContactCount()) * sizeof(ContactItem);
        for (size_t offset = 64; offset < bytes; offset += 64) Prefetch(data + offset);
    }
    if (index + kOthersAhead < count && records[index + kOthersAhead]->Contacts) {
        const ObjectGeometry* record = records[index + kOthersAhead];
        for (int32_t i = 0; i < record->ContactCount(); ++i) PrefetchRecordState(record->ContactOther(i));
    }
}

// The blocks the view test of a list's records reads: the record itself some places ahead; then,
// when its sphere lies in the view and its test is not yet made this frame, its object; then the
// object's list of world vertices; then the vertices.
class VisibilityReadAhead {
public:
    VisibilityReadAhead(ObjectGeometry* const* records, int32_t count, const Observer* observer)
        : records_(records), count_(count), observer_(observer), serial_(observer->Serial())
    {
    }

    // Called before the record at `index` is tested.
    void Before(int32_t index)
    {
        if (index + kRecordAhead < count_) {
            PrefetchRecordState(records_[index + kRecordAhead]);
        }
        if (index + kObjectAhead < count_) {
            const ObjectGeometry* g = records_[index + kObjectAhead];
            int16_t depth = 0;
            const bool wanted =
                g->VisSerial != serial_ && SphereVisibility(observer_, g->WorldCentre.x, g->WorldCentre.y,
                                                            g->WorldCentre.z, g->WorldRadius, &depth) != kInvisible;
            wanted_[(index + kObjectAhead) % kRing] = wanted;
            if (wanted) Prefetch(&g->Owner->WorldVertices);
        }
        if (index + kListAhead < count_ && wanted_[(index + kListAhead) % kRing])
            Prefetch(records_[index + kListAhead]->Owner->WorldVertices);
        if (index + kElementsAhead < count_ && wanted_[(index + kElementsAhead) % kRing]) {
            if (const DynamicArray* world = records_[index + kElementsAhead]->Owner->WorldVertices) {
                const auto* data = static_cast<const uint8_t*>(world->ArrayData());
                for (int32_t offset = 0; offset < world->UsedBytes(); offset += 64) Prefetch(data + offset);
            }
        }
    }

private:
    static constexpr int32_t kRecordAhead = 24;
    static constexpr int32_t kObjectAhead = 16;
    static constexpr int32_t kListAhead = 8;
    static constexpr int32_t kElementsAhead = 3;
    static constexpr int32_t kRing = 32;

    ObjectGeometry* const* records_;
    int32_t count_;
    const Observer* observer_;
    uint16_t serial_;
    bool wanted_[kRing] = {};
};
