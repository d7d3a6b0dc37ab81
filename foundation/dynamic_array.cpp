// DynamicArray: growth in whole grow steps into new zero-filled blocks (a short list's inside the
// array object), block moves for inserts and removals, and the in-place quicksort.
#include "foundation/dynamic_array.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/memory_stream.h"
#include "foundation/system_weights.h"

namespace {

// A block's byte count must fit the signed 32-bit used-bytes field.
constexpr int64_t kMaxBlockBytes = std::numeric_limits<int32_t>::max();
// Blocks of this many bytes and more are made a power of two long (see Regrow).
constexpr int64_t kReserveFromBytes = 4096;

// n rounded up to whole grow steps (at least one step), in 64 bits.
int64_t RoundUpToSteps(int64_t n, int32_t step)
{
    if (n <= 0) return step;
    return (n + step - 1) / step * step;
}

// The length of the block that holds `bytes`: the bytes themselves for a small block, else the
// next power of two (within the largest block). Never less than `bytes`, and never less for more.
int64_t BlockLength(int64_t bytes)
{
    if (bytes < kReserveFromBytes) return bytes;
    int64_t length = kReserveFromBytes;
    while (length < bytes) length *= 2;
    return std::min(length, kMaxBlockBytes);
}

// A zero-filled block for capacity x size bytes, or null when it is too large or unavailable.
uint8_t* NewBlock(int64_t capacity, int32_t elementSize)
{
    const int64_t bytes = capacity * elementSize;
    if (capacity < 0 || bytes > kMaxBlockBytes) return nullptr;
    CountTurns(kHeapBlockTurns);
    return static_cast<uint8_t*>(std::calloc(size_t(bytes > 0 ? BlockLength(bytes) : 1), 1));
}

bool Inside(const void* p, const void* block, int64_t bytes)
{
    auto address = reinterpret_cast<uintptr_t>(p);
    auto start = reinterpret_cast<uintptr_t>(block);
    return block && address >= start && address < start + uint64_t(bytes);
}

}  // namespace

DynamicArray::~DynamicArray()
{
    FreeBlock();
}

int64_t DynamicArray::BlockReach() const
{
    return HoldsInline() ? kInlineBytes : BlockLength(int64_t(capacity_) * elementSize_);
}

void DynamicArray::FreeBlock()
{
    if (!HoldsInline()) std::free(data_);
}

DynamicArray* NewDynamicArray(int32_t initialCount, int32_t elementSize, int32_t growStep)
{
    auto* array = new (std::nothrow) DynamicArray;
    if (!array) return nullptr;
    if (array->Init(initialCount, elementSize, growStep) != kResultOk) {
        array->Destroy();
        return nullptr;
    }
    return array;
}

ResultCode DynamicArray::Write(MemoryStream* stream)
{
    ArrayLock();
    ResultCode result = stream->TransferBytes(data_, usedBytes_);
    ArrayUnlock();
    CountTurns(count_);
    return result;
}

ResultCode DynamicArray::Init(int32_t initialCount, int32_t elementSize, int32_t growStep)
{
    growStep_ = growStep > 0 ? growStep : 1;
    elementSize_ = elementSize > 0 ? elementSize : 0;
    lockCount_ = 0;
    count_ = capacity_ = usedBytes_ = 0;
    if (initialCount < 0 || elementSize <= 0 || growStep < 0) return kResultOutOfRange;

    const int64_t capacity = RoundUpToSteps(initialCount, growStep_);
    uint8_t* block = capacity * elementSize_ <= kInlineBytes ? inline_ : NewBlock(capacity, elementSize_);
    if (!block) return kResultOutOfMemory;
    FreeBlock();
    if (block == inline_) std::memset(inline_, 0, sizeof inline_);
    CountTurns(capacity);
    data_ = block;
    capacity_ = int32_t(capacity);
    count_ = initialCount;
    usedBytes_ = initialCount * elementSize_;
    return kResultOk;
}

void DynamicArray::Destroy()
{
    delete this;
}

// Gives the array room for `capacity` elements, holding the used bytes and zero-filled beyond
// them. A block of kReserveFromBytes and more is a power of two long, so that an array that grows
// one step at a time is copied only when it doubles (and leaves no trail of ever larger free
// blocks behind); the capacity the array reports stays a whole number of grow steps.
ResultCode DynamicArray::Regrow(int64_t capacity)
{
    const int64_t bytes = capacity * elementSize_;
    if (capacity < 0 || bytes > kMaxBlockBytes) return kResultOutOfMemory;
    if (data_ && (capacity >= capacity_ || HoldsInline()) && BlockLength(bytes) <= BlockReach()) {
        // The block already reaches that far.
        if (bytes > usedBytes_) std::memset(static_cast<uint8_t*>(data_) + usedBytes_, 0, size_t(bytes - usedBytes_));
        CountTurns(capacity - count_);
        capacity_ = int32_t(capacity);
        return kResultOk;
    }
    uint8_t* block = bytes <= kInlineBytes ? inline_ : NewBlock(capacity, elementSize_);
    if (!block) return kResultOutOfMemory;
    if (count_ > 0) std::memcpy(block, data_, size_t(usedBytes_));
    if (block == inline_) std::memset(inline_ + usedBytes_, 0, size_t(kInlineBytes - usedBytes_));
    // The elements copied, and the new block zero-filled beyond them.
    CountTurns(capacity);
    FreeBlock();
    data_ = block;
    capacity_ = int32_t(capacity);
    return kResultOk;
}

// Makes room for one more element, growing by a grow step when the array is full. `element`
// is the caller's element, moved along when it lies in the block being replaced.
ResultCode DynamicArray::MakeRoom(const uint8_t*& element)
{
    if (count_ < capacity_) return kResultOk;
    if (lockCount_ > 0) return kResultLocked;
    const auto* old = static_cast<const uint8_t*>(data_);
    const bool inside = Inside(element, old, usedBytes_);
    const ptrdiff_t offset = inside ? element - old : 0;
    ResultCode result = Regrow(int64_t(capacity_) + growStep_);
    if (result == kResultOk && inside) element = static_cast<const uint8_t*>(data_) + offset;
    return result;
}

int32_t DynamicArray::Append(const void* element)
{
    const auto* bytes = static_cast<const uint8_t*>(element);
    ResultCode result = MakeRoom(bytes);
    if (result != kResultOk) return result;
    std::memmove(static_cast<uint8_t*>(data_) + usedBytes_, bytes, size_t(elementSize_));
    usedBytes_ += elementSize_;
    return count_++;
}

ResultCode DynamicArray::Insert(int32_t index, const void* element)
{
    if (index < 0 || index > count_) return kResultOutOfRange;
    const auto* bytes = static_cast<const uint8_t*>(element);
    ResultCode result = MakeRoom(bytes);
    if (result != kResultOk) return result;
    auto* block = static_cast<uint8_t*>(data_);
    const size_t size = size_t(elementSize_);
    const size_t at = size_t(index) * size;
    // An element taken from the part that moves up is found one place higher.
    if (Inside(bytes, block + at, int64_t(usedBytes_) - int64_t(at))) bytes += size;
    std::memmove(block + at + size, block + at, size_t(usedBytes_) - at);
    std::memmove(block + at, bytes, size);
    CountTurns(count_ - index);
    usedBytes_ += elementSize_;
    count_++;
    return kResultOk;
}

ResultCode DynamicArray::Remove(int32_t index)
{
    if (index < 0 || index >= count_) return kResultOutOfRange;
    auto* block = static_cast<uint8_t*>(data_);
    const size_t at = size_t(index) * size_t(elementSize_);
    std::memmove(block + at, block + at + elementSize_, size_t(usedBytes_) - at - size_t(elementSize_));
    CountTurns(count_ - index);
    count_--;
    usedBytes_ -= elementSize_;
    return kResultOk;
}

ResultCode DynamicArray::Set(int32_t index, const void* element)
{
    if (index < 0 || index >= count_) return kResultOutOfRange;
    std::memmove(static_cast<uint8_t*>(data_) + size_t(index) * size_t(elementSize_), element, size_t(elementSize_));
    return kResultOk;
}

int32_t DynamicArray::Reverse()
{
    const int32_t pairs = count_ / 2;
    for (int32_t i = 0; i < pairs; i++) IgnoreResult(ArraySwap(i, count_ - 1 - i));
    CountTurns(pairs);
    return pairs;
}

int32_t DynamicArray::Compare(const void* /*a*/, const void* /*b*/)
{
    return 0;
}

ResultCode DynamicArray::ArrayGet(int32_t index, void* destination) const
{
    if (index < 0 || index >= count_) return kResultOutOfRange;
    std::memcpy(destination, static_cast<const uint8_t*>(data_) + size_t(index) * size_t(elementSize_),
                size_t(elementSize_));
    return kResultOk;
}

ResultCode DynamicArray::ArraySwap(int32_t i, int32_t j)
{
    if (i < 0 || i >= count_ || j < 0 || j >= count_) return kResultOutOfRange;
    auto* a = static_cast<uint8_t*>(ArrayElementAt(i));
    auto* b = static_cast<uint8_t*>(ArrayElementAt(j));
    for (int32_t k = 0; k < elementSize_; k++) {
        const uint8_t t = a[k];
        a[k] = b[k];
        b[k] = t;
    }
    return kResultOk;
}

int32_t DynamicArray::ArrayFind(const void* element) const
{
    for (int32_t i = 0; i < count_; i++) {
        if (std::memcmp(ArrayElementAt(i), element, size_t(elementSize_)) != 0) continue;
        CountTurns(i + 1);
        return i;
    }
    CountTurns(count_);
    return kResultNotFound;
}

ResultCode DynamicArray::ArraySetCount(int32_t count)
{
    if (count < 0) return kResultOutOfRange;
    if (lockCount_ > 0) return kResultLocked;
    if (int64_t(count) * elementSize_ > kMaxBlockBytes) return kResultOutOfMemory;
    if (count > capacity_) {
        ResultCode result = Regrow(RoundUpToSteps(count, growStep_));
        if (result != kResultOk) return result;
    }
    count_ = count;
    usedBytes_ = count * elementSize_;
    return kResultOk;
}

ResultCode DynamicArray::ArrayCopyTo(DynamicArray* target) const
{
    if (target->lockCount_ > 0) return kResultLocked;
    if (target == this) return kResultOk;

    const int32_t oldSize = target->elementSize_;
    const int32_t oldStep = target->growStep_;
    const int32_t oldCapacity = target->capacity_;
    const int32_t oldUsed = target->usedBytes_;
    if (oldSize != elementSize_ || oldStep != growStep_) {
        // The target's block, re-expressed in whole grow steps of this array's elements.
        const int64_t step = int64_t(growStep_) * elementSize_;
        const int64_t steps = step > 0 ? int64_t(oldSize) * oldCapacity / step : 0;
        target->capacity_ = int32_t(steps * growStep_);
        target->elementSize_ = elementSize_;
        target->growStep_ = growStep_;
    }
    ResultCode result = target->ArraySetCount(count_);
    if (result != kResultOk) {
        target->elementSize_ = oldSize;
        target->growStep_ = oldStep;
        target->capacity_ = oldCapacity;
        target->usedBytes_ = oldUsed;
        return result;
    }
    if (count_ >= 1) std::memcpy(target->data_, data_, size_t(usedBytes_));
    CountTurns(count_);
    return kResultOk;
}

// Partitions lo..hi around the element at lo (which stays in place until the end), then
// sorts the part below the pivot and the part from i up. The smaller part is sorted by
// recursion and the larger by the loop, so the depth stays logarithmic. Both parts are
// disjoint and each is sorted only from its own contents, so the order in which they are
// done does not change the result.
void DynamicArray::QuickSort(int32_t lo, int32_t hi)
{
    while (lo < hi) {
        auto* pivot = static_cast<uint8_t*>(ArrayElementAt(lo));
        int32_t i = lo + 1;
        int32_t j = hi;
        while (i <= j) {
            while (j >= lo && Compare(pivot, ArrayElementAt(j)) <= 0) j--;
            while (i <= hi && Compare(pivot, ArrayElementAt(i)) > 0) i++;
            if (i < j) IgnoreResult(ArraySwap(i++, j--));
        }
        // The elements of the part were each compared with the pivot, from one end or the other.
        CountTurns(int64_t(hi) - lo + 1);
        int32_t leftHi = lo - 1;  // empty unless the pivot moved
        if (j > lo) {
            IgnoreResult(ArraySwap(lo, j));
            if (j - 1 > lo) leftHi = j - 1;
        }
        const int32_t rightLo = i < hi ? i : hi + 1;
        const int64_t leftSize = int64_t(leftHi) - lo + 1;
        const int64_t rightSize = int64_t(hi) - rightLo + 1;
        if (leftSize < rightSize) {
            if (leftSize > 1) QuickSort(lo, leftHi);
            lo = rightLo;
        } else {
            if (rightSize > 1) QuickSort(rightLo, hi);
            hi = leftHi;
        }
    }
}

void DynamicArray::ArraySort()
{
    ArrayLock();
    QuickSort(0, count_ - 1);
    ArrayUnlock();
}

void DynamicArray::ArraySortSimple()
{
    if (count_ < 2) return;
    ArrayLock();
    int32_t k = 0;
    int32_t m = count_ - 1;
    while (m > 0) {
        int32_t found = -1;
        int32_t x = k + 1;
        for (; x <= m; x++) {
            if (Compare(ArrayElementAt(x), ArrayElementAt(k)) > 0) {
                found = x;
                break;
            }
        }
        CountTurns(x - k);
        if (found >= 0) {
            if (found != k + 1) IgnoreResult(ArraySwap(found, k + 1));
            k++;
        } else {
            IgnoreResult(ArraySwap(k, m));
            m--;
            if (k > 0) k--;
        }
    }
    ArrayUnlock();
}

ResultCode DynamicArray::ArrayInsertArray(const DynamicArray* other, int32_t index)
{
    if (index < 0 || index > count_) return kResultOutOfRange;
    const int32_t otherCount = other->count_;
    const int32_t otherSize = other->elementSize_;
    if (otherCount == 0) return kResultOk;
    // Each takes an element of this array's size, cut short or zero-filled beyond its own. An
    // array inserted into itself gives its elements from a copy, so that they go in as they were.
    const size_t bytes = size_t(other->usedBytes_);
    uint8_t* copy = nullptr;
    if (other == this) {
        CountTurns(kHeapBlockTurns);
        copy = static_cast<uint8_t*>(std::malloc(bytes));
        if (!copy) return kResultOutOfMemory;
        std::memcpy(copy, data_, bytes);
    }
    const int32_t oldCount = count_;
    const ResultCode grown = ArraySetCount(count_ + otherCount);
    if (grown != kResultOk) {
        std::free(copy);
        return grown;
    }
    const uint8_t* source = copy ? copy : static_cast<const uint8_t*>(other->data_);
    auto* block = static_cast<uint8_t*>(data_);
    const size_t size = size_t(elementSize_);
    std::memmove(block + (size_t(index) + size_t(otherCount)) * size, block + size_t(index) * size,
                 size_t(oldCount - index) * size);
    const size_t taken = size_t(otherSize < elementSize_ ? otherSize : elementSize_);
    for (int32_t k = 0; k < otherCount; ++k) {
        uint8_t* element = block + (size_t(index) + size_t(k)) * size;
        std::memset(element, 0, size);
        std::memcpy(element, source + size_t(k) * size_t(otherSize), taken);
    }
    CountTurns(int64_t(oldCount) - index + otherCount);
    std::free(copy);
    return kResultOk;
}

ResultCode DynamicArray::ArrayRemoveRange(int32_t first, int32_t last)
{
    if (last < first) return kResultOk;
    if (first < 0 || first >= count_) return kResultOutOfRange;
    // A range that runs past the end loses what there is of it, in one move.
    const int32_t end = last < count_ ? last : count_ - 1;
    auto* block = static_cast<uint8_t*>(data_);
    const size_t size = size_t(elementSize_);
    const int32_t removed = end - first + 1;
    std::memmove(block + size_t(first) * size, block + size_t(end + 1) * size, size_t(count_ - end - 1) * size);
    CountTurns(count_ - first);
    count_ -= removed;
    usedBytes_ -= removed * elementSize_;
    return end == last ? kResultOk : kResultOutOfRange;
}

void* DynamicArray::ArrayPop(void* destination)
{
    if (usedBytes_ < elementSize_ || count_ <= 0) return nullptr;
    usedBytes_ -= elementSize_;
    count_--;
    std::memcpy(destination, static_cast<uint8_t*>(data_) + usedBytes_, size_t(elementSize_));
    return destination;
}
