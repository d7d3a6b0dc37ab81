// The pool of object geometry records: a holder's records side by side, rooms given back taken
// again, and records that outlive their holder keeping the pool until they go; the room of their
// contact lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"
#include "model/contact_room.h"
#include "model/geometry_pool.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "tests/model/model_test_support.h"

TEST(GeometryPool, RoomsSideBySideAndGivenBackRoomsTakenAgain)
{
    GeometryPool* pool = GeometryPool::New(160);
    ASSERT_NE(pool, nullptr);
    std::vector<char*> rooms(300);
    // Rooms come from blocks of 128 records, each block a call to the heap, and a room given back
    // from none.
    int64_t before = TurnsCounted();
    for (char*& room : rooms) room = static_cast<char*>(pool->Take());
    EXPECT_EQ(TurnsCounted() - before, 3 * kHeapBlockTurns);
    // Within a block each room follows the one before, aligned for any record.
    int32_t adjacent = 0;
    for (size_t i = 1; i < rooms.size(); ++i) adjacent += rooms[i] - rooms[i - 1] == 160;
    EXPECT_GT(adjacent, 290);
    for (char* room : rooms) EXPECT_EQ(reinterpret_cast<uintptr_t>(room) % alignof(std::max_align_t), 0u);
    pool->Give(rooms[7]);
    pool->Give(rooms[100]);
    before = TurnsCounted();
    EXPECT_EQ(pool->Take(), rooms[100]);
    EXPECT_EQ(pool->Take(), rooms[7]);
    EXPECT_EQ(TurnsCounted(), before);
    // Gone with its holder while rooms are out, the pool stays until the last is back.
    pool->HolderGone();
    for (char* room : rooms) pool->Give(room);
}

TEST(GeometryPool, AHoldersRecordsLieSideBySideAndMayOutliveIt)
{
    ModelHolder* holder = new ModelHolder;
    ASSERT_EQ(holder->ModelHolderInit(nullptr), kResultOk);
    std::vector<ModelObject*> boxes;
    for (int32_t i = 0; i < 20; ++i) boxes.push_back(MakeBox(holder, 20 * i, 0, 0, 20 * i + 10, 10, 10));
    for (size_t i = 1; i < boxes.size(); ++i) {
        const auto* a = reinterpret_cast<const char*>(boxes[i - 1]->GeometryAt(0));
        const auto* b = reinterpret_cast<const char*>(boxes[i]->GeometryAt(0));
        EXPECT_LT(b - a, 1024) << i;
        EXPECT_GT(b - a, 0) << i;
    }
    for (size_t i = 0; i < boxes.size() / 2; ++i) holder->Root->AddChild(boxes[i]);
    // The tree goes with the holder; the boxes never attached go after it.
    holder->ModelHolderDestroy();
    for (size_t i = boxes.size() / 2; i < boxes.size(); ++i) boxes[i]->Destroy();
}

TEST(ContactRoom, BlocksOfFewLengthsCarvedFromSlabsAndGivenBackBlocksTakenAgain)
{
    const std::vector<int32_t> entries = {2, 3, 4, 6, 8, 12, 16, 24, 32, 48};
    for (int32_t length = 0; length < int32_t(entries.size()); ++length) {
        EXPECT_EQ(ContactRoom::Entries(length), entries[size_t(length)]);
    }
    EXPECT_EQ(ContactRoom::Entries(ContactRoom::kLengths - 1), 3 << 24);
    ContactRoom room;
    // Blocks of 6 entries side by side, the first slab of 64 KB one call to the heap for 455.
    int64_t before = TurnsCounted();
    std::vector<ContactEntry*> blocks(455);
    for (ContactEntry*& block : blocks) block = ContactRoom::Take(&room, 3);
    EXPECT_EQ(TurnsCounted() - before, kHeapBlockTurns);
    for (size_t i = 1; i < blocks.size(); ++i) ASSERT_EQ(blocks[i], blocks[i - 1] + 6) << i;
    // Blocks given back are taken again by their length, the last first, at no call to the heap;
    // the slab full, a block of another length comes from a new one.
    ContactRoom::Give(&room, blocks[5], 3);
    ContactRoom::Give(&room, blocks[9], 3);
    before = TurnsCounted();
    EXPECT_EQ(ContactRoom::Take(&room, 3), blocks[9]);
    EXPECT_EQ(ContactRoom::Take(&room, 3), blocks[5]);
    EXPECT_EQ(TurnsCounted(), before);
    ContactEntry* longer = ContactRoom::Take(&room, 4);
    EXPECT_EQ(TurnsCounted() - before, kHeapBlockTurns);
    EXPECT_TRUE(longer < blocks.front() || longer >= blocks.back() + 6);
    // A block past a slab's share (2,048 entries), and any block without a room, is one of its
    // own from the heap each time.
    before = TurnsCounted();
    ContactEntry* large = ContactRoom::Take(&room, 20);
    ContactEntry* own = ContactRoom::Take(nullptr, 0);
    ASSERT_NE(large, nullptr);
    ASSERT_NE(own, nullptr);
    large[2047].Other = nullptr;
    EXPECT_EQ(TurnsCounted() - before, 2 * kHeapBlockTurns);
    ContactRoom::Give(&room, large, 20);
    ContactRoom::Give(nullptr, own, 0);
    EXPECT_EQ(ContactRoom::Take(&room, ContactRoom::kLengths), nullptr);
    EXPECT_EQ(ContactRoom::Take(&room, -1), nullptr);
}
