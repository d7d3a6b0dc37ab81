// The model memory estimate: its shares per object, face and polygon element, rounded up to
// whole kilobytes, and the counts it takes from a model's tree.
#include <gtest/gtest.h>

#include <climits>

#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "player/model_memory.h"
#include "tools/sample_scenes.h"

namespace {

TEST(ModelMemoryTest, SharesAddUpAndRoundUpToWholeKilobytes)
{
    struct Case {
        int32_t objects, faces, elements;
        int64_t bytes;
    };
    const Case cases[] = {
        {0, 0, 0, 1024000},  // already whole kilobytes
        {1, 0, 0, 1026048},  // 1,025,500
        {0, 1, 0, 1025024},  // 1,024,250
        {0, 0, 1, 1025024},  // 1,024,630
        {0, 0, 4096, 3604480},
        {-5, -1, -1, 1024000},
        {INT32_MAX, INT32_MAX, INT32_MAX, 5111012104192},  // beyond 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModelMemoryEstimate(c.objects, c.faces, c.elements), c.bytes)
            << c.objects << " " << c.faces << " " << c.elements;
}

TEST(ModelMemoryTest, ATreeCountsEveryNodeAndEveryFace)
{
    auto* document = new ModelDocument;
    ASSERT_EQ(document->Init(), kResultOk);
    ModelObject* root = document->Holder->Root;
    EXPECT_EQ(ModelMemoryEstimateOf(*root), 1026048) << "the world root alone: 1,025,500 bytes";
    root->AddChild(MakeBox(document->Holder, 0, 0, 0, 10, 10, 10));
    root->AddChild(MakeBox(document->Holder, 20, 0, 0, 30, 10, 10));
    // Three nodes and twelve faces: 1,031,500 bytes.
    EXPECT_EQ(ModelMemoryEstimateOf(*root), 1032192);
    document->Destroy();
}

}  // namespace
