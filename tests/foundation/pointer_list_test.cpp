// The typed pointer list: reads by type, missing lists and indexes, finding and removing the
// first of repeated pointers, and slot reads in a sort.
#include "foundation/pointer_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Entry {
    int32_t key;
};

// Entries ordered by key, read from the element slots the sort hands over.
class EntryList : public DynamicArray {
public:
    int32_t Compare(const void* a, const void* b) override
    {
        const int32_t first = PointerIn<const Entry>(a)->key;
        const int32_t second = PointerIn<const Entry>(b)->key;
        return (first > second) - (first < second);
    }
};

std::vector<int32_t> Keys(const DynamicArray* list)
{
    std::vector<int32_t> keys;
    for (int32_t i = 0; i < ListCount(list); ++i) keys.push_back(PointerAt<Entry>(list, i)->key);
    return keys;
}

TEST(PointerList, ReadsEachPointerByTypeAndNullOutsideTheList)
{
    Entry a{1}, b{2};
    DynamicArray* list = NewPointerList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(AppendPointer(list, &a), 0);
    EXPECT_EQ(AppendPointer(list, &b), 1);
    EXPECT_EQ(ListCount(list), 2);
    EXPECT_EQ(PointerAt<Entry>(list, 0), &a);
    EXPECT_EQ(PointerAt<Entry>(list, 1), &b);
    for (const int32_t index : {-1, 2, 1000}) EXPECT_EQ(PointerAt<Entry>(list, index), nullptr) << index;
    EXPECT_EQ(PointerAt<Entry>(nullptr, 0), nullptr);
    EXPECT_EQ(ListCount(nullptr), 0);
    list->Destroy();
}

TEST(PointerList, FindsAndRemovesTheFirstOfRepeatedPointers)
{
    Entry a{1}, b{2}, c{3};
    DynamicArray* list = NewPointerList();
    ASSERT_NE(list, nullptr);
    for (Entry* entry : {&a, &b, &a, &c}) AppendPointer(list, entry);
    EXPECT_EQ(FindPointer(list, &a), 0);
    EXPECT_EQ(FindPointer(list, &c), 3);
    RemovePointer(list, &a);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{2, 1, 3}));
    EXPECT_EQ(FindPointer(list, &a), 1);
    Entry absent{9};
    RemovePointer(list, &absent);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{2, 1, 3}));
    EXPECT_EQ(FindPointer(list, &absent), kResultNotFound);
    EXPECT_EQ(FindPointer(nullptr, &a), kResultNotFound);
    RemovePointer(nullptr, &a);
    list->Destroy();
}

TEST(PointerList, ASortReadsThePointersInItsSlots)
{
    Entry entries[] = {{5}, {-2}, {9}, {0}};
    auto* list = new EntryList;
    ASSERT_EQ(list->Init(0, int32_t(sizeof(Entry*)), 4), kResultOk);
    for (Entry& entry : entries) AppendPointer(list, &entry);
    list->ArraySort();
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{-2, 0, 5, 9}));
    list->Destroy();
}

}  // namespace
