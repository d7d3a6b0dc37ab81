// FileDialog: the file object's Open and Save dialogs over the system's common dialogs, and the
// "Add Textures" dialog.
#include "foundation/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/dialog_filters.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "foundation/win32_services.h"

namespace {

constexpr DWORD kAddTexturesBuffer = 8192;

const char* TextOrNull(const char* text)
{
    return text && *text ? text : nullptr;
}

const char* FilterTextsOf(const DiskFileStream& file)
{
    DynamicArray* filters = file.FilterTexts();
    return filters && filters->ArrayCount() > 0 ? static_cast<const char*>(filters->ArrayData()) : "";
}

void CentreWindow(HWND window)
{
    RECT area;
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT bounds;
    if (!GetWindowRect(window, &bounds)) return;
    int width = bounds.right - bounds.left;
    int height = bounds.bottom - bounds.top;
    int x = std::max(area.left + (area.right - area.left - width) / 2, LONG(0));
    int y = std::max(area.top + (area.bottom - area.top - height) / 2, LONG(0));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Runs the Save (save true) or Open dialog for the file object; 0 when a file was chosen.
ResultCode RunDialog(DiskFileStream* file, bool save)
{
    int32_t explorer = ProgramVolumeLimits.explorerDialogs;
    std::string filter = save ? SaveDialogFilter(FilterTextsOf(*file))
                              : OpenDialogFilter(FilterTextsOf(*file), file->DefaultExtension());
    char chosen[kPathLength] = {};
    if (save && !(file->Flags() & kFileHasName)) std::snprintf(chosen, sizeof chosen, "*.%s", file->DefaultExtension());
    else if (save) file->FileNameWithExtension(chosen);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = CurrentFrameHandle();
    dialog.hInstance = AppInstance();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = sizeof chosen;
    dialog.lpstrInitialDir = TextOrNull(file->Directory());
    dialog.lpstrTitle = TextOrNull(file->Title());
    dialog.lpstrDefExt = TextOrNull(file->DefaultExtension());
    if (save) {
        dialog.Flags = SaveDialogFlags(explorer) | OFN_ENABLEHOOK;
        dialog.lpfnHook = PlaceDialogHook;
    } else {
        dialog.Flags = OpenDialogFlags(explorer);
    }
    SetCursorShape(kArrowCursor);
    BOOL ok = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!ok) return kResultNothingDone;
    // The chosen path is taken apart by the extension rule, so that the object names exactly
    // the chosen file.
    return file->TakePath(chosen) == kResultOk ? kResultOk : kResultNothingDone;
}

}  // namespace

DWORD SaveDialogFlags(int32_t explorerDialogs)
{
    DWORD flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    return explorerDialogs ? flags | OFN_EXPLORER : flags;
}

DWORD OpenDialogFlags(int32_t explorerDialogs)
{
    DWORD flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    return explorerDialogs ? flags | OFN_EXPLORER : flags;
}

UINT_PTR CALLBACK PlaceDialogHook(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam)
{
    // An explorer-style hook dialog is a child of the real dialog and hears when it is complete;
    // an old-style hook dialog is the dialog itself.
    if (message == WM_INITDIALOG && !(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD)) {
        CentreWindow(dialog);
    } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == UINT(CDN_INITDONE)) {
        CentreWindow(GetParent(dialog));
    }
    return 0;
}

ResultCode DiskFileStream::FileDialog()
{
    if (open_) {
        ShowAlert("File problem! File already open!");
        return kResultNothingDone;
    }
    if (flags_ & kFileHasExtension) std::snprintf(referenceName_, sizeof referenceName_, "%s.%s", name_, extension_);
    if (!named_ && kind_ == kFileSave) kind_ = kFileSaveDialog;
    if (!named_ && kind_ == kFileOpen) kind_ = kFileOpenDialog;
    switch (kind_) {
    case kFileSaveDialog:
    case kFileSaveCopyDialog:
        return RunDialog(this, true);
    case kFileOpenDialog:
        return RunDialog(this, false);
    case kFileOpen:
    case kFileFromPath:
    case kFileRead:
    case kFileReference:
        FileTypeFromExtension();
        return kResultOk;
    default:
        return kResultOk;
    }
}

ResultCode AddTexturesDialog(DynamicArray* paths)
{
    std::string filter = SaveDialogFilter(kAddTexturesFilters);
    std::string chosen(kAddTexturesBuffer, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = CurrentFrameHandle();
    dialog.hInstance = AppInstance();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = kAddTexturesBuffer;
    dialog.lpstrTitle = "Add Textures";
    dialog.Flags = OpenDialogFlags(1) | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    SetCursorShape(kArrowCursor);
    if (!GetOpenFileNameA(&dialog)) return kResultNothingDone;
    return AppendChosenFiles(chosen.data(), int32_t(chosen.size()), paths);
}
