// RootObject: the base of every class with virtual operations, and the deleter that lets
// smart pointers own such objects through their deleting Destroy operation.
#pragma once

#include <memory>

#include "foundation/result_code.h"

class MemoryStream;

class RootObject {
public:
    RootObject() = default;
    RootObject(const RootObject&) = delete;
    RootObject& operator=(const RootObject&) = delete;
    virtual ~RootObject() = default;

    // Writes (or, for reading streams, reads) the object through the stream; the default moves nothing.
    virtual ResultCode Write(MemoryStream* /*stream*/) { return kResultOk; }
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
