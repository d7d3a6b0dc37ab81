// A surface's stored form ("COLR", "SUTX", "SUGR", "VRAN" inside its object's "SURF" chunk),
// its connection records for the "CONN" chunk, and its textures and side attributes.
#include <cstring>
#include <initializer_list>

#include "foundation/loop_turns.h"
#include "foundation/memory_stream.h"
#include "foundation/pointer_list.h"
#include "foundation/typed_value.h"
#include "model/model_object.h"
#include "model/polygon_element.h"
#include "model/read_limits.h"
#include "model/surface.h"
#include "model/texture_refs.h"
#include "model/texture_services.h"

namespace {

constexpr ChunkTag kTagColour = ChunkTagOf("COLR");
constexpr ChunkTag kTagTextures = ChunkTagOf("SUTX");
constexpr ChunkTag kTagSideAttributes = ChunkTagOf("SUGR");
constexpr ChunkTag kTagVran = ChunkTagOf("VRAN");
constexpr ChunkTag kTagElement = ChunkTagOf("FEAT");

// The form word of "COLR" and "SUGR": 1 front only, 2 both, 3 back only.
int16_t FormOf(uint16_t flags, uint16_t frontBit, uint16_t backBit)
{
    if ((flags & frontBit) && (flags & backBit)) return 2;
    if (flags & frontBit) return 1;
    if (flags & backBit) return 3;
    return 0;
}

// Four 16-bit channels for typed value kind 111.
struct Channels {
    uint16_t value[4];
};

Channels ChannelsOf(const RGBColor48& colour, uint16_t fourth)
{
    return {{colour.red, colour.green, colour.blue, fourth}};
}

RGBColor48 ColourOf(const Channels& channels)
{
    return {channels.value[0], channels.value[1], channels.value[2]};
}

ResultCode WriteChunk(MemoryStream* stream, ChunkTag tag, ResultCode (Surface::*body)(MemoryStream*), Surface* surface)
{
    ResultCode result = stream->StreamBeginChunk(tag);
    if (result != kResultOk) return result;
    result = (surface->*body)(stream);
    const ResultCode ended = stream->StreamEndChunk();
    return result != kResultOk ? result : ended;
}

// The sides a side number addresses: 0 front, 2 back, 1 both.
bool Addresses(int32_t side, int32_t which)
{
    return side == kSideBoth || side == which;
}

}  // namespace

ResultCode Surface::Write(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        ResultCode result = kResultOk;
        if (Flags & kSurfaceColourBits) result = WriteChunk(stream, kTagColour, &Surface::StreamSurfaceColour, this);
        if (result == kResultOk && (Flags & kSurfaceTextureBits))
            result = WriteChunk(stream, kTagTextures, &Surface::StreamSurfaceTextureRef, this);
        if (result == kResultOk && (Flags & kSurfaceAttributeBits))
            result = WriteChunk(stream, kTagSideAttributes, &Surface::StreamSurfaceSideAttributes, this);
        if (result == kResultOk && VranText) result = WriteChunk(stream, kTagVran, &Surface::StreamSurfaceVranText, this);
        for (int32_t side = 0; side < 3 && result == kResultOk; ++side) {
            for (int32_t i = 0; i < ElementCount(side) && result == kResultOk; ++i) {
                result = stream->StreamBeginChunk(kTagElement);
                if (result != kResultOk) break;
                int16_t index = int16_t(side);
                result = stream->StreamTransferValue(&index, kValue16);
                if (result == kResultOk) result = ElementAt(side, i)->Stream(stream);
                const ResultCode ended = stream->StreamEndChunk();
                if (result == kResultOk) result = ended;
            }
        }
        return result;
    }
    ResultCode result = kResultOk;
    int32_t chunks = 0;
    for (; result == kResultOk; ++chunks) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        if (tag == kTagColour) {
            result = StreamSurfaceColour(stream);
        } else if (tag == kTagTextures) {
            result = StreamSurfaceTextureRef(stream);
        } else if (tag == kTagSideAttributes) {
            result = StreamSurfaceSideAttributes(stream);
        } else if (tag == kTagVran) {
            result = StreamSurfaceVranText(stream);
        } else if (tag == kTagElement) {
            result = ReadElement(stream);
        }
        IgnoreResult(stream->StreamEndChunk());
    }
    CountTurns(chunks);
    return result;
}

ResultCode Surface::ReadElement(MemoryStream* stream)
{
    int16_t side = 0;
    ResultCode result = stream->StreamTransferValue(&side, kValue16);
    if (result != kResultOk) return result;
    PolygonElement* element = NewPolygonElement();
    if (!element) return kResultOutOfMemory;
    result = element->Init();
    if (result == kResultOk) result = element->Stream(stream);
    // An element without a polygon, or for a side index that does not exist, is not kept.
    if (result == kResultOk && element->ElementHasPolygon() && side >= 0 && side <= 2) {
        AddElement(element, side);
        if (element->Owner == this) return kResultOk;
    }
    element->Destroy();
    return result;
}

ResultCode Surface::StreamSurfaceColour(MemoryStream* stream)
{
    int16_t form = FormOf(Flags, kSurfaceFrontColour, kSurfaceBackColour);
    ResultCode result = stream->StreamTransferValue(&form, kValue16);
    if (result != kResultOk) return result;
    if (stream->StreamIsWriting()) {
        Channels first = ChannelsOf(form == 3 ? BackColour : FrontColour, form == 2 ? 0 : ColourCode);
        if (form != 0) result = SerializeTypedValue(stream, &first, kTypedColorCode);
        if (form == 2 && result == kResultOk) {
            Channels second = ChannelsOf(BackColour, ColourCode);
            result = SerializeTypedValue(stream, &second, kTypedColorCode);
        }
        return result;
    }
    if (form < 1 || form > 3) return kResultOk;
    Channels first = {{0, 0, 0, 0}};
    Channels second = {{0, 0, 0, 0}};
    result = SerializeTypedValue(stream, &first, kTypedColorCode);
    if (form == 2 && result == kResultOk) result = SerializeTypedValue(stream, &second, kTypedColorCode);
    if (result != kResultOk) return result;
    if (form == 1) {
        FrontColour = ColourOf(first);
        ColourCode = first.value[3];
        Flags |= kSurfaceFrontColour;
    } else if (form == 2) {
        FrontColour = ColourOf(first);
        BackColour = ColourOf(second);
        ColourCode = second.value[3];
        Flags |= kSurfaceFrontColour | kSurfaceBackColour;
    } else {
        BackColour = ColourOf(first);
        ColourCode = first.value[3];
        Flags |= kSurfaceBackColour;
    }
    return kResultOk;
}

ResultCode Surface::StreamSurfaceTextureRef(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        ResultCode result = WriteTextureRef(stream, kTagFrontTexture, FrontTexture);
        if (result == kResultOk) result = WriteTextureRef(stream, kTagBackTexture, BackTexture);
        if (result == kResultOk) result = WriteTextureRefEnd(stream);
        return result;
    }
    return ReadTextureRefs(stream, [this](int32_t side, TextureRecord* texture) { BindSideTexture(texture, side); });
}

ResultCode Surface::StreamSurfaceSideAttributes(MemoryStream* stream)
{
    int16_t form = FormOf(Flags, kSurfaceFrontAttribute, kSurfaceBackAttribute);
    ResultCode result = stream->StreamTransferValue(&form, kValue16);
    if (result != kResultOk) return result;
    uint8_t front = FrontSideAttribute;
    uint8_t back = BackSideAttribute;
    if (form == 1 || form == 2) result = stream->StreamTransferValue(&front, kValueByte);
    if ((form == 2 || form == 3) && result == kResultOk) result = stream->StreamTransferValue(&back, kValueByte);
    if (stream->StreamIsWriting() || result != kResultOk) return result;
    if (form == 1 || form == 2) {
        FrontSideAttribute = front;
        Flags |= kSurfaceFrontAttribute;
    }
    if (form == 2 || form == 3) {
        BackSideAttribute = back;
        Flags |= kSurfaceBackAttribute;
    }
    return kResultOk;
}

ResultCode Surface::StreamSurfaceVranText(MemoryStream* stream)
{
    if (!stream->StreamIsWriting()) {
        DestroyArray(VranText);
        VranText = NewDynamicArray(BytesLeftToRead(stream), 1, 4);
        if (!VranText) return kResultOutOfMemory;
    }
    return VranText->Write(stream);
}

int32_t Surface::SurfaceHasData() const
{
    return (Flags & kSurfaceDataBits) != 0 || VranText != nullptr;
}

ResultCode Surface::WriteSurfaceConnections(MemoryStream* stream, int32_t objectIndex, int32_t faceIndex,
                                            const DynamicArray* objects, int32_t* count)
{
    *count = 0;
    ResultCode result = kResultOk;
    auto record = [&](int32_t a, int32_t faceA, int32_t b, int32_t faceB) {
        int16_t values[4] = {int16_t(a), int16_t(faceA), int16_t(b), int16_t(faceB)};
        for (int16_t& value : values) {
            if (result == kResultOk) result = stream->StreamTransferValue(&value, kValue16);
        }
        if (result == kResultOk) ++*count;
    };
    for (int32_t i = 0; i < ListCount(ParentConnections) && result == kResultOk; ++i) {
        const FaceEntry* entry = ParentConnections->At<FaceEntry>(i);
        record(-1, FindPointer(entry->Object->Surfaces, entry->Face), objectIndex, faceIndex);
    }
    for (int32_t i = 0; i < ListCount(SiblingConnections) && result == kResultOk; ++i) {
        const FaceEntry* entry = SiblingConnections->At<FaceEntry>(i);
        const int32_t other = FindPointer(objects, entry->Object);
        if (objectIndex < other) record(objectIndex, faceIndex, other, FindPointer(entry->Object->Surfaces, entry->Face));
    }
    return result;
}

// --- textures ---

TextureRecord* Surface::GetSurfaceSideTexture(int32_t side) const
{
    if (side == kSideBoth) side = kSideBack;
    const uint16_t bit = side == kSideFront ? kSurfaceFrontTexture : kSurfaceBackTexture;
    if (Flags & bit) return side == kSideFront ? FrontTexture : BackTexture;
    return Owner->GetObjectTexture(side);
}

void Surface::BindSideTexture(TextureRecord* texture, int32_t side)
{
    TextureServices& textures = CurrentTextureServices();
    for (int32_t which : {kSideFront, kSideBack}) {
        if (!Addresses(side, which)) continue;
        TextureRecord*& stored = which == kSideFront ? FrontTexture : BackTexture;
        if (stored != texture) {
            if (stored) textures.TextureRemoveSurfaceUser(stored, this);
            // A picture that cannot be loaded leaves the texture bound without it.
            if (texture) IgnoreResult(textures.TextureAddSurfaceUser(texture, this));
            stored = texture;
        }
        const uint16_t bit = which == kSideFront ? kSurfaceFrontTexture : kSurfaceBackTexture;
        const bool hides = Owner->GetObjectTexture(side == kSideBoth ? kSideBack : which) != nullptr;
        if (texture || hides) {
            Flags |= bit;
        } else {
            Flags &= uint16_t(~bit);
        }
    }
}

void Surface::SetSideTexture(TextureRecord* texture, int32_t side)
{
    bool same = true;
    for (int32_t which : {kSideFront, kSideBack}) {
        if (!Addresses(side, which)) continue;
        same = same && (which == kSideFront ? FrontTexture : BackTexture) == texture &&
               Owner->GetObjectTexture(which) == texture;
    }
    if (same) return;
    BindSideTexture(texture, side);
    UpdateSideTextureMapping();
}

void Surface::GetSurfaceSideTextureName(int32_t side, char* buffer, int32_t bufferSize) const
{
    CurrentTextureServices().TextureName(GetSurfaceSideTexture(side), buffer, bufferSize);
}

void Surface::ClearSurfaceSideTexture(int32_t side)
{
    for (int32_t which : {kSideFront, kSideBack}) {
        if (!Addresses(side, which)) continue;
        TextureRecord*& stored = which == kSideFront ? FrontTexture : BackTexture;
        if (stored) CurrentTextureServices().TextureRemoveSurfaceUser(stored, this);
        stored = nullptr;
        Flags &= uint16_t(~(which == kSideFront ? kSurfaceFrontTexture : kSurfaceBackTexture));
    }
}

void Surface::UpdateSideTextureMapping()
{
    CurrentTextureServices().UpdateSideTextureMapping(this);
}

void Surface::SetSurfaceSideAttribute(uint8_t value, int32_t side)
{
    for (int32_t which : {kSideFront, kSideBack}) {
        if (!Addresses(side, which)) continue;
        (which == kSideFront ? FrontSideAttribute : BackSideAttribute) = value;
        const uint16_t bit = which == kSideFront ? kSurfaceFrontAttribute : kSurfaceBackAttribute;
        const bool hides = Owner->GetSideAttributeDefault(side == kSideBoth ? kSideBack : which) != 0;
        if (value != 0 || hides) {
            Flags |= bit;
        } else {
            Flags &= uint16_t(~bit);
        }
    }
}

uint8_t Surface::GetStoredSideAttribute(int32_t side) const
{
    return side == kSideFront ? FrontSideAttribute : BackSideAttribute;
}

void Surface::SetSurfaceVranText(const char* text)
{
    DestroyArray(VranText);
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0) return;
    VranText = NewDynamicArray(int32_t(length), 1, 4);
    if (VranText) std::memcpy(VranText->ArrayData(), text, length);
}
