// The credits editor with real windows: its layout for the owner's picture and text, a picture
// file that replaces the picture and grows the window, a file that is no bitmap (the reader's
// alert, a beep, the picture kept), "No Picture" shrinking the window to its least size, OK
// handing the owner the picture and the field's whole text, Cancel leaving the owner as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "player/credits_editor.h"
#include "tests/textures/bmp_builder.h"
#include "tests/toolkit/toolkit_support.h"
#include "textures/media_item.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/edit_text.h"
#include "toolkit/sounds.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Numbers = std::vector<int32_t>;

int gDisposed = 0;
int gBeeps = 0;

// An owner's picture whose disposal is counted.
class CountedPicture : public Q_Offscreen {
public:
    ~CountedPicture() override { ++gDisposed; }
};

class TestOwner : public CreditsOwner {
public:
    TestOwner(int32_t width, int32_t height, const char* characters)
        : picture(new CountedPicture), text(NewDynamicArray(0, 1, 16))
    {
        EXPECT_EQ(picture->QOffscreenInit({0, 0, width, height}, -1, nullptr), kResultOk);
        for (const char* c = characters; *c; ++c) text->Append(c);  // no terminator
    }
    Q_Offscreen* CreditsPicture() override { return picture; }
    DynamicArray* CreditsText() override { return text; }
    void SetCredits(Q_Offscreen* newPicture, DynamicArray* newText) override
    {
        ++setCalls;
        picture = newPicture;
        text = newText;
    }
    void CreditsChanged(int32_t changed) override { changes.push_back(changed); }

    Q_Offscreen* picture;
    DynamicArray* text;
    int32_t setCalls = 0;
    std::vector<int32_t> changes;
};

// The bytes written to a file of the tests' own; its file object lives with the holder.
struct TempFile {
    TempFile(const char* name, const Bytes& bytes)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "qp-credits-" + std::to_string(GetCurrentProcessId()) + "-" + name;
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        IgnoreResult(file->SetFileFromPath(path.c_str()));
    }
    ~TempFile()
    {
        file->FileObjectDestroy();
        DeleteFileA(path.c_str());
    }
    std::string path;
    DiskFileStream* file = new DiskFileStream;
};

Bytes SolidBmp(int32_t width, int32_t height)
{
    return MakeBmp(BmpShape(width, height),
                   PackRows({size_t(height), std::vector<uint32_t>(size_t(width), 0x336699)}, 24));
}

Numbers ClientSize(CreditsEditDialog* dialog)
{
    RECT client = {};
    GetClientRect(dialog->Windoid()->GetWindowHandle(), &client);
    return {client.right, client.bottom};
}

class CreditsEditorTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        gDisposed = gBeeps = 0;
        previousBeep_ = InstallBeepCall([](uint32_t) { ++gBeeps; });
    }
    void TearDown() override
    {
        InstallBeepCall(previousBeep_);
        FrameFixture::TearDown();
    }

    // Runs the editor for the owner; `work` runs inside it once it is up, and ends it.
    static int32_t EditAndWork(TestOwner* owner, std::function<void(CreditsEditDialog*)> work)
    {
        bool worked = false;
        RunLater(150, [&] {
            HWND windoid = FindDialogWindoid();
            ASSERT_NE(windoid, nullptr);
            auto* dialog = dynamic_cast<CreditsEditDialog*>(WindowObject<Window>(windoid)->PaneAt(0));
            ASSERT_NE(dialog, nullptr);
            work(dialog);
            worked = true;
        });
        const int32_t result = EditCredits(owner);
        EXPECT_TRUE(worked);
        EXPECT_EQ(FindDialogWindoid(), nullptr);
        return result;
    }

    BeepCall previousBeep_ = nullptr;
};

TEST_F(CreditsEditorTest, PicturesChangeTheWindowAndOkHandsTheOwnerTheWholeText)
{
    TestOwner owner(100, 60, "Old credits");
    const std::string longText(300, 'x');
    const int32_t result = EditAndWork(&owner, [&](CreditsEditDialog* dialog) {
        EXPECT_STREQ(dialog->Windoid()->Title(), "Credits...");
        // 13 + 60 + 66 + 63 high, and 10 lower at the bottom.
        EXPECT_EQ(ClientSize(dialog), (Numbers{297, 212}));
        EXPECT_EQ(dialog->OkButton()->Bounds().top, 171);
        char field[512] = {};
        GetWindowTextA(dialog->TextField()->Control(), field, sizeof field);
        EXPECT_STREQ(field, "Old credits");

        // 50 wider and 20 taller: the window grows as much, its items kept at their edges.
        TempFile good("good.bmp", SolidBmp(150, 80));
        EXPECT_EQ(dialog->TakePictureFile(good.file), kResultOk);
        ASSERT_NE(dialog->CurrentPicture(), nullptr);
        EXPECT_EQ(dialog->CurrentPicture()->PortBounds().Width(), 150);
        EXPECT_EQ(ClientSize(dialog), (Numbers{347, 232}));
        EXPECT_EQ(dialog->OkButton()->Bounds().right, 334);
        EXPECT_EQ(dialog->TextField()->Bounds().right, 334);

        // No bitmap: the reader's alert (closed by Return), a beep, the picture kept.
        Q_Offscreen* shown = dialog->CurrentPicture();
        RunLater(100, [] { PostKey(DialogDefaultControl(FindDialogWindoid()), VK_RETURN); });
        TempFile bad("bad.bmp", Bytes{'X', 'Y', 1, 2, 3});
        EXPECT_EQ(dialog->TakePictureFile(bad.file), kResultNoPicture);
        EXPECT_EQ(gBeeps, 1);
        EXPECT_EQ(dialog->CurrentPicture(), shown);
        EXPECT_EQ(ClientSize(dialog), (Numbers{347, 232}));

        // No picture: 150 x 80 smaller, but never below 297 x 129.
        dialog->NoPictureButton()->ButtonPress();
        EXPECT_EQ(dialog->CurrentPicture(), nullptr);
        EXPECT_EQ(ClientSize(dialog), (Numbers{297, 152}));
        EXPECT_EQ(gDisposed, 0) << "the owner's picture stays until OK";

        // More than the 255 characters an edit field item keeps of its own.
        SetWindowTextA(dialog->TextField()->Control(), longText.c_str());
        static_cast<DismissButton*>(dialog->OkButton())->ButtonPress();
    });
    EXPECT_EQ(result, kCreditsEditOk);
    EXPECT_EQ(owner.setCalls, 1);
    EXPECT_EQ(owner.picture, nullptr);
    EXPECT_EQ(gDisposed, 1) << "the replaced picture went with OK";
    ASSERT_NE(owner.text, nullptr);
    ASSERT_EQ(owner.text->ArrayCount(), 301) << "the whole text and a NUL";
    EXPECT_EQ(std::string(static_cast<const char*>(owner.text->ArrayData())), longText);
    EXPECT_EQ(owner.changes, (std::vector<int32_t>{1}));
    owner.text->Destroy();
}

TEST_F(CreditsEditorTest, CancelLeavesTheOwnersCreditsAsTheyWere)
{
    TestOwner owner(40, 30, "Kept");
    Q_Offscreen* picture = owner.picture;
    DynamicArray* text = owner.text;
    const int32_t result = EditAndWork(&owner, [&](CreditsEditDialog* dialog) {
        TempFile other("other.bmp", SolidBmp(20, 10));
        EXPECT_EQ(dialog->TakePictureFile(other.file), kResultOk);
        SetWindowTextA(dialog->TextField()->Control(), "Changed");
        static_cast<DismissButton*>(dialog->CancelButton())->ButtonPress();
    });
    EXPECT_EQ(result, kCreditsEditCancel);
    EXPECT_EQ(owner.setCalls, 0);
    EXPECT_TRUE(owner.changes.empty());
    EXPECT_EQ(owner.picture, picture);
    EXPECT_EQ(owner.text, text);
    EXPECT_EQ(gDisposed, 0);
    text->Destroy();
    picture->DisposeOffscreen();
}

}  // namespace
