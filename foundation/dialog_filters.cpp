// Filter lists of the file dialogs and the files chosen in them.
#include "foundation/dialog_filters.h"

#include <cstring>

#include "foundation/dynamic_array.h"
#include "foundation/path_record.h"
#include "foundation/path_separators.h"

namespace {

struct FilterPair {
    std::string description;
    std::string pattern;
};

// Reads the "description|pattern|" pair at `at`; the offset behind it, or npos at the end of
// the texts and at an "All Files (*.*)|*.*|" entry.
std::string::size_type NextPair(const std::string& texts, std::string::size_type at, FilterPair* pair)
{
    auto bar = texts.find('|', at);
    if (bar == std::string::npos) return std::string::npos;
    auto end = texts.find('|', bar + 1);
    if (end == std::string::npos) return std::string::npos;
    pair->description = texts.substr(at, bar - at);
    pair->pattern = texts.substr(bar + 1, end - bar - 1);
    if (pair->description == "All Files (*.*)" && pair->pattern == "*.*") return std::string::npos;
    return end + 1;
}

std::string BarsToZeros(std::string text)
{
    for (char& c : text) {
        if (c == '|') c = '\0';
    }
    text.push_back('\0');
    return text;
}

}  // namespace

const char kAddTexturesFilters[] =
    "Bitmaps (*.BMP)|*.BMP|JPEG Files (*.JPG)|*.JPG|Texture Libraries (*.TLB)|*.TLB|"
    "Trekkon Pro (*.TKP)|*.TKP|Tamrix VR (*.QVR)|*.QVR|Trekkon (*.TRK)|*.TRK|";

std::string SaveDialogFilter(const char* filterTexts)
{
    return BarsToZeros(filterTexts ? filterTexts : "");
}

std::string OpenDialogFilter(const char* filterTexts, const char* defaultExtension)
{
    std::string texts = filterTexts ? filterTexts : "";
    std::string own;
    std::string patterns;
    int32_t count = 0;
    FilterPair pair;
    for (auto at = NextPair(texts, 0, &pair); at != std::string::npos; at = NextPair(texts, at, &pair)) {
        own += pair.description + "|" + pair.pattern + "|";
        patterns += (count++ ? ";" : "") + pair.pattern;
    }
    if (count < 2) patterns = std::string("*.") + (defaultExtension ? defaultExtension : "");
    return BarsToZeros("All Supported File Types|" + patterns + "|" + own);
}

ResultCode AppendChosenFiles(const char* buffer, int32_t bufferLength, DynamicArray* paths)
{
    auto textAt = [&](int32_t at) {
        int32_t length = 0;
        while (at + length < bufferLength && buffer[at + length] != '\0') ++length;
        return length;
    };
    int32_t first = textAt(0);
    if (first == 0) return kResultOk;
    PathRecord record;
    int32_t at = first + 1;
    if (at >= bufferLength || buffer[at] == '\0') {
        // One file: the buffer holds its full path.
        std::string path(buffer, size_t(first));
        if (SetPathRecordText(&record, path.c_str()) == kResultOk && paths->Append(&record) < 0) {
            return kResultOutOfMemory;
        }
        return kResultOk;
    }
    std::string directory(buffer, size_t(first));
    if (!IsPathSeparator(directory.back())) directory.push_back('\\');
    for (int32_t length; at < bufferLength && (length = textAt(at)) > 0; at += length + 1) {
        std::string path = directory + std::string(buffer + at, size_t(length));
        if (SetPathRecordText(&record, path.c_str()) == kResultOk && paths->Append(&record) < 0) {
            return kResultOutOfMemory;
        }
    }
    return kResultOk;
}
