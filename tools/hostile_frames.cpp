// Hostile model files whose cost lies in drawing a frame, each under a megabyte and read at once:
// a see-through face draws again what lies behind it, so that see-through faces behind and
// inside each other, see-through elements reaching past their faces, see-through objects touching
// each other and see-through faces of many corners ask one frame for work out of all proportion to
// the file; and opaque faces filling the view by the ten thousand (flat, textured, shaded from
// corner to corner, or in perspective), opaque elements by the thousand on one face, faces of a
// comb of many teeth over and over, and faces by the ten thousand hidden behind a few near ones
// ask the painter's order to fill the view, the fills to cross every edge, or the occlusion walk
// to test the view, again and again; a wall of small faces each showing a picture of its own asks
// the first frame to prepare every picture. Each is written through the scene model, as the
// program writes a model file; the pictures of its textures are written into the file's texture
// table as the program embeds a picture.
#include "tools/hostile_frames.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "foundation/memory_stream.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/polygon_element.h"
#include "model/short_vector.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/walk_record.h"
#include "tools/sample_scenes.h"
#include "tools/stored_bytes.h"

namespace {

// Primitive kinds and their axis (z).
constexpr int32_t kPrism = 1;
constexpr int32_t kAxisZ = 3;
// The faintest face that is still filled: it draws what lies behind it and is stippled over it,
// and the coverage of the see-through faces in front grows slowest through it, so that some forty
// of them lie in front of each other before one is drawn opaque.
constexpr uint16_t kFaint = 0x1000;
// Wholly see-through, as an object without a colour of its own: drawn by its edges alone.
constexpr uint16_t kClear = 0;
constexpr uint16_t kOpaque = 0xFFFF;
constexpr RGBColor48 kGlass = {0x6000, 0xA000, 0xE000};

// The eye's place and heading (1/256 turns to the left of north) in the document's walk record.
void PlaceEye(ModelDocument* document, int32_t x, int32_t y, int32_t z, int32_t heading)
{
    document->Walk->SetAndRecord(IntToFixed(x), IntToFixed(y), IntToFixed(z), 0, 0, IntToFixed(heading));
}

// A square picture of a texture: its side in pixels, its mapping factor each way, and whether its
// first colour is left out (drawn over the face's colour).
struct Picture {
    int32_t side;
    Fixed factor;
    bool transparent = false;
    bool bare = false;  // an entry of its number and picture only: no name, no settings
};

// The texture services of a writer whose textures are pictures made here: a texture reference
// stores its picture's place in the list plus one, and the texture table holds every picture
// embedded in the file as the program embeds one (its settings, then the image: header, colour map
// and rows). The texture records the surfaces and elements are given are stand-ins that only this
// writer looks at.
class EmbeddedPictures : public TextureServices {
public:
    explicit EmbeddedPictures(std::vector<Picture> pictures)
        : pictures_(std::move(pictures)), marks_(pictures_.size())
    {
        previous_ = InstallTextureServices(this);
    }
    ~EmbeddedPictures() override { InstallTextureServices(previous_); }
    EmbeddedPictures(const EmbeddedPictures&) = delete;
    EmbeddedPictures& operator=(const EmbeddedPictures&) = delete;

    TextureRecord* Texture(size_t picture) { return reinterpret_cast<TextureRecord*>(&marks_[picture]); }

    int32_t AssignTextureIndex(TextureRecord* texture) override
    {
        const uintptr_t mark = reinterpret_cast<uintptr_t>(texture) - reinterpret_cast<uintptr_t>(marks_.data());
        return mark < marks_.size() ? int32_t(mark) + 1 : kNoIndex;
    }

    ResultCode WriteTextureTable(MemoryStream* stream) override
    {
        Bytes entries;
        for (size_t i = 0; i < pictures_.size(); ++i) Append(entries, Entry(int32_t(i) + 1, pictures_[i]));
        Bytes table = Chunk("TXTB", entries);
        return stream->TransferBytes(table.data(), int32_t(table.size()));
    }

private:
    static constexpr int32_t kNoIndex = -2;
    static constexpr int32_t kDepth = 8;
    static constexpr int32_t kSquare = 8;
    // The nineteen settings: the width each is stored at, and their values (opaque, shaded, the
    // defaults) but for the transparency, the first, and the factors, the eleventh and twelfth.
    static constexpr int32_t kSettingCount = 19;
    static constexpr int32_t kTransparent = 0;
    static constexpr int32_t kFactorU = 10;
    static constexpr int32_t kFactorV = 11;
    static constexpr int32_t kSettingWidths[kSettingCount] = {1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 4, 4, 4, 4, 2, 2, 1, 1, 2};
    static constexpr int32_t kSettings[kSettingCount] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32 << 16, 32 << 16, 2, 2,
                                                         0, 0, 0};
    static constexpr uint32_t kColours[] = {0xE0C090, 0x304060, 0xA02020, 0x20A040, 0xF0F040, 0x101010};

    // The entry of a picture of 8 bits a pixel: a checker of 8-pixel squares in the first two
    // colours of its map, speckled with the others, so that neighbouring texels differ.
    static Bytes Entry(int32_t index, const Picture& picture)
    {
        Bytes settings;
        for (int32_t n = 0; n < kSettingCount; ++n) {
            int32_t value = kSettings[n];
            if (n == kFactorU || n == kFactorV) value = picture.factor;
            if (n == kTransparent) value = picture.transparent ? 1 : 0;
            const Bytes word = I32(value);
            settings.insert(settings.end(), word.end() - kSettingWidths[n], word.end());
        }
        Bytes colours;
        for (uint32_t colour : kColours) Append(colours, Word32(colour));
        const int32_t side = picture.side;
        Bytes rows(size_t(side) * size_t(side));
        for (int32_t y = 0; y < side; ++y) {
            for (int32_t x = 0; x < side; ++x) {
                const uint32_t speckle = uint32_t(x * 7919 + y * 104729 + index * 31) % 97;
                rows[size_t(y * side + x)] =
                    uint8_t(speckle < 6 ? 2 + speckle % 4 : (x / kSquare + y / kSquare) % 2);
            }
        }
        const Bytes image = I16(side) + I16(side) + I16(kDepth) + I16(0) + I32(side) + I32(side * side) +
                            Chunk("CMAP", colours) + Chunk("DATA", rows);
        if (picture.bare) return Chunk("TXTE", Chunk("TXID", I32(index)) + Chunk("TXPD", image));
        const std::string name = "picture " + std::to_string(index);
        return Chunk("TXTE", Chunk("TXID", I32(index)) + Chunk("TXNM", Chars(name.c_str()) + Bytes{0}) +
                                 Chunk("TXST", settings) + Chunk("TXPD", image));
    }

    std::vector<Picture> pictures_;
    std::vector<uint8_t> marks_;
    TextureServices* previous_ = nullptr;
};

// Faces between two edges, each at `levels` depths (or heights): face (i, j) joins the first edge
// at its i-th place to the second at its j-th, so that levels x levels planes share 4 x levels
// corners. `corner(edge, level, end)` gives the corner at the end (0 or 1) of an edge (0 or 1) at
// a level. `faces` of them, taking the planes in turn, make a polygon object.
template <class Corner>
ModelObject* CrossedFaces(ModelHolder* holder, int32_t levels, int32_t faces, Corner corner)
{
    std::vector<FixedVector3> points;
    for (int32_t level = 0; level < levels; ++level)
        for (int32_t edge = 0; edge < 2; ++edge)
            for (int32_t end = 0; end < 2; ++end) points.push_back(corner(edge, level, end));
    auto at = [](int32_t edge, int32_t level, int32_t end) { return int16_t(4 * level + 2 * edge + end); };
    std::vector<std::vector<int16_t>> list;
    for (int32_t k = 0; k < faces; ++k) {
        const int32_t i = k / levels % levels;
        const int32_t j = k % levels;
        list.push_back({at(0, i, 1), at(1, j, 1), at(1, j, 0), at(0, i, 0)});
    }
    return MakePolygonMesh(holder, points, list);
}

FixedVector3 Point(int32_t x, int32_t y, int32_t z)
{
    return {IntToFixed(x), IntToFixed(y), IntToFixed(z)};
}

FixedVector3 PointAt(double x, double y, double z)
{
    return {X2Fix(x), X2Fix(y), X2Fix(z)};
}

// Small wholly see-through prisms (drawn by their edges) on a grid around the eye: each face draws
// the prisms behind it, and each of those its own.
Bytes SeeThroughField()
{
    // A prism takes some 154 bytes as the program writes it.
    constexpr int32_t kColumns = 80;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    for (int32_t i = 0; i < kColumns * kColumns; ++i) {
        const int32_t x = 40 * (i % kColumns - kColumns / 2);
        const int32_t y = 40 * (i / kColumns - kColumns / 2);
        if (x == 0 && y == 0) continue;
        ModelObject* prism = MakeShape(holder, kPrism, 1, kAxisZ, 3, 10, 0, 10, x, y, 0);
        if (!prism) continue;
        prism->SetColours(kGlass, kClear, kSideBoth);
        holder->Root->AddChild(prism);
    }
    PlaceEye(document, 0, 0, 5, 0);
    return ModelFileBytes(document);
}

// Three parallel faintly see-through faces straight ahead of the eye, each a regular polygon of
// the corners filling a view as wide as it is high, stored with both windings, covering the same
// pixels; each level is a child of the one before. Every face of a level draws every level inside
// it again, and with many corners each region cut by one has that many, which every face drawn
// into it is cut by.
Bytes NestedStacks(int32_t levels, int32_t corners)
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    ModelObject* parent = holder->Root;
    for (int32_t level = 0; level < levels; ++level) {
        std::vector<FixedVector3> points;
        std::vector<std::vector<int16_t>> faces;
        for (int32_t layer = 0; layer < 3; ++layer) {
            const int32_t distance = 100 + 30 * level + 10 * layer;
            std::vector<int16_t> face;
            for (int32_t i = 0; i < corners; ++i) {
                const double angle = 6.283185307179586 * (i + 0.5) / corners;
                face.push_back(int16_t(points.size()));
                points.push_back({X2Fix(0.5 * distance * std::cos(angle)), IntToFixed(distance),
                                  X2Fix(0.5 * distance * std::sin(angle))});
            }
            faces.push_back(face);
            faces.push_back(std::vector<int16_t>(face.rbegin(), face.rend()));
        }
        ModelObject* stack = MakePolygonMesh(holder, points, faces);
        if (!stack) break;
        stack->SetColours(kGlass, kFaint, kSideBoth);
        parent->AddChild(stack);
        parent = stack;
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// A box whose six faces each carry faintly see-through polygon elements by the thousand, each
// reaching past its face, on every list; the eye outside. Each element draws what lies behind
// it, and the elements of the face's far list again.
Bytes ElementsPastFaces()
{
    // An element takes some 122 bytes as the program writes it.
    constexpr int32_t kPerFace = 1300;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    ModelObject* box = MakeBox(holder, -100, 200, -100, 100, 400, 100);
    if (!box) return ModelFileBytes(document);
    box->SetColours(kGlass, kFaint, kSideBoth);
    holder->Root->AddChild(box);
    for (int32_t face = 0; face < 6; ++face) {
        for (int32_t k = 0; k < kPerFace; ++k)
            AddFaceElement(box, face, k % 3, 0, 240, 60, (k * 37) % 180, (k % 7) * 10 - 30, (k % 11) * 10 - 50, kGlass,
                           kFaint);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Faintly see-through boxes stacked in a block, each connected face to face with its neighbours,
// the eye inside the block: each face draws the faces against it, each of those the boxes
// behind it, and so on.
Bytes TouchingSeeThrough()
{
    // A box takes some 170 bytes as the program writes it, with its connections.
    constexpr int32_t kSide = 17;
    constexpr int32_t kSize = 40;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    std::vector<ModelObject*> boxes;
    for (int32_t z = 0; z < kSide; ++z) {
        for (int32_t y = 0; y < kSide; ++y) {
            for (int32_t x = 0; x < kSide; ++x) {
                const int32_t x0 = kSize * (x - kSide / 2), y0 = kSize * (y - kSide / 2), z0 = kSize * (z - kSide / 2);
                ModelObject* box = MakeBox(holder, x0, y0, z0, x0 + kSize, y0 + kSize, z0 + kSize);
                if (box) {
                    box->SetColours(kGlass, kFaint, kSideBoth);
                    holder->Root->AddChild(box);
                }
                boxes.push_back(box);
            }
        }
    }
    // Each box's faces towards +x, +y and +z lie against the next box's opposite faces.
    const int32_t steps[3] = {1, kSide, kSide * kSide};
    const ShortVector3 towards[3] = {{256, 0, 0}, {0, 256, 0}, {0, 0, 256}};
    for (int32_t i = 0; i < int32_t(boxes.size()); ++i) {
        const int32_t place[3] = {i % kSide, i / kSide % kSide, i / (kSide * kSide)};
        for (int32_t axis = 0; axis < 3; ++axis) {
            ModelObject* next = place[axis] + 1 < kSide ? boxes[size_t(i + steps[axis])] : nullptr;
            if (!boxes[size_t(i)] || !next) continue;
            const ShortVector3& n = towards[axis];
            boxes[size_t(i)]->AddFaceContact(FaceFacing(boxes[size_t(i)], n.x, n.y, n.z), next,
                                             FaceFacing(next, int16_t(-n.x), int16_t(-n.y), int16_t(-n.z)));
        }
    }
    PlaceEye(document, 5, 5, 5, 20);
    return ModelFileBytes(document);
}

// Faintly see-through domes of the most faces an object may have, each the child of the one around
// it, seen from outside: as many as a file of a few hundred bytes may hold, each drawing the domes
// inside it.
Bytes NestedDomes()
{
    constexpr int32_t kDome = 4;
    constexpr int32_t kCorners = 3;
    constexpr int32_t kBands = (32767 - 1) / kCorners;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    ModelObject* parent = holder->Root;
    for (int32_t radius : {1600, 1200, 800}) {
        ModelObject* dome = MakeShape(holder, kDome, kBands, kAxisZ, kCorners, radius, 0, radius, 0, 0, 0);
        if (!dome) break;
        dome->SetColours(kGlass, kFaint, kSideBoth);
        parent->AddChild(dome);
        parent = dome;
    }
    PlaceEye(document, 0, -2400, 400, 0);
    return ModelFileBytes(document);
}

// Opaque faces filling the view, each the same four corners, by the ten thousand in each of a few
// objects: the painter's order draws every one of them over the last.
Bytes OpaqueOverdraw()
{
    constexpr int32_t kObjects = 3;
    constexpr int32_t kFaces = 32000;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    for (int32_t object = 0; object < kObjects; ++object) {
        const Fixed y = IntToFixed(100 + 10 * object);
        const std::vector<FixedVector3> corners = {{IntToFixed(-2000), y, IntToFixed(-2000)},
                                                   {IntToFixed(2000), y, IntToFixed(-2000)},
                                                   {IntToFixed(2000), y, IntToFixed(2000)},
                                                   {IntToFixed(-2000), y, IntToFixed(2000)}};
        const std::vector<std::vector<int16_t>> faces(size_t(kFaces), {3, 2, 1, 0});
        ModelObject* wall = MakePolygonMesh(holder, corners, faces);
        if (!wall) break;
        wall->SetColours(kGlass, kOpaque, kSideBoth);
        holder->Root->AddChild(wall);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// How the quads of OpaqueQuads are filled: in their colour, with a picture, or with a picture that
// leaves out its first colour over their colour.
enum class QuadFill { Flat, Textured, OverColour };

// Opaque quads in planes of a few dozen slants, each reaching past the view on every side, by
// the ten thousand in each of three objects, filled as asked (a picture is 64 x 64): each object's
// faces are drawn in their stored order, every one over the last.
Bytes OpaqueQuads(QuadFill fill)
{
    constexpr int32_t kObjects = 3;
    constexpr int32_t kLevels = 8;
    constexpr int32_t kFaces = 30000;
    constexpr int32_t kHalf = 2000;
    EmbeddedPictures pictures({{64, kFixedOne, fill == QuadFill::OverColour}});
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    for (int32_t object = 0; object < kObjects; ++object) {
        ModelObject* quads = CrossedFaces(holder, kLevels, kFaces, [&](int32_t edge, int32_t level, int32_t end) {
            return Point(edge ? kHalf : -kHalf, 100 + 100 * object + 10 * level, end ? kHalf : -kHalf);
        });
        if (!quads) break;
        quads->SetColours(kGlass, kOpaque, kSideBoth);
        if (fill != QuadFill::Flat) quads->SetSurfaceTexture(pictures.Texture(0), kSideBoth);
        holder->Root->AddChild(quads);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Opaque quads shaded from corner to corner, each reaching past the view on every side, by the
// thousand in one object, one behind the other: each has corners of its own, as the faces that
// share a corner of a smooth side are each looked at for every other as the file is read.
Bytes SmoothQuads()
{
    constexpr int32_t kQuads = 8000;
    constexpr int32_t kHalf = 2000;
    constexpr uint8_t kSmooth = 1;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    std::vector<FixedVector3> points;
    std::vector<std::vector<int16_t>> faces;
    for (int32_t k = 0; k < kQuads; ++k) {
        const double y = 100 + k / 20.0;
        const int16_t first = int16_t(points.size());
        for (const FixedVector3& corner : {PointAt(-kHalf, y, -kHalf), PointAt(kHalf, y, -kHalf),
                                           PointAt(kHalf, y, kHalf), PointAt(-kHalf, y, kHalf)})
            points.push_back(corner);
        faces.push_back({int16_t(first + 3), int16_t(first + 2), int16_t(first + 1), first});
    }
    if (ModelObject* quads = MakePolygonMesh(holder, points, faces)) {
        quads->SetColours(kGlass, kOpaque, kSideBoth);
        quads->SetSideAttribute(kSmooth, kSideBoth);
        holder->Root->AddChild(quads);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Textured floors below the eye, in planes of many slants, reaching from just ahead of it almost
// to the horizon, by the ten thousand in each of the objects, all showing the picture: each is
// filled in perspective, cut into the pieces that keep its picture true, across the lower half of
// the view.
Bytes TexturedFloors(int32_t objects, const Picture& picture)
{
    constexpr int32_t kLevels = 12;
    constexpr int32_t kFaces = 22500;
    constexpr int32_t kNear = 2;
    constexpr int32_t kFar = 30000;
    EmbeddedPictures pictures({picture});
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    for (int32_t object = 0; object < objects; ++object) {
        ModelObject* floors = CrossedFaces(holder, kLevels, kFaces, [&](int32_t edge, int32_t level, int32_t end) {
            return Point(end ? -kFar : kFar, edge ? kFar : kNear, -1 - 3 * level - 40 * object);
        });
        if (!floors) break;
        floors->SetColours(kGlass, kOpaque, kSideBoth);
        floors->SetSurfaceTexture(pictures.Texture(0), kSideBoth);
        holder->Root->AddChild(floors);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Opaque textured polygon elements by the thousand in the plane of one wall's face before the
// eye, each covering most of it: the face is drawn in layers, each element over the last.
Bytes ElementsOnFace()
{
    constexpr int32_t kElements = 6600;
    constexpr int32_t kInPlane = 1;
    EmbeddedPictures pictures({{64, kFixedOne}});
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    ModelObject* wall = MakeBox(holder, -200, 100, -150, 200, 110, 150);
    if (!wall) return ModelFileBytes(document);
    wall->SetColours(kGlass, kOpaque, kSideBoth);
    holder->Root->AddChild(wall);
    const int32_t face = FaceFacing(wall, 0, -256, 0);
    for (int32_t k = 0; k < kElements; ++k) {
        PolygonElement* element = AddFaceElement(wall, face, kInPlane, 0, 360 - k % 40, 260 - k % 30, k % 7, 0, 0,
                                                 kGlass, kOpaque);
        if (element) element->SetElementTexture(pictures.Texture(0));
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// `farObjects` objects of `faces` far faces each, large and all in one place, and five near strips
// side by side before them, under the sample's lights.
void AddFarFacesBehindStrips(ModelHolder* holder, int32_t farObjects, int32_t faces)
{
    constexpr int32_t kStrips = 5;
    AddSampleLights(holder->Root);
    for (int32_t object = 0; object < farObjects; ++object) {
        const int32_t y = 1000 + 10 * object;
        const std::vector<FixedVector3> corners = {Point(-300, y, -200), Point(300, y, -200), Point(300, y, 200),
                                                   Point(-300, y, 200),  Point(420, y, -10),  Point(440, y, -10),
                                                   Point(440, y, 10),    Point(420, y, 10)};
        std::vector<std::vector<int16_t>> far(size_t(faces), {3, 2, 1, 0});
        far.push_back({7, 6, 5, 4});
        ModelObject* mesh = MakePolygonMesh(holder, corners, far);
        if (!mesh) break;
        mesh->SetColours(kGlass, kOpaque, kSideBoth);
        holder->Root->AddChild(mesh);
    }
    std::vector<FixedVector3> corners;
    std::vector<std::vector<int16_t>> strips;
    // Each strip overlaps the next: the marks a face makes stop a pixel short of its edges.
    for (int32_t strip = 0; strip < kStrips; ++strip) {
        const int32_t left = -70 + 27 * strip;
        for (const FixedVector3& corner :
             {Point(left, 200, -50), Point(left + 32, 200, -50), Point(left + 32, 200, 50), Point(left, 200, 50)})
            corners.push_back(corner);
        const int16_t first = int16_t(4 * strip);
        strips.push_back({int16_t(first + 3), int16_t(first + 2), int16_t(first + 1), first});
    }
    if (ModelObject* near = MakePolygonMesh(holder, corners, strips)) {
        near->SetColours({0xC000, 0x6000, 0x3000}, kOpaque, kSideBoth);
        holder->Root->AddChild(near);
    }
}

// Far objects of a quad repeated by the ten thousand, hidden behind five near faces side by side;
// a small face of each far object beside the near ones keeps the object itself from being hidden,
// so that the occlusion walk tests the screen box of every far face, each large, against the
// marks of the near ones, and draws none of them.
Bytes HiddenBehindNear()
{
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    AddFarFacesBehindStrips(document->Holder, 3, 30000);
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Each kind of work at once, each just short of where a frame of a window maximized on a 1920 x
// 1200 screen stops: far faces by the ten thousand hidden behind five near strips (the occlusion
// walk's tests), and before them see-through slivers under an opaque picture as tall as the view
// (rows of the textured fill), so that a frame spends nearly twice each allowance before any of
// them stops it.
Bytes EveryCost()
{
    constexpr int32_t kSlivers = 1200;
    constexpr int32_t kSliverFaces = 12000;
    EmbeddedPictures pictures({{64, kFixedOne}});
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddFarFacesBehindStrips(holder, 2, 30000);
    std::vector<FixedVector3> points;
    for (int32_t k = 0; k <= kSlivers; ++k) {
        const double x = -48 + 96.0 * k / kSlivers;
        points.push_back(PointAt(x, 100, 36));
        points.push_back(PointAt(x, 100, -36));
    }
    std::vector<std::vector<int16_t>> faces;
    for (int32_t f = 0; f < kSliverFaces; ++f) {
        const int16_t left = int16_t(2 * (f % kSlivers));
        faces.push_back({left, int16_t(left + 2), int16_t(left + 3), int16_t(left + 1)});
    }
    if (ModelObject* slivers = MakePolygonMesh(holder, points, faces)) {
        slivers->SetColours(kGlass, kFaint, kSideBoth);
        slivers->SetSurfaceTexture(pictures.Texture(0), kSideBoth);
        holder->Root->AddChild(slivers);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// The outline of a comb of `teeth` teeth standing on a band, from `left` to `right` and from
// `bottom` to `top`, each tooth as wide as the gap after it: (across, up) pairs, clockwise with
// across to the right and up upwards, 4 x teeth of them.
std::vector<std::pair<double, double>> CombOutline(int32_t teeth, double left, double right, double bottom, double top)
{
    const double base = bottom + (top - bottom) / 8;
    const double width = (right - left) / (2 * teeth - 1);
    std::vector<std::pair<double, double>> outline = {{left, bottom}};
    for (int32_t k = 0; k < teeth; ++k) {
        const double from = left + 2 * k * width;
        outline.insert(outline.end(), {{from, top}, {from + width, top}});
        if (k + 1 < teeth) outline.insert(outline.end(), {{from + width, base}, {from + 2 * width, base}});
    }
    outline.push_back({right, bottom});
    return outline;
}

// Faces of one outline of a comb of a thousand teeth spanning the view before the eye, over and over
// in one object: every row of every face crosses two thousand of its edges, and the system's
// polygon calls make a region of its teeth for every face.
Bytes ManyTeeth()
{
    constexpr int32_t kTeeth = 1000;
    constexpr int32_t kFaces = 115;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    std::vector<FixedVector3> points;
    std::vector<int16_t> face;
    for (const auto& corner : CombOutline(kTeeth, -48, 48, -36, 36)) {
        face.push_back(int16_t(points.size()));
        points.push_back(PointAt(corner.first, 100, corner.second));
    }
    if (ModelObject* combs = MakePolygonMesh(holder, points, std::vector<std::vector<int16_t>>(kFaces, face))) {
        combs->SetColours(kGlass, kOpaque, kSideBoth);
        holder->Root->AddChild(combs);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Slivers a pixel or two wide in a large window and as tall as the view, side by side across it
// and over and over in each of three objects, whose cost lies in their rows: faintly see-through
// under an opaque picture (drawn in layers, each filled row by row and none painted over by the
// others), or opaque in their colour (each marking the occlusion mask row by row, and framed by
// lines as tall as the view where frames are drawn).
enum class SliverFill { SeeThroughTextured, Opaque };

Bytes Slivers(SliverFill fill)
{
    constexpr int32_t kObjects = 3;
    constexpr int32_t kSlivers = 1200;  // side by side across the view
    constexpr int32_t kFaces = 30000;
    constexpr double kHalfWidth = 48;
    constexpr double kHalfHeight = 36;
    EmbeddedPictures pictures({{64, kFixedOne}});
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    for (int32_t object = 0; object < kObjects; ++object) {
        const double y = 100 + 2 * object;
        std::vector<FixedVector3> points;
        for (int32_t k = 0; k <= kSlivers; ++k) {
            const double x = -kHalfWidth + 2 * kHalfWidth * k / kSlivers;
            points.push_back(PointAt(x, y, kHalfHeight));
            points.push_back(PointAt(x, y, -kHalfHeight));
        }
        std::vector<std::vector<int16_t>> faces;
        for (int32_t f = 0; f < kFaces; ++f) {
            const int16_t left = int16_t(2 * (f % kSlivers));
            faces.push_back({left, int16_t(left + 2), int16_t(left + 3), int16_t(left + 1)});
        }
        ModelObject* slivers = MakePolygonMesh(holder, points, faces);
        if (!slivers) break;
        if (fill == SliverFill::Opaque) {
            slivers->SetColours(kGlass, kOpaque, kSideBoth);
        } else {
            slivers->SetColours(kGlass, kFaint, kSideBoth);
            slivers->SetSurfaceTexture(pictures.Texture(0), kSideBoth);
        }
        holder->Root->AddChild(slivers);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// Towers in rows along a street, each a box whose ground storey is glazed all round with panes of
// window glass, a few boxes standing inside it, the eye in the street: through a lobby the street
// beyond shows, and through that the next lobby, each pane cutting the part of the view seen
// through the ones before it into pieces, tower behind tower.
Bytes LobbiesInLine()
{
    constexpr int32_t kRows = 24;
    constexpr int32_t kPanes = 6;  // a side's panes
    constexpr int32_t kSide = 40;
    constexpr int32_t kPitch = 60;
    constexpr int32_t kLobby = 12;
    constexpr int32_t kHeight = 120;
    constexpr uint16_t kWindow = 0x4000;
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    for (int32_t tower = 0; tower < 2 * kRows; ++tower) {
        const int32_t x0 = tower % 2 ? 15 : -15 - kSide;
        const int32_t y0 = 30 + kPitch * (tower / 2);
        // Corners round the box anticlockwise seen from above, each side's panes' borders between.
        const int32_t cornerX[4] = {x0, x0 + kSide, x0 + kSide, x0};
        const int32_t cornerY[4] = {y0, y0, y0 + kSide, y0 + kSide};
        std::vector<FixedVector3> points;
        for (int32_t level : {0, kLobby}) {
            for (int32_t s = 0; s < 4; ++s) {
                for (int32_t k = 0; k < kPanes; ++k) {
                    const int32_t e = (s + 1) % 4;
                    points.push_back(PointAt(cornerX[s] + double(cornerX[e] - cornerX[s]) * k / kPanes,
                                             cornerY[s] + double(cornerY[e] - cornerY[s]) * k / kPanes, level));
                }
            }
        }
        for (int32_t s = 0; s < 4; ++s) points.push_back(Point(cornerX[s], cornerY[s], kHeight));
        constexpr int16_t kRing = 4 * kPanes;
        std::vector<std::vector<int16_t>> faces;
        for (int16_t k = 0; k < kRing; ++k) {
            const int16_t next = int16_t((k + 1) % kRing);
            faces.push_back({k, int16_t(k + kRing), int16_t(next + kRing), next});
        }
        for (int16_t s = 0; s < 4; ++s) {
            const int16_t e = int16_t((s + 1) % 4);
            faces.push_back({int16_t(kRing + s * kPanes), int16_t(2 * kRing + s), int16_t(2 * kRing + e),
                             int16_t(kRing + e * kPanes)});
        }
        faces.push_back({2 * kRing, 2 * kRing + 3, 2 * kRing + 2, 2 * kRing + 1});
        faces.push_back({0, kPanes, 2 * kPanes, 3 * kPanes});
        ModelObject* box = MakePolygonMesh(holder, points, faces);
        if (!box) break;
        box->SetColours({0x9000, 0x8800, 0x8000}, kOpaque, kSideBoth);
        for (int32_t face = 0; face < kRing; ++face) {
            if (Surface* pane = box->SurfaceForFace(face)) pane->SetSurfaceColour(kGlass, kWindow, kSideBoth);
        }
        for (int32_t k = 0; k < 4; ++k) {
            const int32_t fx = x0 + 6 + 16 * (k % 2);
            const int32_t fy = y0 + 6 + 16 * (k / 2);
            if (ModelObject* fitting = MakeBox(holder, fx, fy, 0, fx + 10, fy + 10, 4 + 2 * k)) {
                fitting->SetColours({0x9000, 0x5800, 0x2800}, kOpaque, kSideBoth);
                box->AddChild(fitting);
            }
        }
        holder->Root->AddChild(box);
    }
    PlaceEye(document, 0, 0, 6, 0);
    return ModelFileBytes(document);
}

// A wall of small faces before the eye, each showing a picture of its own, by the thousand: the
// first frame decodes and prepares every picture.
// A wall of faces, each with a picture of its own, in a texture table of `pictures.size()`
// entries: the faces use the first ones.
Bytes WallOfPictures(int32_t columns, int32_t rows, std::vector<Picture> list)
{
    constexpr double kCell = 1.6;
    EmbeddedPictures pictures(std::move(list));
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    std::vector<FixedVector3> points;
    for (int32_t row = 0; row <= rows; ++row)
        for (int32_t column = 0; column <= columns; ++column)
            points.push_back(PointAt(kCell * (column - columns / 2.0), 100, kCell * (row - rows / 2.0)));
    auto at = [columns](int32_t column, int32_t row) { return int16_t(row * (columns + 1) + column); };
    std::vector<std::vector<int16_t>> faces;
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < columns; ++column)
            faces.push_back({at(column, row + 1), at(column + 1, row + 1), at(column + 1, row), at(column, row)});
    ModelObject* wall = MakePolygonMesh(holder, points, faces);
    if (wall) {
        wall->SetColours(kGlass, kOpaque, kSideBoth);
        for (int32_t face = 0; face < columns * rows; ++face)
            if (Surface* surface = wall->SurfaceForFace(face)) surface->SetSideTexture(pictures.Texture(size_t(face)), kSideBoth);
        holder->Root->AddChild(wall);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

Bytes ManySmallTextures()
{
    constexpr int32_t kColumns = 66;
    constexpr int32_t kRows = 50;
    return WallOfPictures(kColumns, kRows, std::vector<Picture>(size_t(kColumns * kRows), {8, kFixedOne}));
}

// Pictures of one pixel by the ten thousand, in entries of nothing else, that a few faces use.
Bytes ManyTinyTextures()
{
    constexpr int32_t kPictures = 10000;
    return WallOfPictures(4, 4, std::vector<Picture>(size_t(kPictures), {1, kFixedOne, false, true}));
}

}  // namespace

std::vector<HostileModel> FrameHostileModels()
{
    const struct {
        const char* name;
        Bytes bytes;
    } kinds[] = {
        {"see-through-field.qpy", SeeThroughField()},
        {"nested-stacks.qpy", NestedStacks(24, 4)},
        {"elements-past-faces.qpy", ElementsPastFaces()},
        {"touching-see-through.qpy", TouchingSeeThrough()},
        {"nested-domes.qpy", NestedDomes()},
        {"opaque-overdraw.qpy", OpaqueOverdraw()},
        {"nested-stacks-of-many-corners.qpy", NestedStacks(8, 2600)},
        {"opaque-quads.qpy", OpaqueQuads(QuadFill::Flat)},
        {"textured-quads.qpy", OpaqueQuads(QuadFill::Textured)},
        {"textured-floors.qpy", TexturedFloors(4, {64, kFixedOne})},
        {"elements-on-face.qpy", ElementsOnFace()},
        {"hidden-behind-near.qpy", HiddenBehindNear()},
        {"many-teeth.qpy", ManyTeeth()},
        {"many-small-textures.qpy", ManySmallTextures()},
        {"many-tiny-textures.qpy", ManyTinyTextures()},
        {"large-texture-floors.qpy", TexturedFloors(2, {512, kFixedOne / 64})},
        {"smooth-quads.qpy", SmoothQuads()},
        {"textured-quads-over-colour.qpy", OpaqueQuads(QuadFill::OverColour)},
        {"thin-slivers.qpy", Slivers(SliverFill::SeeThroughTextured)},
        {"opaque-slivers.qpy", Slivers(SliverFill::Opaque)},
        {"lobbies-in-line.qpy", LobbiesInLine()},
        {"every-cost.qpy", EveryCost()},
    };
    std::vector<HostileModel> models;
    for (const auto& kind : kinds) {
        if (!kind.bytes.empty())
            models.push_back({std::string("load-frames-") + kind.name, kind.bytes, HostileModel::kMustLoad});
    }
    return models;
}
