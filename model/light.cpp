// Lights and light lists, and their stored forms.
#include "model/light.h"

#include <new>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "foundation/memory_stream.h"
#include "foundation/pointer_list.h"
#include "foundation/typed_value.h"
#include "model/read_limits.h"

namespace {

constexpr int32_t kLightRecordBytes = 22;

// A stored 8.8 component (or brightness) widened to 16.16: the value times 256.
Fixed WidenComponent(int16_t value)
{
    return Fixed(int32_t(uint32_t(int32_t(value)) << 8));
}

// The 16.16 value read back to 8.8: shifted left by 8, the high half rounded half up (16-bit wrap).
int16_t NarrowComponent(Fixed value)
{
    const uint32_t shifted = uint32_t(value) << 8;
    uint16_t high = uint16_t(shifted >> 16);
    if ((shifted & 0xFFFF) >= 0x8000) ++high;
    return int16_t(high);
}

}  // namespace

Light* Light::LightInitDefaults()
{
    LightSetDirection(0, 0, 256);
    LightSetGrey(32768);
    Brightness = 256;
    On = 1;
    return this;
}

Light* Light::LightCopy() const
{
    Light* copy = new (std::nothrow) Light;
    if (!copy) return nullptr;
    for (int i = 0; i < 3; ++i) copy->Direction[i] = Direction[i];
    copy->Colour = Colour;
    copy->Brightness = Brightness;
    copy->On = On;
    return copy;
}

void Light::LightSetDirection(int16_t x, int16_t y, int16_t z)
{
    Direction[0] = x;
    Direction[1] = y;
    Direction[2] = z;
}

ResultCode Light::Write(MemoryStream* stream)
{
    uint16_t kind = 0;
    FixedVector3 direction = {0, 0, 0};
    Fixed brightness = 0;
    RGBColor48 colour = Colour;
    const bool writing = stream->StreamIsWriting();
    if (writing) {
        kind = LightIsAmbient() ? 1 : 2;
        direction = {WidenComponent(Direction[0]), WidenComponent(Direction[1]), WidenComponent(Direction[2])};
        brightness = WidenComponent(int16_t(Brightness));
    }
    ResultCode result = stream->StreamTransferValue(&kind, kValue16);
    if (result == kResultOk) result = SerializeTypedValue(stream, &direction, kTypedVector);
    if (result == kResultOk) result = SerializeTypedValue(stream, &colour, kTypedColor);
    if (result == kResultOk) result = SerializeTypedValue(stream, &brightness, kTypedLong);
    if (!writing && result == kResultOk) {
        Direction[0] = NarrowComponent(direction.x);
        Direction[1] = NarrowComponent(direction.y);
        Direction[2] = NarrowComponent(direction.z);
        Colour = colour;
        Brightness = uint16_t(NarrowComponent(brightness));
    }
    return result;
}

ResultCode Light::LightStreamOnFlag(MemoryStream* stream)
{
    uint16_t word = On ? 1 : 0;
    const ResultCode result = stream->StreamTransferValue(&word, kValue16);
    if (!stream->StreamIsWriting() && result == kResultOk) On = (word & 1) ? 1 : 0;
    return result;
}

ResultCode Light::LightReadCompact(MemoryStream* stream)
{
    int16_t direction[3] = {0, 0, 0};
    RGBColor48 colour = Colour;
    uint16_t brightness = 0;
    uint16_t on = 0;
    ResultCode result = SerializeTypedValue(stream, direction, kTypedShortTriple);
    if (result == kResultOk) result = SerializeTypedValue(stream, &colour, kTypedColor);
    if (result == kResultOk) result = stream->StreamTransferValue(&brightness, kValue16);
    if (result == kResultOk) result = stream->StreamTransferValue(&on, kValue16);
    if (result == kResultOk) {
        LightSetDirection(direction[0], direction[1], direction[2]);
        Colour = colour;
        Brightness = brightness;
        On = on;
    }
    return kResultOk;
}

LightList* NewLightList()
{
    LightList* list = new (std::nothrow) LightList;
    if (list && list->LightListInit() != kResultOk) {
        list->Destroy();
        return nullptr;
    }
    return list;
}

Light* LightList::LightListGet(int32_t index) const
{
    return PointerAt<Light>(this, index);
}

void LightList::LightListRemove(Light* light)
{
    RemovePointer(this, light);
}

void LightList::LightListDeleteAll()
{
    // From the last: taken from the front, each would move all those after it.
    const int32_t count = ArrayCount();
    for (int32_t i = count - 1; i >= 0; --i) {
        if (Light* light = LightListGet(i)) light->LightFree();
    }
    CountTurns(count);
    Destroy();
}

void LightList::LightListCopyInto(DynamicArray* target) const
{
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        Light* copy = LightListGet(i) ? LightListGet(i)->LightCopy() : nullptr;
        if (copy && target->Append(&copy) < 0) copy->LightFree();
    }
}

ResultCode LightList::Write(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        int16_t count = int16_t(ArrayCount());
        ResultCode result = stream->StreamTransferValue(&count, kValue16);
        ArrayLock();
        for (int32_t i = 0; i < count && result == kResultOk; ++i) result = LightListGet(i)->LightStream(stream);
        ArrayUnlock();
        return result;
    }
    int16_t count = 0;
    ResultCode result = stream->StreamTransferValue(&count, kValue16);
    if (result != kResultOk) return result;
    if (!CountFits(stream, count, kLightRecordBytes)) return kResultBadCount;
    int32_t i = 0;
    for (; i < count && result == kResultOk; ++i) {
        Light* light = new (std::nothrow) Light;
        if (!light) return kResultOutOfMemory;
        light->LightInitDefaults();
        result = light->LightStream(stream);
        if (result != kResultOk || LightListAppend(light) < 0) light->LightFree();
    }
    CountTurns(i);
    return result;
}

ResultCode LightList::LightListStreamOnFlags(MemoryStream* stream)
{
    int16_t count = int16_t(ArrayCount());
    ResultCode result = stream->StreamTransferValue(&count, kValue16);
    if (result != kResultOk) return result;
    if (stream->StreamIsWriting()) {
        for (int32_t i = 0; i < count && result == kResultOk; ++i) result = LightListGet(i)->LightStreamOnFlag(stream);
        return result;
    }
    if (!CountFits(stream, count, 2)) return kResultBadCount;
    for (int32_t i = 0; i < count && result == kResultOk; ++i) {
        Light* light = LightListGet(i);
        if (light) result = light->LightStreamOnFlag(stream);
    }
    CountTurns(count);
    return result;
}

ResultCode LightList::LightListReadCompact(MemoryStream* stream)
{
    int16_t count = 0;
    if (stream->StreamTransferValue(&count, kValue16) != kResultOk) return kResultOk;
    if (!CountFits(stream, count, 14)) return kResultOk;
    for (int32_t i = 0; i < count; ++i) {
        Light* light = new (std::nothrow) Light;
        if (!light) break;
        light->LightInitDefaults();
        IgnoreResult(light->LightReadCompact(stream));  // the count was checked to fit the chunk
        if (LightListAppend(light) < 0) light->LightFree();
    }
    CountTurns(count);
    return kResultOk;
}
