// The program's resources as a program linked with the resource object finds them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace {

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

void ExpectBitmap(int id, LONG width, LONG height)
{
    HBITMAP bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(id));
    ASSERT_NE(bitmap, nullptr) << id;
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(info.bmWidth, width) << id;
    EXPECT_EQ(info.bmHeight, height) << id;
    DeleteObject(bitmap);
}

}  // namespace

TEST(Resources, CursorsWithTheirHotSpots)
{
    for (int id : {128, 129, 130, 131, 132, 133, 134, 10000}) {
        HCURSOR cursor = LoadCursorA(Self(), MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << id;
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 15u) << id;
        EXPECT_EQ(info.yHotspot, 15u) << id;
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
}

TEST(Resources, TheSevenWaitFramesDiffer)
{
    auto maskBits = [](int id) {
        ICONINFO info{};
        GetIconInfo(LoadCursorA(Self(), MAKEINTRESOURCEA(id)), &info);
        std::vector<uint8_t> bits(32 * 64 / 8);
        GetBitmapBits(info.hbmMask, LONG(bits.size()), bits.data());
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return bits;
    };
    for (int id = 128; id < 134; ++id) EXPECT_NE(maskBits(id), maskBits(id + 1)) << id;
}

TEST(Resources, WindowClassIcons)
{
    for (int id : {1, 5}) {
        HICON icon = LoadIconA(Self(), MAKEINTRESOURCEA(id));
        ASSERT_NE(icon, nullptr) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, 32) << id;
        EXPECT_EQ(colour.bmHeight, 32) << id;
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
    }
}

TEST(Resources, AboutPictureAndCubeFaces)
{
    ExpectBitmap(300, 320, 180);
    for (int id = 500; id <= 505; ++id) ExpectBitmap(id, 128, 128);
}

TEST(Resources, SoundsAreWaveFiles)
{
    for (int id : {128, 129}) {
        HRSRC found = FindResourceA(Self(), MAKEINTRESOURCEA(id), "WAVE");
        ASSERT_NE(found, nullptr) << id;
        HGLOBAL loaded = LoadResource(Self(), found);
        const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
        ASSERT_NE(data, nullptr);
        const DWORD size = SizeofResource(Self(), found);
        ASSERT_GT(size, 44u);
        EXPECT_EQ(std::memcmp(data, "RIFF", 4), 0);
        EXPECT_EQ(std::memcmp(data + 8, "WAVEfmt ", 8), 0);
        uint32_t riffSize = 0;
        std::memcpy(&riffSize, data + 4, 4);
        EXPECT_EQ(riffSize + 8, size) << id;
        uint16_t format = 0;
        std::memcpy(&format, data + 20, 2);
        EXPECT_EQ(format, 1);  // PCM
    }
}
