// Hostile model files whose cost lies in the relations between their parts rather than in their
// bytes, each written by hand and under a megabyte: objects that all meet, large objects side by
// side, connections gathered on one face, contacts that faces pass on to each other, polygon
// elements on one face, root chunks by the thousand, slices through large objects, lights by
// the thousand over many faces, units that rescale nested groups again and again, and empty
// groups by the hundred thousand.
#include "tools/hostile_relations.h"

#include <cmath>
#include <cstring>
#include <string>

#include "foundation/memory_stream.h"
#include "foundation/version_chunk.h"
#include "model/light.h"
#include "tools/sample_scenes.h"
#include "tools/stored_bytes.h"

namespace {

// The largest file of each kind.
constexpr size_t kMostBytes = 1000000;

// Primitive kinds and their axis (z).
constexpr int32_t kPrism = 1;
constexpr int32_t kDome = 4;
constexpr int32_t kAxisZ = 3;
// The most faces an object may have, and a dome's outline for them: its bands times its corners
// and the one cap.
constexpr int32_t kMostFaces = 32767;
constexpr int32_t kDomeCorners = 3;
constexpr int32_t kDomeBands = (kMostFaces - 1) / kDomeCorners;

Bytes Fixed32(double value)
{
    return I32(std::llround(value * 65536.0));
}

// A "POLY" chunk: a primitive of the kind and segments whose outline is the regular polygon of
// `corners` points of the radius around (x, y), from height z0 to z1 along z.
Bytes PrimitiveChunk(int32_t kind, int32_t segments, int32_t corners, double radius, double x, double y, double z0,
                     double z1)
{
    Bytes body = I16(1) + Bytes{uint8_t(kAxisZ), uint8_t(kind)} + I16(segments) + Fixed32(z0) + Fixed32(z1) +
                 Fixed32(0) + Fixed32(0) + Fixed32(0) + Fixed32(0) + I16(corners);
    for (int32_t i = 0; i < corners; ++i) {
        const double angle = 6.283185307179586 * (i + 0.5) / corners;
        Append(body, Fixed32(x + radius * std::cos(angle)) + Fixed32(y + radius * std::sin(angle)));
    }
    return Chunk("POLY", body);
}

// Grey on both sides, and opaque: without a colour chunk an object is wholly see-through, and each
// of its faces draws again what lies behind it.
Bytes Opaque()
{
    return Chunk("COLR", Word32(0x00808080) + Word32(0xFF808080));
}

// The smallest whole object that hides what lies behind it: a three-sided prism of the size at
// (x, y).
Bytes Prism(double x, double y, double size)
{
    return Chunk("PRSM", Opaque() + PrimitiveChunk(kPrism, 1, 3, size, x, y, 0, size));
}

// An opaque box of the size at (x, y): faces 0 (top) to 5.
Bytes BoxPrimitive(double x, double y, double size)
{
    return Opaque() + PrimitiveChunk(kPrism, 1, 4, size, x, y, 0, size);
}

// A dome of the bands (face 0 its cap; kMostFaces faces unless fewer bands are asked for) of the
// radius, placed at (x, y): its primitive and its two-dimensional position.
Bytes DomePrimitive(double x, double y, double radius, int32_t bands = kDomeBands)
{
    const Bytes position = Fixed32(x) + Fixed32(y) + Fixed32(0) + Fixed32(0) + Fixed32(1) + Fixed32(1);
    return Opaque() + PrimitiveChunk(kDome, bands, kDomeCorners, radius, 0, 0, 0, radius) + Chunk("POSN", position);
}

// One "CONN" record: face `faceA` of child a (-1: the node itself) with face `faceB` of child b.
Bytes Connection(int32_t a, int32_t faceA, int32_t b, int32_t faceB)
{
    return I16(a) + I16(faceA) + I16(b) + I16(faceB);
}

Bytes ModelFile(const Bytes& chunks)
{
    return Chunk("FORM", Tag("QMDL") + Chunk("VERS", Word32(kFileVersion)) + chunks);
}

// Prisms of the size in rows, apart from each other.
Bytes PrismsApart(int32_t count, double size)
{
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(count))));
    Bytes prisms;
    for (int32_t i = 0; i < count; ++i) Append(prisms, Prism(4 * size * (i % columns), 4 * size * (i / columns), size));
    return prisms;
}

// The bytes the writer gives one light, without the list's count in front.
Bytes OneLight()
{
    LightList* list = NewLightList();
    Light* light = new Light;
    light->LightInitDefaults();
    light->LightSetDirection(30, -40, 200);
    light->LightSetGrey(0x8000);
    if (!list || list->LightListAppend(light) < 0) {
        light->LightFree();
        if (list) list->LightListDeleteAll();
        return {};
    }
    MemoryStream stream;
    stream.StreamInit(kStreamWriting);
    const ResultCode written = list->LightListStream(&stream);
    list->LightListDeleteAll();
    if (written != kResultOk) return {};
    const auto* data = static_cast<const uint8_t*>(stream.Buffer()->ArrayData());
    return Bytes(data + 2, data + stream.Buffer()->ArrayCount());
}

// The first polygon element chunk ("FEAT") of the elements sample as written.
Bytes OneElement(const Bytes& elementsSample)
{
    for (size_t at = 12; at + 8 <= elementsSample.size(); ++at) {
        if (std::memcmp(&elementsSample[at], "FEAT", 4) != 0) continue;
        const size_t length = size_t(elementsSample[at + 4]) << 24 | size_t(elementsSample[at + 5]) << 16 |
                              size_t(elementsSample[at + 6]) << 8 | elementsSample[at + 7];
        const size_t end = at + 8 + length + (length % 2);
        if (end <= elementsSample.size()) return Bytes(elementsSample.begin() + long(at), elementsSample.begin() + long(end));
    }
    return {};
}

// A megabyte of the smallest prisms, apart from each other: an honest model as dense in objects as
// a file can be.
Bytes PrismsApartFile()
{
    return ModelFile(Chunk("ROOT", PrismsApart(int32_t(kMostBytes / 88) - 1, 10)));
}

// Boxes stacked in a cube, each touching its neighbours on every side, edge and corner: an honest
// model as dense in contacts as a file can be.
Bytes BoxesTouching()
{
    constexpr double kSize = 10;
    constexpr int32_t kSide = 21;
    Bytes boxes;
    for (int32_t z = 0; z < kSide; ++z) {
        for (int32_t y = 0; y < kSide; ++y) {
            for (int32_t x = 0; x < kSide; ++x) {
                // A box's outline corners lie kSize from its middle, so its sides are kSize x sqrt 2.
                const double side = kSize * 1.4142135623730951;
                Bytes body = Opaque() + PrimitiveChunk(kPrism, 1, 4, kSize, side * x, side * y, side * z, side * (z + 1));
                Append(boxes, Chunk("PRSM", body));
            }
        }
    }
    return ModelFile(Chunk("ROOT", boxes));
}

// Every pair of a great many small prisms in one place meets.
Bytes ContactsInOnePlace()
{
    Bytes prisms;
    while (prisms.size() + 100 < kMostBytes) Append(prisms, Prism(0, 0, 10));
    return ModelFile(Chunk("ROOT", prisms));
}

// Four domes of the most faces an object may have in a row, each close beside the next: the
// search for the face that parts two of them compares every face of one that faces the other
// with every vertex of the other.
Bytes LargeObjectsSideBySide()
{
    Bytes domes;
    for (int32_t i = 0; i < 4; ++i) Append(domes, Chunk("PRSM", DomePrimitive(1600 * i, 0, 1000)));
    return ModelFile(Chunk("ROOT", domes));
}

// One face of a box joined to every face of three domes, one connection at a time.
Bytes ConnectionsToOneFace()
{
    Bytes children = Chunk("PRSM", BoxPrimitive(0, 0, 100));
    for (int32_t dome = 1; dome <= 3; ++dome) Append(children, Chunk("PRSM", DomePrimitive(1000 * dome, 0, 300)));
    Bytes records;
    int32_t count = 0;
    for (int32_t dome = 1; dome <= 3; ++dome) {
        for (int32_t face = 0; face < kMostFaces && count < 32000; face += 3, ++count) Append(records, Connection(0, 0, dome, face));
    }
    return ModelFile(Chunk("ROOT", children + Chunk("CONN", I16(count) + records)));
}

// A box's top joined to every face of a dome inside it, then to every face of a dome beside
// it: each face of the inner dome takes every contact the box's top gains.
Bytes ContactsPassedOn()
{
    constexpr int32_t kEach = 16000;
    Bytes inner;
    for (int32_t face = 0; face < kEach; ++face) Append(inner, Connection(-1, 0, 0, face));
    const Bytes box = Chunk("PRSM", BoxPrimitive(0, 0, 2000) + Chunk("PRSM", DomePrimitive(0, 0, 500)) +
                                        Chunk("CONN", I16(kEach) + inner));
    Bytes beside;
    for (int32_t face = 0; face < kEach; ++face) Append(beside, Connection(0, 0, 1, face));
    return ModelFile(Chunk("ROOT", box + Chunk("PRSM", DomePrimitive(5000, 0, 500)) + Chunk("CONN", I16(kEach) + beside)));
}

// A dome whose last face carries polygon elements by the ten thousand.
Bytes ElementsOnOneFace(const Bytes& element)
{
    if (element.empty()) return {};
    Bytes surface = I16(kMostFaces - 1);
    while (surface.size() + element.size() + 200 < kMostBytes) Append(surface, element);
    return ModelFile(Chunk("ROOT", Chunk("PRSM", DomePrimitive(0, 0, 10000) + Chunk("SURF", surface))));
}

// Prisms apart, then root chunks by the ten thousand, each holding a light for the root.
Bytes RootChunksWithLights(const Bytes& light)
{
    if (light.empty()) return {};
    Bytes file = Chunk("ROOT", PrismsApart(8000, 10));
    const Bytes lightChunk = Chunk("ROOT", Chunk("LGHT", I16(1) + light));
    while (file.size() + lightChunk.size() + 20 < kMostBytes) Append(file, lightChunk);
    return ModelFile(file);
}

// Prisms apart, then empty root chunks by the ten thousand.
Bytes EmptyRootChunks()
{
    Bytes file = Chunk("ROOT", PrismsApart(7000, 10));
    while (file.size() + 28 < kMostBytes) Append(file, Chunk("ROOT", {}));
    return ModelFile(file);
}

// Prisms apart, then root chunks by the thousand, each bringing one more prism beside them.
Bytes RootChunksOfOnePrism()
{
    Bytes file = Chunk("ROOT", PrismsApart(6000, 10));
    for (int32_t i = 0; file.size() + 100 < kMostBytes; ++i) Append(file, Chunk("ROOT", Prism(-100 - 40 * (i % 100), -100 - 40 * (i / 100), 10)));
    return ModelFile(file);
}

// Four domes, each cut by slices by the thousand: planes through the dome's axis turned a
// little further each, or planes across it that all lie below its foot and cut nothing away.
Bytes SlicedDomes(bool throughAxis)
{
    constexpr int32_t kBands = 10000;
    constexpr int32_t kSlices = kMostFaces - kBands * kDomeCorners - 1;
    Bytes file;
    for (int32_t dome = 0; dome < 4; ++dome) {
        Bytes slices = I16(kSlices);
        for (int32_t k = 0; k < kSlices; ++k) {
            const double angle = 3.141592653589793 * k / kSlices;
            if (throughAxis) {
                Append(slices, Fixed32(std::cos(angle)) + Fixed32(std::sin(angle)) + Fixed32(0) + Fixed32(0));
            } else {
                Append(slices, Fixed32(0) + Fixed32(0) + Fixed32(1) + Fixed32(1 + k));
            }
        }
        Append(file, Chunk("PRSM", DomePrimitive(0, 0, 1000, kBands) + Chunk("SLIC", slices)));
    }
    return ModelFile(Chunk("ROOT", file));
}

// Lights by the ten thousand over four domes of the most faces.
Bytes LightsOverManyFaces(const Bytes& light)
{
    if (light.empty()) return {};
    Bytes lights;
    int32_t count = 0;
    for (; count < 32767 && lights.size() + light.size() + 1000 < kMostBytes; ++count) Append(lights, light);
    Bytes domes;
    for (int32_t i = 0; i < 4; ++i) Append(domes, Chunk("PRSM", DomePrimitive(5000 * i, 0, 1000)));
    return ModelFile(Chunk("ROOT", Chunk("LGHT", I16(count) + lights) + domes));
}

// Groups nested as deep as the reader goes, each measuring its units differently from the one
// around it, around as many faces as any model may have: every group that joins its parent
// rescales and rebuilds everything inside it.
Bytes NestedUnits()
{
    Bytes inside;
    for (int32_t i = 0; i < 4; ++i) Append(inside, Chunk("PRSM", DomePrimitive(5000 * i, 0, 1000)));
    const Bytes feet = {0x3F, 0xD3, 0x81, 0xD7, 0xDB, 0xF4, 0x87, 0xFD};  // 0.3048
    const Bytes metres = {0x3F, 0xF0, 0, 0, 0, 0, 0, 0};                // 1.0
    for (int32_t depth = 0; depth < 99; ++depth) inside = Chunk("PGRP", Chunk("UNIT", depth % 2 ? feet : metres) + inside);
    return ModelFile(Chunk("ROOT", inside));
}

// Empty groups by the hundred thousand.
Bytes EmptyGroups()
{
    Bytes groups;
    while (groups.size() + 30 < kMostBytes) Append(groups, Chunk("PGRP", {}));
    return ModelFile(Chunk("ROOT", groups));
}

}  // namespace

std::vector<HostileModel> RelationHostileModels()
{
    const Bytes light = OneLight();
    const Bytes element = OneElement(ModelFileBytes(BuildElementsSample()));
    const struct {
        const char* name;
        Bytes bytes;
        HostileModel::Outcome outcome;
    } kinds[] = {
        {"relations-prisms-apart.qpy", PrismsApartFile(), HostileModel::kMustLoad},
        {"relations-boxes-touching.qpy", BoxesTouching(), HostileModel::kMustLoad},
        {"relations-contacts-in-one-place.qpy", ContactsInOnePlace(), HostileModel::kMustFail},
        {"relations-large-objects-side-by-side.qpy", LargeObjectsSideBySide(), HostileModel::kMustFail},
        {"relations-connections-to-one-face.qpy", ConnectionsToOneFace(), HostileModel::kMustFail},
        {"relations-contacts-passed-on.qpy", ContactsPassedOn(), HostileModel::kMustFail},
        {"relations-elements-on-one-face.qpy", ElementsOnOneFace(element), HostileModel::kMustLoad},
        {"relations-root-chunks-with-lights.qpy", RootChunksWithLights(light), HostileModel::kMustFail},
        {"relations-root-chunks-empty.qpy", EmptyRootChunks(), HostileModel::kMustLoad},
        {"relations-root-chunks-of-one-prism.qpy", RootChunksOfOnePrism(), HostileModel::kMustLoad},
        {"relations-slices-through-axis.qpy", SlicedDomes(true), HostileModel::kMustFail},
        {"relations-slices-below-foot.qpy", SlicedDomes(false), HostileModel::kMustFail},
        {"relations-lights-over-many-faces.qpy", LightsOverManyFaces(light), HostileModel::kMustFail},
        {"relations-units-nested.qpy", NestedUnits(), HostileModel::kMustFail},
        {"relations-empty-groups.qpy", EmptyGroups(), HostileModel::kMustFail},
    };
    std::vector<HostileModel> models;
    for (const auto& kind : kinds) {
        const char* prefix = kind.outcome == HostileModel::kMustFail ? "fail-" : "load-";
        if (!kind.bytes.empty()) models.push_back({std::string(prefix) + kind.name, kind.bytes, kind.outcome});
    }
    return models;
}
