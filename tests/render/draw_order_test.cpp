// Lighting sums and shade levels of the worked cases, and the draw order: the far-to-near sort
// and the contact-plane correction, against a correction that moves records place by place.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "foundation/pointer_list.h"
#include "model/contact_list.h"
#include "model/light.h"
#include "model/lighting_math.h"
#include "render/draw_order.h"
#include "render/render_context.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

namespace {

struct LightsDeleter {
    void operator()(LightList* list) const { list->LightListDeleteAll(); }
};
using Lights = std::unique_ptr<LightList, LightsDeleter>;

Lights MakeLights(std::initializer_list<std::array<int32_t, 5>> lights)
{
    Lights list(NewLightList());
    for (const auto& l : lights) {
        Light* light = new Light;
        light->LightInitDefaults();
        light->LightSetDirection(int16_t(l[0]), int16_t(l[1]), int16_t(l[2]));
        light->LightSetGrey(uint16_t(l[3]));
        light->LightSetOn(uint16_t(l[4]));
        list->LightListAppend(light);
    }
    return list;
}

constexpr RGBColor48 kWhite = {65535, 65535, 65535};
constexpr ShortVector3 kUp = {0, 0, 256};

}  // namespace

TEST(Lighting, WorkedCases)
{
    // An ambient light of half strength on white, whatever the normal.
    auto ambient = MakeLights({{0, 0, 0, 32768, 1}});
    const RGBColor48 half = SumLighting(ambient.get(), kWhite, {0, -256, 0});
    EXPECT_EQ(half.red, 32767);
    EXPECT_EQ(half.blue, 32767);
    // Lights that are off give black and the darkest level.
    auto off = MakeLights({{0, 0, 256, 65535, 0}});
    EXPECT_EQ(SumLighting(off.get(), kWhite, kUp).green, 0);
    EXPECT_EQ(FixedFloor(ShadeLevel(off.get(), 32, kUp)), 31);
    // A light from behind adds nothing; two full lights clamp.
    auto behind = MakeLights({{0, 0, -256, 65535, 1}});
    EXPECT_EQ(SumLighting(behind.get(), kWhite, kUp).red, 0);
    auto two = MakeLights({{0, 0, 256, 65535, 1}, {0, 0, 256, 65535, 1}});
    EXPECT_EQ(SumLighting(two.get(), kWhite, kUp).red, 65535);
    EXPECT_EQ(FixedFloor(ShadeLevel(two.get(), 32, kUp)), 0);
    // Half the luminance: level 15.5, integer part 15.
    auto grey = MakeLights({{0, 0, 0, 32768, 1}});
    EXPECT_EQ(FixedFloor(ShadeLevel(grey.get(), 32, kUp)), 15);
}

TEST(DrawOrder, SortsFarToNearKeepingEqualDepthsInOrder)
{
    ObjectGeometry a{}, b{}, c{}, d{};
    a.ScreenMinimum[1] = 100;
    b.ScreenMinimum[1] = 130;
    ObjectGeometry* pa = &a;
    ObjectGeometry* pb = &b;
    EXPECT_EQ(ContactListCompare(&pa, &pb), 0);
    EXPECT_EQ(ContactListCompare(&pb, &pa), -1);
    b.ScreenMinimum[1] = 100;
    c.ScreenMinimum[1] = 5000;
    d.ScreenMinimum[1] = 100;
    ContactList* list = NewContactList();
    for (ObjectGeometry* g : {&a, &b, &c, &d}) list->Append(&g);
    StableSortDrawList(list);
    ObjectGeometry** order = list->Elements<ObjectGeometry*>();
    EXPECT_EQ(order[0], &c);
    // a, b and d lie at one depth: they keep the order they came in.
    EXPECT_EQ(order[1], &a);
    EXPECT_EQ(order[2], &b);
    EXPECT_EQ(order[3], &d);
    list->Destroy();
    FreeDrawOrderScratch();
}

TEST(DrawOrder, ATouchingRecordBehindTheContactPlaneGoesFirst)
{
    auto world = NewWorld();
    // A small box standing on a floor; the eye above the floor looks at the box.
    ModelObject* floor = AddBox(world.get(), -200, -200, -10, 200, 200, 0);
    ModelObject* box = AddBox(world.get(), -10, 90, 0, 10, 110, 20);
    auto o = NewObserver(world.get(), 80, 60, {0, 0, 50});
    ObjectGeometry* f = floor->GeometryAt(0);
    ObjectGeometry* b = box->GeometryAt(0);
    ASSERT_GT(b->ContactCount(), 0);
    for (ObjectGeometry* g : {f, b}) {
        g->Visible = 1;
        g->ScreenMinimum[0] = g->ScreenMinimum[2] = -100;
        g->ScreenMaximum[0] = g->ScreenMaximum[2] = 100;
    }
    // Sorted by nearest depth the floor (reaching under the eye) would be drawn last, over the box.
    ContactList* list = NewContactList();
    auto refineBoxThenFloor = [&] {
        IgnoreResult(list->ArraySetCount(0));
        list->Append(&b);
        list->Append(&f);
        RefineDrawOrder(list, list, o.get());
    };
    refineBoxThenFloor();
    EXPECT_EQ(PointerAt<ObjectGeometry>(list, 0), f);
    EXPECT_EQ(PointerAt<ObjectGeometry>(list, 1), b);
    EXPECT_EQ(f->DrawIndex, 0);
    EXPECT_EQ(b->DrawIndex, 1);
    // Seen from below the floor, the box stays first.
    o->SetObserverPosition({0, 0, -50});
    refineBoxThenFloor();
    EXPECT_EQ(PointerAt<ObjectGeometry>(list, 0), b);
    // A record whose only candidate is not visible keeps its place.
    o->SetObserverPosition({0, 0, 50});
    f->Visible = 0;
    refineBoxThenFloor();
    EXPECT_EQ(PointerAt<ObjectGeometry>(list, 0), b);
    // Nor is it corrected once the frame has stopped.
    f->Visible = 1;
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    budget.Begin(1);
    budget.Spend(FrameCost::kOrdered, int64_t(1) << 40);
    refineBoxThenFloor();
    budget.End();
    EXPECT_EQ(PointerAt<ObjectGeometry>(list, 0), b);
    list->Destroy();
}

TEST(DrawOrder, EachPullTakesTheNearestDrawnCandidateAndOnlyRecordsOfTheListCount)
{
    auto world = NewWorld();
    // Two legs, a bridge lying on both and a box on the bridge, all overlapping on the screen.
    const int32_t boxes[4][6] = {
        {-30, 90, 0, -10, 110, 20}, {10, 90, 0, 30, 110, 20}, {-30, 90, 20, 30, 110, 40}, {-10, 90, 40, 10, 110, 60}};
    ObjectGeometry* records[4] = {};
    for (int32_t k = 0; k < 4; ++k) {
        const int32_t* b = boxes[k];
        records[k] = AddBox(world.get(), b[0], b[1], b[2], b[3], b[4], b[5])->GeometryAt(0);
        records[k]->Visible = 1;
        records[k]->ScreenMinimum[0] = records[k]->ScreenMinimum[2] = -100;
        records[k]->ScreenMaximum[0] = records[k]->ScreenMaximum[2] = 100;
    }
    ObjectGeometry* const left = records[0];
    ObjectGeometry* const right = records[1];
    ObjectGeometry* const bridge = records[2];
    ObjectGeometry* const top = records[3];
    ASSERT_EQ(bridge->ContactCount(), 3);
    // The box on the bridge is a member left out of the list, read last; its index of an older
    // list names the bridge's place.
    top->DrawIndex = 0;
    ContactList* list = NewContactList();
    DynamicArray* members = NewPointerList();
    for (ObjectGeometry* g : {right, bridge, left, top}) AppendPointer(members, g);
    // A far record touching nothing stands in front of the three where a list is longer than
    // 16-bit places reach.
    ObjectGeometry* const far = AddBox(world.get(), 5000, 5000, 0, 5010, 5010, 10)->GeometryAt(0);
    struct Case {
        int16_t eyeZ;
        int32_t ahead;
        std::vector<ObjectGeometry*> sorted;
        std::vector<ObjectGeometry*> refined;
    };
    const Case cases[] = {
        // From above, the bridge lets the nearer-drawn leg go first, then the other one.
        {100, 0, {bridge, right, left}, {right, left, bridge}},
        {100, 0, {bridge, left, right}, {left, right, bridge}},
        // From below, a leg lets the bridge go first.
        {-50, 0, {left, right, bridge}, {bridge, left, right}},
        {-50, 40000, {left, right, bridge}, {bridge, left, right}},
    };
    for (const Case& c : cases) {
        auto o = NewObserver(world.get(), 80, 60, {0, 100, c.eyeZ});
        IgnoreResult(list->ArraySetCount(0));
        for (int32_t k = 0; k < c.ahead; ++k) list->Append(&far);
        for (ObjectGeometry* g : c.sorted) list->Append(&g);
        RefineDrawOrder(list, members, o.get());
        ObjectGeometry** order = list->Elements<ObjectGeometry*>();
        EXPECT_EQ(std::vector<ObjectGeometry*>(order + c.ahead, order + list->ArrayCount()), c.refined)
            << "eye at z " << c.eyeZ << ", " << c.ahead << " ahead";
        for (int32_t k = c.ahead; k < list->ArrayCount(); ++k) EXPECT_EQ(order[k]->DrawIndex, k);
    }
    members->Destroy();
    list->Destroy();
}

namespace {

// The correction as first written: a record at a place pulls the nearest-drawn of the records after
// it that may go first, every record in between moving on a place. The sorted places in the order
// corrected.
std::vector<int32_t> CorrectedByMoving(const std::vector<std::vector<int32_t>>& candidates)
{
    const int32_t count = int32_t(candidates.size());
    const size_t places = candidates.size();
    std::vector<int32_t> order(places), standsAt(places), pulledAt(places, -1);
    for (int32_t k = 0; k < count; ++k) order[size_t(k)] = standsAt[size_t(k)] = k;
    for (int32_t i = 0; i < count;) {
        const int32_t own = order[size_t(i)];
        int32_t best = -1;
        if (pulledAt[size_t(own)] != i) {
            for (int32_t c : candidates[size_t(own)]) {
                const int32_t at = standsAt[size_t(c)];
                if (at > i && (best == -1 || at < best)) best = at;
            }
        }
        if (best < 0) {
            ++i;
            continue;
        }
        pulledAt[size_t(own)] = i;
        const int32_t moved = order[size_t(best)];
        for (int32_t k = best; k > i; --k) standsAt[size_t(order[size_t(k)] = order[size_t(k - 1)])] = k;
        order[size_t(i)] = moved;
        standsAt[size_t(moved)] = i;
    }
    return order;
}

}  // namespace

TEST(DrawOrder, TheCorrectionPullsAsMovingEveryRecordInBetweenWould)
{
    // Records all overlapping on the screen, each touching a few others through a contact plane
    // that faces the eye (the other may go first) or faces away (the other sees it facing, and
    // this one may go first); the eye at the origin.
    std::mt19937 random(7);
    auto o = NewObserver(NewWorld().get(), 80, 60, {0, 0, 0});
    for (int32_t round = 0; round < 200; ++round) {
        const int32_t count = 2 + int32_t(random() % 40);
        const size_t places = size_t(count);
        GeometryPool* pool = GeometryPool::New(sizeof(ObjectGeometry));
        std::vector<ObjectGeometry*> records(places);
        std::vector<std::vector<int32_t>> candidates(places);
        ContactList* list = NewContactList();
        for (int32_t k = 0; k < count; ++k) {
            records[size_t(k)] = ObjectGeometry::New(nullptr, pool);
            ObjectGeometry& r = *records[size_t(k)];
            r.Visible = 1;
            r.ScreenMinimum[0] = r.ScreenMinimum[2] = -100;
            r.ScreenMaximum[0] = r.ScreenMaximum[2] = 100;
            list->Append(&records[size_t(k)]);
        }
        for (int32_t k = 0; k < count; ++k) {
            for (int32_t contacts = int32_t(random() % 5); contacts > 0; --contacts) {
                const int32_t other = int32_t(random() % uint32_t(count));
                const bool facing = random() % 3 != 0;
                records[size_t(k)]->AddGeometryContact(records[size_t(other)], {0, 100, 0},
                                                       {0, int16_t(facing ? 256 : -256), 0}, true);
                // The other record sees the plane turned: facing away, this one may go first.
                if (other != k) candidates[size_t(facing ? k : other)].push_back(facing ? other : k);
            }
        }
        RefineDrawOrder(list, list, o.get());
        const std::vector<int32_t> expected = CorrectedByMoving(candidates);
        for (int32_t k = 0; k < count; ++k) {
            EXPECT_EQ(PointerAt<ObjectGeometry>(list, k), records[size_t(expected[size_t(k)])]) << round << " " << k;
            EXPECT_EQ(PointerAt<ObjectGeometry>(list, k)->DrawIndex, k);
        }
        for (ObjectGeometry* r : records) r->ClearContacts();
        for (ObjectGeometry* r : records) r->ObjectGeometryFree();
        pool->HolderGone();
        list->Destroy();
    }
}
