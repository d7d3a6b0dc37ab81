// Dialogs built in code short of memory: each allocation of the text entry dialog is refused in
// turn. A dialog that could not be built answers "Cancel" and leaves the caller's text; whatever
// it made is freed again.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/failing_allocator.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/menu_bar.h"
#include "toolkit/text_entry_dialog.h"

namespace {

using DialogMemoryTest = FrameFixture;

TEST_F(DialogMemoryTest, TheTextEntryDialogFreesWhatItMadeWhenItCannotBeBuilt)
{
    for (int32_t failAt = 1;; ++failAt) {
        SCOPED_TRACE("allocation " + std::to_string(failAt));
        // A dialog that comes up after all is closed as its close box would; a windoid goes
        // once the messages its closing left are handled.
        bool shown = false;
        bool closed = false;
        RunLater(20, [&] {
            if (HWND dialog = FindDialogWindoid()) {
                shown = true;
                PostMessageA(dialog, WM_CLOSE, 0, 0);
            }
            closed = true;
        });
        char buffer[kTextEntrySize] = "old name";
        failing_allocator::Watch(failAt);
        const int32_t answer = AskText("Rename", "Name:", buffer, kTextFieldWide);
        const bool refused = failing_allocator::EndWatch();
        while (!closed) PumpFor(5);
        EXPECT_EQ(answer, 0);
        EXPECT_STREQ(buffer, "old name");
        // The frame's Window menu is made again whenever the menu bar is.
        EXPECT_EQ(failing_allocator::UnfreedSinceWatch(),
                  failing_allocator::MadeDuringWatch(frame_->FrameWindowMenu()) ? 1 : 0);
        if (!refused) {
            EXPECT_TRUE(shown) << "with nothing refused the dialog comes up";
            break;
        }
    }
}

}  // namespace
