// The drawing switch in the registry: the values of "Flash" that count and those that do not, a
// missing key, and storing the switch without ever making the key.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "draw/port_base.h"
#include "player/player_preferences.h"
#include "player/registry_switch.h"

namespace {

constexpr char kParent[] = "Software\\Tamrix";
constexpr char kKey[] = "Software\\Tamrix\\TamrixVR";

int32_t DrawingLayerSwitch()
{
    const int32_t value = SetDirectPixelDrawing(0);
    SetDirectPixelDrawing(value);
    return value;
}

void DeleteKeys()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kParent);
}

bool KeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

class RegistrySwitch : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteKeys();
        preferences = new PlayerPreferences;
        ASSERT_EQ(preferences->Init(), kResultOk);
    }
    void TearDown() override
    {
        preferences->Free();
        DeleteKeys();
        SetDirectPixelDrawing(1);
    }
    void SetValue(DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "Flash", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetText(const char* text, DWORD type = REG_SZ) { SetValue(type, text, DWORD(std::strlen(text) + 1)); }
    // Loads the switch with the configuration byte set to `before` first.
    uint8_t Load(uint8_t before)
    {
        preferences->Config()->directDrawing = before;
        SetDirectPixelDrawing(before ? 0 : 1);
        LoadDrawingSwitch(preferences);
        EXPECT_EQ(DrawingLayerSwitch(), preferences->Config()->directDrawing);
        return preferences->Config()->directDrawing;
    }

    PlayerPreferences* preferences = nullptr;
};

}  // namespace

TEST_F(RegistrySwitch, TextValuesDecideByTheirFirstCharacter)
{
    SetText("0");
    EXPECT_EQ(Load(1), 0);
    SetText("1");
    EXPECT_EQ(Load(0), 1);
    SetText("00");  // longer than two bytes: read whole
    EXPECT_EQ(Load(1), 0);
    SetText("0", REG_EXPAND_SZ);
    EXPECT_EQ(Load(1), 0);
    SetText("yes");
    EXPECT_EQ(Load(0), 1);
    SetText("");
    EXPECT_EQ(Load(0), 1);
}

TEST_F(RegistrySwitch, OtherValuesAndAMissingKeyLeaveTheByte)
{
    EXPECT_EQ(Load(1), 1);  // no key
    EXPECT_EQ(Load(0), 0);
    EXPECT_FALSE(KeyExists());
    const DWORD zero = 0;
    SetValue(REG_DWORD, &zero, sizeof zero);
    EXPECT_EQ(Load(1), 1);
    SetValue(REG_BINARY, "0", 2);
    EXPECT_EQ(Load(1), 1);
}

TEST_F(RegistrySwitch, StoringWritesTheTextOnlyIntoAKeyThatExists)
{
    preferences->Config()->directDrawing = 0;
    StoreDrawingSwitch(preferences);
    EXPECT_FALSE(KeyExists());
    EXPECT_EQ(DrawingLayerSwitch(), 0);

    SetText("junk");
    preferences->Config()->directDrawing = 5;
    PreferenceFile(preferences, kPreferenceFileStore);
    EXPECT_EQ(preferences->Config()->directDrawing, 1);
    EXPECT_EQ(DrawingLayerSwitch(), 1);
    char text[8] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Flash", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 2u);
    EXPECT_STREQ(text, "1");

    // What was stored is loaded.
    preferences->Config()->directDrawing = 0;
    StoreDrawingSwitch(preferences);
    preferences->Config()->directDrawing = 1;
    PreferenceFile(preferences, kPreferenceFileLoad);
    EXPECT_EQ(preferences->Config()->directDrawing, 0);
    EXPECT_EQ(DrawingLayerSwitch(), 0);
}
