// Opening the files the command line names.
#include "player/command_line_files.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "player/command_line.h"
#include "player/open_command.h"

namespace {

constexpr int32_t kWordsGrowStep = 8;

// Copies the text into the path when it fits whole.
bool CopyPath(const char* text, char (&path)[kCommandPathSize])
{
    const size_t length = std::strlen(text);
    if (length >= sizeof path) return false;
    std::memcpy(path, text, length + 1);
    return true;
}

// Hands the path to the open command as a given file.
void OpenPath(const char* path)
{
    Owned<DiskFileStream> file(new (std::nothrow) DiskFileStream);
    if (!file || file->SetFileFromPath(path) != kResultOk) return;
    CurrentFrameServices().OpenModelFile(file.release(), kOpenGivenFile);
}

bool OpensForReading(const char* path)
{
    std::FILE* file = std::fopen(path, "r");
    if (!file) return false;
    std::fclose(file);
    return true;
}

}  // namespace

void ExpandLongFileName(char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    found.cFileName[sizeof found.cFileName - 1] = '\0';
    ReplaceLastPathComponent(path, kCommandPathSize, found.cFileName);
    FindClose(search);
}

void OpenFirstFileArgument(const DynamicArray* words)
{
    for (int32_t i = 0; i < words->ArrayCount(); ++i) {
        char path[kCommandPathSize];
        if (!CopyPath(CommandLineWord(words, i), path)) continue;
        ExpandLongFileName(path);
        if (NamesProgram(path)) continue;
        OpenPath(path);
        return;
    }
}

void OpenCommandLine(const char* text)
{
    if (!text || !text[0]) {
        CurrentFrameServices().OpenModelFile(nullptr, kOpenAtStartUp);
        return;
    }
    char path[kCommandPathSize];
    if (CopyPath(text, path) && OpensForReading(path)) {
        ExpandLongFileName(path);
        OpenPath(path);
        return;
    }
    const Owned<DynamicArray> words(NewDynamicArray(0, sizeof(char*), kWordsGrowStep));
    if (!words) return;
    SplitCommandLine(text, words.get());
    OpenFirstFileArgument(words.get());
    FreeCommandLineWords(words.get());
}
