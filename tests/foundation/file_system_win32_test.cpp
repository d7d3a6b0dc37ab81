// The file object on a real Windows file system (Wine maps C: to its prefix and Z: to the host's
// root): file references resolved after a model moved with its textures, directory scans,
// directories made on demand, read-only files, and the system's own folders.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include <filesystem>
#include <string>
#include <vector>

#include "file_test_support.h"
#include "foundation/directory_scan.h"
#include "foundation/file_dialog.h"
#include "foundation/pointer_list.h"
#include "foundation/win32_services.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder (C:\qp_<test>_<process>\ or Z:\tmp\...), removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder(const std::string& drive, const std::string& name)
        : path_(drive + "\\qp_" + name + "_" + std::to_string(GetCurrentProcessId()) + "\\")
    {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    // Writes a file (making its folders) and returns its full path.
    std::string Put(const std::string& relative, const std::string& bytes = "data") const
    {
        std::string full = path_ + relative;
        fs::create_directories(fs::path(full).parent_path());
        WriteWholeFile(full, bytes);
        return full;
    }

private:
    std::string path_;
};

std::string FullPath(const DiskFileStream& file)
{
    char text[kPathLength];
    IgnoreResult(file.FileFullPath(text));
    return text;
}

class Win32Files : public ::testing::Test {
protected:
    Win32Files() : limits_(255, 255) {}

    Owned<DiskFileStream> FileAt(const std::string& path, int32_t direction = kStreamReading)
    {
        auto file = MakeFile(kFileReference);
        IgnoreResult(file->SetFileFromPath(path.c_str()));
        IgnoreResult(file->StreamSetDirection(direction));
        return file;
    }

    // Stores a reference to `target` (with `base` as reference base) inside a "TXRF" chunk of
    // the base's own file.
    void StoreReference(const std::string& target, const std::string& base)
    {
        auto model = FileAt(base, kStreamWriting);
        ASSERT_EQ(model->FileOpenStream(), 0);
        auto texture = FileAt(target);
        texture->SetFileAttribute(model.get());
        ASSERT_EQ(model->StreamBeginChunk(ChunkTagOf("TXRF")), 0);
        ASSERT_EQ(texture->Write(model.get()), 0);
        ASSERT_EQ(model->StreamEndChunk(), 0);
        ASSERT_EQ(model->FileCloseStream(), 0);
    }

    // Reads the reference back from the model file at `base`; the result and the file found.
    ResultCode ResolveReference(const std::string& base, std::string* found)
    {
        auto model = FileAt(base);
        const ResultCode opened = model->FileOpenStream();
        if (opened != kResultOk) return opened;
        auto texture = MakeFile(kFileReference);
        texture->SetFileAttribute(model.get());
        EXPECT_EQ(model->StreamEnterChunk(), ChunkTagOf("TXRF"));
        ResultCode result = texture->Write(model.get());
        IgnoreResult(model->StreamEndChunk());
        IgnoreResult(model->FileCloseStream());
        *found = FullPath(*texture);
        EXPECT_EQ(texture->Kind(), kFileReference);
        return result;
    }

private:
    ScopedVolumeLimits limits_;
};

}  // namespace

TEST_F(Win32Files, ReferencesFollowAModelMovedWithItsTextures)
{
    ScratchFolder old("C:", "fpth_old");
    ScratchFolder moved("Z:\\tmp", "fpth_new");
    const std::string texture = old.Put("MODELS\\TEX\\WOOD.BMP");
    const std::string model = old.Put("MODELS\\HOUSE.QPY", "");
    StoreReference(texture, model);

    std::string found;
    EXPECT_EQ(ResolveReference(model, &found), 0);
    EXPECT_EQ(found, texture);

    // Both folders move to another drive: only the relative path still leads to the texture.
    const std::string newTexture = moved.Put("NEW\\MODELS\\TEX\\WOOD.BMP");
    const std::string newModel = moved.Path() + "NEW\\MODELS\\HOUSE.QPY";
    fs::copy_file(model, newModel);
    fs::remove_all(old.Path() + "MODELS");
    EXPECT_EQ(ResolveReference(newModel, &found), 0);
    EXPECT_EQ(found, newTexture);
    ASSERT_EQ(newTexture.substr(0, 2), "Z:");

    // Found nowhere: the bare name, and -1.
    fs::remove(newTexture);
    EXPECT_EQ(ResolveReference(newModel, &found), -1);
    EXPECT_EQ(found, "WOOD.BMP");
}

TEST_F(Win32Files, ReferencesClimbOutOfTheModelsFolder)
{
    ScratchFolder root("C:", "fpth_ups");
    const std::string texture = root.Put("OLD\\TEX\\STONE.JPG");
    const std::string model = root.Put("OLD\\MODELS\\DEEP\\HOUSE.QPY", "");
    StoreReference(texture, model);

    // The stored relative part: two ups, then TEX.
    auto stream = FileAt(model);
    ASSERT_EQ(stream->FileOpenStream(), 0);
    int32_t size = 0;
    IgnoreResult(stream->StreamSize(&size));
    std::string bytes(size_t(size), '\0');
    IgnoreResult(stream->TransferBytes(&bytes[0], size));
    IgnoreResult(stream->FileCloseStream());
    const std::string relative("\0\x02\0\x01\x03TEX", 8);
    size_t at = bytes.rfind(relative);
    ASSERT_NE(at, std::string::npos);
    EXPECT_GE(at + relative.size() + 2, bytes.size());  // at the end, before pad bytes

    fs::rename(root.Path() + "OLD", root.Path() + "NEW");
    std::string found;
    EXPECT_EQ(ResolveReference(root.Path() + "NEW\\MODELS\\DEEP\\HOUSE.QPY", &found), 0);
    EXPECT_EQ(found, root.Path() + "NEW\\TEX\\STONE.JPG");
}

TEST_F(Win32Files, ScansListFilesByNameWithThePriorityNameFirst)
{
    ScratchFolder folder("C:", "scan");
    for (const char* name : {"B.TLB", "A.TLB", "C.TLB", "d.tlb", "x.bmp", "LONGER NAME.TLB"}) folder.Put(name);
    fs::create_directories(folder.Path() + "E.TLB");
    constexpr uint32_t kTypeTLB = 0x544C4200;
    PathRecord directory{};
    // Given without its final "\".
    IgnoreResult(SetPathRecordText(&directory, folder.Path().substr(0, folder.Path().size() - 1).c_str()));

    auto names = [](DynamicArray* list) {
        std::string text;
        for (int32_t i = 0; i < ListCount(list); ++i)
            text += NameWithExtension(*PointerAt<DiskFileStream>(list, i)) + " ";
        return text;
    };
    auto clear = [](DynamicArray* list) {
        for (int32_t i = 0; i < list->ArrayCount(); ++i) PointerAt<DiskFileStream>(list, i)->FileObjectDestroy();
        IgnoreResult(list->ArraySetCount(0));
    };
    Owned<DynamicArray> list(NewDynamicArray(0, int32_t(sizeof(DiskFileStream*)), 4));
    EXPECT_EQ(ScanDirectory(&directory, "C", kTypeTLB, list.get()), 5);
    EXPECT_EQ(names(list.get()), "C.TLB A.TLB B.TLB LONGER NAME.TLB d.tlb ");
    DiskFileStream* first = PointerAt<DiskFileStream>(list.get(), 0);
    EXPECT_EQ(FullPath(*first), folder.Path() + "C.TLB");
    EXPECT_EQ(first->Kind(), kFileReference);
    EXPECT_EQ(first->FileGetType(), kTypeTLB);
    EXPECT_EQ(first->FileExists(), 0);
    clear(list.get());

    EXPECT_EQ(ScanDirectory(&directory, "D", kTypeTLB, list.get()), 5);
    EXPECT_EQ(names(list.get()), "d.tlb A.TLB B.TLB C.TLB LONGER NAME.TLB ");
    clear(list.get());
    EXPECT_EQ(ScanDirectory(&directory, nullptr, kTypeTLB, list.get()), 5);
    EXPECT_EQ(names(list.get()), "A.TLB B.TLB C.TLB LONGER NAME.TLB d.tlb ");

    // A second scan into the same list: equal names keep their arrival order.
    ScratchFolder other("C:", "scan2");
    other.Put("B.DIB");
    other.Put("A.TLB");
    IgnoreResult(SetPathRecordText(&directory, other.Path().c_str()));
    EXPECT_EQ(ScanDirectory(&directory, nullptr, kTypeTLB, list.get()), 6);
    EXPECT_EQ(ScanDirectory(&directory, nullptr, 0x44494200, list.get()), 7);
    EXPECT_EQ(names(list.get()), "A.TLB A.TLB B.TLB B.DIB C.TLB LONGER NAME.TLB d.tlb ");
    EXPECT_EQ(FullPath(*PointerAt<DiskFileStream>(list.get(), 0)), folder.Path() + "A.TLB");
    EXPECT_EQ(FullPath(*PointerAt<DiskFileStream>(list.get(), 1)), other.Path() + "A.TLB");
    EXPECT_EQ(FullPath(*PointerAt<DiskFileStream>(list.get(), 3)), other.Path() + "B.DIB");
    clear(list.get());

    // Nothing found, and no list.
    IgnoreResult(SetPathRecordText(&directory, (folder.Path() + "MISSING").c_str()));
    EXPECT_EQ(ScanDirectory(&directory, nullptr, kTypeTLB, list.get()), 0);
    EXPECT_EQ(ScanDirectory(&directory, nullptr, kTypeTLB, nullptr), -1);
}

TEST_F(Win32Files, DirectoriesAreMadeAndTested)
{
    ScratchFolder folder("C:", "dirs");
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);

    auto file = MakeFile(kFileWrite);
    file->SetDirectory((folder.Path() + "A\\B\\C").c_str());
    EXPECT_EQ(file->EnsureDirectory(), 0);
    EXPECT_TRUE(fs::is_directory(folder.Path() + "A\\B\\C"));
    EXPECT_EQ(file->EnsureDirectory(), 0);
    EXPECT_EQ(file->DirectoryExists(), 0);

    // A name set on the object names a directory below.
    file->SetDirectory((folder.Path() + "A").c_str());
    file->FileSetName("B");
    EXPECT_EQ(file->DirectoryExists(), 0);
    EXPECT_EQ(std::string(file->Directory()), folder.Path() + "A\\B\\");
    EXPECT_EQ(NameWithExtension(*file), "");
    file->FileSetName("NONE");
    EXPECT_EQ(file->DirectoryExists(), -1);
    // A directory named with a point is tested by its whole name, extension and all: the name
    // alone would test another directory (here one that does not exist).
    fs::create_directories(folder.Path() + "A\\TEX.OLD");
    ASSERT_EQ(file->SetFileFromPath((folder.Path() + "A\\TEX.OLD").c_str()), 0);
    EXPECT_STREQ(file->Name(), "TEX");
    EXPECT_EQ(file->DirectoryExists(), 0);
    EXPECT_EQ(std::string(file->Directory()), folder.Path() + "A\\TEX.OLD\\");

    // A level that cannot be made (a file is in the way), and no drive letter.
    folder.Put("A\\BLOCK");
    file->SetDirectory((folder.Path() + "A\\BLOCK\\X").c_str());
    EXPECT_EQ(file->EnsureDirectory(), -1);
    file->SetDirectory("1:\\X");
    EXPECT_EQ(file->EnsureDirectory(), -1);
    file->SetDirectory("RELATIVE\\X");
    EXPECT_EQ(file->EnsureDirectory(), -1);

    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);
}

TEST_F(Win32Files, FilesAreRemovedRenamedAndCopiedWhereTheyLie)
{
    ScratchFolder folder("C:", "full");
    // Same-named files in the current directory stay untouched.
    WriteWholeFile("X.BIN", "current");
    WriteWholeFile("Y.BIN", "current");
    const std::string path = folder.Put("X.BIN", "scratch");
    auto file = FileAt(path);
    auto copy = FileAt(folder.Path() + "Y.BIN");
    EXPECT_EQ(copy->FileCopyFrom(file.get()), 0);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "Y.BIN"), "scratch");
    EXPECT_EQ(copy->FileRename("Z.BIN"), 0);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "Z.BIN"), "scratch");
    EXPECT_EQ(file->FileRemove(), 0);
    EXPECT_EQ(ReadWholeFile(path), "<missing>");
    EXPECT_EQ(ReadWholeFile("X.BIN"), "current");
    EXPECT_EQ(ReadWholeFile("Y.BIN"), "current");
    std::remove("X.BIN");
    std::remove("Y.BIN");

    // Two spellings of one file: the copy is refused and the file keeps its bytes.
    auto other = FileAt(folder.Path() + "z.bin");
    EXPECT_EQ(other->FileCopyFrom(copy.get()), -1);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "Z.BIN"), "scratch");
}

TEST_F(Win32Files, ReadOnlyFiles)
{
    ScratchFolder folder("C:", "readonly");
    const std::string path = folder.Put("LOCKED.DAT", "fixed");
    // Another handle that lets others read but not write makes the file read-only for us (the
    // read-only attribute alone does not stop an administrator under Wine).
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    auto file = FileAt(path);
    ASSERT_EQ(file->FileOpenStream(), 0);
    EXPECT_EQ(file->FileIsReadOnly(), 1);
    char bytes[5];
    EXPECT_EQ(file->TransferBytes(bytes, 5), 0);
    EXPECT_EQ(std::string(bytes, 5), "fixed");
    IgnoreResult(file->FileCloseStream());

    IgnoreResult(file->StreamSetDirection(kStreamWriting));
    EXPECT_EQ(file->FileOpenStream(), 1);
    EXPECT_EQ(file->FileIsOpen(), 0);
    CloseHandle(holder);
    EXPECT_EQ(ReadWholeFile(path), "fixed");

    // The read-only attribute shows in the file's status.
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(file->FileOpenStream(), 0);
    FileStatus status{1, 0};
    EXPECT_EQ(file->FileStat(&status), 0);
    EXPECT_EQ(status.writable, 0);
    IgnoreResult(file->FileCloseStream());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(file->FileOpenStream(), 0);
    EXPECT_EQ(file->FileIsReadOnly(), 0);
    EXPECT_EQ(file->FileStat(&status), 0);
    EXPECT_EQ(status.writable, 1);
    IgnoreResult(file->FileCloseStream());
}

TEST_F(Win32Files, SystemFoldersAndLimits)
{
    auto file = MakeFile(kFileRead);
    ASSERT_EQ(file->WindowsDirectory(), 0);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(std::string(file->Directory()), std::string(windows) + "\\");

    ASSERT_EQ(file->SetFileToProgram(), 0);
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    EXPECT_EQ(FullPath(*file), module);
    EXPECT_STREQ(file->Name(), "foundation_win32_tests");
    EXPECT_EQ(file->FileExists(), 0);

    VolumeLimits saved = ProgramVolumeLimits;
    ProgramVolumeLimits = VolumeLimits{};
    EXPECT_EQ(VolumeCapabilities(), 0);
    EXPECT_EQ(ProgramVolumeLimits.maxNameLength, 255);
    EXPECT_EQ(ProgramVolumeLimits.maxExtensionLength, 255);
    EXPECT_EQ(ProgramVolumeLimits.platform, 2);
    EXPECT_EQ(ProgramVolumeLimits.explorerDialogs, 1);
    ProgramVolumeLimits = saved;

    EXPECT_EQ(AppInstance(), GetModuleHandleA(nullptr));
}

TEST_F(Win32Files, DialogsWithoutAWindow)
{
    CapturedAlerts alerts;
    ScratchFolder folder("C:", "dialog");
    auto file = FileAt(folder.Put("MODEL.TRK"));
    file->FileSetKindAndTitle(kFileFromPath, "Open");
    EXPECT_EQ(file->FileGetType(), 0u);
    EXPECT_EQ(file->FileDialog(), 0);
    EXPECT_EQ(file->FileGetType(), 0x54524B00u);
    EXPECT_STREQ(file->ReferenceName(), "MODEL.TRK");

    file->FileSetKindAndTitle(kFileOpen, "Open");  // named: the known file, no dialog
    EXPECT_EQ(file->FileDialog(), 0);
    ASSERT_EQ(file->FileOpenStream(), 0);
    EXPECT_EQ(file->FileDialog(), 1);
    EXPECT_EQ(alerts.texts, std::vector<std::string>{"File problem! File already open!"});
    IgnoreResult(file->FileCloseStream());

    // The Save dialog may name a new file; both ask for an existing folder.
    DWORD save = SaveDialogFlags(1);
    EXPECT_EQ(save, DWORD(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                          OFN_EXPLORER));
    EXPECT_EQ(SaveDialogFlags(0) & OFN_EXPLORER, 0u);
    EXPECT_EQ(OpenDialogFlags(1), DWORD(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER));
    EXPECT_EQ(OpenDialogFlags(0), DWORD(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST));
}

TEST_F(Win32Files, TheDialogHookCentresTheDialog)
{
    HWND window = CreateWindowExA(0, "STATIC", "hook", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    if (!window) GTEST_SKIP() << "no display";
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(PlaceDialogHook(window, WM_INITDIALOG, 0, 0), 0u);
    RECT placed;
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, area.left + (area.right - area.left - 200) / 2);
    EXPECT_EQ(placed.top, area.top + (area.bottom - area.top - 100) / 2);
    EXPECT_EQ(placed.right - placed.left, 200);
    DestroyWindow(window);
}
