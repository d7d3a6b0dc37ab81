// Moving the fields of a preference chunk in order, stopping at the first stream error.
#pragma once

#include <cstdint>

#include "foundation/memory_stream.h"
#include "foundation/typed_value.h"

class SectionTransfer {
public:
    explicit SectionTransfer(MemoryStream* stream) : stream_(stream) {}

    // One plain value of its own size.
    template <class T>
    SectionTransfer& operator()(T* value)
    {
        if (result_ == kResultOk) result_ = stream_->StreamTransferValue(value, int32_t(sizeof(T)));
        return *this;
    }
    SectionTransfer& Typed(void* value, TypedValueKind kind)
    {
        if (result_ == kResultOk) result_ = SerializeTypedValue(stream_, value, kind);
        return *this;
    }
    // `count` 32-bit values as their low 16 bits (the wire form of points and rectangles);
    // reading sign-extends each.
    SectionTransfer& Shorts(int32_t* values, int32_t count)
    {
        for (int32_t i = 0; i < count && result_ == kResultOk; ++i) {
            int16_t low = int16_t(values[i]);
            result_ = stream_->StreamTransferValue(&low, kValue16);
            if (result_ == kResultOk && !stream_->StreamIsWriting()) values[i] = low;
        }
        return *this;
    }
    ResultCode Result() const { return result_; }

private:
    MemoryStream* stream_;
    ResultCode result_ = kResultOk;
};
