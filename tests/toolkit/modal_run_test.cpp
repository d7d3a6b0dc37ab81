// Modal runs: each ends on its own end request, nested runs end innermost first, WM_QUIT ends
// every run and still reaches the main loop, and the peeking loops pass WM_QUIT on.
#include <gtest/gtest.h>

#include "tests/toolkit/toolkit_support.h"
#include "toolkit/message_loop.h"

namespace {

TEST(ModalRun, EndsOnItsOwnRequestWithoutAFrame)
{
    RunLater(10, [] { EndModalRun(); });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    EXPECT_EQ(ModalRunDepth(), 0);
    EXPECT_EQ(TakeQuit(), -1);
}

TEST(ModalRun, AnInnerEndLeavesTheOuterRunGoing)
{
    int32_t innerEnding = -1;
    int32_t depthInside = 0;
    RunLater(10, [&] {
        depthInside = ModalRunDepth();
        RunLater(10, [] { EndModalRun(); });
        innerEnding = RunMessageLoop(kModalLoop);
        // The outer run is still going; it ends on a request of its own.
        RunLater(30, [] { EndModalRun(); });
    });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    EXPECT_EQ(depthInside, 1);
    EXPECT_EQ(innerEnding, kLoopEndRequested);
}

TEST(ModalRun, QuitEndsEveryRunAndStillReachesTheMainLoop)
{
    int32_t innerEnding = -1;
    RunLater(10, [&] {
        RunLater(10, [] { PostQuitMessage(7); });
        innerEnding = RunMessageLoop(kModalLoop);
    });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopQuit);
    EXPECT_EQ(innerEnding, kLoopQuit);
    // The main loop takes it last.
    EXPECT_EQ(RunMessageLoop(0), kLoopQuit);
    EXPECT_EQ(TakeQuit(), -1);
}

TEST(ModalRun, AnEndRequestWithNoRunChangesNothing)
{
    EndModalRun();
    RunLater(20, [] { EndModalRun(); });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
}

TEST(PeekKeepingQuit, TakesQuitWhateverTheFilterAndPostsItAgain)
{
    PostQuitMessage(3);
    MSG message;
    EXPECT_EQ(PeekKeepingQuit(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE), kPeekedQuit);
    EXPECT_EQ(TakeQuit(), 3) << "posted again for the loops outside";
    EXPECT_EQ(PeekKeepingQuit(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE), kPeekedNothing);
}

}  // namespace
