// PreferenceRecord: the player's preferences that a model file carries in its "PREF" chunk.
// The scene model keeps the chunk's body as it was read and writes it back unchanged.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/root_object.h"

class PreferenceRecord : public RootObject {
public:
    // Slot 0, Serialize: reading keeps the bytes that remain in the chunk; writing writes them.
    ResultCode Write(MemoryStream* stream) override;
    ResultCode Serialize(MemoryStream* stream) { return Write(stream); }
    void Free();
    void Destroy() { Free(); }
    bool HasContent() const { return Bytes && Bytes->ArrayCount() > 0; }

    DynamicArray* Bytes = nullptr;
};
