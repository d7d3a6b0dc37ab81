// PlayerDocWindow: the application's own document frame, made once at start-up, which owns the
// frame window while no model is open and carries the File and Help menus; the base of the model
// window, which takes the frame window over while it shows a model and hands it back when it goes.
#pragma once

#include <cstdint>

#include "toolkit/document_frame.h"

class FileMenuHandler;
class HelpMenuHandler;

class PlayerDocWindow : public DocumentFrame {
public:
    int32_t DocumentBuildMenus(int32_t kind, DiskFileStream* file) override { return BuildPlayerWindow(kind, file); }
    void DocumentDisposeMenus() override { DisposePlayerMenus(); }
    void DocumentDestroying() override { ReattachPlayerWindow(); }
    ResultCode DocumentLoad(int32_t kind) override { return PlayerWindowLoad(kind); }

    // The caption prefix, then the Help and File menus in the window's menu list; 0 when a menu
    // could not be made.
    int32_t BuildPlayerWindow(int32_t kind, DiskFileStream* file);
    // Deletes the Help and File menus.
    void DisposePlayerMenus();
    // The open command for the Open dialog and a given file (kOpenWithDialog, kOpenGivenFile),
    // without a file; 0.
    ResultCode PlayerWindowLoad(int32_t kind);
    // A model window that goes while it is the one open document gives the frame window back to
    // the player window.
    void ReattachPlayerWindow();

    // Whether the window holds a model's credits picture or text.
    virtual int32_t HasModelCredits() { return 0; }
    virtual void ShowModelCredits() {}

    FileMenuHandler* FileMenu() const { return fileMenu_; }
    HelpMenuHandler* HelpMenu() const { return helpMenu_; }

protected:
    ~PlayerDocWindow() override = default;

private:
    HelpMenuHandler* helpMenu_ = nullptr;
    FileMenuHandler* fileMenu_ = nullptr;
};

// Logs the frame window's caption (the test build's log).
void LogFrameCaption(DocumentFrame* frame);
