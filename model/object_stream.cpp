// Reading and writing the scene tree as chunks: one routine per node kind in both directions,
// the validator that decides which chunk may follow which, children, contacts and every
// node chunk.
#include "model/object_stream.h"

#include <algorithm>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/typed_value.h"
#include "foundation/ui_services.h"
#include "model/light.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/plane_record.h"
#include "model/polygon_record.h"
#include "model/read_budget.h"
#include "model/read_limits.h"
#include "model/surface.h"
#include "model/transform.h"
#include "model/units_record.h"

int32_t ProgressSuppressionFlag = 0;

namespace {

enum NodeKind : int32_t { kReadRoot, kReadGroup, kReadObject };

bool Handles(int32_t kind, ChunkTag tag)
{
    switch (kind) {
    case kReadRoot:
        return tag == kTagName || tag == kTagData || tag == kTagUnits || tag == kTagLights || tag == kTagColour ||
               tag == kTagSideAttributes || tag == kTagObjectTextures || tag == kTagChildObject ||
               tag == kTagChildGroup || tag == kTagConnections;
    case kReadGroup:
        return tag == kTagName || tag == kTagData || tag == kTagUnits || tag == kTagPosition || tag == kTagVran ||
               tag == kTagChildObject || tag == kTagChildGroup || tag == kTagConnections;
    default:
        return true;
    }
}

// The seen-flag of a node's own chunks, or 0 for any other tag.
uint16_t SeenBitOf(ChunkTag tag)
{
    switch (tag) {
    case kTagName: return kSeenName;
    case kTagData: return kSeenData;
    case kTagUnits: return kSeenUnits;
    case kTagLights: return kSeenLights;
    case kTagColour: return kSeenColour;
    case kTagSideAttributes: return kSeenSideAttributes;
    case kTagMesh:
    case kTagPrimitive: return kSeenGeometry;
    case kTagSlices: return kSeenSlices;
    case kTagObjectTextures: return kSeenTexture;
    case kTagPosition: return kSeenPosition;
    case kTagVran: return kSeenVran;
    default: return 0;
    }
}

// A byte list read from what really remains of the chunk.
ResultCode ReadBytes(MemoryStream* stream, DynamicArray*& list, int32_t growStep)
{
    DestroyArray(list);
    list = NewDynamicArray(BytesLeftToRead(stream), 1, growStep);
    if (!list) return kResultOutOfMemory;
    return list->Write(stream);
}

ResultCode TransferShort(MemoryStream* stream, int16_t* value)
{
    return stream->StreamTransferValue(value, kValue16);
}

void DestroyPolygonLists(DynamicArray* polygons)
{
    for (int32_t i = 0; i < ListCount(polygons); ++i) {
        if (DynamicArray* polygon = PointerAt<DynamicArray>(polygons, i)) polygon->Destroy();
    }
    CountTurns(ListCount(polygons));
    if (polygons) polygons->Destroy();
}

// Four 16-bit channels for typed value kind 111.
struct Channels {
    uint16_t value[4];
};

}  // namespace

// --- reading and writing a node ---

ResultCode ModelObject::Write(MemoryStream* stream)
{
    return stream->StreamIsWriting() ? WriteNode(stream, kReadObject) : ReadNode(stream, kReadObject);
}

ResultCode ModelObject::StreamRoot(MemoryStream* stream)
{
    return stream->StreamIsWriting() ? WriteNode(stream, kReadRoot) : ReadNode(stream, kReadRoot);
}

ResultCode ModelObject::StreamGroup(MemoryStream* stream)
{
    return stream->StreamIsWriting() ? WriteNode(stream, kReadGroup) : ReadNode(stream, kReadGroup);
}

ResultCode ModelObject::ReadNode(MemoryStream* stream, int32_t kind)
{
    // Nodes read on their own, outside a model file, have a budget of their own.
    ReadBudget& budget = Holder->Budget;
    const bool ownBudget = !budget.Reading();
    if (ownBudget) budget.Begin(stream);
    ResultCode result = budget.LookAtProgress() ? kResultOk : kResultStopped;
    uint16_t flags = 0;
    ValidateChunk(kValidateStart, &flags, stream);
    if (kind == kReadGroup) Type = kObjectGroup;
    // The children of a group find their contacts when the group takes its place; those of any
    // other node are searched together once they are all there. A root chunk after the first
    // adds its children to the root's many: each finds its contacts as it joins, through the
    // index of the siblings kept for children that come one at a time.
    const int32_t firstChild = ChildCount();
    contactsDeferred_ = kind != kReadGroup && firstChild == 0;
    DynamicArray* dropped = nullptr;
    int32_t chunks = 0;
    for (; result == kResultOk; ++chunks) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        // A chunk whose tag reads as the validator's end of a node is no chunk of the node: asked
        // to validate it, the validator would build the node in the middle of its chunks.
        if (tag == kValidateEnd || !ValidateChunk(tag, &flags, stream)) {
            result = (flags & kSeenPastBudget) ? kResultPastBudget : StreamUnknownChunk(stream, tag);
        } else if (Handles(kind, tag)) {
            result = DispatchChunk(stream, tag, kind, &dropped);
        }
        IgnoreResult(stream->StreamEndChunk());
        if (result == kResultOk && budget.Passed()) result = kResultPastBudget;
    }
    CountTurns(chunks);
    if (!ValidateChunk(kValidateEnd, &flags, stream) && result == kResultOk) result = kResultPastBudget;
    if (contactsDeferred_) {
        contactsDeferred_ = false;
        ComputeContactsOfChildren(firstChild);
    }
    DestroyArray(dropped);
    if (!budget.LookAtProgress() && result == kResultOk) result = kResultStopped;
    if (ownBudget) {
        result = Holder->EndRead(result);
    } else if (result == kResultOk && budget.Passed()) {
        result = budget.Stopped() ? kResultStopped : kResultPastBudget;
    }
    return result;
}

ResultCode ModelObject::DispatchChunk(MemoryStream* stream, ChunkTag tag, int32_t /*kind*/, DynamicArray** dropped)
{
    switch (tag) {
    case kTagName: return StreamNameChunk(stream);
    case kTagData: return StreamDataChunk(stream);
    case kTagUnits: return StreamUnitChunk(stream);
    case kTagLights: return StreamLightChunk(stream);
    case kTagColour: return StreamColourChunk(stream);
    case kTagSideAttributes: return StreamSideAttributeChunk(stream);
    case kTagPrimitive: return StreamPolyChunk(stream);
    case kTagMesh: return StreamMeshChunk(stream);
    case kTagSlices: return StreamSliceChunk(stream);
    case kTagObjectTextures: return StreamObjectTextureRef(stream);
    case kTagSurface: return StreamSurfaceChunk(stream);
    case kTagPosition: return StreamPositionChunk(stream);
    case kTagVran: return StreamVranChunk(stream);
    case kTagChildObject: return StreamChildChunk(stream, dropped, false);
    case kTagChildGroup: return StreamChildChunk(stream, dropped, true);
    case kTagConnections:
        // Connections are made between faces built in the units they are stored in.
        BuildHeldSubtree();
        return StreamContacts(stream, *dropped);
    default: return kResultOk;
    }
}

int32_t ModelObject::ValidateChunk(ChunkTag tag, uint16_t* flags, MemoryStream* /*stream*/)
{
    if (tag == kValidateStart) {
        *flags = 0;
        return 1;
    }
    // A node is built (or its building held, BuildWithinBudget) when its first child or its end
    // comes; one whose building would pass the read's budget is refused for good, its children
    // unread.
    auto build = [&]() {
        if (BuildWithinBudget()) return true;
        *flags |= kSeenPastBudget;
        return false;
    };
    if (tag == kValidateEnd) return !(*flags & kSeenPastBudget) && ((*flags & kSeenChild) || build());
    if (const uint16_t bit = SeenBitOf(tag)) {
        const int32_t answer = !(*flags & bit) && !(*flags & kSeenChild);
        *flags |= bit;
        return answer;
    }
    if (tag == kTagSurface) return !(*flags & kSeenChild);
    if (tag == kTagChildObject || tag == kTagChildGroup || tag == kTagConnections) {
        if (!(*flags & kSeenGeometry) && !IsWorldRoot() && !IsGroup()) return 0;
        if (!(*flags & kSeenChild)) {
            if (!build()) return 0;
            *flags |= kSeenChild;
        }
        return 1;
    }
    return 0;
}

bool ModelObject::BuildWithinBudget()
{
    // The world root was built when its holder made it, and has taken in every child since; a
    // root chunk gives it nothing to build again.
    if (IsWorldRoot() && GeometryCount() > 0) return true;
    // A node that a change of units further out rebuilds later in the read is built then: till
    // then it is only placed, for its children to join it where they are.
    if (RescaledLaterInRead()) {
        LocalTransform->TransformCopyTo(WorldTransform);
        buildHeld_ = true;
        return true;
    }
    if (!SpendOnBuild(LightsOnFacesOf(this))) return false;
    Build();
    return true;
}

ResultCode ModelObject::WriteNode(MemoryStream* stream, int32_t kind)
{
    ResultCode result = StreamBeforeChunks(stream);
    auto chunk = [&](bool present, ChunkTag tag, ResultCode (ModelObject::*body)(MemoryStream*)) {
        if (!present || result != kResultOk) return;
        result = stream->StreamBeginChunk(tag);
        if (result != kResultOk) return;
        result = (this->*body)(stream);
        const ResultCode ended = stream->StreamEndChunk();
        if (result == kResultOk) result = ended;
    };
    chunk(Name != nullptr, kTagName, &ModelObject::StreamNameChunk);
    chunk(Data != nullptr, kTagData, &ModelObject::StreamDataChunk);
    if (kind == kReadGroup) chunk(VranText != nullptr, kTagVran, &ModelObject::StreamVranChunk);
    chunk(Units != nullptr, kTagUnits, &ModelObject::StreamUnitChunk);
    if (kind == kReadGroup) chunk(true, kTagPosition, &ModelObject::StreamPositionChunk);
    if (kind != kReadGroup) {
        chunk(Lights != nullptr, kTagLights, &ModelObject::StreamLightChunk);
        chunk(true, kTagColour, &ModelObject::StreamColourChunk);
    }
    if (kind == kReadObject) {
        chunk(true, kTagSideAttributes, &ModelObject::StreamSideAttributeChunk);
        chunk(IsPrimitive(), kTagPrimitive, &ModelObject::StreamPolyChunk);
        chunk(IsPolygonObject(), kTagMesh, &ModelObject::StreamMeshChunk);
        chunk(Slices != nullptr, kTagSlices, &ModelObject::StreamSliceChunk);
        chunk(FrontTexture || BackTexture, kTagObjectTextures, &ModelObject::StreamObjectTextureRef);
        if (result == kResultOk) result = WriteSurfaceChunks(stream);
        chunk(true, kTagPosition, &ModelObject::StreamPositionChunk);
        chunk(VranText != nullptr, kTagVran, &ModelObject::StreamVranChunk);
    }
    if (result == kResultOk) result = StreamAfterChunks(stream);
    if (!ProgressSuppressionFlag) {
        ProgressSetValue(ProgressValue() + 1);
        if (ProgressUpdate(0) && result == kResultOk) result = kResultStopped;
    }
    if (result == kResultOk && Children) result = StreamChildren(stream);
    return result;
}

// --- children and contacts ---

ResultCode ModelObject::StreamChildChunk(MemoryStream* stream, DynamicArray** dropped, bool isGroup)
{
    if (readDepth_ + 1 > kMaxReadDepth) return kResultTooDeep;
    ModelObject* child = Holder->MakeObject();
    if (!child) return kResultOutOfMemory;
    child->readDepth_ = readDepth_ + 1;
    child->readParent_ = this;
    child->outerRescale_ = RescaledLaterInRead();
    ResultCode result = isGroup ? child->StreamGroup(stream) : child->Stream(stream);
    child->readDepth_ = 0;
    const bool complete = result == kResultOk && child->IsCompleteObject();
    if (complete) AddChild(child);
    child->readParent_ = nullptr;
    child->outerRescale_ = false;
    // Nodes kept are spent on the budget (those dropped go at once).
    if (complete && child->Parent == this)
        return Holder->Budget.Spend(ReadCost::kNodes, 1) ? kResultOk : kResultPastBudget;
    // The positions of the dropped children in the file, rising.
    if (!*dropped) *dropped = NewDynamicArray(0, int32_t(sizeof(int32_t)), 4);
    if (*dropped) {
        const int32_t position = (*dropped)->ArrayCount() + ChildCount();
        (*dropped)->Append(&position);
    }
    // The subtree of a child whose read the user stopped goes with the holder, after the reader's
    // alert: freeing a large one would keep the user waiting for the alert.
    if (result == kResultStopped || Holder->Budget.Stopped()) {
        Holder->KeepUntilGone(child);
    } else {
        child->Destroy();
    }
    return result;
}

ResultCode ModelObject::StreamContacts(MemoryStream* stream, const DynamicArray* dropped)
{
    if (stream->StreamIsWriting()) {
        const int32_t countAt = stream->StreamPosition();
        int16_t total = 0;
        ResultCode result = TransferShort(stream, &total);
        int32_t sum = 0;
        for (int32_t i = 0; i < ChildCount() && result == kResultOk; ++i) {
            const ModelObject* child = ChildAt(i);
            for (int32_t j = 0; j < ListCount(child->Surfaces) && result == kResultOk; ++j) {
                Surface* surface = PointerAt<Surface>(child->Surfaces, j);
                if (!surface) continue;
                int32_t written = 0;
                result = surface->WriteSurfaceConnections(stream, i, j, Children, &written);
                sum += written;
            }
        }
        if (result != kResultOk) return result;
        const int32_t end = stream->StreamPosition();
        total = int16_t(sum);
        result = stream->StreamTransferValueAt(&total, kValue16, countAt);
        const ResultCode moved = stream->StreamSetPosition(end);
        return result != kResultOk ? result : moved;
    }
    int16_t count = 0;
    const ResultCode result = TransferShort(stream, &count);
    if (result != kResultOk) return result;
    if (!CountFits(stream, count, 8)) return kResultBadCount;
    const int32_t n = ChildCount();
    const int32_t* firstDropped = dropped ? dropped->Elements<int32_t>() : nullptr;
    const int32_t* lastDropped = firstDropped ? firstDropped + dropped->ArrayCount() : nullptr;
    int32_t r = 0;
    for (; r < count; ++r) {
        // A record may make nothing, and spend nothing on what it relates.
        if (Holder->Budget.Passed() || !Holder->Budget.LookWhenDue()) break;
        int16_t values[4] = {0, 0, 0, 0};
        for (int16_t& value : values) {
            const ResultCode read = TransferShort(stream, &value);
            if (read != kResultOk) return read;
        }
        // A child's index among those kept: its position in the file less the dropped children
        // before it. A connection of a dropped child is left out.
        bool named = false;
        auto kept = [&](int32_t position) {
            const int32_t* at = std::lower_bound(firstDropped, lastDropped, position);
            named = named || (at != lastDropped && *at == position);
            return position - int32_t(at - firstDropped);
        };
        const int32_t a = kept(values[0]);
        const int32_t b = kept(values[2]);
        if (named) continue;
        if (b < 0 || b >= n) continue;
        ModelObject* from = a >= 0 && a < n ? ChildAt(a) : a == -1 ? this : nullptr;
        // Each connection made is one that the relations it asks for are allowed in proportion
        // to; a record that makes none (one made already, or one without room) buys nothing.
        if (from && from->AddFaceContact(values[1], ChildAt(b), values[3]) &&
            !Holder->Budget.Spend(ReadCost::kConnections, 1))
            break;
    }
    CountTurns(r);
    return Holder->Budget.Passed() ? kResultPastBudget : kResultOk;
}

ResultCode ModelObject::StreamChildren(MemoryStream* stream)
{
    ResultCode result = kResultOk;
    bool connections = false;
    for (int32_t i = 0; i < ChildCount() && result == kResultOk; ++i) {
        ModelObject* child = ChildAt(i);
        const bool group = child->IsGroup();
        result = stream->StreamBeginChunk(group ? kTagChildGroup : kTagChildObject);
        if (result != kResultOk) break;
        result = group ? child->StreamGroup(stream) : child->Stream(stream);
        const ResultCode ended = stream->StreamEndChunk();
        if (result == kResultOk) result = ended;
        if (!group && (child->HasFaceContacts(nullptr, kRelationSibling) || child->HasFaceContacts(nullptr, kRelationParent))) {
            connections = true;
        }
    }
    if (result == kResultOk && connections) {
        result = stream->StreamBeginChunk(kTagConnections);
        if (result == kResultOk) {
            result = StreamContacts(stream, nullptr);
            const ResultCode ended = stream->StreamEndChunk();
            if (result == kResultOk) result = ended;
        }
    }
    return result;
}

// --- node chunks ---

ResultCode ModelObject::StreamNameChunk(MemoryStream* stream)
{
    if (!stream->StreamIsWriting()) return ReadBytes(stream, Name, 16);
    return Name->Write(stream);
}

ResultCode ModelObject::StreamDataChunk(MemoryStream* stream)
{
    if (!stream->StreamIsWriting()) return ReadBytes(stream, Data, 16);
    return Data->Write(stream);
}

ResultCode ModelObject::StreamVranChunk(MemoryStream* stream)
{
    if (!stream->StreamIsWriting()) return ReadBytes(stream, VranText, 4);
    return VranText->Write(stream);
}

ResultCode ModelObject::StreamUnitChunk(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) return Units->StreamUnits(stream);
    if (BytesLeftToRead(stream) < kUnitsBytes) return kResultShortRead;
    UnitsRecord* units = new (std::nothrow) UnitsRecord;
    if (!units) return kResultOutOfMemory;
    units->UnitsInit();
    IgnoreResult(units->StreamUnits(stream));  // the length was checked above
    ClearUnits();
    Units = units;
    return kResultOk;
}

ResultCode ModelObject::StreamLightChunk(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) return Lights->LightListStream(stream);
    LightList* lights = NewLightList();
    if (!lights) return kResultOutOfMemory;
    const ResultCode result = lights->LightListStream(stream);
    SetLights(lights);
    // Root chunks after the first may each give the world root lights in place of those before:
    // the tree they light is lit once, as the read ends.
    if (this == Holder->Root && ChildCount() > 0 && Holder->Budget.Reading()) {
        Holder->RelightAtEnd = true;
    } else {
        RefreshShading();
    }
    return result;
}

ResultCode ModelObject::StreamColourChunk(MemoryStream* stream)
{
    Channels front = {{FrontColour.red, FrontColour.green, FrontColour.blue, 0}};
    Channels back = {{BackColour.red, BackColour.green, BackColour.blue, ColourCode}};
    ResultCode result = SerializeTypedValue(stream, &front, kTypedColorCode);
    if (result == kResultOk) result = SerializeTypedValue(stream, &back, kTypedColorCode);
    if (stream->StreamIsWriting() || result != kResultOk) return result;
    FrontColour = {front.value[0], front.value[1], front.value[2]};
    BackColour = {back.value[0], back.value[1], back.value[2]};
    ColourCode = back.value[3];
    return kResultOk;
}

ResultCode ModelObject::StreamSideAttributeChunk(MemoryStream* stream)
{
    uint8_t front = FrontSideAttribute;
    uint8_t back = BackSideAttribute;
    ResultCode result = stream->StreamTransferValue(&front, kValueByte);
    if (result == kResultOk) result = stream->StreamTransferValue(&back, kValueByte);
    if (stream->StreamIsWriting() || result != kResultOk) return result;
    FrontSideAttribute = front;
    BackSideAttribute = back;
    return kResultOk;
}

ResultCode ModelObject::StreamPolyChunk(MemoryStream* stream)
{
    const bool writing = stream->StreamIsWriting();
    if (!writing) Type = kObjectPrimitive;
    int16_t style = OutlineStyle;
    uint8_t axis = Axis;
    uint8_t kind = PrimitiveKind;
    int16_t segments = Segments;
    Fixed height0 = Height0;
    Fixed height1 = Height1;
    FixedPoint offset0 = Offset0;
    FixedPoint offset1 = Offset1;
    int16_t count = int16_t(OutlineCount());
    ResultCode result = TransferShort(stream, &style);
    if (result == kResultOk) result = stream->StreamTransferValue(&axis, kValueByte);
    if (result == kResultOk) result = stream->StreamTransferValue(&kind, kValueByte);
    if (result == kResultOk) result = TransferShort(stream, &segments);
    if (result == kResultOk) result = SerializeTypedValue(stream, &height0, kTypedLong);
    if (result == kResultOk) result = SerializeTypedValue(stream, &height1, kTypedLong);
    if (result == kResultOk) result = SerializeTypedValue(stream, &offset0, kTypedFixedPoint);
    if (result == kResultOk) result = SerializeTypedValue(stream, &offset1, kTypedFixedPoint);
    if (result == kResultOk) result = TransferShort(stream, &count);
    if (result != kResultOk) return result;
    if (writing) {
        for (int32_t i = 0; i < count && result == kResultOk; ++i) {
            result = SerializeTypedValue(stream, Outline->At<FixedPoint>(i), kTypedFixedPoint);
        }
        return result;
    }
    if (!CountFits(stream, count, int32_t(sizeof(FixedPoint)))) return kResultBadCount;
    DynamicArray* outline = NewDynamicArray(count, int32_t(sizeof(FixedPoint)), 4);
    if (!outline) return kResultOutOfMemory;
    for (int32_t i = 0; i < count && result == kResultOk; ++i) {
        result = SerializeTypedValue(stream, outline->At<FixedPoint>(i), kTypedFixedPoint);
    }
    CountTurns(count);
    if (result != kResultOk) {
        outline->Destroy();
        return result;
    }
    OutlineStyle = style;
    Axis = axis;
    PrimitiveKind = kind;
    Segments = segments;
    Height0 = height0;
    Height1 = height1;
    Offset0 = offset0;
    Offset1 = offset1;
    DestroyArray(Outline);
    Outline = outline;
    return kResultOk;
}

ResultCode ModelObject::StreamMeshChunk(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        int16_t vertexCount = int16_t(ListCount(MeshVertices));
        ResultCode result = TransferShort(stream, &vertexCount);
        for (int32_t i = 0; i < vertexCount && result == kResultOk; ++i) {
            result = SerializeTypedValue(stream, MeshVertices->At<FixedVector3>(i), kTypedVector);
        }
        int16_t polygonCount = int16_t(ListCount(MeshPolygons));
        if (result == kResultOk) result = TransferShort(stream, &polygonCount);
        for (int32_t p = 0; p < polygonCount && result == kResultOk; ++p) {
            DynamicArray* polygon = PointerAt<DynamicArray>(MeshPolygons, p);
            int16_t indexCount = int16_t(ListCount(polygon));
            result = TransferShort(stream, &indexCount);
            for (int32_t k = 0; k < indexCount && result == kResultOk; ++k) result = TransferShort(stream, polygon->At<int16_t>(k));
        }
        return result;
    }
    Type = kObjectPolygon;
    int16_t vertexCount = 0;
    ResultCode result = TransferShort(stream, &vertexCount);
    if (result != kResultOk) return result;
    if (!CountFits(stream, vertexCount, int32_t(sizeof(FixedVector3)))) return kResultBadCount;
    DynamicArray* vertices = NewDynamicArray(vertexCount, int32_t(sizeof(FixedVector3)), 4);
    DynamicArray* polygons = NewPointerList();
    if (!vertices || !polygons) {
        if (vertices) vertices->Destroy();
        DestroyPolygonLists(polygons);
        return kResultOutOfMemory;
    }
    for (int32_t i = 0; i < vertexCount && result == kResultOk; ++i) {
        result = SerializeTypedValue(stream, vertices->At<FixedVector3>(i), kTypedVector);
    }
    CountTurns(vertexCount);
    int16_t polygonCount = 0;
    if (result == kResultOk) result = TransferShort(stream, &polygonCount);
    if (result == kResultOk && !CountFits(stream, polygonCount, 2)) result = kResultBadCount;
    for (int32_t p = 0; p < polygonCount && result == kResultOk; ++p) {
        int16_t indexCount = 0;
        result = TransferShort(stream, &indexCount);
        if (result == kResultOk && !CountFits(stream, indexCount, 2)) result = kResultBadCount;
        if (result != kResultOk) break;
        DynamicArray* polygon = NewDynamicArray(indexCount, int32_t(sizeof(int16_t)), 4);
        if (!polygon || AppendPointer(polygons, polygon) < 0) {
            if (polygon) polygon->Destroy();
            result = kResultOutOfMemory;
            break;
        }
        for (int32_t k = 0; k < indexCount && result == kResultOk; ++k) result = TransferShort(stream, polygon->At<int16_t>(k));
        CountTurns(1 + indexCount);
    }
    if (result != kResultOk) {
        vertices->Destroy();
        DestroyPolygonLists(polygons);
        return result;
    }
    DestroyArray(MeshVertices);
    DestroyPolygonLists(MeshPolygons);
    MeshVertices = vertices;
    MeshPolygons = polygons;
    return kResultOk;
}

ResultCode ModelObject::StreamSliceChunk(MemoryStream* stream)
{
    int16_t count = int16_t(ListCount(Slices));
    ResultCode result = TransferShort(stream, &count);
    if (result != kResultOk) return result;
    if (stream->StreamIsWriting()) {
        for (int32_t k = 0; k < count && result == kResultOk; ++k) result = PointerAt<PlaneRecord>(Slices, k)->StreamPlane(stream);
        return result;
    }
    if (!CountFits(stream, count, kPlaneBytes)) return kResultBadCount;
    EnsureSliceList();
    if (!Slices) return kResultOutOfMemory;
    for (int32_t k = 0; k < count && result == kResultOk; ++k) {
        PlaneRecord* plane = NewPlaneRecord();
        if (!plane) return kResultOutOfMemory;
        result = BytesLeftToRead(stream) >= kPlaneBytes ? plane->StreamPlane(stream) : kResultShortRead;
        if (result != kResultOk || AppendPointer(Slices, plane) < 0) plane->PlaneFree();
    }
    CountTurns(count);
    if (Surfaces && FaceCount() >= 0) EnsureSurfaceCount(FaceCount());
    return result;
}

ResultCode ModelObject::StreamSurfaceChunk(MemoryStream* stream)
{
    int16_t face = 0;
    ResultCode result = TransferShort(stream, &face);
    if (result != kResultOk || face < 0 || face >= FaceCount()) return result;
    EnsureSurfaceCount(FaceCount());
    if (!Surfaces || face >= Surfaces->ArrayCount() || PointerAt<Surface>(Surfaces, face)) return kResultOk;
    Surface* surface = NewSurface();
    if (!surface) return kResultOutOfMemory;
    result = surface->SurfaceInit(this);
    if (result != kResultOk) {
        surface->SurfaceDestroy();
        return result;
    }
    // In its place while its chunks are read, where each of its elements finds it (the object is
    // not built yet, so nothing else sees it there); a surface that cannot be read leaves it again.
    IgnoreResult(SetPointer(Surfaces, face, surface));
    surface->PlacedAt(face);
    result = surface->Stream(stream);
    if (result != kResultOk) {
        IgnoreResult(SetPointer(Surfaces, face, nullptr));
        surface->SurfaceDestroy();
    }
    return result;
}

ResultCode ModelObject::WriteSurfaceChunks(MemoryStream* stream)
{
    ResultCode result = kResultOk;
    for (int32_t face = 0; face < ListCount(Surfaces) && result == kResultOk; ++face) {
        Surface* surface = PointerAt<Surface>(Surfaces, face);
        if (!surface || !surface->SurfaceHasData()) continue;
        result = stream->StreamBeginChunk(kTagSurface);
        if (result != kResultOk) break;
        int16_t number = int16_t(face);
        result = TransferShort(stream, &number);
        if (result == kResultOk) result = surface->Stream(stream);
        const ResultCode ended = stream->StreamEndChunk();
        if (result == kResultOk) result = ended;
    }
    return result;
}

ResultCode ModelObject::StreamPositionChunk(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) return WorldTransform->StreamTransform(stream);
    // The full transform (48 bytes), its two-dimensional form (24) or none (identity).
    const int32_t length = BytesLeftToRead(stream);
    if (length >= kTransformBytes) {
        IgnoreResult(WorldTransform->StreamTransform(stream));  // reading answers 0
    } else if (length == kTransform2DBytes) {
        IgnoreResult(WorldTransform->StreamTransform2D(stream));  // reading answers 0
    } else if (length == 0) {
        WorldTransform->TransformReset();
    } else {
        return kResultShortRead;
    }
    WorldTransform->TransformCopyTo(LocalTransform);
    return kResultOk;
}
