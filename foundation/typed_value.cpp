// Typed values: the wire forms of the compound values of records.
#include "foundation/typed_value.h"

#include <cstring>

#include "foundation/memory_stream.h"

namespace {

constexpr int32_t kMaxTextLength = 255;

ResultCode TransferLong(MemoryStream* stream, int32_t* value)
{
    uint16_t high = uint16_t(uint32_t(*value) >> 16);
    uint16_t low = uint16_t(uint32_t(*value));
    ResultCode result = stream->StreamTransferValue(&high, kValue16);
    if (result == kResultOk) result = stream->StreamTransferValue(&low, kValue16);
    if (!stream->StreamIsWriting()) *value = int32_t((uint32_t(high) << 16) | low);
    return result;
}

// Moves count values of 32 bits, each as kTypedLong.
ResultCode TransferLongs(MemoryStream* stream, int32_t* values, int32_t count)
{
    for (int32_t i = 0; i < count; i++) {
        ResultCode result = TransferLong(stream, &values[i]);
        if (result != kResultOk) return result;
    }
    return kResultOk;
}

// Moves the low 16 bits of count 32-bit values; reading leaves their high halves alone.
ResultCode TransferLowHalves(MemoryStream* stream, int32_t* values, int32_t count)
{
    for (int32_t i = 0; i < count; i++) {
        uint16_t low = uint16_t(uint32_t(values[i]));
        ResultCode result = stream->StreamTransferValue(&low, kValue16);
        if (!stream->StreamIsWriting()) values[i] = int32_t((uint32_t(values[i]) & 0xFFFF0000u) | low);
        if (result != kResultOk) return result;
    }
    return kResultOk;
}

ResultCode TransferShorts(MemoryStream* stream, uint16_t* values, int32_t count)
{
    for (int32_t i = 0; i < count; i++) {
        ResultCode result = stream->StreamTransferValue(&values[i], kValue16);
        if (result != kResultOk) return result;
    }
    return kResultOk;
}

// Colours travel as their channels' high bytes: 0x00RRGGBB, or 0xCCRRGGBB with a fourth channel.
// A word read short still sets the channels: those of the bytes read take them, the others
// keep their high bytes.
ResultCode TransferColorWord(MemoryStream* stream, uint16_t* rgb, uint16_t* fourth)
{
    uint32_t word = (uint32_t(rgb[0] >> 8) << 16) | (uint32_t(rgb[1] >> 8) << 8) | uint32_t(rgb[2] >> 8);
    if (fourth) word |= uint32_t(*fourth >> 8) << 24;
    ResultCode result = stream->StreamTransferValue(&word, kValue32);
    if (!stream->StreamIsWriting()) {
        rgb[0] = uint16_t(((word >> 16) & 0xFF) << 8);
        rgb[1] = uint16_t(((word >> 8) & 0xFF) << 8);
        rgb[2] = uint16_t((word & 0xFF) << 8);
        if (fourth) *fourth = uint16_t((word >> 24) << 8);
    }
    return result;
}

// The pad byte that follows a text whose length byte and characters add up to an odd count.
ResultCode TransferPad(MemoryStream* stream, int32_t length)
{
    if (length & 1) return kResultOk;
    uint8_t pad = 0;
    return stream->TransferBytes(&pad, 1);
}

ResultCode TransferText(MemoryStream* stream, char* text)
{
    auto* bytes = reinterpret_cast<uint8_t*>(text);
    if (stream->StreamIsWriting()) {
        const size_t full = strnlen(text, kMaxTextLength + 1);
        uint8_t length = uint8_t(full > kMaxTextLength ? kMaxTextLength : full);
        ResultCode result = stream->TransferBytes(&length, 1);
        if (result == kResultOk) result = stream->TransferBytes(bytes, length);
        if (result == kResultOk) result = TransferPad(stream, length);
        return result;
    }
    uint8_t length = 0;
    ResultCode result = stream->TransferBytes(&length, 1);
    // Cleared first, so that the text stays terminated however far the read gets.
    std::memset(bytes, 0, size_t(result == kResultOk ? length + 1 : 1));
    if (result == kResultOk) result = stream->TransferBytes(bytes, length);
    if (result == kResultOk) result = TransferPad(stream, length);
    return result;
}

ResultCode TransferLengthText(MemoryStream* stream, uint8_t* text)
{
    ResultCode result = stream->TransferBytes(text, 1);
    if (result != kResultOk) return result;
    const uint8_t length = text[0];
    if (!stream->StreamIsWriting()) std::memset(text + 1, 0, length);
    result = stream->TransferBytes(text + 1, length);
    if (result == kResultOk) result = TransferPad(stream, length);
    return result;
}

}  // namespace

ResultCode SerializeTypedValue(MemoryStream* stream, void* value, TypedValueKind kind)
{
    switch (kind) {
    case kTypedLong:
        return TransferLong(stream, static_cast<int32_t*>(value));
    case kTypedPoint:
        return TransferLowHalves(stream, static_cast<int32_t*>(value), 2);
    case kTypedRect:
        return TransferLowHalves(stream, static_cast<int32_t*>(value), 4);
    case kTypedShortTriple:
    case kTypedShortTriple2:
        return TransferShorts(stream, static_cast<uint16_t*>(value), 3);
    case kTypedFixedPoint:
        return TransferLongs(stream, static_cast<int32_t*>(value), 2);
    case kTypedVector:
    case kTypedAngles:
    case kTypedFixedTriple:
        return TransferLongs(stream, static_cast<int32_t*>(value), 3);
    case kTypedColor:
        return TransferColorWord(stream, static_cast<uint16_t*>(value), nullptr);
    case kTypedColorCode:
        return TransferColorWord(stream, static_cast<uint16_t*>(value), static_cast<uint16_t*>(value) + 3);
    case kTypedText:
        return TransferText(stream, static_cast<char*>(value));
    case kTypedLengthText:
        return TransferLengthText(stream, static_cast<uint8_t*>(value));
    }
    return kResultBadValueSize;
}

int32_t StreamMatchWord(MemoryStream* stream, uint32_t* word)
{
    if (stream->StreamIsWriting()) return stream->StreamTransferValue(word, kValue32);
    uint32_t read = 0;
    return stream->StreamTransferValue(&read, kValue32) == kResultOk && read == *word ? 1 : 0;
}
