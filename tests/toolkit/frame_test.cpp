// Document frames: refusing to close under a modal run, the close code that no longer quits,
// dropped files, and the keys frames pre-translate (help, Delete, punctuation).
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/disk_file_stream.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/alert.h"
#include "toolkit/app_commands.h"
#include "toolkit/message_loop.h"

namespace {

class RecordingServices : public FrameServices {
public:
    void OpenModelFile(DiskFileStream* file, int32_t mode) override
    {
        char name[MAX_PATH] = {};
        file->FileNameWithExtension(name);
        opened.push_back(name);
        modes.push_back(mode);
        file->FileObjectDestroy();
    }
    std::vector<std::string> opened;
    std::vector<int32_t> modes;
};

// A drop of the names, as the shell hands one to the window.
HDROP MakeDrop(const std::vector<std::string>& names)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& name : names) size += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* text = reinterpret_cast<char*>(drop + 1);
    for (const std::string& name : names) {
        std::memcpy(text, name.c_str(), name.size() + 1);
        text += name.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

using FrameTest = FrameFixture;

TEST_F(FrameTest, RefusesToCloseWhileAModalDialogIsUp)
{
    LRESULT endSession = -1;
    RunLater(30, [&] {
        SendMessageA(frame_->FrameWindow(), WM_CLOSE, 0, 0);
        endSession = SendMessageA(frame_->FrameWindow(), WM_QUERYENDSESSION, 0, 0);
        PostKey(DialogDefaultControl(FindDialogWindoid()), VK_ESCAPE);
    });
    EXPECT_EQ(AskQuestion("Go on?", "OK", "Cancel", kQuestionFocusFirst), 1);
    EXPECT_EQ(endSession, 0);
    EXPECT_TRUE(IsWindow(frame_->FrameWindow()));
    EXPECT_EQ(TakeQuit(), -1);
}

TEST_F(FrameTest, TheCloseCodeReachingTheFrameNeverQuits)
{
    PostMessageA(frame_->FrameWindow(), AppCommandMessage, 0, kCommandClose);
    EXPECT_TRUE(PumpMessages());
    EXPECT_TRUE(IsWindow(frame_->FrameWindow()));
}

TEST_F(FrameTest, DroppedFilesOpenInOrderAndOverlongNamesAreSkipped)
{
    RecordingServices services;
    FrameServices* previous = InstallFrameServices(&services);
    const std::string tooLong = "C:\\" + std::string(MAX_PATH, 'x') + ".qpy";
    SendMessageA(frame_->FrameWindow(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({"C:\\models\\room.qpy", tooLong, "C:\\models\\glass.qpy"})), 0);
    InstallFrameServices(previous);
    ASSERT_EQ(services.opened.size(), 2u);
    EXPECT_EQ(services.opened[0], "room.qpy");
    EXPECT_EQ(services.opened[1], "glass.qpy");
    EXPECT_EQ(services.modes[0], kOpenNamedFile);
}

TEST_F(FrameTest, ContentRectangleRoundTripsAndTheCaptionCarriesThePrefix)
{
    frame_->SetFrameContentRect({100, 120, 700, 520});
    PortRect content;
    frame_->GetFrameContentRect(&content);
    EXPECT_EQ(content.left, 100);
    EXPECT_EQ(content.top, 120);
    EXPECT_EQ(content.right, 700);
    EXPECT_EQ(content.bottom, 520);
    PortRect strip;
    frame_->GetFrameClientArea(&strip);
    EXPECT_EQ(strip.top, 500) << "the help bar strip is the content's bottom 20 pixels";

    frame_->SetCaptionPrefix("Player");
    frame_->SetDocumentTitle("room");
    char caption[256] = {};
    GetWindowTextA(frame_->FrameWindow(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Player - room");
    EXPECT_FALSE(frame_->IsUntitled());
}

class FrameKeyTest : public FrameFixture {
protected:
    // Holds the modifier keys in this thread's keyboard state.
    void Hold(std::initializer_list<int> keys)
    {
        BYTE state[256] = {};
        for (int key : keys) state[key] = 0x80;
        SetKeyboardState(state);
    }
    void TearDown() override
    {
        Hold({});
        FrameFixture::TearDown();
    }
    MSG KeyMessage(WPARAM key) { return MSG{frame_->FrameWindow(), WM_KEYDOWN, key, 0, 0, {0, 0}}; }
};

TEST_F(FrameKeyTest, F1OpensTheHelpIndexAndIsStillLookedUp)
{
    RecordedHelpCalls().clear();
    MSG message = KeyMessage(VK_F1);
    EXPECT_EQ(HandleMenuKey(frame_->FrameWindow(), &message), 0);
    ASSERT_EQ(RecordedHelpCalls().size(), 1u);
    const HelpCallRecord& call = RecordedHelpCalls()[0];
    EXPECT_EQ(call.command, UINT(HELP_INDEX));
    EXPECT_EQ(call.window, frame_->FrameWindow());
    ASSERT_GT(call.file.size(), 10u);
    EXPECT_EQ(call.file.substr(call.file.size() - 10), "\\QPLAY.HLP");
    EXPECT_EQ(message.wParam, WPARAM(VK_F1));
}

TEST_F(FrameKeyTest, DeleteBecomesBackspaceAndPunctuationItsCharacterUnderCtrl)
{
    MSG erase = KeyMessage(VK_DELETE);
    HandleMenuKey(frame_->FrameWindow(), &erase);
    EXPECT_EQ(erase.wParam, WPARAM(VK_BACK));

    MSG plain = KeyMessage(VK_OEM_1);
    HandleMenuKey(frame_->FrameWindow(), &plain);
    EXPECT_EQ(plain.wParam, WPARAM(VK_OEM_1)) << "without Ctrl a key is left alone";

    Hold({VK_CONTROL});
    const std::pair<WPARAM, WPARAM> keys[] = {{VK_OEM_1, ';'},      {VK_OEM_PLUS, '='}, {VK_OEM_COMMA, ','},
                                              {VK_OEM_MINUS, '-'},  {VK_OEM_PERIOD, '.'}, {VK_OEM_2, '/'},
                                              {VK_OEM_4, '['},      {VK_OEM_6, ']'},    {'S', 'S'}};
    for (const auto& [key, character] : keys) {
        MSG message = KeyMessage(key);
        HandleMenuKey(frame_->FrameWindow(), &message);
        EXPECT_EQ(message.wParam, character) << key;
    }
    MSG up = KeyMessage(VK_OEM_1);
    up.message = WM_KEYUP;
    HandleMenuKey(frame_->FrameWindow(), &up);
    EXPECT_EQ(up.wParam, WPARAM(VK_OEM_1)) << "only key presses are translated";
}

}  // namespace
