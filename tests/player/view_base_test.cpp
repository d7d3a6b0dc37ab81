// The view base's defaults that the player's views keep: the stream test, the forward to the
// inner object and the answers of its reserved slots.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "foundation/memory_stream.h"
#include "player/view_base.h"

namespace {

// An inner object that notes what it is passed.
class NotingView : public ViewBase {
public:
    int32_t ReservedForward(int32_t first, int32_t second) override
    {
        passed.push_back({first, second});
        return ViewBase::ReservedForward(first, second);
    }
    std::vector<std::array<int32_t, 2>> passed;
};

TEST(ViewBaseTest, TheStreamTestAsksWhetherTheStreamLeftItsStart)
{
    auto* view = new ViewBase;
    MemoryStream stream;
    stream.StreamInit(kStreamWriting);
    EXPECT_EQ(view->StreamTest(&stream), 0);
    uint32_t word = 0x51504C59;
    ASSERT_EQ(stream.StreamTransferValue(&word, 4), kResultOk);
    EXPECT_EQ(view->StreamTest(&stream), 1);
    ASSERT_EQ(stream.StreamSetPosition(0), kResultOk);
    EXPECT_EQ(view->StreamTest(&stream), 0) << "back at the start";
    EXPECT_EQ(view->StreamTest(nullptr), 0);
    view->Free();
}

TEST(ViewBaseTest, TheForwardReachesTheInnerObjectOnceAndTheSlotsAnswerTheirDefaults)
{
    NotingView inner;
    inner.SetInner(&inner);  // a document is its own inner object: nothing goes round
    auto* view = new ViewBase;
    view->SetInner(&inner);
    EXPECT_EQ(view->ReservedForward(3, -4), 0);
    EXPECT_EQ(inner.passed, (std::vector<std::array<int32_t, 2>>{{3, -4}}));

    const std::array<int32_t, 7> answers = {view->ReservedStatus(), view->ReservedQuery1(), view->ReservedQuery2(),
                                            view->ReservedQuery3(), view->ReservedQuery4(), view->ReservedQuery5(),
                                            view->ViewCommand(nullptr, kCommandStep, kCodeRedraw, 0)};
    EXPECT_EQ(answers, (std::array<int32_t, 7>{-1, 0, 0, 0, 0, 0, 0}));
    view->Free();
}

}  // namespace
