// The city sample: read back with the contacts that trying every pair finds, its eye in a street,
// the full-size city written again byte for byte after a read, and the flat and plain variants
// holding the same buildings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "foundation/fixed.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/walk_record.h"
#include "tests/foundation/stream_bytes.h"
#include "tests/model/pairwise_contacts.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/textured_samples.h"
#include "tools/tool_support.h"

namespace {

// The texture layer as make-samples has it, each document's textures in a list of their own.
class CityTextures {
public:
    CityTextures()
    {
        UseToolScreen();
        InitTextureManager(new TextureManager{});
        services_ = &InstallTextureLayerServices();
    }
    ~CityTextures()
    {
        services_->SetDocumentTextureList(nullptr);
        for (TextureRecordList* list : lists_) {
            ReleaseTextureRecords(list);
            FreeTextureRecordList(list);
        }
        RemoveTextureLayerServices();
        FreeTextureManager();
    }
    CityTextures(const CityTextures&) = delete;
    CityTextures& operator=(const CityTextures&) = delete;

    // A new list, made the one documents made or read from now on put their textures in.
    TextureRecordList* NextList()
    {
        lists_.push_back(NewTextureRecordList());
        services_->SetDocumentTextureList(lists_.back());
        return lists_.back();
    }

private:
    TextureLayerServices* services_ = nullptr;
    std::vector<TextureRecordList*> lists_;
};

struct DocumentDeleter {
    void operator()(ModelDocument* document) const { document->Destroy(); }
};
using Document = std::unique_ptr<ModelDocument, DocumentDeleter>;

Bytes Write(ModelDocument* document)
{
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(WriteModelFile(document, &out), kResultOk);
    return Contents(out);
}

Document ReadBack(CityTextures& textures, const Bytes& bytes)
{
    textures.NextList();
    MemoryStream in;
    Load(in, bytes);
    Document copy(new ModelDocument);
    EXPECT_EQ(copy->Init(), kResultOk);
    EXPECT_EQ(copy->ReadModelFile(&in), kResultOk);
    return copy;
}

// The buildings of a city in either layout: the group's children, or the root's.
const ModelObject* Buildings(const ModelDocument* city)
{
    const ModelObject* root = city->Holder->Root;
    return root->ChildCount() == 1 && root->ChildAt(0)->IsGroup() ? root->ChildAt(0) : root;
}

bool SameBox(const ShortBox& a, const ShortBox& b)
{
    return a.minimum.x == b.minimum.x && a.minimum.y == b.minimum.y && a.minimum.z == b.minimum.z &&
           a.maximum.x == b.maximum.x && a.maximum.y == b.maximum.y && a.maximum.z == b.maximum.z;
}

int64_t Faces(const ModelObject* node)
{
    int64_t faces = 0;
    for (int32_t i = 0; i < node->GeometryCount(); ++i) faces += node->GeometryAt(i)->PolygonCount();
    for (int32_t i = 0; i < node->ChildCount(); ++i) faces += Faces(node->ChildAt(i));
    return faces;
}

}  // namespace

TEST(CitySample, ReadBackWithThePairwiseContactsAndTheEyeInAStreet)
{
    CityTextures textures;
    Document city(BuildCitySample(textures.NextList(), 10000));
    ASSERT_NE(city, nullptr);
    Document copy = ReadBack(textures, Write(city.get()));
    const ModelObject* root = copy->Holder->Root;
    ASSERT_EQ(root->ChildCount(), 1);
    const ModelObject* buildings = root->ChildAt(0);
    EXPECT_TRUE(buildings->IsGroup());
    EXPECT_EQ(buildings->ChildCount(), 1666);
    EXPECT_EQ(Faces(root), 6 * 1666);
    EXPECT_GT(pairwise::ExpectReaderContacts(copy->Holder->Root), 10000);

    // Within the city's bounds, above the ground and below the roofs, in no building.
    const WalkRecord* walk = copy->Walk;
    int32_t eye[3];
    for (int32_t axis = 0; axis < 3; ++axis) eye[axis] = ShiftRightSigned(walk->Position[axis], 16);
    const ShortBox& bounds = buildings->WorldBox;
    EXPECT_GT(eye[0], bounds.minimum.x);
    EXPECT_LT(eye[0], bounds.maximum.x);
    EXPECT_GT(eye[1], bounds.minimum.y);
    EXPECT_LT(eye[1], bounds.maximum.y);
    EXPECT_GT(eye[2], 0);
    for (int32_t i = 0; i < buildings->ChildCount(); ++i) {
        const ShortBox& box = buildings->ChildAt(i)->WorldBox;
        ASSERT_FALSE(eye[0] >= box.minimum.x && eye[0] <= box.maximum.x && eye[1] >= box.minimum.y &&
                     eye[1] <= box.maximum.y && eye[2] <= box.maximum.z)
            << "building " << i;
    }
}

TEST(CitySample, FullSizeCityWritesTheSameBytesAfterARead)
{
    CityTextures textures;
    Document city(BuildCitySample(textures.NextList(), kCityFaces));
    ASSERT_NE(city, nullptr);
    const Bytes bytes = Write(city.get());
    city.reset();
    EXPECT_GT(bytes.size(), 5000000u);
    Document copy = ReadBack(textures, bytes);
    EXPECT_EQ(Faces(copy->Holder->Root), 99996);
    EXPECT_EQ(Write(copy.get()), bytes);
}

TEST(CitySample, FlatAndPlainCitiesHoldTheCitysBuildings)
{
    CityTextures textures;
    Document city(BuildCitySample(textures.NextList(), 1000));
    Document flat(BuildCitySample(textures.NextList(), 1000, CityLayout::Flat));
    TextureRecordList* plainTextures = textures.NextList();
    Document plain(BuildCitySample(plainTextures, 1000, CityLayout::Grouped, CitySurfaces::Plain));
    ASSERT_TRUE(city && flat && plain);
    const ModelObject* buildings = Buildings(city.get());
    ASSERT_NE(buildings, city->Holder->Root);
    ASSERT_EQ(buildings->ChildCount(), 166);
    ASSERT_EQ(Buildings(flat.get()), flat->Holder->Root);
    for (const ModelDocument* other : {flat.get(), plain.get()}) {
        ASSERT_EQ(Buildings(other)->ChildCount(), 166);
        for (int32_t i = 0; i < 166; ++i) {
            const ModelObject* building = Buildings(other)->ChildAt(i);
            EXPECT_FALSE(building->IsGroup());
            EXPECT_TRUE(SameBox(building->WorldBox, buildings->ChildAt(i)->WorldBox)) << "building " << i;
        }
    }

    // The flat city's eye: south of every building, above the lowest roofs and below the towers.
    int32_t eye[3];
    for (int32_t axis = 0; axis < 3; ++axis) eye[axis] = ShiftRightSigned(flat->Walk->Position[axis], 16);
    int32_t lowest = INT32_MAX, highest = 0;
    for (int32_t i = 0; i < 166; ++i) {
        const ShortBox& box = buildings->ChildAt(i)->WorldBox;
        EXPECT_LT(eye[1], box.minimum.y) << "building " << i;
        lowest = std::min<int32_t>(lowest, box.maximum.z);
        highest = std::max<int32_t>(highest, box.maximum.z);
    }
    EXPECT_GT(eye[2], lowest);
    EXPECT_LT(eye[2], highest);

    // The plain city has no textures; each building is in the wall colour of one of the three
    // facades, and all three are used.
    EXPECT_EQ(TextureRecordCount(plainTextures), 0);
    const RGBColor48 walls[3] = {{0x9000, 0x4000, 0x3000}, {0x5000, 0x6000, 0x7000}, {0xB000, 0xB000, 0xA800}};
    int32_t used[3] = {};
    for (int32_t i = 0; i < 166; ++i) {
        const ModelObject* building = Buildings(plain.get())->ChildAt(i);
        const RGBColor48 colour = building->GetColour(kSideFront);
        const auto wall = std::find_if(std::begin(walls), std::end(walls), [&](const RGBColor48& w) {
            return w.red == colour.red && w.green == colour.green && w.blue == colour.blue;
        });
        ASSERT_NE(wall, std::end(walls)) << "building " << i;
        ++used[wall - walls];
        const ObjectGeometry* geometry = building->GeometryAt(0);
        for (int32_t k = 0; k < geometry->PolygonCount(); ++k) {
            EXPECT_EQ(geometry->PolygonAt(k)->GetSideTexture(kSideFront), nullptr);
            EXPECT_EQ(geometry->PolygonAt(k)->GetSideTexture(kSideBack), nullptr);
        }
    }
    EXPECT_TRUE(used[0] > 0 && used[1] > 0 && used[2] > 0);
}
