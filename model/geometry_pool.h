// GeometryPool: room for the object geometry records of one model holder, handed out from blocks
// of many records side by side, so that a frame's walks over thousands of records read memory
// close together rather than a page apart; with the room of the records' contact lists. The pool
// lasts until its holder is gone and every record it gave room for has been given back (with the
// room of its contacts).
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/contact_room.h"

class GeometryPool {
public:
    // A new pool for records of `recordSize` bytes; null when memory is short.
    static GeometryPool* New(size_t recordSize);

    // Room for one record, or null when memory is short.
    void* Take();
    // Gives back the room of a record that is gone.
    void Give(void* place);
    // The holder is gone: the pool frees itself once every record is back.
    void HolderGone();
    // The room of the contact lists of the pool's records.
    ContactRoom* Contacts() { return &contacts_; }

private:
    explicit GeometryPool(size_t recordSize);
    ~GeometryPool();
    void FreeIfDone();

    // A block: the next block, then its records.
    struct Block {
        Block* next;
    };

    size_t recordSize_;
    Block* blocks_ = nullptr;
    // The unused rest of the newest block, and the records given back (each holding the next).
    char* fresh_ = nullptr;
    char* freshEnd_ = nullptr;
    void* given_ = nullptr;
    int64_t out_ = 0;
    ContactRoom contacts_;
    bool holderGone_ = false;
};
