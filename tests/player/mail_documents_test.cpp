// Sending documents by mail through a loader of the tests' own (no test calls the system's mail
// library): the library's and the entry's names, the entry's arguments with the frame window
// pointer-sized, the library freed whether or not the entry was found, a null handle or entry as
// the only failures, each reported in a message box owned by the frame; and the [Mail] MAPI
// setting.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/win32_services.h"
#include "player/mail_documents.h"
#include "tests/toolkit/toolkit_support.h"

namespace {

std::vector<std::string> gSent;
ULONG_PTR gSentWindow = 0;

ULONG WINAPI RecordSend(ULONG_PTR window, LPSTR delimiter, LPSTR paths, LPSTR names, ULONG reserved)
{
    gSentWindow = window;
    gSent = {delimiter, paths, names, std::to_string(reserved)};
    return 0;
}

class RecordingLoader : public MailLibraryLoader {
public:
    HMODULE Load(const char* name) override
    {
        calls.push_back(std::string("load ") + name);
        return library;
    }
    FARPROC Entry(HMODULE module, const char* name) override
    {
        calls.push_back(std::string("entry ") + name + (module == library ? "" : " of another library"));
        return entry;
    }
    void Free(HMODULE module) override { calls.push_back(module == library ? "free" : "free another library"); }

    HMODULE library = nullptr;
    FARPROC entry = nullptr;
    std::vector<std::string> calls;
};

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
        InstallMailLibraryLoader(previous_);
        FrameFixture::TearDown();
    }

    // Sends, closing the message box that comes up; its text and whether the frame owns it.
    std::string SendAndCloseMessage(bool* ownedByFrame)
    {
        std::string shown;
        RunLater(50, [&] {
            HWND box = FindWindowA("#32770", nullptr);
            ASSERT_NE(box, nullptr);
            *ownedByFrame = GetWindow(box, GW_OWNER) == CurrentFrameHandle();
            char text[128] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message's static control
            shown = text;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        SendDocumentsByMail("C:\\a.qpy", "a.qpy");
        return shown;
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
    EXPECT_EQ(loader_.calls, (std::vector<std::string>{"load MAPI32.DLL", "entry MAPISendDocuments", "free"}));
    ASSERT_NE(CurrentFrameHandle(), nullptr);
    EXPECT_EQ(gSentWindow, reinterpret_cast<ULONG_PTR>(CurrentFrameHandle())) << "the whole handle";
    EXPECT_EQ(gSent, (std::vector<std::string>{";", "C:\\a.qpy;C:\\b.qpy", "a.qpy;b.qpy", "0"}));
}

TEST_F(MailTest, ANullEntryOrLibraryIsReportedInTheFramesMessageBox)
{
    bool owned = false;
    loader_.library = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x4000));
    EXPECT_EQ(SendAndCloseMessage(&owned), "Failed to get entry point in the MAPI DLL");
    EXPECT_TRUE(owned);
    EXPECT_EQ(loader_.calls, (std::vector<std::string>{"load MAPI32.DLL", "entry MAPISendDocuments", "free"}));

    loader_.calls.clear();
    loader_.library = nullptr;
    owned = false;
    EXPECT_EQ(SendAndCloseMessage(&owned), "Failed to load the MAPI DLL");
    EXPECT_TRUE(owned);
    EXPECT_EQ(loader_.calls, (std::vector<std::string>{"load MAPI32.DLL"}));
    EXPECT_TRUE(gSent.empty());
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
