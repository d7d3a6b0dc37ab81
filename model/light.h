// Lights of the scene and the lists that carry them: a light is a direction (or none, for an
// ambient light), a colour, a brightness and an on flag; a list owns its lights and is stored in
// a scene object's "LGHT" chunk.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"

class MemoryStream;

class Light : public RootObject {
public:
    // Slot 0, LightStream: the 22-byte light record (kind word, direction, colour, brightness).
    ResultCode Write(MemoryStream* stream) override;
    ResultCode LightStream(MemoryStream* stream) { return Write(stream); }

    // Direction (0, 0, 256), colour (32768, 32768, 32768), brightness 256, on.
    Light* LightInitDefaults();
    void LightFree() { delete this; }
    // A new light with the same values; null when memory is short.
    Light* LightCopy() const;

    void LightSetDirection(int16_t x, int16_t y, int16_t z);
    void LightClearDirection() { LightSetDirection(0, 0, 0); }
    void LightSetColour(const RGBColor48& colour) { Colour = colour; }
    void LightSetGrey(uint16_t value) { Colour = {value, value, value}; }
    void LightSetBrightness(uint16_t value) { Brightness = value; }
    void LightSetOn(uint16_t value) { On = value; }
    int32_t LightIsAmbient() const { return Direction[0] == 0 && Direction[1] == 0 && Direction[2] == 0; }

    // The on flag as one 16-bit word; reading takes bit 0.
    ResultCode LightStreamOnFlag(MemoryStream* stream);
    // Reads the 14-byte compact form (nothing writes it); returns 0.
    ResultCode LightReadCompact(MemoryStream* stream);

    int16_t Direction[3] = {0, 0, 0};  // 8.8 fixed point; (0, 0, 0) is ambient
    RGBColor48 Colour = {0, 0, 0};
    uint16_t Brightness = 0;  // 8.8 fixed point
    uint16_t On = 0;
};

// A list of Light pointers that owns its lights; slot 0 (Write) is LightListStream.
class LightList : public DynamicArray {
public:
    // The list form: a 16-bit count, then that many light records.
    ResultCode Write(MemoryStream* stream) override;
    ResultCode LightListStream(MemoryStream* stream) { return Write(stream); }

    ResultCode LightListInit() { return Init(0, int32_t(sizeof(Light*)), 4); }
    int32_t LightListAppend(Light* light) { return Append(&light); }
    Light* LightListGet(int32_t index) const;
    void LightListRemove(Light* light);
    // Frees every light, then the list object itself.
    void LightListDeleteAll();
    void LightListCopyInto(DynamicArray* target) const;
    ResultCode LightListStreamOnFlags(MemoryStream* stream);
    ResultCode LightListReadCompact(MemoryStream* stream);
};

// A new initialised empty list; null when memory is short.
LightList* NewLightList();
