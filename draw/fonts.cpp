// The font cache and the program's font file.
#include "draw/fonts.h"

#include <windows.h>

#include <string>

#include "draw/current_port.h"
#include "foundation/dynamic_array.h"

namespace {

struct FontCacheEntry {
    int16_t number;
    int16_t size;
    int16_t style;
    HFONT font;

    bool Matches(FontNumber n, int32_t s, int32_t st) const
    {
        return number == n && size == int16_t(s) && style == int16_t(st);
    }
};

constexpr int32_t kCacheGrowStep = 4;

DynamicArray* gCache = nullptr;
FontCacheEntry gLast = {-1, 0, 0, nullptr};
int32_t gFontFileCount = 0;
std::string gFontFilePath;

// The cache, made when first needed.
DynamicArray* Cache()
{
    if (!gCache) gCache = NewDynamicArray(0, sizeof(FontCacheEntry), kCacheGrowStep);
    return gCache;
}

// The module's full path, however long.
std::string ModulePath(HINSTANCE instance)
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(instance, &path[0], DWORD(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

HFONT CreateFontForNumber(FontNumber number, int32_t size, int32_t style)
{
    const FontFace face = FaceForFontNumber(number);
    return CreateFontA(-size, 0, 0, 0, (style & kFontBold) ? FW_BOLD : 0, (style & kFontItalic) ? TRUE : FALSE,
                       (style & kFontUnderline) ? TRUE : FALSE, FALSE, face.charset, 0, 0, 0, 0, face.face);
}

HFONT GetFont(FontNumber number, int32_t size, int32_t style)
{
    if (number == kSystemFontNumber) return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    if (gLast.Matches(number, size, style)) return gLast.font;

    HFONT font = nullptr;
    if (gCache) {
        for (int32_t i = 0; i < gCache->ArrayCount() && !font; ++i) {
            const FontCacheEntry* entry = gCache->At<FontCacheEntry>(i);
            if (entry->Matches(number, size, style)) font = entry->font;
        }
    }
    if (!font) {
        font = CreateFontForNumber(number, size, style);
        if (!font) return nullptr;
        const FontCacheEntry made = {number, int16_t(size), int16_t(style), font};
        if (!Cache() || gCache->Append(&made) < 0) {
            // Without a place in the cache the font could never be deleted: do without it.
            DeleteObject(font);
            return nullptr;
        }
    }
    gLast = {number, int16_t(size), int16_t(style), font};
    return font;
}

void UseTextFont(FontNumber number, int32_t size, int32_t style)
{
    HDC port = GetPort();
    if (!port) return;
    if (HFONT font = GetFont(number, size, style)) SelectObject(port, font);
}

void SelectTextFont(FontNumber number, int32_t size, int32_t style)
{
    UseTextFont(number, size, style);
}

int32_t FontFileLoaded()
{
    return gFontFileCount > 0 ? 1 : 0;
}

void LoadFontFile(HINSTANCE instance)
{
    gFontFilePath = FontFilePathBeside(ModulePath(instance));
    gFontFileCount = AddFontResourceA(gFontFilePath.c_str());
    Cache();
}

void UnloadFontFile()
{
    if (gCache) {
        for (int32_t i = 0; i < gCache->ArrayCount(); ++i) DeleteObject(gCache->At<FontCacheEntry>(i)->font);
        gCache->Destroy();
        gCache = nullptr;
    }
    gLast = {-1, 0, 0, nullptr};
    if (gFontFileCount > 0) RemoveFontResourceA(gFontFilePath.c_str());
    gFontFileCount = 0;
}
