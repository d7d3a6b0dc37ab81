// The direct-pixel-drawing switch kept in the registry value "Flash" under the current user's
// key of the program, and the preference-file object that loads or stores it.
#pragma once

#include <cstdint>

class ConfigSection;
class PlayerPreferences;

// Modes of PreferenceFile.
constexpr int32_t kPreferenceFileLoad = 5;
constexpr int32_t kPreferenceFileStore = 1;

// Reads "Flash" into the configuration byte (0 when its text starts with '0', else 1; a missing
// key or value, or one that is not text, leaves the byte as it was), then hands the byte to
// the drawing layer. Never creates the key.
void LoadDrawingSwitch(PlayerPreferences* preferences);
// The same for a configuration section of its own (the about window's).
void LoadDrawingSwitch(ConfigSection* config);
// Normalises the byte to 0 or 1 and, when the key exists, writes it as the text "0" or "1";
// then hands the byte to the drawing layer. Never creates the key.
void StoreDrawingSwitch(PlayerPreferences* preferences);
// The preference-file object for the mode: 5 loads the switch, 1 stores it; no file is opened.
void PreferenceFile(PlayerPreferences* preferences, int32_t mode);
