// The preference set's "QPRF" form written and read back whole, in memory and in a file, and the
// window records: their defaults from the frame, their body, hostile counts and refitting to
// the screens they are read on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/memory_stream.h"
#include "player/player_preferences.h"
#include "player/window_layout.h"
#include "tests/foundation/stream_bytes.h"

namespace {

// Screens and a frame of the test's choosing; how many times the frame and the screen for new
// windows were asked for.
class TestLayout : public WindowLayoutServices {
public:
    void GetFrameLayout(FrameLayout* layout) override
    {
        ++asked;
        *layout = frame;
    }
    int32_t ScreenCount() override { return int32_t(screens.size()); }
    void GetScreenBounds(int32_t index, PortRect* bounds) override { *bounds = screens[size_t(index)]; }
    bool GetPlacementScreen(PortRect* bounds) override
    {
        ++asked;
        if (screens.empty()) return false;
        *bounds = screens[0];
        return true;
    }

    FrameLayout frame = {{0, 0, 800, 600}, {10, 50, 810, 650}, {10, 630, 810, 650}, 18, 4, 4};
    std::vector<PortRect> screens = {{0, 0, 1024, 768}};
    int32_t asked = 0;
};

// A stream that answers the kind query as a file does.
class FileKindStream : public MemoryStream {
public:
    int32_t StreamKind() const override { return 2; }
};

void ExpectRect(const PortRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

// The chunk tags of a written form, in order.
std::vector<std::string> FormTags(const Bytes& form)
{
    std::vector<std::string> tags;
    size_t at = 12;
    while (at + 8 <= form.size()) {
        tags.emplace_back(form.begin() + long(at), form.begin() + long(at) + 4);
        const uint32_t length = (uint32_t(form[at + 4]) << 24) | (uint32_t(form[at + 5]) << 16) |
                                (uint32_t(form[at + 6]) << 8) | form[at + 7];
        at += 8 + length + (length & 1);
    }
    return tags;
}

class PlayerPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallWindowLayoutServices(&layout);
        preferences = NewSet();
    }
    void TearDown() override
    {
        preferences->Free();
        InstallWindowLayoutServices(nullptr);
    }
    PlayerPreferences* NewSet()
    {
        PlayerPreferences* set = new PlayerPreferences;
        EXPECT_EQ(set->Init(), kResultOk);
        return set;
    }
    Bytes WriteForm(MemoryStream& out)
    {
        out.StreamInit(kStreamWriting);
        EXPECT_EQ(preferences->Serialize(&out), kResultOk);
        return Contents(out);
    }
    ResultCode ReadForm(const Bytes& form, PlayerPreferences* set)
    {
        MemoryStream in;
        Load(in, form);
        return set->Serialize(&in);
    }
    ResultCode ReadWindows(const Bytes& body)
    {
        return ReadForm(Chunk("FORM", Tag("QPRF") + Chunk("PWIN", body)), preferences);
    }

    TestLayout layout;
    PlayerPreferences* preferences = nullptr;
};

}  // namespace

TEST_F(PlayerPreferencesTest, FormRoundTripInMemoryAndWithoutConfigInAFile)
{
    preferences->Navigation()->lensNumerator = kLensWideAngle;
    preferences->Navigation()->options = kNavigationCollision | kNavigationVelocityGrid;
    preferences->Render()->wordA = kSpeedFaster.wordA;
    preferences->Defaults()->startPosition[0] = 7 << 16;
    preferences->ModelView()->colour = {0x1100, 0x2200, 0x3300};
    preferences->Windows()->Record(2)->kind = 9;
    preferences->Config()->directDrawing = 0;

    MemoryStream memory;
    const Bytes form = WriteForm(memory);
    EXPECT_EQ(Bytes(form.begin(), form.begin() + 4), Tag("FORM"));
    EXPECT_EQ(Bytes(form.begin() + 8, form.begin() + 12), Tag("QPRF"));
    EXPECT_EQ(FormTags(form), (std::vector<std::string>{"VERS", "PRND", "PNAV", "PDEF", "PMOD", "PWIN", "CNFG"}));
    EXPECT_EQ(preferences->Navigation()->options, uint32_t(kNavigationCollision));

    PlayerPreferences* copy = NewSet();
    ASSERT_EQ(ReadForm(form, copy), kResultOk);
    EXPECT_EQ(copy->Navigation()->lensNumerator, kLensWideAngle);
    EXPECT_EQ(copy->Navigation()->options, uint32_t(kNavigationCollision));
    EXPECT_EQ(copy->Render()->wordA, kSpeedFaster.wordA);
    EXPECT_EQ(copy->Defaults()->startPosition[0], 7 << 16);
    EXPECT_EQ(copy->ModelView()->colour.blue, 0x3300);
    ASSERT_EQ(copy->Windows()->RecordCount(), 3);
    EXPECT_EQ(copy->Windows()->Record(2)->kind, 9);
    EXPECT_EQ(copy->Config()->directDrawing, 0);
    MemoryStream again;
    again.StreamInit(kStreamWriting);
    ASSERT_EQ(copy->Serialize(&again), kResultOk);
    // The same form again, but for the velocity grid, which the file carried and reading dropped.
    Bytes expected = form;
    const size_t options = 12 + 12 + 24 + 8 + 3;
    EXPECT_EQ(expected[options], kNavigationCollision | kNavigationVelocityGrid);
    expected[options] = kNavigationCollision;
    EXPECT_EQ(Contents(again), expected);
    copy->Free();

    FileKindStream file;
    const Bytes filed = WriteForm(file);
    EXPECT_EQ(FormTags(filed), (std::vector<std::string>{"VERS", "PRND", "PNAV", "PDEF", "PMOD", "PWIN"}));
}

TEST_F(PlayerPreferencesTest, WindowRecordDefaultsFromTheFrame)
{
    WindowsSection& windows = *preferences->Windows();
    ASSERT_EQ(windows.RecordCount(), 3);
    ExpectRect(windows.Record(0)->rect, 10, 50, 810, 650);
    EXPECT_EQ(windows.Record(0)->kind, 12);
    EXPECT_EQ(windows.Record(0)->value, 0x10000);
    // Right of the side panel, above the help bar, halved and inset by the frame.
    ExpectRect(windows.Record(1)->rect, 218, 72, 806, 336);
    EXPECT_EQ(windows.Record(1)->kind, 1);
    EXPECT_EQ(windows.Record(1)->value, 0x8000);
    ExpectRect(windows.Record(2)->rect, 218, 362, 806, 626);
    EXPECT_EQ(windows.Record(2)->kind, 7);

    WindowRecord a = *windows.Record(1);
    WindowRecord b = a;
    b.point[0] = 99;  // not compared
    EXPECT_TRUE(WindowRecordsEqual(a, b));
    b.value = kFixedOne;
    EXPECT_FALSE(WindowRecordsEqual(a, b));
}

// The body: a 16-bit count, each record's rectangle (low 16 bits of each side), point, value
// (32 bits) and kind (16); then the count and bounds of the screens it was written on.
TEST_F(PlayerPreferencesTest, WindowRecordsComeBackAsTheyWereOnTheSameScreens)
{
    const Bytes body = I16(1) + I16(-4) + I16(-4) + I16(1028) + I16(772) + I16(3) + I16(-3) + I32(0x8000) + I16(12) +
                       I16(1) + I16(0) + I16(0) + I16(1024) + I16(768);
    ASSERT_EQ(ReadWindows(body), kResultOk);
    WindowsSection& windows = *preferences->Windows();
    ASSERT_EQ(windows.RecordCount(), 1);
    ExpectRect(windows.Record(0)->rect, -4, -4, 1028, 772);  // sides left and above the origin kept
    EXPECT_EQ(windows.Record(0)->point[1], -3);
    EXPECT_EQ(windows.Record(0)->value, 0x8000);
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    ASSERT_EQ(windows.Serialize(&out), kResultOk);
    EXPECT_EQ(Contents(out), body);
}

TEST_F(PlayerPreferencesTest, WindowRecordsRefittedOnOtherScreens)
{
    // Written on an 800 x 600 screen, read on 1024 x 768: the screen and the frame are asked for
    // once for all the records.
    const Bytes records = I16(3) + I16(-100) + I16(-50) + I16(2000) + I16(1500) + I32(0) + I32(0x10000) + I16(12) +
                          I16(900) + I16(700) + I16(950) + I16(720) + I32(0) + I32(0x10000) + I16(1) +
                          I16(-500) + I16(900) + I16(-400) + I16(950) + I32(0) + I32(0x10000) + I16(7);
    layout.asked = 0;
    ASSERT_EQ(ReadWindows(records + I16(1) + I16(0) + I16(0) + I16(800) + I16(600)), kResultOk);
    EXPECT_EQ(layout.asked, 2);
    WindowsSection& windows = *preferences->Windows();
    ASSERT_EQ(windows.RecordCount(), 3);
    // Cut to the screen less the frame, its caption below the top, its left edge on the screen.
    ExpectRect(windows.Record(0)->rect, 0, 22, 1016, 764);
    // Grown to 72 x 72.
    ExpectRect(windows.Record(1)->rect, 900, 700, 972, 772);
    // Moved up to 8 pixels above the bottom and 28 pixels into the screen.
    ExpectRect(windows.Record(2)->rect, -72, 760, 28, 832);

    // Two screens written against one present: refitted too.
    ASSERT_EQ(ReadWindows(records + I16(2) + I16(0) + I16(0) + I16(1024) + I16(768) + I16(0) + I16(0) + I16(1024) +
                          I16(768)),
              kResultOk);
    ExpectRect(windows.Record(0)->rect, 0, 22, 1016, 764);
}

TEST_F(PlayerPreferencesTest, HostileWindowCounts)
{
    WindowsSection& windows = *preferences->Windows();
    const Bytes record = I16(10) + I16(30) + I16(500) + I16(400) + I32(0) + I32(0x10000) + I16(12);
    // A count of 0 leaves the records; a negative count or one the chunk cannot hold is refused
    // and leaves them too.
    for (int32_t count : {0, -1, 2, 30000}) {
        const ResultCode result = ReadWindows(I16(count) + record + I16(0));
        EXPECT_EQ(result, count == 0 ? kResultOk : kResultShortRead) << count;
        ASSERT_EQ(windows.RecordCount(), 3) << count;
        EXPECT_EQ(windows.Record(0)->kind, 12) << count;
    }
    // A screen count the chunk cannot hold: the records are read, fitted to the present screen
    // (the caption below its top), and the read fails.
    const Bytes atTop = I16(10) + I16(0) + I16(500) + I16(400) + I32(0) + I32(0x10000) + I16(12);
    EXPECT_EQ(ReadWindows(I16(1) + atTop + I16(5000) + I16(0)), kResultShortRead);
    ASSERT_EQ(windows.RecordCount(), 1);
    ExpectRect(windows.Record(0)->rect, 10, 22, 500, 422);
    // A record cut short.
    EXPECT_NE(ReadWindows(I16(1) + I16(10) + I16(30)), kResultOk);
}
