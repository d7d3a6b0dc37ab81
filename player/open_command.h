// The open command: the one road by which a model is opened, from the command line, the File
// menu's "Open..." and files dropped on the frame. It tests the file's header, asks before the
// open model is closed and makes a model window for the file (or for the Open dialog).
#pragma once

#include <cstdint>

#include "player/about_window.h"
#include "toolkit/document_frame.h"

class DiskFileStream;

// The open kinds: the Open dialog from the File menu, the same at start-up, a file given.
constexpr int32_t kOpenWithDialog = 6;
constexpr int32_t kOpenAtStartUp = 7;
constexpr int32_t kOpenGivenFile = kOpenNamedFile;

// Takes the file object (null: the Open dialog chooses the file). Refused, and the file object
// destroyed, while a model loads or a walk path plays.
void OpenModelFile(DiskFileStream* file, int32_t kind);

// The player's services to the frames: dropped files go to the open command, the toolkit's about
// menu to the about window of this platform.
class PlayerFrameServices : public FrameServices {
public:
    void OpenModelFile(DiskFileStream* file, int32_t mode) override { ::OpenModelFile(file, mode); }
    void ShowAbout(int32_t mode) override { ShowAboutForm(mode); }
};
