// Hostile model files whose cost lies in the relations between their parts rather than in their
// bytes, each written by hand and under a megabyte: objects that all meet, large objects side by
// side, connections gathered on one face, contacts that faces pass on to each other, polygon
// elements on one face, root chunks by the thousand, slices through large objects, lights by the
// thousand over many faces, units that rescale nested groups again and again (around domes, empty
// groups or triangles by the hundred), empty groups by the hundred thousand, objects without faces
// by the ten thousand, large objects around small ones, elements on many faces, cut edges that
// circle, smooth sides around one corner, points and indices that one hash would put together,
// outlines of a thousand teeth against the faces they lie on, smooth corners named by the hundred
// thousand under lights by the ten thousand, corners by the hundred thousand under slices by the
// ten thousand, sliced objects without faces, tiny triangles in one place under a dome, outlines of
// thousands of points on a line, prisms nested in units of their own, lists of lights by the ten
// thousand replaced, domes of a million faces under slices that keep them whole or cut their tips,
// corners under slices cutting slivers, elements under connections repeated, elements rebuilt
// through 90 levels of units, round elements of the most points under faces connected one by one,
// lists of thousands of contacts copied to a thousand faces, connections by the hundred thousand
// between faces that had none, connections to a face without room (and with thousands of
// connections), and leaning faces of thousands of rows connected by the hundred thousand; beside
// them honest models as dense as a file can be.
#include "tools/hostile_relations.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/memory_stream.h"
#include "foundation/version_chunk.h"
#include "model/light.h"
#include "model/read_budget.h"
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

// A dome of the bands and corners (face 0 its cap; kMostFaces faces unless fewer bands are asked
// for) of the radius, placed at (x, y): its primitive and its two-dimensional position.
Bytes DomePrimitive(double x, double y, double radius, int32_t bands = kDomeBands, int32_t corners = kDomeCorners)
{
    const Bytes position = Fixed32(x) + Fixed32(y) + Fixed32(0) + Fixed32(0) + Fixed32(1) + Fixed32(1);
    return Opaque() + PrimitiveChunk(kDome, bands, corners, radius, 0, 0, 0, radius) + Chunk("POSN", position);
}

// A dome at the origin of the radius and the height, whose bands make at least `faces` faces.
Bytes LowDome(double radius, double height, int32_t faces)
{
    return Opaque() + PrimitiveChunk(kDome, faces / kDomeCorners + 1, kDomeCorners, radius, 0, 0, 0, height);
}

// A box of the size with its foot at height z at the origin: faces 0 (top) to 5.
Bytes BoxAt(double z, double size)
{
    return Opaque() + PrimitiveChunk(kPrism, 1, 4, size, 0, 0, z, z + size);
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

// Domes of some 700 faces, as many as make a million faces, a third of their radius apart in rows:
// each meets dozens of others, poking through their faces, so that the search compares the faces
// of each with the vertices of the other, both ways, for every contact the read may make.
Bytes DomesSunkIntoEachOther()
{
    constexpr int32_t kBands = 233;
    constexpr int32_t kRow = 40;
    Bytes domes;
    for (int32_t i = 0; i < kFacesOfAnyModel / (kDomeCorners * kBands); ++i)
        Append(domes, Chunk("PRSM", DomePrimitive(30 * (i % kRow), 30 * (i / kRow), 100, kBands)));
    return ModelFile(Chunk("ROOT", domes));
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

// A "CONN" chunk of the records.
Bytes Connections(const std::vector<Bytes>& records)
{
    Bytes chunk = I16(int32_t(records.size()));
    for (const Bytes& record : records) Append(chunk, record);
    return Chunk("CONN", chunk);
}

// A box whose top gathers `fan` x (`fan` + 1) contacts in one place: it is connected to `fan`
// faces of a low dome inside it, each of them to `fan` faces of a low dome inside that one.
Bytes GatheringBox(int32_t fan, double size)
{
    std::vector<Bytes> outer;
    std::vector<Bytes> inner;
    for (int32_t j = 0; j < fan; ++j) {
        outer.push_back(Connection(-1, 0, 0, 1 + j));
        for (int32_t i = 0; i < fan; ++i) inner.push_back(Connection(-1, 1 + j, 0, 1 + j * fan + i));
    }
    const Bytes innermost = Chunk("PRSM", LowDome(size, 1, fan * fan + 1));
    const Bytes middle = Chunk("PRSM", LowDome(size, 1, fan + 1) + innermost + Connections(inner));
    return Chunk("PRSM", BoxAt(0, size) + middle + Connections(outer));
}

// A box holding the gathering box beside a box whose top is connected to that of a third inside
// it, whose top is connected to each of `receivers` boxes stacked inside that one, `repeats`
// records repeating a connection coming first: the box beside takes in the gathered contacts
// and passes them on to every box of the stack, each of which passes the stack's back to every
// face that gathered them.
Bytes ContactListsCopied(int32_t receivers, int32_t repeats)
{
    constexpr double kSize = 10;
    std::vector<Bytes> stacked;
    Bytes stack;
    for (int32_t k = 0; k < receivers; ++k) {
        Append(stack, Chunk("PRSM", BoxAt(-4 * kSize * (k + 1), kSize)));
        stacked.push_back(Connection(-1, 0, k, 1));
    }
    const Bytes holder = Chunk("PRSM", BoxAt(0, kSize) + stack + Connections(stacked));
    const Bytes beside = Chunk("PRSM", BoxAt(0, kSize) + holder + Connections({Connection(-1, 0, 0, 0)}));
    Bytes outer;
    std::vector<Bytes> records;
    for (int32_t r = 0; r < repeats; ++r) {
        records.push_back(Connection(-1, 0, 1, 0));
        if (records.size() < size_t(kMostFaces)) continue;
        Append(outer, Connections(records));
        records.clear();
    }
    records.push_back(Connection(-1, 0, 1, 0));
    records.push_back(Connection(0, 0, 1, 0));
    Append(outer, Connections(records));
    return ModelFile(Chunk("ROOT", Chunk("PRSM", BoxAt(0, kSize) + GatheringBox(128, kSize) + beside + outer)));
}

// A box whose top is connected to thousands of faces of a dome, and then to a gathering box that
// leaves it no room, then records by the ten thousand each connecting a face of another dome with
// it: each finds no room only once it has searched the box's connections, and searches them again
// to take its own out.
Bytes ConnectionsToAFullFace()
{
    constexpr double kSize = 10;
    constexpr int32_t kConnected = 6000;
    Bytes file = Chunk("PRSM", BoxAt(0, kSize)) + Chunk("PRSM", DomePrimitive(0, 0, kSize)) +
                 GatheringBox(160, kSize) + Chunk("PRSM", DomePrimitive(0, 0, kSize));
    std::vector<Bytes> records;
    for (int32_t face = 1; face <= kConnected; ++face) records.push_back(Connection(1, face, 0, 0));
    records.push_back(Connection(2, 0, 0, 0));
    Append(file, Connections(records));
    records.clear();
    for (int32_t face = 1; file.size() + 8 * records.size() + 100 < kMostBytes; ++face) {
        records.push_back(Connection(3, face, 0, 0));
        if (records.size() < 32000) continue;
        Append(file, Connections(records));
        records.clear();
    }
    Append(file, Connections(records));
    return ModelFile(Chunk("ROOT", file));
}

// Four domes of the most faces in a row, each face of each connected to the same face of the next,
// four records to a face: every record is a connection between faces that have none before it.
// With `corners` the domes are round rather than three-sided, of as many bands as make the most
// faces: faces as wide as they are tall, each covering much of the one it is connected to.
Bytes ConnectionsBetweenDomes(int32_t corners = kDomeCorners)
{
    constexpr int32_t kDomes = 4;
    constexpr double kRadius = 600;
    Bytes file;
    for (int32_t d = 0; d < kDomes; ++d)
        Append(file, Chunk("PRSM", DomePrimitive(1500 * d, 0, kRadius, (kMostFaces - 1) / corners, corners)));
    for (int32_t d = 0; d < kDomes; ++d) {
        std::vector<Bytes> records;
        for (int32_t face = 1; records.size() < 31000; ++face) records.push_back(Connection(d, face, (d + 1) % kDomes, face));
        Append(file, Connections(records));
    }
    return ModelFile(Chunk("ROOT", file));
}

// A box whose front takes in the contacts gathered by two gathering boxes beside it, all but a
// few hundred of as many as a face may have, then records by the ten thousand each connecting a
// face of four domes that has none with it, most of which find no room.
Bytes ConnectionsWithoutRoom()
{
    constexpr double kSize = 10;
    constexpr int32_t kDomes = 4;
    Bytes file = Chunk("PRSM", BoxAt(0, kSize)) + GatheringBox(128, kSize) + GatheringBox(126, kSize);
    for (int32_t d = 0; d < kDomes; ++d) Append(file, Chunk("PRSM", DomePrimitive(0, 0, kSize)));
    Append(file, Connections({Connection(0, 0, 1, 0), Connection(0, 0, 2, 0)}));
    for (int32_t d = 0; d < kDomes; ++d) {
        std::vector<Bytes> records;
        for (int32_t face = 1; records.size() < 22000; ++face) records.push_back(Connection(3 + d, face, 0, 0));
        Append(file, Connections(records));
    }
    return ModelFile(Chunk("ROOT", file));
}

// Two prisms of 15,000 sides in one place, leaning, the second turned a little against the first,
// each side of the first connected to six sides of the second: each side's covering hands the
// system regions of thousands of rows, each row's outline a little apart from the one before it.
Bytes LeaningSidesConnected()
{
    constexpr int32_t kSides = 15000;
    constexpr double kRadius = 3000;
    constexpr double kHeight = 20000;
    constexpr double kLean = 15000;
    Bytes file;
    for (int32_t p = 0; p < 2; ++p) {
        Bytes body = I16(1) + Bytes{uint8_t(kAxisZ), uint8_t(kPrism)} + I16(1) + Fixed32(0) + Fixed32(kHeight) +
                     Fixed32(0) + Fixed32(0) + Fixed32(kLean) + Fixed32(0.7 * kLean) + I16(kSides);
        for (int32_t i = 0; i < kSides; ++i) {
            const double angle = 6.283185307179586 * (i + 0.5 + 0.37 * p) / kSides;
            Append(body, Fixed32(kRadius * std::cos(angle)) + Fixed32(kRadius * std::sin(angle)));
        }
        Append(file, Chunk("PRSM", Opaque() + Chunk("POLY", body)));
    }
    // Sides are faces 2 on.
    std::vector<Bytes> records;
    for (int32_t made = 0; file.size() + 8 * records.size() + 100 < kMostBytes; ++made) {
        const int32_t side = made % kSides;
        records.push_back(Connection(0, 2 + side, 1, 2 + (side + made / kSides) % kSides));
        if (records.size() < 32000) continue;
        Append(file, Connections(records));
        records.clear();
    }
    Append(file, Connections(records));
    return ModelFile(Chunk("ROOT", file));
}

// A dome whose last face carries polygon elements by the ten thousand.
Bytes ElementsOnOneFace(const Bytes& element)
{
    if (element.empty()) return {};
    Bytes surface = I16(kMostFaces - 1);
    while (surface.size() + element.size() + 200 < kMostBytes) Append(surface, element);
    return ModelFile(Chunk("ROOT", Chunk("PRSM", DomePrimitive(0, 0, 10000) + Chunk("SURF", surface))));
}

// A dome whose faces from the last one down carry a polygon element each, by the ten thousand:
// each element lit looks for its face's number, which a search of the dome's list of faces would
// find only after all those before it. With `endTag`, a chunk tagged as the end of a node comes
// before them, which would have the dome built in the midst of its surfaces, each element then
// working its boxes out again over all its faces.
Bytes ElementsOnManyFaces(const Bytes& element, bool endTag)
{
    if (element.empty()) return {};
    Bytes surfaces = endTag ? Chunk("\x00\x00\x00\x01", {}) : Bytes{};
    for (int32_t face = kMostFaces - 1; face > 0 && surfaces.size() + element.size() + 100 < kMostBytes; --face)
        Append(surfaces, Chunk("SURF", I16(face) + element));
    return ModelFile(Chunk("ROOT", Chunk("PRSM", DomePrimitive(0, 0, 10000) + surfaces)));
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

// A "UNIT" chunk of a foot (0.3048) or a metre.
constexpr uint8_t kFeet[] = {0x3F, 0xD3, 0x81, 0xD7, 0xDB, 0xF4, 0x87, 0xFD};  // 0.3048
constexpr uint8_t kMetres[] = {0x3F, 0xF0, 0, 0, 0, 0, 0, 0};                // 1.0

Bytes Units(bool feet)
{
    return Chunk("UNIT", feet ? Bytes(std::begin(kFeet), std::end(kFeet)) : Bytes(std::begin(kMetres), std::end(kMetres)));
}

// Groups nested as deep as the reader goes, each measuring its units differently from the one
// around it, around the nodes given: every group that joins its parent rescales everything inside
// it, which is built once, in the outermost units.
Bytes NestedUnitsAround(Bytes inside)
{
    for (int32_t depth = 0; depth < 99; ++depth) inside = Chunk("PGRP", Units(depth % 2 == 1) + inside);
    return ModelFile(Chunk("ROOT", inside));
}

// The same around as many faces as any model may have.
Bytes NestedUnits()
{
    Bytes inside;
    for (int32_t i = 0; i < 4; ++i) Append(inside, Chunk("PRSM", DomePrimitive(5000 * i, 0, 1000)));
    return NestedUnitsAround(inside);
}

// A dome of the most faces and of a radius of 1/65536, in a group measuring in feet under a root
// measuring in metres: rescaled as the group joins the root, its outline collapses to a point,
// and every face it builds is left out as it is made, its corners walked.
Bytes DomeCollapsingInUnits()
{
    const Bytes group = Chunk("PGRP", Units(true) + Chunk("PRSM", DomePrimitive(0, 0, 1.0 / 65536)));
    return ModelFile(Chunk("ROOT", Units(false) + group));
}

// Empty groups by the hundred thousand.
Bytes EmptyGroups()
{
    Bytes groups;
    while (groups.size() + 30 < kMostBytes) Append(groups, Chunk("PGRP", {}));
    return ModelFile(Chunk("ROOT", groups));
}

// A "MESH" chunk of the vertices (x, y, z each) and the polygons (vertex indices each).
Bytes MeshChunk(const std::vector<std::array<double, 3>>& vertices, const std::vector<std::vector<int32_t>>& polygons)
{
    Bytes body = I16(int32_t(vertices.size()));
    for (const auto& v : vertices) Append(body, Fixed32(v[0]) + Fixed32(v[1]) + Fixed32(v[2]));
    Append(body, I16(int32_t(polygons.size())));
    for (const auto& polygon : polygons) {
        Append(body, I16(int32_t(polygon.size())));
        for (int32_t index : polygon) Append(body, I16(index));
    }
    return Chunk("MESH", body);
}

// A "SLIC" chunk of `count` planes z = height, each keeping what lies above it.
Bytes SlicesAbove(int32_t count, double height)
{
    Bytes slices = I16(count);
    for (int32_t k = 0; k < count; ++k) Append(slices, Fixed32(0) + Fixed32(0) + Fixed32(1) + Fixed32(-height));
    return Chunk("SLIC", slices);
}

// An object whose mesh has no vertices and no polygons: it has no faces.
Bytes EmptyMesh()
{
    return Chunk("PRSM", MeshChunk({}, {}));
}

// Objects without faces by the ten thousand under one root chunk: each is at the origin with no
// extent, where every other one is.
Bytes EmptyMeshes()
{
    Bytes objects;
    for (int32_t i = 0; i < 40000; ++i) Append(objects, EmptyMesh());
    return ModelFile(Chunk("ROOT", objects));
}

// A prism, then root chunks by the ten thousand, each bringing one object without faces.
Bytes EmptyMeshesInRootChunks()
{
    Bytes file = Chunk("ROOT", Prism(0, 0, 10));
    for (int32_t i = 0; i < 30000; ++i) Append(file, Chunk("ROOT", EmptyMesh()));
    return ModelFile(file);
}

// Prisms apart, then root chunks by the ten thousand, each holding an empty list of lights for
// the root.
Bytes RootChunksOfNoLights()
{
    Bytes file = Chunk("ROOT", PrismsApart(7000, 10));
    for (int32_t i = 0; i < 16000; ++i) Append(file, Chunk("ROOT", Chunk("LGHT", I16(0))));
    return ModelFile(file);
}

// Empty groups, each measuring in the units given.
Bytes EmptyGroupsInUnits(int32_t count, bool feet)
{
    Bytes groups;
    for (int32_t i = 0; i < count; ++i) Append(groups, Chunk("PGRP", Units(feet)));
    return groups;
}

// Groups nested as deep as the reader goes, each measuring its units differently from the one
// around it, around thousands of empty groups: every group that joins its parent rescales
// everything inside it, though nothing inside has a face.
Bytes NestedUnitsAroundEmptyGroups()
{
    return NestedUnitsAround(EmptyGroupsInUnits(8000, false));
}

// Two nested groups in different units around empty groups by the ten thousand: the inner group
// rescales each of them as it joins the outer one.
Bytes UnitsAroundEmptyGroups()
{
    const Bytes inner = Chunk("PGRP", Units(false) + EmptyGroupsInUnits(30000, false));
    return ModelFile(Chunk("ROOT", Chunk("PGRP", Units(true) + inner)));
}

// A prism measured in feet under a root measured in metres, holding prisms apart by the ten
// thousand: it rescales every one of them as it joins the root.
Bytes UnitsOfAnObject()
{
    const Bytes object = Chunk("PRSM", Units(true) + Opaque() + PrimitiveChunk(kPrism, 1, 3, 10, -100, -100, 0, 10) +
                                           PrismsApart(11000, 10));
    return ModelFile(Chunk("ROOT", Units(false) + object));
}

// A mesh of three triangles around a corner below the plane z = 0, the second and third each
// thousands of times over, cut by slices at heights rising below the plane: the edges each slice
// cuts meet at three points, and chained from the first they circle between the other two.
Bytes SliceChainCircling()
{
    constexpr int32_t kSlices = 16;
    const std::vector<std::array<double, 3>> vertices = {{0, 0, -100}, {100, 0, 100}, {-50, 87, 100}, {-50, -87, 100}};
    // Faces are cut from the last: the first cut edge runs from the cut on edge 0-1 to the cut on
    // edge 0-2, the ten thousand after it from there too, and the two last from 0-2 to 0-3 and back.
    std::vector<std::vector<int32_t>> polygons = {{0, 2, 3}, {0, 3, 2}};
    while (polygons.size() < size_t(kMostFaces - kSlices)) polygons.push_back({0, 2, 1});
    Bytes slices = I16(kSlices);
    for (int32_t k = 0; k < kSlices; ++k) Append(slices, Fixed32(0) + Fixed32(0) + Fixed32(1) + Fixed32(99 - 6 * k));
    return ModelFile(Chunk("ROOT", Chunk("PRSM", Opaque() + MeshChunk(vertices, polygons) + Chunk("SLIC", slices))));
}

// A mesh of the most vertices and no polygons, cut by slices by the ten thousand that keep
// everything: each slice measures every vertex.
Bytes SlicesOverVertices()
{
    std::vector<std::array<double, 3>> vertices;
    for (int32_t i = 0; i < kMostFaces; ++i) vertices.push_back({double(i % 181), double(i / 181), 0});
    return ModelFile(Chunk("ROOT", Chunk("PRSM", MeshChunk(vertices, {}) + SlicesAbove(32000, -1000))));
}

// Large objects around the origin and small ones by the ten thousand in the corners of the space,
// clear of the large ones' bounds: a grid whose cells follow the objects' average size files each
// large one under nearly every cell.
Bytes LargeAndSmall(int32_t large, bool triangles)
{
    auto object = [triangles](double x, double y, double size) {
        if (!triangles) return Prism(x, y, size);
        const std::vector<std::array<double, 3>> corners = {
            {x - size, y - size, 0}, {x + size, y - size, 0}, {x, y + size, size}};
        return Chunk("PRSM", Opaque() + MeshChunk(corners, {{0, 1, 2}}));
    };
    Bytes objects;
    for (int32_t i = 0; i < large; ++i) Append(objects, object(0, 0, 25000 + i));
    for (int32_t i = 0; objects.size() + 200 < kMostBytes; ++i) {
        const double sx = (i & 1) ? 1 : -1;
        const double sy = (i & 2) ? 1 : -1;
        const int32_t k = i >> 2;
        Append(objects, object(sx * (26500 + 40 * (k % 150)), sy * (26500 + 40 * (k / 150)), 10));
    }
    return ModelFile(Chunk("ROOT", objects));
}

// A smooth-shaded mesh of triangles by the ten thousand all sharing one corner, under a light: each
// side of each face averages the normals of the faces around each of its corners.
Bytes SmoothFan(const Bytes& light)
{
    constexpr int32_t kTriangles = 32000;
    std::vector<std::array<double, 3>> vertices = {{0, 0, 0}};
    std::vector<std::vector<int32_t>> polygons;
    for (int32_t i = 0; i <= kTriangles; ++i) {
        const double angle = 6.283185307179586 * i / kTriangles;
        vertices.push_back({1000 * std::cos(angle), 1000 * std::sin(angle), double(i % 7)});
        if (i > 0) polygons.push_back({0, i, i + 1});
    }
    const Bytes smooth = Chunk("PLGR", Bytes{1, 1});
    const Bytes fan = Chunk("PRSM", Opaque() + smooth + MeshChunk(vertices, polygons));
    return ModelFile(Chunk("ROOT", Chunk("LGHT", I16(1) + light) + fan));
}

// Meshes of the most vertices, sliced, each vertex placed where the multiplying hash of a point
// that the slicing's lookup once used gives every vertex the same value.
Bytes VerticesOfOneHash()
{
    constexpr uint64_t kX = 0x9E3779B1u;
    constexpr uint64_t kY = 0x85EBCA77u;
    Bytes body = I16(kMostFaces);
    for (int32_t i = 0; i < kMostFaces - 3; ++i) {
        const uint64_t x = uint64_t(i);
        const uint64_t high = (x * kX) >> 32;
        uint64_t y = ((high << 32) + kY - 1) / kY;
        while (((y * kY) >> 32) < high) ++y;
        const uint64_t z = uint32_t(x * kX) ^ uint32_t(y * kY);
        Append(body, I32(int64_t(x)) + I32(int64_t(y)) + I32(int64_t(z)));
    }
    // A face of its own beside them, which the slice keeps.
    for (const double corner : {0.0, 1.0, 2.0})
        Append(body, Fixed32(100 * corner) + Fixed32(100 * (corner == 2)) + Fixed32(500));
    Append(body, I16(1) + I16(3) + I16(kMostFaces - 3) + I16(kMostFaces - 2) + I16(kMostFaces - 1));
    const Bytes object = Chunk("PRSM", Opaque() + Chunk("MESH", body) + SlicesAbove(1, -30000));
    return ModelFile(Chunk("ROOT", object + object));
}

// A dome of the most faces, smooth-shaded on both sides under a light: an honest model of a few
// bytes, each corner of each face averaging the four faces around it.
Bytes SmoothDome(const Bytes& light)
{
    const Bytes dome = Chunk("PRSM", Chunk("PLGR", Bytes{1, 1}) + DomePrimitive(0, 0, 1000));
    return ModelFile(Chunk("ROOT", Chunk("LGHT", I16(1) + light) + dome));
}

// Groups nested as deep as the reader goes around two domes of the most faces: each group that
// joins its parent lit every face inside it again.
Bytes GroupsNestedAroundDomes()
{
    Bytes inside;
    for (int32_t i = 0; i < 2; ++i) Append(inside, Chunk("PRSM", DomePrimitive(5000 * i, 0, 1000)));
    for (int32_t depth = 0; depth < 99; ++depth) inside = Chunk("PGRP", inside);
    return ModelFile(Chunk("ROOT", inside));
}

// A prism whose texture reference chunk names textures by the ten thousand, each index a multiple
// of the number of slots a hash table of that many of them once had, then names the last of them
// again and again: a table hashing the indices as they are would hold them all in one slot.
Bytes TextureIndicesOfOneSlot()
{
    constexpr int64_t kSlots = 85229;
    Bytes references;
    int64_t index = 0;
    for (int64_t k = INT32_MIN / kSlots; k <= INT32_MAX / kSlots; ++k) {
        index = k * kSlots;
        Append(references, Chunk("TXID", I32(index)));
    }
    while (references.size() + 200 < kMostBytes) Append(references, Chunk("TXID", I32(index)));
    const Bytes prism = Opaque() + PrimitiveChunk(kPrism, 1, 3, 10, 0, 0, 0, 10);
    return ModelFile(Chunk("ROOT", Chunk("PRSM", prism + Chunk("PLTX", references))));
}

// The corners of a saw's edge in the plane z = 0: `teeth` teeth of the height standing on the
// x axis, each `width` wide, closed along the axis back to where it began.
std::vector<std::array<double, 3>> SawOutline(int32_t teeth, double width, double height)
{
    std::vector<std::array<double, 3>> corners;
    for (int32_t i = 0; i < teeth; ++i) {
        corners.push_back({width * i, 0, 0});
        corners.push_back({width * (i + 0.5), height, 0});
    }
    corners.push_back({width * teeth, 0, 0});
    return corners;
}

// A square mesh of the size in the plane z = 0 around (x, y).
Bytes SquareMesh(double x, double y, double size)
{
    const double h = size / 2;
    return MeshChunk({{x - h, y - h, 0}, {x + h, y - h, 0}, {x + h, y + h, 0}, {x - h, y + h, 0}}, {{0, 1, 2, 3}});
}

// A face whose outline is a saw of the teeth and the height, lying against the faces of squares
// connected to it: each face's covering is its outline's region less the regions of those against
// it, and a saw's region has a span for every tooth in every row it crosses.
Bytes SawFaceWithContacts(int32_t teeth, double height, int32_t squares)
{
    const std::vector<std::array<double, 3>> saw = SawOutline(teeth, 20, height);
    std::vector<int32_t> outline;
    for (size_t i = 0; i < saw.size(); ++i) outline.push_back(int32_t(i));
    Bytes children = Chunk("PRSM", Opaque() + MeshChunk(saw, {outline}));
    Bytes records;
    for (int32_t k = 1; k <= squares; ++k) {
        const Bytes square = SquareMesh(20.0 * teeth * k / (squares + 1), height / 2, height / 4);
        Append(children, Chunk("PRSM", Opaque() + square));
        Append(records, Connection(0, 0, k, 0));
    }
    return ModelFile(Chunk("ROOT", children + Chunk("CONN", I16(squares) + records)));
}

// A square face carrying an opaque element whose outline is a saw of the teeth, lying against the
// faces of squares connected to the face: each contact the face gains compares the element's
// region with the regions of the faces against it.
Bytes SawElementWithContacts(int32_t teeth, double height, int32_t squares)
{
    Bytes outline = I16(1) + I16(2 * teeth + 1);
    for (const auto& corner : SawOutline(teeth, 20, height)) Append(outline, Fixed32(corner[0]) + Fixed32(corner[1]));
    const Bytes element = Chunk("FEAT", I16(1) + Chunk("COLR", Word32(0x00808080)) + Chunk("POLY", outline));
    const double size = 20.0 * teeth + 2 * height;
    Bytes children = Chunk("PRSM", Opaque() + SquareMesh(0, 0, size) + Chunk("SURF", I16(0) + element));
    Bytes records;
    for (int32_t k = 1; k <= squares; ++k) {
        Append(children, Chunk("PRSM", Opaque() + SquareMesh(size * (k - 3) / 8, 0, size / 8)));
        Append(records, Connection(0, 0, k, 0));
    }
    return ModelFile(Chunk("ROOT", children + Chunk("CONN", I16(squares) + records)));
}

// The faces of a triangle's mesh, each naming its three corners over and over, so that they have
// `corners` corners in all.
std::vector<std::vector<int32_t>> RepeatedTriangles(int32_t corners)
{
    // A face of this many corners names its three corners at the three places that give its
    // normal.
    constexpr int32_t kFaceCorners = 31251;
    std::vector<std::vector<int32_t>> faces;
    for (int32_t left = corners; left > 0; left -= kFaceCorners) {
        std::vector<int32_t> face;
        for (int32_t k = 0; k < kFaceCorners; ++k) face.push_back(k % 3);
        faces.push_back(face);
    }
    return faces;
}

const std::vector<std::array<double, 3>> kTriangle = {{0, 0, 0}, {1000, 0, 0}, {0, 1000, 0}};

// A smooth-shaded side whose faces name the same three corners a quarter of a million times,
// under lights by the ten thousand: every corner's shade sums every light.
Bytes SmoothCornersUnderLights(const Bytes& light)
{
    if (light.empty()) return {};
    constexpr int32_t kLights = 22000;
    Bytes lights = I16(kLights);
    for (int32_t i = 0; i < kLights; ++i) Append(lights, light);
    const Bytes smooth = Chunk("PLGR", Bytes{1, 1});
    const Bytes side = Chunk("PRSM", Opaque() + smooth + MeshChunk(kTriangle, RepeatedTriangles(250000)));
    return ModelFile(Chunk("ROOT", Chunk("LGHT", lights) + side));
}

// Faces of a quarter of a million corners in all, cut by slices by the ten thousand: slices that
// keep everything, each measuring the three vertices; or slices that each cut a sliver more off
// one corner of the triangle, each walking, keeping and copying every corner.
Bytes ManyCornersSliced(bool cuttingSlivers)
{
    constexpr int32_t kSlices = 30000;
    Bytes slivers = I16(kSlices);
    for (int32_t k = 0; k < kSlices; ++k) Append(slivers, Fixed32(-1) + Fixed32(0) + Fixed32(0) + Fixed32(999.9 - 0.001 * k));
    const Bytes slices = cuttingSlivers ? Chunk("SLIC", slivers) : SlicesAbove(kSlices, -1000);
    return ModelFile(Chunk("ROOT", Chunk("PRSM", Opaque() + MeshChunk(kTriangle, RepeatedTriangles(250000)) + slices)));
}

// Objects without faces by the ten thousand, each with a slice, in groups nested deep: each is
// built with nothing to cut.
Bytes SlicedObjectsWithoutFaces(bool units)
{
    constexpr int32_t kDepth = 24;
    Bytes objects;
    const Bytes object = Chunk("PRSM", MeshChunk({}, {}) + SlicesAbove(1, 0));
    for (int32_t i = 0; i < 10000; ++i) Append(objects, object);
    for (int32_t depth = 0; depth < kDepth; ++depth)
        objects = Chunk("PGRP", (units ? Units(depth % 2 == 1) : Bytes{}) + objects);
    return ModelFile(Chunk("ROOT", objects));
}

// Tiny triangles in one place, as many as given, each an object of its own.
Bytes TinyTriangles(int32_t count)
{
    Bytes objects;
    for (int32_t i = 0; i < count; ++i)
        Append(objects, Chunk("PRSM", Opaque() + MeshChunk({{0.6, 0.6, 0}, {0.6, 1.4, 0}, {1.4, 0.6, 0}}, {{0, 1, 2}})));
    return objects;
}

// Tiny triangles by the dozen in one place, under a dome of the most faces: every pair of
// them meets, and each meets the dome, whose faces the search for a parting face compares with
// the triangle's vertices.
Bytes TrianglesInADome()
{
    Bytes objects = TinyTriangles(46);
    Append(objects, Chunk("PRSM", Opaque() + PrimitiveChunk(kDome, kDomeBands, kDomeCorners, 800, 0, 0, 0, 100)));
    return ModelFile(Chunk("ROOT", objects));
}

// Prisms whose outlines are thousands of points on a line and one beside it: which way round each
// outline goes is decided only once all but a few points are shed.
Bytes OutlinesOnALine()
{
    constexpr int32_t kCorners = 16383;  // the most whose two rings an object holds
    Bytes prisms;
    for (int32_t k = 0; k < 7; ++k) {
        Bytes body = I16(1) + Bytes{uint8_t(kAxisZ), uint8_t(kPrism)} + I16(1) + Fixed32(0) + Fixed32(10) + Fixed32(0) +
                     Fixed32(0) + Fixed32(0) + Fixed32(0) + I16(kCorners);
        for (int32_t i = 0; i + 1 < kCorners; ++i) Append(body, Fixed32(200.0 * k + i / 100.0) + Fixed32(i / 100.0));
        Append(body, Fixed32(200.0 * k) + Fixed32(5));
        Append(prisms, Chunk("PRSM", Opaque() + Chunk("POLY", body)));
    }
    return ModelFile(Chunk("ROOT", prisms));
}

// Prisms nested as deep as the reader goes, each in units other than those of the prism around
// it: every prism that joins its parent rebuilds those inside it, each finding its lights up the
// tree.
Bytes PrismsNestedInUnits()
{
    Bytes inside;
    for (int32_t depth = 0; depth < 99; ++depth)
        inside = Chunk("PRSM", Units(depth % 2 == 1) + Opaque() + PrimitiveChunk(kPrism, 1, 3, 10, 0, 0, 0, 10) + inside);
    return ModelFile(Chunk("ROOT", inside));
}

// Two root chunks, each giving the root a list of lights by the ten thousand: the second takes
// the place of the first, which goes light by light.
Bytes RootLightListsReplaced(const Bytes& light)
{
    if (light.empty()) return {};
    constexpr int32_t kLights = 22000;
    Bytes lights = I16(kLights);
    for (int32_t i = 0; i < kLights; ++i) Append(lights, light);
    const Bytes chunk = Chunk("ROOT", Chunk("LGHT", lights));
    return ModelFile(Chunk("ROOT", Prism(0, 0, 10)) + chunk + chunk);
}

// Domes of the most faces that leave room for 80 slices (each slice a face of its own), 32 of them
// as many as any model may build, each cut by 80 slices: slices that all keep the whole dome, or
// slices that each cut a little more off its tip. Every slice measures every vertex, and one that
// cuts walks every corner of every face.
Bytes DomesUnderSlices(int32_t count, bool cuttingTips)
{
    constexpr int32_t kSlices = 80;
    constexpr int32_t kBands = (kMostFaces - kSlices - 1) / kDomeCorners;
    constexpr double kRadius = 1000;
    Bytes tips = I16(kSlices);
    for (int32_t k = 0; k < kSlices; ++k) Append(tips, Fixed32(0) + Fixed32(0) + Fixed32(-1) + Fixed32(kRadius - 0.5 * (k + 1)));
    const Bytes slices = cuttingTips ? Chunk("SLIC", tips) : SlicesAbove(kSlices, -kRadius);
    Bytes domes;
    for (int32_t i = 0; i < count; ++i)
        Append(domes, Chunk("PRSM", DomePrimitive(3000 * (i % 8), 3000 * (i / 8), kRadius, kBands) + slices));
    return ModelFile(Chunk("ROOT", domes));
}

// An opaque element (in the list compared with the faces against its face) whose outline is the
// points given, x and y each.
Bytes ElementOf(const std::vector<std::array<double, 2>>& points)
{
    Bytes outline = I16(1) + I16(int32_t(points.size()));
    for (const auto& p : points) Append(outline, Fixed32(p[0]) + Fixed32(p[1]));
    return Chunk("FEAT", I16(1) + Chunk("COLR", Word32(0x00808080)) + Chunk("POLY", outline));
}

// A square face carrying small elements by the thousand, and small squares lying on it in the gaps
// between them, each connected to it: `records` connection records in all, those after the first
// of each square repeating it over and over. Each square the face takes in is compared with every
// element.
Bytes ElementsUnderRepeatedConnections(int32_t elements, int32_t squares, int32_t records)
{
    constexpr double kSize = 1000;
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(elements))));
    const double pitch = kSize / columns;
    Bytes surface = I16(0);
    for (int32_t k = 0; k < elements; ++k) {
        const double x = pitch * (k % columns) + pitch / 4;
        const double y = pitch * (k / columns) + pitch / 4;
        Append(surface, ElementOf({{x, y}, {x + pitch / 2, y}, {x + pitch / 2, y + pitch / 2}, {x, y + pitch / 2}}));
    }
    Bytes children = Chunk("PRSM", Opaque() + SquareMesh(kSize / 2, kSize / 2, kSize) + Chunk("SURF", surface));
    for (int32_t k = 0; k < squares; ++k)
        Append(children, Chunk("PRSM", Opaque() + SquareMesh(pitch * (k % columns + 1), pitch * (k / columns + 1), 1)));
    Bytes list = I16(records);
    for (int32_t r = 0; r < records; ++r) Append(list, Connection(0, 0, 1 + r % squares, 0));
    return ModelFile(Chunk("ROOT", children + Chunk("CONN", list)));
}

// A square face carrying elements whose outlines are circles of the most points, one over another,
// and small squares lying on it over their middle, each connected to it: each square the face takes
// in is compared with every element, whose region the system makes by filing each of its edges
// past the rows the edges before it begin on.
Bytes RoundElementsUnderConnections(int32_t elements, int32_t squares)
{
    constexpr double kSize = 10000;
    constexpr double kRadius = 4000;
    constexpr int32_t kPoints = 16383;
    Bytes surface = I16(0);
    for (int32_t k = 0; k < elements; ++k) {
        std::vector<std::array<double, 2>> circle;
        for (int32_t i = 0; i < kPoints; ++i) {
            const double angle = 6.283185307179586 * (i + 0.5 * k / elements) / kPoints;
            circle.push_back({kSize / 2 + kRadius * std::cos(angle), kSize / 2 + kRadius * std::sin(angle)});
        }
        Append(surface, ElementOf(circle));
    }
    Bytes children = Chunk("PRSM", Opaque() + SquareMesh(kSize / 2, kSize / 2, kSize) + Chunk("SURF", surface));
    Bytes records;
    for (int32_t k = 0; k < squares; ++k) {
        Append(children, Chunk("PRSM", Opaque() + SquareMesh(kSize / 2 + 2 * (k % 50), kSize / 2 + 2 * (k / 50), 1)));
        Append(records, Connection(0, 0, 1 + k, 0));
    }
    return ModelFile(Chunk("ROOT", children + Chunk("CONN", I16(squares) + records)));
}

// A square face carrying the elements, a small square lying on it in a corner clear of them and
// connected to it, in groups nested 90 deep, each measuring its units differently from the one
// around it: every group that joins its parent rebuilds the face and every element on it, and
// compares each element with the square.
Bytes ElementsRebuiltInUnits(const std::vector<Bytes>& elements)
{
    constexpr double kSize = 1000;
    Bytes surface = I16(0);
    for (const Bytes& element : elements) Append(surface, element);
    Bytes inside = Chunk("PRSM", Opaque() + SquareMesh(kSize / 2, kSize / 2, kSize) + Chunk("SURF", surface)) +
                   Chunk("PRSM", Opaque() + SquareMesh(1, 1, 2)) + Chunk("CONN", I16(1) + Connection(0, 0, 1, 0));
    for (int32_t depth = 0; depth < 90; ++depth) inside = Chunk("PGRP", Units(depth % 2 == 1) + inside);
    return ModelFile(Chunk("ROOT", inside));
}

// Triangles by the ten thousand, each its own element, for ElementsRebuiltInUnits.
std::vector<Bytes> SmallElements(int32_t count)
{
    std::vector<Bytes> elements;
    for (int32_t k = 0; k < count; ++k) {
        const double x = 5.0 * (k % 180) + 50;
        const double y = 5.0 * (k / 180) + 50;
        elements.push_back(ElementOf({{x, y}, {x + 4, y}, {x, y + 4}}));
    }
    return elements;
}

// Elements whose outlines are 1,200 points on a line and one beside it, for ElementsRebuiltInUnits:
// which way round each goes is decided only once all but a few points are shed.
std::vector<Bytes> ElementsOnALine(int32_t count)
{
    constexpr int32_t kPoints = 1200;
    std::vector<Bytes> elements;
    for (int32_t k = 0; k < count; ++k) {
        std::vector<std::array<double, 2>> points;
        for (int32_t i = 0; i + 1 < kPoints; ++i) points.push_back({100 + 8.0 * k + i / 200.0, 100 + i / 200.0});
        points.push_back({100 + 8.0 * k, 105});
        elements.push_back(ElementOf(points));
    }
    return elements;
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
        {"relations-large-objects-side-by-side.qpy", LargeObjectsSideBySide(), HostileModel::kMustLoad},
        {"relations-domes-sunk-into-each-other.qpy", DomesSunkIntoEachOther(), HostileModel::kAnyResult},
        {"relations-connections-to-one-face.qpy", ConnectionsToOneFace(), HostileModel::kMustFail},
        {"relations-contacts-passed-on.qpy", ContactsPassedOn(), HostileModel::kMustFail},
        {"relations-elements-on-one-face.qpy", ElementsOnOneFace(element), HostileModel::kMustLoad},
        {"relations-elements-on-many-faces.qpy", ElementsOnManyFaces(element, false), HostileModel::kMustLoad},
        {"relations-elements-after-an-end-tag.qpy", ElementsOnManyFaces(element, true), HostileModel::kMustLoad},
        {"relations-root-chunks-with-lights.qpy", RootChunksWithLights(light), HostileModel::kMustLoad},
        {"relations-root-chunks-empty.qpy", EmptyRootChunks(), HostileModel::kMustLoad},
        {"relations-root-chunks-of-one-prism.qpy", RootChunksOfOnePrism(), HostileModel::kMustLoad},
        {"relations-slices-through-axis.qpy", SlicedDomes(true), HostileModel::kMustFail},
        {"relations-slices-below-foot.qpy", SlicedDomes(false), HostileModel::kMustFail},
        {"relations-lights-over-many-faces.qpy", LightsOverManyFaces(light), HostileModel::kMustFail},
        {"relations-units-nested.qpy", NestedUnits(), HostileModel::kMustLoad},
        {"relations-dome-collapsing-in-units.qpy", DomeCollapsingInUnits(), HostileModel::kAnyResult},
        {"relations-empty-groups.qpy", EmptyGroups(), HostileModel::kMustFail},
        {"relations-empty-meshes.qpy", EmptyMeshes(), HostileModel::kMustLoad},
        {"relations-empty-meshes-in-root-chunks.qpy", EmptyMeshesInRootChunks(), HostileModel::kMustLoad},
        {"relations-root-chunks-of-no-lights.qpy", RootChunksOfNoLights(), HostileModel::kMustLoad},
        {"relations-units-nested-around-empty-groups.qpy", NestedUnitsAroundEmptyGroups(), HostileModel::kMustFail},
        // A hundred triangles, each an object of one face: every level rescales each of them, and
        // the one build finds its lights and the object above its groups without a walk up through
        // them all.
        {"relations-units-nested-around-triangles.qpy", NestedUnitsAround(TinyTriangles(100)), HostileModel::kMustFail},
        {"relations-units-around-empty-groups.qpy", UnitsAroundEmptyGroups(), HostileModel::kMustLoad},
        {"relations-units-of-an-object.qpy", UnitsOfAnObject(), HostileModel::kMustLoad},
        {"relations-slice-chain-circling.qpy", SliceChainCircling(), HostileModel::kMustLoad},
        {"relations-slices-over-vertices.qpy", SlicesOverVertices(), HostileModel::kMustLoad},
        {"relations-large-and-small-prisms.qpy", LargeAndSmall(262, false), HostileModel::kMustLoad},
        {"relations-large-and-small-triangles.qpy", LargeAndSmall(310, true), HostileModel::kMustLoad},
        {"relations-smooth-fan.qpy", SmoothFan(light), HostileModel::kMustFail},
        {"relations-smooth-dome.qpy", SmoothDome(light), HostileModel::kMustLoad},
        {"relations-vertices-of-one-hash.qpy", VerticesOfOneHash(), HostileModel::kMustLoad},
        {"relations-groups-nested-around-domes.qpy", GroupsNestedAroundDomes(), HostileModel::kMustLoad},
        {"relations-texture-indices-of-one-slot.qpy", TextureIndicesOfOneSlot(), HostileModel::kMustLoad},
        // Refused where the system's regions work out how far faces cover each other (they would
        // take minutes); read in a moment where no region is made.
        {"relations-saw-face-one-contact.qpy", SawFaceWithContacts(1000, 10000, 1), HostileModel::kAnyResult},
        {"relations-saw-face-ten-contacts.qpy", SawFaceWithContacts(300, 10000, 10), HostileModel::kAnyResult},
        {"relations-saw-element.qpy", SawElementWithContacts(300, 10000, 5), HostileModel::kAnyResult},
        {"relations-smooth-corners-under-lights.qpy", SmoothCornersUnderLights(light), HostileModel::kMustFail},
        {"relations-many-corners-sliced.qpy", ManyCornersSliced(false), HostileModel::kMustLoad},
        {"relations-many-corners-sliced-in-slivers.qpy", ManyCornersSliced(true), HostileModel::kMustFail},
        {"relations-sliced-objects-without-faces.qpy", SlicedObjectsWithoutFaces(false), HostileModel::kMustLoad},
        {"relations-sliced-objects-without-faces-in-units.qpy", SlicedObjectsWithoutFaces(true), HostileModel::kMustLoad},
        {"relations-triangles-in-a-dome.qpy", TrianglesInADome(), HostileModel::kMustLoad},
        // Read where the search for parting faces finds sums and vertices behind a face in the
        // vertices laid out; refused where it walks them.
        {"relations-outlines-on-a-line.qpy", OutlinesOnALine(), HostileModel::kAnyResult},
        {"relations-prisms-nested-in-units.qpy", PrismsNestedInUnits(), HostileModel::kMustLoad},
        {"relations-root-light-lists-replaced.qpy", RootLightListsReplaced(light), HostileModel::kMustLoad},
        // A million faces under slices that keep them whole; half as many (reading as long as a
        // landscape of as many faces) under slices that cut their tips.
        {"relations-domes-under-slices-keeping-all.qpy", DomesUnderSlices(32, false), HostileModel::kMustLoad},
        {"relations-domes-under-slices-cutting-tips.qpy", DomesUnderSlices(16, true), HostileModel::kMustLoad},
        {"relations-elements-under-repeated-connections.qpy", ElementsUnderRepeatedConnections(5000, 40, 70000),
         HostileModel::kMustFail},
        {"relations-elements-rebuilt-in-units.qpy", ElementsRebuiltInUnits(SmallElements(16000)),
         HostileModel::kMustLoad},
        {"relations-element-outlines-on-a-line-in-units.qpy", ElementsRebuiltInUnits(ElementsOnALine(100)),
         HostileModel::kMustFail},
        {"relations-round-elements-under-connections.qpy", RoundElementsUnderConnections(7, 700),
         HostileModel::kMustFail},
        {"relations-contact-lists-copied.qpy", ContactListsCopied(1000, 0), HostileModel::kMustFail},
        {"relations-contact-lists-copied-after-repeats.qpy", ContactListsCopied(1000, 84000), HostileModel::kMustFail},
        {"relations-connections-without-room.qpy", ConnectionsWithoutRoom(), HostileModel::kMustLoad},
        {"relations-connections-to-a-full-face.qpy", ConnectionsToAFullFace(), HostileModel::kMustFail},
        // Refused where the system's regions work out how far faces cover each other; read where
        // no region is made.
        {"relations-connections-between-domes.qpy", ConnectionsBetweenDomes(), HostileModel::kAnyResult},
        {"relations-connections-between-round-domes.qpy", ConnectionsBetweenDomes(8), HostileModel::kAnyResult},
        {"relations-leaning-sides-connected.qpy", LeaningSidesConnected(), HostileModel::kAnyResult},
    };
    std::vector<HostileModel> models;
    for (const auto& kind : kinds) {
        const char* prefix = kind.outcome == HostileModel::kMustFail   ? "fail-"
                             : kind.outcome == HostileModel::kMustLoad ? "load-"
                                                                       : "any-";
        if (!kind.bytes.empty()) models.push_back({std::string(prefix) + kind.name, kind.bytes, kind.outcome});
    }
    return models;
}
