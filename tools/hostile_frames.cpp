// Hostile model files whose cost lies in drawing a frame, each under a megabyte and read at once:
// a see-through face draws again what lies behind it, so that see-through faces behind and
// inside each other, see-through elements reaching past their faces, see-through objects touching
// each other and see-through faces of many corners ask one frame for work out of all proportion to
// the file; and opaque faces filling the view by the ten thousand ask the painter's order to fill
// it again and again. Each is written through the scene model, as the program writes a model file.
#include "tools/hostile_frames.h"

#include <cmath>
#include <string>

#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/short_vector.h"
#include "model/surface.h"
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
constexpr RGBColor48 kGlass = {0x6000, 0xA000, 0xE000};

// The eye's place and heading (1/256 turns to the left of north) in the document's walk record.
void PlaceEye(ModelDocument* document, int32_t x, int32_t y, int32_t z, int32_t heading)
{
    document->Walk->SetAndRecord(IntToFixed(x), IntToFixed(y), IntToFixed(z), 0, 0, IntToFixed(heading));
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
        wall->SetColours(kGlass, 0xFFFF, kSideBoth);
        holder->Root->AddChild(wall);
    }
    PlaceEye(document, 0, 0, 0, 0);
    return ModelFileBytes(document);
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
    };
    std::vector<HostileModel> models;
    for (const auto& kind : kinds) {
        if (!kind.bytes.empty())
            models.push_back({std::string("load-frames-") + kind.name, kind.bytes, HostileModel::kMustLoad});
    }
    return models;
}
