// GeometryPool: room for the object geometry records of one model holder, handed out from blocks
// of many records side by side, so that a frame's walks over thousands of records read memory
// close together rather than a page apart, each by its number in the pool (the contact lists name
// their records by it: half a pointer); with the room of the records' contact lists. The pool
// lasts until its holder is gone and every record it gave room for has been given back (with the
// room of its contacts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/contact_room.h"

class GeometryPool {
public:
    // A new pool for records of `recordSize` bytes; null when memory is short.
    static GeometryPool* New(size_t recordSize);

    // Room for one record, or null when memory is short; `*number` takes its number.
    void* Take(uint32_t* number);
    // The room of the record of the number.
    void* Record(uint32_t number) const
    {
        return blocks_[number / kRecordsPerBlock] + size_t(number % kRecordsPerBlock) * recordSize_;
    }
    // Gives back the room of the record of the number, which is gone.
    void Give(void* place, uint32_t number);
    // The holder is gone: the pool frees itself once every record is back.
    void HolderGone();
    // The room of the contact lists of the pool's records.
    ContactRoom* Contacts() { return &contacts_; }

private:
    explicit GeometryPool(size_t recordSize);
    ~GeometryPool();
    void FreeIfDone();

    // Records a block holds: blocks of some 20 KB for records of 160 bytes.
    static constexpr uint32_t kRecordsPerBlock = 128;
    // A room given back: the next given back, and its number.
    struct Given {
        Given* next;
        uint32_t number;
    };

    size_t recordSize_;
    // The blocks, each of kRecordsPerBlock records in the order of their numbers.
    std::vector<char*> blocks_;
    // The number of the next record of the newest block (kRecordsPerBlock when there is none),
    // and the rooms given back.
    uint32_t fresh_ = kRecordsPerBlock;
    Given* given_ = nullptr;
    int64_t out_ = 0;
    ContactRoom contacts_;
    bool holderGone_ = false;
};
