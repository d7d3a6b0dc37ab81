// RootObject: the base of every class with virtual operations, and the deleters that let smart
// pointers own objects through their deleting Destroy operation or another release verb.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/result_code.h"
#include "foundation/system_weights.h"

class MemoryStream;

class RootObject {
public:
    RootObject() = default;
    RootObject(const RootObject&) = delete;
    RootObject& operator=(const RootObject&) = delete;
    virtual ~RootObject() = default;

    // Writes (or, for reading streams, reads) the object through the stream; the default moves nothing.
    virtual ResultCode Write(MemoryStream* /*stream*/) { return kResultOk; }

    // An object made on the heap counts the turns the heap takes to give its block and take it
    // back.
    static void* operator new(std::size_t size)
    {
        CountTurns(kHeapBlockTurns);
        return ::operator new(size);
    }
    static void* operator new(std::size_t size, const std::nothrow_t& tag) noexcept
    {
        CountTurns(kHeapBlockTurns);
        return ::operator new(size, tag);
    }
    static void operator delete(void* block) noexcept { ::operator delete(block); }
};

// Owns a heap object and releases it through its Destroy operation.
struct DestroyDeleter {
    template <class T>
    void operator()(T* object) const
    {
        if (object) object->Destroy();
    }
};

template <class T>
using Owned = std::unique_ptr<T, DestroyDeleter>;

// Owns a heap object and releases it through another verb: an operation of its own
// (&Window::DestroyWindowObject) or a function that takes it (FreeHelpBarHost).
template <auto Release>
struct ReleaseDeleter {
    template <class T>
    void operator()(T* object) const
    {
        if (object) std::invoke(Release, object);
    }
};

template <class T, auto Release>
using OwnedWith = std::unique_ptr<T, ReleaseDeleter<Release>>;
