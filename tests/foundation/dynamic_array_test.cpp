// DynamicArray: growth, locks, bounds, block moves, copies and both sorts.
#include "foundation/dynamic_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

namespace {

using Ints = std::vector<int32_t>;

struct Item {
    int32_t key;
    int32_t id;
};

// Items ordered by key; records the comparisons and the stack addresses they run at.
class ItemArray : public DynamicArray {
public:
    int32_t Compare(const void* a, const void* b) override
    {
        char marker;
        lowest = std::min(lowest, reinterpret_cast<uintptr_t>(&marker));
        highest = std::max(highest, reinterpret_cast<uintptr_t>(&marker));
        calls++;
        return Order(*static_cast<const Item*>(a), *static_cast<const Item*>(b));
    }
    virtual int32_t Order(const Item& a, const Item& b) { return a.key < b.key ? -1 : a.key > b.key ? 1 : 0; }
    uintptr_t lowest = UINTPTR_MAX, highest = 0;
    int64_t calls = 0;
};

// Neither symmetric nor transitive, like the renderer's draw-order comparison.
class CoarseArray : public ItemArray {
public:
    int32_t Order(const Item& a, const Item& b) override { return (b.key - a.key) >> 6; }
};

Owned<ItemArray> MakeItems(const std::vector<Item>& items, ItemArray* array = new ItemArray)
{
    EXPECT_EQ(array->Init(int32_t(items.size()), sizeof(Item), 16), kResultOk);
    if (!items.empty()) std::memcpy(array->ArrayData(), items.data(), items.size() * sizeof(Item));
    return Owned<ItemArray>(array);
}

std::vector<Item> Contents(const DynamicArray& array)
{
    const auto* items = static_cast<const Item*>(array.ArrayData());
    return std::vector<Item>(items, items + array.ArrayCount());
}

bool operator==(const Item& a, const Item& b) { return a.key == b.key && a.id == b.id; }

Owned<DynamicArray> IntArray(const Ints& values, int32_t growStep = 1)
{
    Owned<DynamicArray> array(NewDynamicArray(0, 4, growStep));
    for (int32_t v : values) array->Append(&v);
    return array;
}

Ints Values(const DynamicArray& array)
{
    const auto* values = static_cast<const int32_t*>(array.ArrayData());
    return Ints(values, values + array.ArrayCount());
}

// The sort as first designed: recursion on both parts, the pivot first in every comparison.
void ReferenceQuickSort(std::vector<Item>& a, int32_t lo, int32_t hi, ItemArray& order)
{
    const Item pivot = a[size_t(lo)];
    int32_t i = lo + 1, j = hi;
    while (i <= j) {
        while (j >= lo && order.Order(pivot, a[size_t(j)]) <= 0) j--;
        while (i <= hi && order.Order(pivot, a[size_t(i)]) > 0) i++;
        if (i < j) std::swap(a[size_t(i++)], a[size_t(j--)]);
    }
    if (j > lo) {
        std::swap(a[size_t(lo)], a[size_t(j)]);
        if (j - 1 > lo) ReferenceQuickSort(a, lo, j - 1, order);
    }
    if (i < hi) ReferenceQuickSort(a, i, hi, order);
}

}  // namespace

TEST(DynamicArray, GrowsByWholeStepsIntoZeroFilledBlocks)
{
    Owned<DynamicArray> a(NewDynamicArray(5, 2, 4));
    EXPECT_EQ(a->Capacity(), 8);
    EXPECT_EQ(a->UsedBytes(), 10);
    const auto* bytes = static_cast<const uint8_t*>(a->ArrayData());
    EXPECT_TRUE(std::all_of(bytes, bytes + 16, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(a->ArraySetCount(9), kResultOk);
    EXPECT_EQ(a->Capacity(), 12);

    Owned<DynamicArray> empty(NewDynamicArray(0, 4, 0));  // grow step 0 counts as 1
    EXPECT_EQ(empty->Capacity(), 1);
    EXPECT_NE(empty->ArrayData(), nullptr);

    auto ints = IntArray({}, 3);
    Ints expected;
    for (int32_t i = 0; i < 100; i++) {
        int32_t v = i * 1000 + 1;
        ASSERT_EQ(ints->Append(&v), i);
        expected.push_back(v);
        ASSERT_EQ(ints->Capacity(), (i + 3) / 3 * 3);
    }
    EXPECT_EQ(Values(*ints), expected);
    ASSERT_EQ(ints->ArraySetCount(110), kResultOk);
    for (int32_t i = 100; i < 110; i++) EXPECT_EQ(*ints->At<int32_t>(i), 0);
}

TEST(DynamicArray, LargeArraysKeepTheirStepsAndZeroFill)
{
    // Past 4 KB the block runs ahead of the capacity, which still grows by one step at a time;
    // what grows into the block is zero, even where removed elements lay.
    auto ints = IntArray({}, 3);
    for (int32_t i = 0; i < 1500; i++) {
        const int32_t v = i + 1;
        ASSERT_EQ(ints->Append(&v), i);
        ASSERT_EQ(ints->Capacity(), (i + 3) / 3 * 3);
    }
    const void* block = ints->ArrayData();
    ASSERT_EQ(ints->Remove(0), kResultOk);
    ASSERT_EQ(ints->ArraySetCount(1503), kResultOk);
    EXPECT_EQ(ints->Capacity(), 1503);
    EXPECT_EQ(ints->ArrayData(), block);
    for (int32_t i = 0; i < 1499; i++) ASSERT_EQ(*ints->At<int32_t>(i), i + 2);
    for (int32_t i = 1499; i < 1503; i++) EXPECT_EQ(*ints->At<int32_t>(i), 0);
    // A copy into an array of another element size and step keeps every byte.
    Owned<DynamicArray> bytes(NewDynamicArray(0, 1, 5000));
    ASSERT_EQ(ints->ArrayCopyTo(bytes.get()), kResultOk);
    EXPECT_EQ(bytes->ArrayCount(), 1503);
    EXPECT_EQ(std::memcmp(bytes->ArrayData(), ints->ArrayData(), 1503 * 4), 0);
}

TEST(DynamicArray, RefusesNegativeCountsAndBlocksBeyondTwoGigabytes)
{
    DynamicArray negative, huge, rounded;
    EXPECT_EQ(negative.Init(-1, 4, 1), kResultOutOfRange);
    EXPECT_EQ(negative.Capacity(), 0);
    EXPECT_EQ(huge.Init(1, 0x40000000, 2), kResultOutOfMemory);  // two elements: 2^31 bytes
    EXPECT_EQ(huge.ArrayData(), nullptr);
    EXPECT_EQ(rounded.Init(0x7FFFFFF0, 1, 4096), kResultOutOfMemory);  // rounding passes 2^31
    EXPECT_EQ(rounded.ArrayCount(), 0);

    auto ints = IntArray({7, 8, 9});
    const void* block = ints->ArrayData();
    EXPECT_EQ(ints->ArraySetCount(-5), kResultOutOfRange);
    EXPECT_EQ(ints->ArraySetCount(0x20000000), kResultOutOfMemory);  // 4 x 2^29 bytes
    EXPECT_EQ(ints->ArraySetCount(0x7FFFFFFF), kResultOutOfMemory);
    EXPECT_EQ(ints->ArrayData(), block);
    EXPECT_EQ(ints->UsedBytes(), 12);
    EXPECT_EQ(Values(*ints), (Ints{7, 8, 9}));
    EXPECT_EQ(ints->ArrayRemoveRange(1, 0x7FFFFFFF), kResultOutOfRange);
    EXPECT_EQ(Values(*ints), (Ints{7}));
}

TEST(DynamicArray, LockedArrayRefusesGrowthAndCountChangesButKeepsItsBlock)
{
    auto a = IntArray({1}, 2);
    void* block = a->ArrayLock();
    int32_t v = 2;
    EXPECT_EQ(a->Append(&v), 1);  // room left: accepted while locked
    EXPECT_EQ(a->Append(&v), kResultLocked);
    EXPECT_EQ(a->Insert(0, &v), kResultLocked);
    EXPECT_EQ(a->ArraySetCount(0), kResultLocked);
    EXPECT_EQ(a->ArraySetCount(1000), kResultLocked);
    auto target = IntArray({1});
    EXPECT_EQ(target->ArrayCopyTo(a.get()), kResultLocked);
    EXPECT_EQ(Values(*a), (Ints{1, 2}));
    EXPECT_EQ(a->ArrayData(), block);
    a->ArrayLock();
    EXPECT_EQ(a->ArrayUnlock(), 1) << "the count left";
    EXPECT_EQ(a->ArrayUnlock(), 0);
    EXPECT_EQ(a->ArrayUnlock(), 0) << "an unmatched unlock does not go below zero";
    EXPECT_EQ(a->LockCount(), 0);
    EXPECT_EQ(a->Append(&v), 2);
}

TEST(DynamicArray, InsertRemoveAndBounds)
{
    auto a = IntArray({10, 20, 30});
    int32_t v = 40;
    EXPECT_EQ(a->Insert(3, &v), kResultOk);  // index count appends
    EXPECT_EQ(a->Insert(5, &v), kResultOutOfRange);
    EXPECT_EQ(a->Insert(-1, &v), kResultOutOfRange);
    v = 5;
    EXPECT_EQ(a->Insert(0, &v), kResultOk);
    EXPECT_EQ(a->Remove(5), kResultOutOfRange);
    EXPECT_EQ(a->ArrayRemoveRange(1, 2), kResultOk);
    EXPECT_EQ(Values(*a), (Ints{5, 30, 40}));
    EXPECT_EQ(a->Reverse(), 1);
    EXPECT_EQ(a->ArraySwap(0, 3), kResultOutOfRange);
    int32_t out = 0;
    EXPECT_EQ(a->ArrayPop(&out), &out);
    EXPECT_EQ(out, 5);
    EXPECT_EQ(Values(*a), (Ints{40, 30}));
    EXPECT_EQ(a->ArrayGet(2, &out), kResultOutOfRange);
    EXPECT_EQ(a->ArrayElementAt(-1), nullptr);
    EXPECT_EQ(a->ArrayFind(&out), kResultNotFound);
    EXPECT_EQ(IntArray({})->ArrayPop(&out), nullptr);

    // Removal keeps the bytes behind the count: raising the count brings them back.
    auto abc = IntArray({'A', 'B', 'C'});
    EXPECT_EQ(abc->Remove(0), kResultOk);
    EXPECT_EQ(abc->ArraySetCount(3), kResultOk);
    EXPECT_EQ(Values(*abc), (Ints{'B', 'C', 'C'}));
    v = 'C';
    EXPECT_EQ(abc->ArrayFind(&v), 1);

    // A range goes, and an array comes in, in one move of what follows: the turns counted are
    // the elements moved, not those moved again for every element.
    auto many = IntArray({});
    ASSERT_EQ(many->ArraySetCount(20000), kResultOk);
    int64_t before = TurnsCounted();
    EXPECT_EQ(many->ArrayRemoveRange(100, 10099), kResultOk);
    EXPECT_EQ(TurnsCounted() - before, 19900);
    auto ten = IntArray({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    before = TurnsCounted();
    EXPECT_EQ(many->ArrayInsertArray(ten.get(), 0), kResultOk);
    EXPECT_EQ(TurnsCounted() - before, 10000 + 10);  // the elements moved, and those inserted
    EXPECT_EQ(many->ArrayCount(), 10010);
}

TEST(DynamicArray, ElementsTakenFromTheArrayItself)
{
    auto full = IntArray({1, 2, 3});  // full: the block is replaced while the element is copied
    EXPECT_EQ(full->Append(full->ArrayElementAt(1)), 3);
    EXPECT_EQ(Values(*full), (Ints{1, 2, 3, 2}));
    auto roomy = IntArray({1, 2, 3}, 8);  // the element moves up before it is copied
    EXPECT_EQ(roomy->Insert(0, roomy->ArrayElementAt(1)), kResultOk);
    EXPECT_EQ(Values(*roomy), (Ints{2, 1, 2, 3}));
    auto grown = IntArray({1, 2, 3});
    EXPECT_EQ(grown->Insert(1, grown->ArrayElementAt(2)), kResultOk);
    EXPECT_EQ(Values(*grown), (Ints{1, 3, 2, 3}));
}

TEST(DynamicArray, ShortListsLiveInTheArrayAndMoveOutWhole)
{
    // Four pairs of ints fit the array's own block; the fifth moves every pair to the heap, the
    // element appended from the array itself included, and what lies beyond is zero.
    Owned<DynamicArray> pairs(NewDynamicArray(0, 8, 4));
    auto inside = [&pairs] {
        const auto* data = static_cast<const uint8_t*>(pairs->ArrayData());
        const auto* object = reinterpret_cast<const uint8_t*>(pairs.get());
        return data >= object && data < object + sizeof(DynamicArray);
    };
    for (int32_t i = 0; i < 4; i++) {
        const int32_t pair[2] = {i, -i};
        ASSERT_EQ(pairs->Append(pair), i);
    }
    EXPECT_TRUE(inside());
    ASSERT_EQ(pairs->Append(pairs->ArrayElementAt(3)), 4);
    EXPECT_FALSE(inside());
    ASSERT_EQ(pairs->ArraySetCount(8), kResultOk);
    const int32_t expected[16] = {0, 0, 1, -1, 2, -2, 3, -3, 3, -3, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(pairs->ArrayData(), expected, sizeof expected), 0);

    // A list made empty whose first step the array cannot hold takes no block until it holds an
    // element, and then one step's; the list object itself is a block of the heap.
    const int64_t before = TurnsCounted();
    Owned<DynamicArray> vertices(NewDynamicArray(0, 12, 8));
    EXPECT_EQ(TurnsCounted() - before, kHeapBlockTurns);
    EXPECT_EQ(vertices->Capacity(), 0);
    const int32_t vertex[3] = {1, 2, 3};
    ASSERT_EQ(vertices->Append(vertex), 0);
    EXPECT_EQ(vertices->Capacity(), 8);
    EXPECT_EQ(TurnsCounted() - before, 2 * kHeapBlockTurns + 8);

    // A locked short list keeps its elements where they are and refuses to grow out.
    Owned<DynamicArray> locked(NewDynamicArray(4, 8, 4));
    void* block = locked->ArrayLock();
    const int32_t pair[2] = {7, 7};
    EXPECT_EQ(locked->Append(pair), kResultLocked);
    EXPECT_EQ(locked->ArrayData(), block);
    locked->ArrayUnlock();

    // A copy of a long list into a short one takes it out of the array whole.
    auto ints = IntArray({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Owned<DynamicArray> copy(NewDynamicArray(0, 4, 1));
    ASSERT_EQ(ints->ArrayCopyTo(copy.get()), kResultOk);
    EXPECT_EQ(Values(*copy), Values(*ints));
}

TEST(DynamicArray, CopyToReexpressesTheTargetCapacity)
{
    Owned<DynamicArray> source(NewDynamicArray(3, 4, 8));
    for (int32_t i = 0; i < 3; i++) *source->At<int32_t>(i) = 100 + i;
    Owned<DynamicArray> target(NewDynamicArray(1, 1, 4096));
    const void* block = target->ArrayData();
    EXPECT_EQ(source->ArrayCopyTo(target.get()), kResultOk);
    EXPECT_EQ(target->Capacity(), 1024);
    EXPECT_EQ(target->GrowStep(), 8);
    EXPECT_EQ(target->ArrayData(), block);
    EXPECT_EQ(Values(*target), (Ints{100, 101, 102}));

    ASSERT_EQ(source->ArraySetCount(1030), kResultOk);
    *source->At<int32_t>(1029) = -1;
    EXPECT_EQ(source->ArrayCopyTo(target.get()), kResultOk);
    EXPECT_EQ(target->Capacity(), 1032);
    EXPECT_EQ(*target->At<int32_t>(1029), -1);
}

TEST(DynamicArray, InsertArrayKeepsOrderAndWorksOnItself)
{
    auto a = IntArray({1, 2, 3});
    auto b = IntArray({7, 8});
    EXPECT_EQ(a->ArrayInsertArray(b.get(), 1), kResultOk);
    EXPECT_EQ(a->ArrayInsertArray(a.get(), 2), kResultOk);
    EXPECT_EQ(Values(*a), (Ints{1, 7, 1, 7, 8, 2, 3, 8, 2, 3}));
    EXPECT_EQ(a->ArrayInsertArray(b.get(), 11), kResultOutOfRange);
    // Another array's elements go in straight from it; an array's own from a copy of them, a block
    // of the heap that the insertion counts.
    auto c = IntArray({1, 2, 3}, 64);
    auto d = IntArray({1, 2, 3}, 64);
    auto e = IntArray({4, 5, 6}, 64);
    int64_t before = TurnsCounted();
    ASSERT_EQ(c->ArrayInsertArray(e.get(), 1), kResultOk);
    const int64_t other = TurnsCounted() - before;
    before = TurnsCounted();
    ASSERT_EQ(d->ArrayInsertArray(d.get(), 1), kResultOk);
    EXPECT_EQ(TurnsCounted() - before, other + kHeapBlockTurns);
    EXPECT_EQ(Values(*c), (Ints{1, 4, 5, 6, 2, 3}));
    EXPECT_EQ(Values(*d), (Ints{1, 1, 2, 3, 2, 3}));

    // Smaller elements arrive zero-extended, never read past their own block.
    Owned<DynamicArray> bytes(NewDynamicArray(2, 1, 1));
    static_cast<uint8_t*>(bytes->ArrayData())[0] = 0xAB;
    static_cast<uint8_t*>(bytes->ArrayData())[1] = 0xCD;
    auto wide = IntArray({-1});
    EXPECT_EQ(wide->ArrayInsertArray(bytes.get(), 0), kResultOk);
    EXPECT_EQ(Values(*wide), (Ints{0xAB, 0xCD, -1}));
}

TEST(DynamicArraySort, MatchesTheRecursiveSortExactly)
{
    std::mt19937 random(12345);
    for (int32_t round = 0; round < 200; round++) {
        const int32_t n = int32_t(random() % 300);
        const uint32_t keys = round % 3 == 0 ? 4 : 1000;
        std::vector<Item> items;
        for (int32_t i = 0; i < n; i++) items.push_back({int32_t(random() % keys), i});
        Owned<ItemArray> array = MakeItems(items, round % 2 ? new CoarseArray : new ItemArray);
        std::vector<Item> expected = items;
        if (n > 1) ReferenceQuickSort(expected, 0, n - 1, *array);
        array->ArraySort();
        ASSERT_EQ(Contents(*array), expected) << "round " << round;
        EXPECT_EQ(array->LockCount(), 0);
    }
    // The base comparison finds every pair equal: nothing moves.
    auto ints = IntArray({5, 3, 9, 1, 7});
    ints->ArraySort();
    EXPECT_EQ(Values(*ints), (Ints{5, 3, 9, 1, 7}));
    auto single = MakeItems({{4, 0}});
    single->ArraySort();
    EXPECT_EQ(single->calls, 0);
}

// Sorted, reverse-sorted and equal inputs make every partition one-sided; the stack must not
// grow with the length (recursion into both sides takes one frame per element).
TEST(DynamicArraySort, DegenerateInputsKeepTheStackShallow)
{
    constexpr int32_t n = 3000;
    std::vector<Item> sorted, reversed, equal;
    for (int32_t i = 0; i < n; i++) {
        sorted.push_back({i, i});
        reversed.push_back({n - i, i});
        equal.push_back({42, i});
    }
    for (const auto* input : {&sorted, &reversed, &equal}) {
        auto array = MakeItems(*input);
        array->ArraySort();
        EXPECT_LT(array->highest - array->lowest, 16u * 1024u);
        const std::vector<Item> result = Contents(*array);
        EXPECT_TRUE(std::is_sorted(result.begin(), result.end(), [](const Item& a, const Item& b) { return a.key < b.key; }));
        if (input == &equal) {
            EXPECT_EQ(result, equal);  // equal elements never move
        }
    }
}

TEST(DynamicArraySort, SimpleSortOrdersAscending)
{
    std::mt19937 random(99);
    for (int32_t round = 0; round < 50; round++) {
        std::vector<Item> items;
        for (int32_t i = int32_t(random() % 60); i > 0; i--) items.push_back({int32_t(random() % 20), i});
        auto array = MakeItems(items);
        array->ArraySortSimple();
        const std::vector<Item> result = Contents(*array);
        EXPECT_TRUE(std::is_sorted(result.begin(), result.end(), [](const Item& a, const Item& b) { return a.key < b.key; }));
        EXPECT_TRUE(std::is_permutation(result.begin(), result.end(), items.begin(), items.end()));
    }
}
