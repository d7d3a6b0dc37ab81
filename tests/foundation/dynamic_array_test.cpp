// DynamicArray: growth, locks, bounds, block moves, copies and both sorts.
#include "foundation/dynamic_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "foundation/memory_stream.h"

namespace {

struct Item {
    int32_t key;
    int32_t id;
};

// An array of Items ordered by key, counting comparisons and the stack they reach.
class ItemArray : public DynamicArray {
public:
    int32_t Compare(const void* a, const void* b) override
    {
        char marker;
        auto here = reinterpret_cast<uintptr_t>(&marker);
        lowest = std::min(lowest, here);
        highest = std::max(highest, here);
        calls++;
        return Order(*static_cast<const Item*>(a), *static_cast<const Item*>(b));
    }
    virtual int32_t Order(const Item& a, const Item& b) { return a.key < b.key ? -1 : a.key > b.key ? 1 : 0; }

    uintptr_t lowest = UINTPTR_MAX;
    uintptr_t highest = 0;
    int64_t calls = 0;
};

// Neither symmetric nor transitive: keys closer than 64 compare equal one way only, as the
// renderer's draw-order comparison does.
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
    std::vector<Item> items(size_t(array.ArrayCount()));
    if (!items.empty()) std::memcpy(items.data(), array.ArrayData(), items.size() * sizeof(Item));
    return items;
}

std::vector<int32_t> Ints(const DynamicArray& array)
{
    std::vector<int32_t> values(size_t(array.ArrayCount()));
    for (int32_t i = 0; i < array.ArrayCount(); i++) values[size_t(i)] = *array.At<int32_t>(i);
    return values;
}

Owned<DynamicArray> IntArray(std::vector<int32_t> values, int32_t growStep = 1)
{
    Owned<DynamicArray> array(NewDynamicArray(0, 4, growStep));
    for (int32_t v : values) array->Append(&v);
    return array;
}

// The sort as first written: recursion on both parts, pivot first in every comparison.
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

bool SameItems(const std::vector<Item>& a, const std::vector<Item>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const Item& x, const Item& y) { return x.key == y.key && x.id == y.id; });
}

}  // namespace

TEST(DynamicArray, InitRoundsCapacityToGrowStepsAndZeroFills)
{
    Owned<DynamicArray> a(NewDynamicArray(5, 2, 4));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->Capacity(), 8);
    EXPECT_EQ(a->ArrayCount(), 5);
    EXPECT_EQ(a->UsedBytes(), 10);
    const auto* bytes = static_cast<const uint8_t*>(a->ArrayData());
    EXPECT_TRUE(std::all_of(bytes, bytes + 16, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(a->ArraySetCount(9), kResultOk);
    EXPECT_EQ(a->Capacity(), 12);
    EXPECT_EQ(a->UsedBytes(), 18);

    Owned<DynamicArray> empty(NewDynamicArray(0, 4, 0));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GrowStep(), 1);
    EXPECT_EQ(empty->Capacity(), 1);
    EXPECT_NE(empty->ArrayData(), nullptr);
}

TEST(DynamicArray, RefusesNegativeCountsAndOversizedBlocks)
{
    DynamicArray a;
    EXPECT_EQ(a.Init(-1, 4, 1), kResultOutOfRange);
    EXPECT_EQ(a.ArrayCount(), 0);
    EXPECT_EQ(a.Capacity(), 0);

    DynamicArray big;
    EXPECT_EQ(big.Init(1, 0x40000000, 2), kResultOutOfMemory);  // two elements: 2^31 bytes
    EXPECT_EQ(big.ArrayData(), nullptr);
    EXPECT_EQ(big.ArrayCount(), 0);
    DynamicArray rounded;
    EXPECT_EQ(rounded.Init(0x7FFFFFF0, 1, 4096), kResultOutOfMemory);  // rounding passes 2^31
    EXPECT_EQ(rounded.Capacity(), 0);

    auto ints = IntArray({7, 8, 9});
    const void* block = ints->ArrayData();
    EXPECT_EQ(ints->ArraySetCount(-5), kResultOutOfRange);
    EXPECT_EQ(ints->ArraySetCount(0x20000000), kResultOutOfMemory);  // 4 x 2^29 bytes
    EXPECT_EQ(ints->ArraySetCount(0x7FFFFFFF), kResultOutOfMemory);
    EXPECT_EQ(ints->ArrayData(), block);
    EXPECT_EQ(ints->ArrayCount(), 3);
    EXPECT_EQ(ints->UsedBytes(), 12);
    EXPECT_EQ(Ints(*ints), (std::vector<int32_t>{7, 8, 9}));

    EXPECT_EQ(ints->ArrayRemoveRange(1, 0x7FFFFFFF), kResultOutOfRange);
    EXPECT_EQ(Ints(*ints), (std::vector<int32_t>{7}));
}

TEST(DynamicArray, GrowsByStepsKeepingContents)
{
    auto a = IntArray({}, 3);
    std::vector<int32_t> expected;
    for (int32_t i = 0; i < 100; i++) {
        int32_t v = i * 1000 + 1;
        EXPECT_EQ(a->Append(&v), i);
        expected.push_back(v);
        EXPECT_EQ(a->Capacity(), (i + 3) / 3 * 3);
    }
    EXPECT_EQ(Ints(*a), expected);
    // Elements that come back into use after growing past the capacity read as zero.
    ASSERT_EQ(a->ArraySetCount(110), kResultOk);
    for (int32_t i = 100; i < 110; i++) EXPECT_EQ(*a->At<int32_t>(i), 0);
}

TEST(DynamicArray, LockedArrayRefusesGrowthAndCountChangesButKeepsItsBlock)
{
    Owned<DynamicArray> a(NewDynamicArray(0, 4, 2));
    int32_t v = 1;
    a->Append(&v);
    void* block = a->ArrayLock();
    EXPECT_EQ(a->LockCount(), 1);
    v = 2;
    EXPECT_EQ(a->Append(&v), 1);  // room left: accepted while locked
    EXPECT_EQ(a->Append(&v), kResultLocked);
    EXPECT_EQ(a->Insert(0, &v), kResultLocked);
    EXPECT_EQ(a->ArraySetCount(0), kResultLocked);
    EXPECT_EQ(a->ArraySetCount(1000), kResultLocked);
    EXPECT_EQ(a->ArrayCount(), 2);
    EXPECT_EQ(a->ArrayData(), block);
    EXPECT_EQ(a->Remove(0), kResultOk);  // removal never needs the block replaced
    a->ArrayUnlock();
    a->ArrayUnlock();  // an unmatched unlock does not go below zero
    EXPECT_EQ(a->LockCount(), 0);
    EXPECT_EQ(a->Append(&v), 1);
    EXPECT_EQ(a->Append(&v), 2);
    EXPECT_EQ(a->Capacity(), 4);

    auto target = IntArray({1});
    target->ArrayLock();
    EXPECT_EQ(a->ArrayCopyTo(target.get()), kResultLocked);
    EXPECT_EQ(Ints(*target), (std::vector<int32_t>{1}));
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
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{5, 10, 20, 30, 40}));
    EXPECT_EQ(a->Remove(5), kResultOutOfRange);
    EXPECT_EQ(a->Remove(-1), kResultOutOfRange);
    EXPECT_EQ(a->ArrayRemoveRange(1, 2), kResultOk);
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{5, 30, 40}));

    // Removal keeps the bytes behind the count: raising the count brings them back.
    auto abc = IntArray({'A', 'B', 'C'});
    EXPECT_EQ(abc->Remove(0), kResultOk);
    EXPECT_EQ(Ints(*abc), (std::vector<int32_t>{'B', 'C'}));
    EXPECT_EQ(static_cast<int32_t*>(abc->ArrayData())[2], 'C');
    EXPECT_EQ(abc->ArraySetCount(3), kResultOk);
    EXPECT_EQ(Ints(*abc), (std::vector<int32_t>{'B', 'C', 'C'}));

    int32_t out = 0;
    EXPECT_EQ(abc->ArrayGet(2, &out), kResultOk);
    EXPECT_EQ(out, 'C');
    EXPECT_EQ(abc->ArrayGet(3, &out), kResultOutOfRange);
    EXPECT_EQ(abc->ArrayElementAt(3), nullptr);
    EXPECT_EQ(abc->ArrayElementAt(-1), nullptr);
    v = 'Z';
    EXPECT_EQ(abc->Set(3, &v), kResultOutOfRange);
    EXPECT_EQ(abc->Set(1, &v), kResultOk);
    EXPECT_EQ(abc->ArraySwap(0, 1), kResultOk);
    EXPECT_EQ(abc->ArraySwap(0, 3), kResultOutOfRange);
    EXPECT_EQ(Ints(*abc), (std::vector<int32_t>{'Z', 'B', 'C'}));
    v = 'C';
    EXPECT_EQ(abc->ArrayFind(&v), 2);
    v = 'Q';
    EXPECT_EQ(abc->ArrayFind(&v), kResultNotFound);
    EXPECT_EQ(IntArray({})->ArrayFind(&v), kResultNotFound);
}

TEST(DynamicArray, ElementsTakenFromTheArrayItself)
{
    // Append of an element of a full array: the block is replaced while the element is copied.
    auto a = IntArray({1, 2, 3});
    ASSERT_EQ(a->Capacity(), 3);
    EXPECT_EQ(a->Append(a->ArrayElementAt(1)), 3);
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{1, 2, 3, 2}));
    // Insert in place of an element that moves up.
    auto b = IntArray({1, 2, 3}, 8);
    EXPECT_EQ(b->Insert(0, b->ArrayElementAt(1)), kResultOk);
    EXPECT_EQ(Ints(*b), (std::vector<int32_t>{2, 1, 2, 3}));
    auto c = IntArray({1, 2, 3});
    EXPECT_EQ(c->Insert(1, c->ArrayElementAt(2)), kResultOk);
    EXPECT_EQ(Ints(*c), (std::vector<int32_t>{1, 3, 2, 3}));
}

TEST(DynamicArray, PopReverseAndPush)
{
    auto a = IntArray({1, 2, 3, 4, 5});
    EXPECT_EQ(a->Reverse(), 2);
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{5, 4, 3, 2, 1}));
    int32_t out = 0;
    EXPECT_EQ(a->ArrayPop(&out), &out);
    EXPECT_EQ(out, 1);
    int32_t v = 9;
    EXPECT_EQ(a->ArrayPush(&v), 4);
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{5, 4, 3, 2, 9}));

    auto empty = IntArray({});
    out = 77;
    EXPECT_EQ(empty->ArrayPop(&out), nullptr);
    EXPECT_EQ(out, 77);
    EXPECT_EQ(empty->ArrayCount(), 0);
    EXPECT_EQ(empty->Reverse(), 0);
}

TEST(DynamicArray, CopyToReexpressesTheTargetCapacity)
{
    Owned<DynamicArray> source(NewDynamicArray(3, 4, 8));
    for (int32_t i = 0; i < 3; i++) *source->At<int32_t>(i) = 100 + i;
    Owned<DynamicArray> target(NewDynamicArray(0, 1, 4096));
    const void* block = target->ArrayData();
    EXPECT_EQ(source->ArrayCopyTo(target.get()), kResultOk);
    EXPECT_EQ(target->Capacity(), 1024);
    EXPECT_EQ(target->ElementSize(), 4);
    EXPECT_EQ(target->GrowStep(), 8);
    EXPECT_EQ(target->ArrayData(), block);
    EXPECT_EQ(Ints(*target), (std::vector<int32_t>{100, 101, 102}));

    // A larger source replaces the block, rounded to the source's grow steps.
    ASSERT_EQ(source->ArraySetCount(1030), kResultOk);
    *source->At<int32_t>(1029) = -1;
    EXPECT_EQ(source->ArrayCopyTo(target.get()), kResultOk);
    EXPECT_EQ(target->Capacity(), 1032);
    EXPECT_EQ(*target->At<int32_t>(1029), -1);
    EXPECT_EQ(source->ArrayCopyTo(source.get()), kResultOk);
    EXPECT_EQ(source->ArrayCount(), 1030);
}

TEST(DynamicArray, InsertArrayKeepsOrderAndWorksOnItself)
{
    auto a = IntArray({1, 2, 3});
    auto b = IntArray({7, 8});
    EXPECT_EQ(a->ArrayInsertArray(b.get(), 1), kResultOk);
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{1, 7, 8, 2, 3}));
    EXPECT_EQ(a->ArrayInsertArray(a.get(), 2), kResultOk);
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{1, 7, 1, 7, 8, 2, 3, 8, 2, 3}));
    EXPECT_EQ(a->ArrayInsertArray(b.get(), 11), kResultOutOfRange);
    EXPECT_EQ(a->ArrayCount(), 10);

    // Elements of a smaller size arrive zero-extended, never read past their own block.
    Owned<DynamicArray> bytes(NewDynamicArray(2, 1, 1));
    static_cast<uint8_t*>(bytes->ArrayData())[0] = 0xAB;
    static_cast<uint8_t*>(bytes->ArrayData())[1] = 0xCD;
    auto wide = IntArray({-1});
    EXPECT_EQ(wide->ArrayInsertArray(bytes.get(), 0), kResultOk);
    EXPECT_EQ(Ints(*wide), (std::vector<int32_t>{0xAB, 0xCD, -1}));
}

TEST(DynamicArray, WriteMovesTheRawElementBytes)
{
    auto a = IntArray({0x01020304, 0x0A0B0C0D});
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(a->Write(&out), kResultOk);
    EXPECT_EQ(a->LockCount(), 0);
    int32_t size = 0;
    out.StreamSize(&size);
    ASSERT_EQ(size, 8);
    EXPECT_EQ(std::memcmp(out.Buffer()->ArrayData(), a->ArrayData(), 8), 0);

    out.StreamSetDirection(kStreamReading);
    out.StreamSetPosition(0);
    auto back = IntArray({});
    ASSERT_EQ(back->ArraySetCount(2), kResultOk);
    EXPECT_EQ(back->Write(&out), kResultOk);
    EXPECT_EQ(Ints(*back), Ints(*a));
}

TEST(DynamicArraySort, MatchesTheRecursiveSortExactly)
{
    std::mt19937 random(12345);
    for (int32_t round = 0; round < 200; round++) {
        const int32_t n = int32_t(random() % 300);
        const int32_t keys = round % 3 == 0 ? 4 : 1000;
        std::vector<Item> items;
        for (int32_t i = 0; i < n; i++) items.push_back({int32_t(random() % uint32_t(keys)), i});
        Owned<ItemArray> array = MakeItems(items, round % 2 ? new CoarseArray : new ItemArray);
        std::vector<Item> expected = items;
        if (n > 1) ReferenceQuickSort(expected, 0, n - 1, *array);
        array->ArraySort();
        ASSERT_TRUE(SameItems(Contents(*array), expected)) << "round " << round;
        EXPECT_EQ(array->LockCount(), 0);
    }
}

TEST(DynamicArraySort, EqualElementsUnderTheBaseCompareStayInPlace)
{
    Owned<DynamicArray> a(NewDynamicArray(0, 4, 1));
    for (int32_t v : {5, 3, 9, 1, 7}) a->Append(&v);
    a->ArraySort();
    EXPECT_EQ(Ints(*a), (std::vector<int32_t>{5, 3, 9, 1, 7}));

    auto single = MakeItems({{4, 0}});
    single->ArraySort();
    MakeItems({})->ArraySort();
    EXPECT_EQ(single->calls, 0);
}

// Sorted, reverse-sorted and equal inputs make every partition one-sided; the stack must not
// grow with the length (recursion on both sides would take one frame per element).
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
        std::vector<Item> result = Contents(*array);
        EXPECT_TRUE(std::is_sorted(result.begin(), result.end(), [](const Item& a, const Item& b) { return a.key < b.key; }));
    }
    // Equal elements never move.
    auto same = MakeItems(equal);
    same->ArraySort();
    EXPECT_TRUE(SameItems(Contents(*same), equal));
}

TEST(DynamicArraySort, SimpleSortOrdersAscending)
{
    std::mt19937 random(99);
    for (int32_t round = 0; round < 50; round++) {
        std::vector<Item> items;
        const int32_t n = int32_t(random() % 60);
        for (int32_t i = 0; i < n; i++) items.push_back({int32_t(random() % 20), i});
        auto array = MakeItems(items);
        array->ArraySortSimple();
        std::vector<Item> result = Contents(*array);
        std::vector<int32_t> keys, expected;
        for (const Item& item : result) keys.push_back(item.key);
        for (const Item& item : items) expected.push_back(item.key);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(keys, expected);
        EXPECT_EQ(array->LockCount(), 0);
    }
    auto empty = MakeItems({});
    empty->ArraySortSimple();
    EXPECT_EQ(empty->calls, 0);
}
