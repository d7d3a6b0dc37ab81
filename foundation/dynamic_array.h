// DynamicArray: the growable array of fixed-size plain elements that holds every list of the
// program, in one zero-filled block that keeps its address while the array is locked; a short
// list keeps its block inside the array object.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/root_object.h"

class DynamicArray : public RootObject {
public:
    DynamicArray() = default;
    ~DynamicArray() override;

    // --- virtual operations, in their fixed order; subclasses may replace any of them ---

    // Moves count x element size raw bytes through the stream in its direction, locked meanwhile.
    ResultCode Write(MemoryStream* stream) override;
    // Called once after allocation: n elements of s bytes, growing by g elements (0 counts as 1).
    virtual ResultCode Init(int32_t initialCount, int32_t elementSize, int32_t growStep);
    // Frees the block and the array object itself (heap arrays only).
    virtual void Destroy();
    // Returns the new element's index, or kResultLocked / kResultOutOfMemory.
    virtual int32_t Append(const void* element);
    virtual ResultCode Insert(int32_t index, const void* element);
    virtual ResultCode Remove(int32_t index);
    virtual ResultCode Set(int32_t index, const void* element);
    // Reverses the order of the elements; returns the number of pairs exchanged.
    virtual int32_t Reverse();
    // The sort order: above 0 when a sorts after b, 0 when equal, below 0 when before. Base: 0.
    virtual int32_t Compare(const void* a, const void* b);

    // --- non-virtual operations ---
    int32_t ArrayCount() const { return count_; }
    void* ArrayData() const { return data_; }
    void* ArrayLock()
    {
        lockCount_++;
        return data_;
    }
    // Lowers the lock count (never below 0) and answers the count left.
    int32_t ArrayUnlock()
    {
        if (lockCount_ > 0) lockCount_--;
        return lockCount_;
    }
    ResultCode ArrayGet(int32_t index, void* destination) const;
    // The element's place, or null out of range.
    void* ArrayElementAt(int32_t index) const
    {
        if (index < 0 || index >= count_) return nullptr;
        return static_cast<uint8_t*>(data_) + size_t(index) * size_t(elementSize_);
    }
    ResultCode ArraySwap(int32_t i, int32_t j);
    int32_t ArrayFind(const void* element) const;
    ResultCode ArraySetCount(int32_t count);
    ResultCode ArrayCopyTo(DynamicArray* target) const;
    void ArraySort();
    void ArraySortSimple();
    ResultCode ArrayInsertArray(const DynamicArray* other, int32_t index);
    ResultCode ArrayRemoveRange(int32_t first, int32_t last);
    int32_t ArrayPush(const void* element) { return Append(element); }
    void* ArrayPop(void* destination);

    int32_t ElementSize() const { return elementSize_; }
    int32_t Capacity() const { return capacity_; }
    int32_t UsedBytes() const { return usedBytes_; }
    int32_t GrowStep() const { return growStep_; }
    int32_t LockCount() const { return lockCount_; }

    // Typed views of the block for callers that know the element type (no lock is taken).
    template <class T>
    T* Elements() const { return static_cast<T*>(data_); }
    template <class T>
    T* At(int32_t index) const { return static_cast<T*>(ArrayElementAt(index)); }

private:
    // Blocks of up to this many bytes are the array's own (most lists of a model are this short).
    static constexpr int32_t kInlineBytes = 32;

    bool HoldsInline() const { return data_ == inline_; }
    // The bytes the block has room for.
    int64_t BlockReach() const;
    // Frees a block from the heap; the array's own stays.
    void FreeBlock();
    ResultCode Regrow(int64_t capacity);
    ResultCode MakeRoom(const uint8_t*& element);
    void QuickSort(int32_t lo, int32_t hi);

    void* data_ = nullptr;
    int32_t count_ = 0;
    int32_t elementSize_ = 0;
    int32_t capacity_ = 0;
    int32_t usedBytes_ = 0;
    int32_t growStep_ = 0;
    int32_t lockCount_ = 0;
    alignas(8) uint8_t inline_[kInlineBytes] = {};
};

// Makes a heap array and initialises it; null when the object or its block cannot be had.
DynamicArray* NewDynamicArray(int32_t initialCount, int32_t elementSize, int32_t growStep);

// Destroys the array, if any, and clears the pointer that owned it.
inline void DestroyArray(DynamicArray*& array)
{
    if (array) array->Destroy();
    array = nullptr;
}
