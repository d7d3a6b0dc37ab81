// The chunks of a polygon element inside its surface's "FEAT" chunk: its texts, its colour, its
// texture reference, its outline and its placement.
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/memory_stream.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "foundation/typed_value.h"
#include "foundation/ui_services.h"
#include "model/model_object.h"
#include "model/object_stream.h"
#include "model/polygon_element.h"
#include "model/read_limits.h"
#include "model/surface.h"
#include "model/texture_refs.h"
#include "model/transform.h"

namespace {

constexpr ChunkTag kTagElementTexture = ChunkTagOf("SFTX");

// Four 16-bit channels for typed value kind 111.
struct Channels {
    uint16_t value[4];
};

// A byte list made from what really remains of the chunk.
ResultCode ReadBytes(MemoryStream* stream, DynamicArray*& list, int32_t growStep)
{
    DestroyArray(list);
    list = NewDynamicArray(BytesLeftToRead(stream), 1, growStep);
    if (!list) return kResultOutOfMemory;
    return list->Write(stream);
}

}  // namespace

ResultCode PolygonElement::Write(MemoryStream* stream)
{
    return stream->StreamIsWriting() ? WriteChunks(stream) : ReadChunks(stream);
}

ResultCode PolygonElement::WriteChunks(MemoryStream* stream)
{
    ResultCode result = kResultOk;
    auto chunk = [&](bool present, ChunkTag tag, auto body) {
        if (!present || result != kResultOk) return;
        result = stream->StreamBeginChunk(tag);
        if (result != kResultOk) return;
        result = body();
        const ResultCode ended = stream->StreamEndChunk();
        if (result == kResultOk) result = ended;
    };
    chunk(Name != nullptr, kTagName, [&] { return Name->Write(stream); });
    chunk(Data != nullptr, kTagData, [&] { return Data->Write(stream); });
    chunk(true, kTagColour, [&] { return StreamColourChunk(stream); });
    chunk(Texture != nullptr, kTagElementTexture, [&] { return StreamElementTextureRef(stream); });
    chunk(VranText != nullptr, kTagVran, [&] { return VranText->Write(stream); });
    chunk(true, kTagPrimitive, [&] { return StreamPolyChunk(stream); });
    chunk(true, kTagPosition, [&] { return StreamPositionChunk(stream); });
    return result;
}

ResultCode PolygonElement::ReadChunks(MemoryStream* stream)
{
    ResultCode result = kResultOk;
    int32_t chunks = 0;
    for (; result == kResultOk; ++chunks) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        switch (tag) {
        case kTagName: result = ReadBytes(stream, Name, 16); break;
        case kTagData: result = ReadBytes(stream, Data, 16); break;
        case kTagColour: result = StreamColourChunk(stream); break;
        case kTagElementTexture: result = StreamElementTextureRef(stream); break;
        case kTagVran: result = ReadBytes(stream, VranText, 4); break;
        case kTagPrimitive: result = StreamPolyChunk(stream); break;
        case kTagPosition: result = StreamPositionChunk(stream); break;
        default: break;
        }
        IgnoreResult(stream->StreamEndChunk());
    }
    CountTurns(chunks);
    if (!ProgressSuppressionFlag) {
        ProgressSetValue(stream->StreamPosition());
        if (ProgressUpdate(0)) result = kResultStopped;
    }
    if (LowMemoryLevel != 0) result = kResultNotFound;
    return result;
}

ResultCode PolygonElement::StreamColourChunk(MemoryStream* stream)
{
    Channels channels = {{Colour.red, Colour.green, Colour.blue, ColourCode}};
    const ResultCode result = SerializeTypedValue(stream, &channels, kTypedColorCode);
    if (result != kResultOk) return result;
    if (!stream->StreamIsWriting()) {
        Colour = {channels.value[0], channels.value[1], channels.value[2]};
        ColourCode = channels.value[3];
    }
    if (ColourCode < kSpecialColourCode) RebuildSideOverlaps();
    return kResultOk;
}

ResultCode PolygonElement::StreamElementTextureRef(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        ResultCode result = WriteTextureRef(stream, kTagFrontTexture, Texture);
        if (result == kResultOk) result = WriteTextureRefEnd(stream);
        return result;
    }
    // An element shows one texture: a back-side reference is read and passed over.
    return ReadTextureRefs(stream, [this](int32_t side, TextureRecord* texture) {
        if (side == kSideFront) BindElementTexture(texture);
    });
}

ResultCode PolygonElement::StreamPolyChunk(MemoryStream* stream)
{
    int16_t style = OutlineStyle;
    if (stream->StreamIsWriting()) {
        // The count is stored in 16 bits: an outline longer than that keeps its first points.
        const int32_t points = Outline->ArrayCount() < INT16_MAX ? Outline->ArrayCount() : INT16_MAX;
        int16_t count = int16_t(points);
        ResultCode result = stream->StreamTransferValue(&style, kValue16);
        if (result == kResultOk) result = stream->StreamTransferValue(&count, kValue16);
        for (int32_t i = 0; i < points && result == kResultOk; ++i)
            result = SerializeTypedValue(stream, Outline->At<FixedPoint>(i), kTypedFixedPoint);
        return result;
    }
    int16_t count = 0;
    ResultCode result = stream->StreamTransferValue(&style, kValue16);
    if (result == kResultOk) result = stream->StreamTransferValue(&count, kValue16);
    if (result != kResultOk) return result;
    if (!CountFits(stream, count, kElementPointBytes)) return kResultBadCount;
    DynamicArray* outline = NewDynamicArray(count, int32_t(sizeof(FixedPoint)), 4);
    if (!outline) return kResultOutOfMemory;
    for (int32_t i = 0; i < count && result == kResultOk; ++i)
        result = SerializeTypedValue(stream, outline->At<FixedPoint>(i), kTypedFixedPoint);
    CountTurns(count);
    if (result != kResultOk) {
        outline->Destroy();
        return result;
    }
    DestroyArray(Outline);
    Outline = outline;
    OutlineStyle = style;
    Kind = kElementPolygon;
    return kResultOk;
}

ResultCode PolygonElement::StreamPositionChunk(MemoryStream* stream)
{
    // Elements are written with the full transform; a body of exactly the two-dimensional form's
    // length holds that form, the only part of the transform an element uses.
    if (!stream->StreamIsWriting() && BytesLeftToRead(stream) == kTransform2DBytes)
        return Placement->StreamTransform2D(stream);
    return Placement->StreamTransform(stream);
}
