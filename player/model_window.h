// ModelDocWindow: the document of an open model. Built by the open command, it takes the frame
// window over from the player window, makes its menus and its player document, reads the model
// file (through the Open dialog or as given), opens the walk view's window and fills the frame
// with it; when it goes it hands the frame window back.
#pragma once

#include <cstdint>

#include "foundation/path_record.h"
#include "player/player_window.h"

class ModelObject;
class NavigateMenuHandler;
class PlayerDocument;
class PlayerPreferences;
class WalkObserver;

class ModelDocWindow : public PlayerDocWindow {
public:
    int32_t DocumentBuildMenus(int32_t kind, DiskFileStream* file) override { return BuildModelWindow(kind, file); }
    void DocumentDisposeMenus() override { DisposeModelWindow(); }
    void LayoutContent() override { LayoutModelWindow(); }
    void DestroyDocumentFrame() override { IgnoreResult(DestroyModelWindow()); }
    ResultCode DocumentLoad(int32_t kind) override { return LoadModelWindow(kind); }
    int32_t HasModelCredits() override;
    // The credits window with the model's credits picture and text.
    void ShowModelCredits() override;

    // The frame window, the menus, the document, the read and the walk view; 0 when any failed
    // (after the reader's alert; the caller destroys the window then).
    int32_t BuildModelWindow(int32_t kind, DiskFileStream* file);
    // Through the Open dialog (kOpenWithDialog, kOpenAtStartUp) or the file given
    // (kOpenGivenFile): the file read into the document. 0, or the dialog's or the reader's
    // non-zero code.
    ResultCode LoadModelWindow(int32_t kind);
    // The walk view's window fills the frame above the help bar.
    void LayoutModelWindow();
    // The walk menu, the document (with the model, its credits and the preferences) and the
    // File and Help menus.
    void DisposeModelWindow();
    // The help bar shown again, the frame destroyed, the texture records emptied; the result of
    // the emptying.
    ResultCode DestroyModelWindow();

    PlayerPreferences* ModelPreferences() const;
    WalkObserver* ModelWalkObserver() const { return walk_; }
    PlayerDocument* Document() const { return document_.get(); }
    NavigateMenuHandler* WalkMenu() const { return walkMenu_; }
    ModelObject* ModelRoot() const { return root_; }
    // The first flag byte of the render section.
    uint8_t ModelFirstRenderFlag() const;
    // The file's name and extension.
    const char* FileName() const { return fileName_; }

protected:
    ~ModelDocWindow() override;

private:
    // The test build's log of the walk view's window and its navigation pane.
    void LogViewPlace() const;
    // The reader's alert for what could not be made: 0.
    int32_t LoadFailed();

    NavigateMenuHandler* walkMenu_ = nullptr;
    ModelObject* root_ = nullptr;
    WalkObserver* walk_ = nullptr;
    Owned<DiskFileStream> file_;  // the file given or chosen, until it is read
    Owned<PlayerDocument> document_;
    char fileName_[kPathLength] = {};
};

// Opens the Open dialog in a new model window (the open command without a file).
void OpenWithDialog();
