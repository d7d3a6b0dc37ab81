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
    std::vector<uint32_t> numbers(rooms.size());
    // Rooms come from blocks of 128 records, each block a call to the heap, as is the list of
    // blocks each time it doubles; a room given back comes from none.
    int64_t before = TurnsCounted();
    for (size_t i = 0; i < rooms.size(); ++i) rooms[i] = static_cast<char*>(pool->Take(&numbers[i]));
    EXPECT_EQ(TurnsCounted() - before, 6 * kHeapBlockTurns);
    // Within a block each room follows the one before, aligned for any record; each room is found
    // by its number, the numbers counting up from 0.
    int32_t adjacent = 0;
    for (size_t i = 1; i < rooms.size(); ++i) adjacent += rooms[i] - rooms[i - 1] == 160;
    EXPECT_GT(adjacent, 290);
    for (size_t i = 0; i < rooms.size(); ++i) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(rooms[i]) % alignof(std::max_align_t), 0u);
        EXPECT_EQ(numbers[i], uint32_t(i));
        EXPECT_EQ(pool->Record(numbers[i]), rooms[i]);
    }
    pool->Give(rooms[7], numbers[7]);
    pool->Give(rooms[100], numbers[100]);
    before = TurnsCounted();
    uint32_t number = 0;
    EXPECT_EQ(pool->Take(&number), rooms[100]);
    EXPECT_EQ(number, 100u);
    EXPECT_EQ(pool->Take(&number), rooms[7]);
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(TurnsCounted(), before);
    // Gone with its holder while rooms are out, the pool stays until the last is back.
    pool->HolderGone();
    for (size_t i = 0; i < rooms.size(); ++i) pool->Give(rooms[i], numbers[i]);
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
    // Blocks of 6 items side by side, the first slab of 64 KB one call to the heap for 1,365.
    int64_t before = TurnsCounted();
    std::vector<ContactItem*> blocks(1365);
    for (ContactItem*& block : blocks) block = room.Take(3);
    EXPECT_EQ(TurnsCounted() - before, kHeapBlockTurns);
    for (size_t i = 1; i < blocks.size(); ++i) ASSERT_EQ(blocks[i], blocks[i - 1] + 6) << i;
    // Blocks given back are taken again by their length, the last first, at no call to the heap;
    // the slab full, a block of another length comes from a new one.
    room.Give(blocks[5], 3);
    room.Give(blocks[9], 3);
    before = TurnsCounted();
    EXPECT_EQ(room.Take(3), blocks[9]);
    EXPECT_EQ(room.Take(3), blocks[5]);
    EXPECT_EQ(TurnsCounted(), before);
    ContactItem* longer = room.Take(4);
    EXPECT_EQ(TurnsCounted() - before, kHeapBlockTurns);
    EXPECT_TRUE(longer < blocks.front() || longer >= blocks.back() + 6);
    // A block past a slab's share (2,048 items) is one of its own from the heap each time.
    before = TurnsCounted();
    ContactItem* large = room.Take(21);
    ASSERT_NE(large, nullptr);
    large[3071].OtherNumber = 0;
    EXPECT_EQ(TurnsCounted() - before, kHeapBlockTurns);
    room.Give(large, 21);
    EXPECT_EQ(room.Take(ContactRoom::kLengths), nullptr);
    EXPECT_EQ(room.Take(-1), nullptr);
}

TEST(ContactRoom, PlanesKeptOnceForTheirContactsSeenTurnedByTheSecondAndTakenAgainOnceGone)
{
    ContactRoom room;
    const ShortVector3 point = {1, 2, 3};
    const ShortVector3 normal = {256, -32768, 0};
    uint32_t first = 0, again = 0, own = 0, other = 0;
    ASSERT_TRUE(room.UsePlane(point, normal, true, &first));
    ASSERT_TRUE(room.UsePlane(point, normal, true, &again));
    EXPECT_EQ(again, first);
    // A plane not shared is one of its own; so is one of another point or normal.
    ASSERT_TRUE(room.UsePlane(point, normal, false, &own));
    ASSERT_TRUE(room.UsePlane(point, {256, 0, 0}, true, &other));
    EXPECT_NE(own, first);
    EXPECT_NE(other, first);
    EXPECT_NE(other, own);
    // The record that found the contact sees the normal as kept, the other turned as far as a
    // short goes.
    const ContactPlane& plane = room.Plane(first);
    EXPECT_EQ(ContactSeen({9, first << 1}, plane).Normal, normal);
    const ContactEntry turned = ContactSeen({3, first << 1 | 1}, plane);
    EXPECT_EQ(turned.OtherNumber, 3u);
    EXPECT_EQ(turned.Point, point);
    EXPECT_EQ(turned.Normal, (ShortVector3{-256, 32767, 0}));
    // The plane stays while an item names it; gone, its number is the next plane's, and the
    // index no longer finds it.
    for (int32_t i = 0; i < 3; ++i) room.LeavePlane(first);
    ASSERT_TRUE(room.UsePlane({7, 7, 7}, normal, false, &again));
    EXPECT_NE(again, first);
    room.LeavePlane(first);
    ASSERT_TRUE(room.UsePlane({7, 7, 8}, normal, true, &again));
    EXPECT_EQ(again, first);
    EXPECT_EQ(room.Plane(first).Point, (ShortVector3{7, 7, 8}));
    ASSERT_TRUE(room.UsePlane(point, normal, true, &again));
    EXPECT_NE(again, first);
    // Many planes shared: each found again as the index grows.
    std::vector<uint32_t> numbers(5000);
    for (int16_t i = 0; i < 5000; ++i) ASSERT_TRUE(room.UsePlane({i, 0, 0}, {0, 0, 256}, true, &numbers[size_t(i)]));
    for (int16_t i = 0; i < 5000; i += 7) {
        ASSERT_TRUE(room.UsePlane({i, 0, 0}, {0, 0, 256}, true, &again));
        EXPECT_EQ(again, numbers[size_t(i)]) << i;
    }
}
