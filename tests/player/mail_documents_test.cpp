// Sending documents by mail through a loader of the tests' own (no test calls the system's mail
// library): the library's and the entry's names, the entry's arguments with the frame window
// pointer-sized, the library freed whether or not the entry was found, a null handle or entry as
// the only failures with their messages in message boxes owned by the frame; and the [Mail] MAPI
// setting recorded at start-up.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/win32_services.h"
#include "player/mail_documents.h"
#include "tests/toolkit/toolkit_support.h"

namespace {

struct SendCall {
    ULONG_PTR window;
    std::string delimiter;
    std::string paths;
    std::string names;
    ULONG reserved;
};
std::vector<SendCall> gSent;

ULONG WINAPI RecordSend(ULONG_PTR window, LPSTR delimiter, LPSTR paths, LPSTR names, ULONG reserved)
{
    gSent.push_back({window, delimiter, paths, names, reserved});
    return 0;
}

class RecordingLoader : public MailLibraryLoader {
public:
    HMODULE Load(const char* name) override
    {
        loaded.push_back(name);
        return library;
    }
    FARPROC Entry(HMODULE module, const char* name) override
    {
        entries.push_back(name);
        EXPECT_EQ(module, library);
        return entry;
    }
    void Free(HMODULE module) override { freed.push_back(module); }

    HMODULE library = nullptr;
    FARPROC entry = nullptr;
    std::vector<std::string> loaded;
    std::vector<std::string> entries;
    std::vector<HMODULE> freed;
};

// The text and the owner of the message box that comes up next, which is then closed.
struct MessageBoxSeen {
    std::string text;
    std::string caption;
    HWND owner = nullptr;
};

void CloseNextMessageBox(MessageBoxSeen* seen)
{
    RunLater(50, [seen] {
        HWND box = FindWindowA("#32770", nullptr);
        ASSERT_NE(box, nullptr);
        char caption[64] = {};
        GetWindowTextA(box, caption, sizeof caption);
        seen->caption = caption;
        seen->owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(
            box,
            [](HWND child, LPARAM found) {
                char text[256] = {};
                GetWindowTextA(child, text, sizeof text);
                if (std::string(text).find("MAPI") != std::string::npos) reinterpret_cast<MessageBoxSeen*>(found)->text = text;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(seen));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
}

class MailTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        gSent.clear();
        previous_ = InstallMailLibraryLoader(&loader_);
    }
    void TearDown() override
    {
        EXPECT_EQ(InstallMailLibraryLoader(previous_), &loader_);
        FrameFixture::TearDown();
    }

    RecordingLoader loader_;
    MailLibraryLoader* previous_ = nullptr;
};

TEST_F(MailTest, TheEntryGetsTheFrameTheDelimiterAndTheLists)
{
    // A handle below 33 is a handle like any other: only a null one fails.
    loader_.library = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x10));
    loader_.entry = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordSend));
    SendDocumentsByMail("C:\\a.qpy;C:\\b.qpy", "a.qpy;b.qpy");
    EXPECT_EQ(loader_.loaded, (std::vector<std::string>{"MAPI32.DLL"}));
    EXPECT_EQ(loader_.entries, (std::vector<std::string>{"MAPISendDocuments"}));
    ASSERT_EQ(gSent.size(), 1u);
    HWND frame = CurrentFrameHandle();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(gSent[0].window, reinterpret_cast<ULONG_PTR>(frame)) << "the whole handle, pointer-sized";
    EXPECT_EQ(gSent[0].delimiter, ";");
    EXPECT_EQ(gSent[0].paths, "C:\\a.qpy;C:\\b.qpy");
    EXPECT_EQ(gSent[0].names, "a.qpy;b.qpy");
    EXPECT_EQ(gSent[0].reserved, 0u);
    EXPECT_EQ(loader_.freed, (std::vector<HMODULE>{loader_.library}));
}

TEST_F(MailTest, AMissingEntryIsReportedAndTheLibraryStillFreed)
{
    loader_.library = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x4000));
    MessageBoxSeen seen;
    CloseNextMessageBox(&seen);
    SendDocumentsByMail("C:\\a.qpy", "a.qpy");
    EXPECT_EQ(seen.text, "Failed to get entry point in the MAPI DLL");
    EXPECT_EQ(seen.caption, "Error") << "no caption of its own";
    EXPECT_EQ(seen.owner, CurrentFrameHandle());
    EXPECT_TRUE(gSent.empty());
    EXPECT_EQ(loader_.freed, (std::vector<HMODULE>{loader_.library}));
}

TEST_F(MailTest, ALibraryThatDoesNotLoadIsReportedAndNothingElseDone)
{
    MessageBoxSeen seen;
    CloseNextMessageBox(&seen);
    SendDocumentsByMail("C:\\a.qpy", "a.qpy");
    EXPECT_EQ(seen.text, "Failed to load the MAPI DLL");
    EXPECT_EQ(seen.owner, CurrentFrameHandle());
    EXPECT_TRUE(loader_.entries.empty());
    EXPECT_TRUE(loader_.freed.empty());
}

TEST(MailSetting, IsReadFromTheMailSectionWithZeroWhenAbsent)
{
    char saved[32] = {};
    const bool had = GetProfileStringA("Mail", "MAPI", "", saved, sizeof saved) > 0;
    WriteProfileStringA("Mail", "MAPI", "1");
    RecordMailSetting();
    EXPECT_EQ(MailSettingAtStartUp(), 1);
    WriteProfileStringA("Mail", "MAPI", nullptr);
    RecordMailSetting();
    EXPECT_EQ(MailSettingAtStartUp(), 0);
    if (had) WriteProfileStringA("Mail", "MAPI", saved);
}

}  // namespace
