// Helpers of the file tests: alerts captured instead of shown, scratch files that are removed
// again, and a file's name read back.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"

// Installs itself for its lifetime and keeps every alert text.
class CapturedAlerts : public UiServices {
public:
    CapturedAlerts() { previous_ = InstallUiServices(this); }
    ~CapturedAlerts() override { InstallUiServices(previous_); }
    void ShowAlert(const char* text) override { texts.emplace_back(text); }

    std::vector<std::string> texts;

private:
    UiServices* previous_;
};

// The file's name with its extension.
inline std::string NameWithExtension(const DiskFileStream& file)
{
    char text[kPathLength];
    file.FileNameWithExtension(text);
    return text;
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadWholeFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "<missing>";
    std::string bytes;
    char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

// A heap file object set up like the program's own (kind, type code), released at scope end.
inline Owned<DiskFileStream> MakeFile(int32_t kind, uint32_t type = 0)
{
    Owned<DiskFileStream> file(new DiskFileStream);
    IgnoreResult(file->FileObjectInit(kind, type, 0, "", ""));
    return file;
}

// The bytes of a memory stream.
inline std::string StreamBytes(MemoryStream* stream)
{
    DynamicArray* buffer = stream->Buffer();
    if (!buffer) return {};
    return std::string(static_cast<const char*>(buffer->ArrayData()), size_t(buffer->ArrayCount()));
}

// Sets the program-wide name limits for one test and restores them after.
class ScopedVolumeLimits {
public:
    explicit ScopedVolumeLimits(int32_t nameLength, int32_t extensionLength = 3) : saved_(ProgramVolumeLimits)
    {
        ProgramVolumeLimits.maxNameLength = nameLength;
        ProgramVolumeLimits.maxExtensionLength = extensionLength;
    }
    ~ScopedVolumeLimits() { ProgramVolumeLimits = saved_; }

private:
    VolumeLimits saved_;
};
