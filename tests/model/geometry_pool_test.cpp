// The pool of object geometry records: a holder's records side by side, rooms given back taken
// again, and records that outlive their holder keeping the pool until they go.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"
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
