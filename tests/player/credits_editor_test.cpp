// The credits editor with real windows: its layout for the owner's picture and text, a picture
// file that replaces the picture and grows the window, a file that cannot be read (its alert, a
// beep, and the picture kept), "No Picture" shrinking the window to its least size, OK handing
// the owner the picture and the field's whole text, Cancel leaving the owner as it was.
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
#include "toolkit/control_list.h"
#include "toolkit/dismiss_button.h"
#include "toolkit/edit_text.h"
#include "toolkit/sounds.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Numbers = std::vector<int32_t>;

Numbers EdgesOf(const PortRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

int gDisposed = 0;

// An owner's picture whose disposal is counted.
class CountedPicture : public Q_Offscreen {
public:
    ~CountedPicture() override { ++gDisposed; }
};

CountedPicture* NewCountedPicture(int32_t width, int32_t height)
{
    auto* picture = new CountedPicture;
    EXPECT_EQ(picture->QOffscreenInit({0, 0, width, height}, -1, nullptr), kResultOk);
    return picture;
}

class TestOwner : public CreditsOwner {
public:
    Q_Offscreen* CreditsPicture() override { return picture; }
    DynamicArray* CreditsText() override { return text; }
    void SetCredits(Q_Offscreen* newPicture, DynamicArray* newText) override
    {
        ++setCalls;
        picture = newPicture;
        text = newText;
    }
    void CreditsChanged(int32_t changed) override { changes.push_back(changed); }

    Q_Offscreen* picture = nullptr;
    DynamicArray* text = nullptr;
    int32_t setCalls = 0;
    std::vector<int32_t> changes;
};

DynamicArray* TextWithoutTerminator(const char* characters)
{
    const int32_t length = int32_t(std::strlen(characters));
    DynamicArray* text = NewDynamicArray(length, 1, 16);
    std::memcpy(text->ArrayData(), characters, size_t(length));
    return text;
}

std::string TempPath(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "qp-credits-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string WriteFile(const char* name, const Bytes& bytes)
{
    const std::string path = TempPath(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

std::string SolidBmpFile(const char* name, int32_t width, int32_t height)
{
    const std::vector<std::vector<uint32_t>> rows(size_t(height), std::vector<uint32_t>(size_t(width), 0x336699));
    return WriteFile(name, MakeBmp(BmpShape(width, height), PackRows(rows, 24)));
}

// A file object for the path, destroyed with the holder.
struct FileFor {
    explicit FileFor(const std::string& path) : file(new DiskFileStream) { file->SetFileFromPath(path.c_str()); }
    ~FileFor() { file->FileObjectDestroy(); }
    DiskFileStream* file;
};

CreditsEditDialog* ShownEditor()
{
    HWND dialog = FindDialogWindoid();
    Window* window = dialog ? WindowObject<Window>(dialog) : nullptr;
    return window && window->PaneCount() > 0 ? dynamic_cast<CreditsEditDialog*>(window->PaneAt(0)) : nullptr;
}

Numbers ClientSize(CreditsEditDialog* dialog)
{
    RECT client = {};
    GetClientRect(dialog->Windoid()->GetWindowHandle(), &client);
    return {client.right, client.bottom};
}

std::string FieldText(CreditsEditDialog* dialog)
{
    char text[512] = {};
    GetWindowTextA(dialog->TextField()->Control(), text, sizeof text);
    return text;
}

std::vector<uint32_t> gBeeps;

class CreditsEditorTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        gDisposed = 0;
        gBeeps.clear();
        previousBeep_ = InstallBeepCall([](uint32_t type) { gBeeps.push_back(type); });
    }
    void TearDown() override
    {
        InstallBeepCall(previousBeep_);
        FrameFixture::TearDown();
    }

    // Runs the editor for the owner; `work` runs inside it once it is up and ends it.
    static int32_t EditAndWork(TestOwner* owner, std::function<void(CreditsEditDialog*)> work)
    {
        bool worked = false;
        RunLater(150, [&] {
            CreditsEditDialog* dialog = ShownEditor();
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
    TestOwner owner;
    CountedPicture* initial = NewCountedPicture(100, 60);
    owner.picture = initial;
    owner.text = TextWithoutTerminator("Old credits");
    const std::string good = SolidBmpFile("good.bmp", 150, 80);
    const std::string bad = WriteFile("bad.bmp", Bytes{'X', 'Y', 1, 2, 3});
    const std::string longText(300, 'x');

    const int32_t result = EditAndWork(&owner, [&](CreditsEditDialog* dialog) {
        EXPECT_EQ(std::string(dialog->Windoid()->Title()), "Credits...");
        // 297 wide; 13 + 60 + 66 + 63 high, and 10 lower at the bottom.
        EXPECT_EQ(ClientSize(dialog), (Numbers{297, 212}));
        EXPECT_EQ(EdgesOf(dialog->OkButton()->Bounds()), (Numbers{223, 171, 284, 199}));
        EXPECT_EQ(EdgesOf(dialog->NoPictureButton()->Bounds()), (Numbers{13, 140, 94, 168}));
        EXPECT_EQ(FieldText(dialog), "Old credits") << "the text ends at its count";
        EXPECT_EQ(dialog->CurrentPicture(), initial);

        // A picture 50 wider and 20 taller grows the window by as much, items kept at their edges.
        FileFor goodFile(good);
        EXPECT_EQ(dialog->TakePictureFile(goodFile.file), kResultOk);
        ASSERT_NE(dialog->CurrentPicture(), nullptr);
        EXPECT_EQ(dialog->CurrentPicture()->PortBounds().Width(), 150);
        EXPECT_EQ(ClientSize(dialog), (Numbers{347, 232}));
        EXPECT_EQ(EdgesOf(dialog->OkButton()->Bounds()), (Numbers{273, 191, 334, 219}));
        EXPECT_EQ(EdgesOf(dialog->TextField()->Bounds()), (Numbers{13, 13, 334, 63}));
        EXPECT_EQ(gDisposed, 0) << "the owner's picture stays until OK";

        // A file that is no bitmap: the reader's alert, a beep, and the new picture kept.
        Q_Offscreen* shown = dialog->CurrentPicture();
        std::string alerted;
        RunLater(100, [&] {
            HWND alert = FindDialogWindoid();
            ASSERT_NE(alert, nullptr);
            auto* pane = dynamic_cast<DialogWindow*>(WindowObject<Window>(alert)->PaneAt(0));
            ASSERT_NE(pane, nullptr);
            for (int32_t i = 0; i < pane->Controls()->ArrayCount(); ++i) {
                auto* item = dynamic_cast<TextItem*>(pane->Controls()->ItemAt(i));
                if (item && item->Title()) alerted = item->Title();
            }
            PostKey(DialogDefaultControl(alert), VK_RETURN);
        });
        FileFor badFile(bad);
        EXPECT_EQ(dialog->TakePictureFile(badFile.file), kResultNoPicture);
        EXPECT_NE(alerted.find("Cannot load bitmap qp-credits-"), std::string::npos) << alerted;
        EXPECT_NE(alerted.find("-bad.bmp"), std::string::npos) << alerted;
        EXPECT_EQ(gBeeps.size(), 1u);
        EXPECT_EQ(dialog->CurrentPicture(), shown);
        EXPECT_EQ(ClientSize(dialog), (Numbers{347, 232}));

        // No picture: shrunk by 150 x 80, but never below 297 x 129.
        dialog->NoPictureButton()->ButtonPress();
        EXPECT_EQ(dialog->CurrentPicture(), nullptr);
        EXPECT_EQ(ClientSize(dialog), (Numbers{297, 152}));

        // A text longer than the 255 characters an edit field item keeps.
        SetWindowTextA(dialog->TextField()->Control(), longText.c_str());
        static_cast<DismissButton*>(dialog->OkButton())->ButtonPress();
    });
    EXPECT_EQ(result, kCreditsEditOk);
    EXPECT_EQ(owner.setCalls, 1);
    EXPECT_EQ(owner.picture, nullptr);
    EXPECT_EQ(gDisposed, 1) << "the replaced picture went with OK";
    ASSERT_NE(owner.text, nullptr);
    ASSERT_EQ(owner.text->ArrayCount(), 301) << "the whole text and a NUL";
    EXPECT_EQ(owner.text->ElementSize(), 1);
    EXPECT_EQ(std::string(static_cast<const char*>(owner.text->ArrayData())), longText);
    EXPECT_EQ(owner.changes, (std::vector<int32_t>{1}));
    owner.text->Destroy();
    DeleteFileA(good.c_str());
    DeleteFileA(bad.c_str());
}

TEST_F(CreditsEditorTest, CancelLeavesTheOwnersCreditsAsTheyWere)
{
    TestOwner owner;
    CountedPicture* initial = NewCountedPicture(40, 30);
    DynamicArray* text = TextWithoutTerminator("Kept");
    owner.picture = initial;
    owner.text = text;
    const std::string good = SolidBmpFile("other.bmp", 20, 10);

    const int32_t result = EditAndWork(&owner, [&](CreditsEditDialog* dialog) {
        FileFor file(good);
        EXPECT_EQ(dialog->TakePictureFile(file.file), kResultOk);
        SetWindowTextA(dialog->TextField()->Control(), "Changed");
        static_cast<DismissButton*>(dialog->CancelButton())->ButtonPress();
    });
    EXPECT_EQ(result, kCreditsEditCancel);
    EXPECT_EQ(owner.setCalls, 0);
    EXPECT_TRUE(owner.changes.empty());
    EXPECT_EQ(owner.picture, initial);
    EXPECT_EQ(owner.text, text);
    EXPECT_EQ(gDisposed, 0);
    text->Destroy();
    initial->DisposeOffscreen();
    DeleteFileA(good.c_str());
}

TEST_F(CreditsEditorTest, AnEmptyFieldLeavesTheOwnerNoText)
{
    TestOwner owner;
    owner.text = TextWithoutTerminator("Gone");
    const int32_t result = EditAndWork(&owner, [](CreditsEditDialog* dialog) {
        // Without a picture: 297 x 129 and 10 lower.
        EXPECT_EQ(ClientSize(dialog), (Numbers{297, 139}));
        SetWindowTextA(dialog->TextField()->Control(), "");
        static_cast<DismissButton*>(dialog->OkButton())->ButtonPress();
    });
    EXPECT_EQ(result, kCreditsEditOk);
    EXPECT_EQ(owner.setCalls, 1);
    EXPECT_EQ(owner.text, nullptr);
    EXPECT_EQ(owner.changes, (std::vector<int32_t>{1}));
}

}  // namespace
