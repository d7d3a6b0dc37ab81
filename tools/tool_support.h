// What the command-line tools share: the screen they tell the drawing layer about (a 32-bit
// true-colour screen, so that their offscreens do not depend on the display they run on), file
// names given with forward slashes or without a drive, and a model file opened for reading as the
// open command opens it.
#pragma once

#include <cstdlib>
#include <string>

#include "draw/screen_caps.h"
#include "foundation/disk_file_stream.h"
#include "model/model_file_form.h"

inline void UseToolScreen()
{
    SetScreenCaps(ScreenCapsOfDepth(32));
}

// The path as the system names the file: on Windows with backslashes, and whole (with its drive),
// as the program's file dialogs give a path, so that the references of a model file to the files
// beside it are found through their paths from its folder.
inline std::string SystemPath(std::string path)
{
#ifdef _WIN32
    for (char& c : path) c = c == '/' ? '\\' : c;
    char whole[_MAX_PATH];
    if (_fullpath(whole, path.c_str(), sizeof whole)) path = whole;
#endif
    return path;
}

// Opens the file named by the path for reading; null when it cannot be opened. `scrambled` tells
// whether its header reads as a model's only through the scrambling filter (any other file goes
// to the reader as it is, which reports it).
inline DiskFileStream* OpenModelFileForReading(const std::string& path, bool* scrambled)
{
    DiskFileStream* file = new DiskFileStream;
    if (file->FileObjectInit(9, 0, 0, "", "") != kResultOk || file->SetFileFromPath(SystemPath(path).c_str()) != kResultOk ||
        file->FileOpenStream() != kResultOk) {
        file->FileObjectDestroy();
        return nullptr;
    }
    *scrambled = ReadModelFileForm(file) == ModelFileForm::kScrambled;
    return file;
}
