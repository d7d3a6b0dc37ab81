// The drawing switch in the registry.
#include "player/registry_switch.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "draw/port_base.h"
#include "foundation/disk_file_stream.h"
#include "foundation/memory_stream.h"
#include "player/player_preferences.h"

namespace {

constexpr char kKeyPath[] = "Software\\Tamrix\\TamrixVR";
constexpr char kValueName[] = "Flash";
constexpr uint32_t kTypeIni = ChunkTagOf("INI ");
constexpr uint32_t kCreatorPlayer = ChunkTagOf("QPly");
constexpr char kFilter[] = "Preference file (*.INI)|*.INI|";
constexpr char kTitle[] = "Player Defaults:";

bool IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The first character of the text value, read whole; false when there is none.
bool ReadFirstCharacter(HKEY key, char* first)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, kValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (!IsText(type) || size == 0) return false;
    char* text = new (std::nothrow) char[size_t(size) + 1];
    if (!text) return false;
    DWORD got = size;
    const bool read = RegQueryValueExA(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &got) ==
                          ERROR_SUCCESS &&
                      IsText(type) && got > 0;
    if (read) *first = text[0];
    delete[] text;
    return read;
}

}  // namespace

void LoadDrawingSwitch(PlayerPreferences* preferences)
{
    LoadDrawingSwitch(preferences->Config());
}

void LoadDrawingSwitch(ConfigSection* config)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        char first = 0;
        if (ReadFirstCharacter(key, &first)) config->directDrawing = first == '0' ? 0 : 1;
        RegCloseKey(key);
    }
    SetDirectPixelDrawing(config->directDrawing);
}

void StoreDrawingSwitch(PlayerPreferences* preferences)
{
    ConfigSection* config = preferences->Config();
    config->directDrawing = config->directDrawing ? 1 : 0;
    char text[2];
    std::snprintf(text, sizeof text, "%d", int(config->directDrawing));
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
        RegCloseKey(key);
    }
    SetDirectPixelDrawing(config->directDrawing);
}

void PreferenceFile(PlayerPreferences* preferences, int32_t mode)
{
    const Owned<DiskFileStream> file(new (std::nothrow) DiskFileStream);
    if (file) {
        IgnoreResult(file->FileObjectInit(mode, kTypeIni, kCreatorPlayer, kFilter, kTitle));
        IgnoreResult(file->WindowsDirectory());  // the file is not read: the switch lives in the registry
    }
    if (mode == kPreferenceFileLoad) LoadDrawingSwitch(preferences);
    if (mode == kPreferenceFileStore) StoreDrawingSwitch(preferences);
}
