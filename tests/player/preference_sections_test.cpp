// The preference sections: their defaults, the option mappings, the bodies of their chunks as a
// model file's "QPRF" form carries them, and what a hostile body does to them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "foundation/memory_stream.h"
#include "model/light.h"
#include "model/preference_record.h"
#include "player/player_preferences.h"
#include "tests/foundation/stream_bytes.h"

namespace {

// A "QPRF" form of the given chunks.
Bytes Form(const Bytes& chunks)
{
    return Chunk("FORM", Tag("QPRF") + chunks);
}

const Bytes kVersion = Chunk("VERS", Word32(0x01000000));

ResultCode Read(const Bytes& bytes, PlayerPreferences* preferences)
{
    PreferenceRecord stored;
    stored.Bytes = NewDynamicArray(0, 1, 16);
    for (uint8_t b : bytes) stored.Bytes->Append(&b);
    const ResultCode result = preferences->ReadStored(&stored);
    stored.Bytes->Destroy();
    return result;
}

Bytes Written(PreferenceSection* section)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(section->Serialize(&out), kResultOk);
    return Contents(out);
}

class PreferenceSections : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferences = new PlayerPreferences;
        ASSERT_EQ(preferences->Init(), kResultOk);
    }
    void TearDown() override { preferences->Free(); }

    PlayerPreferences* preferences = nullptr;
};

}  // namespace

TEST_F(PreferenceSections, DefaultsAndOptionMappings)
{
    EXPECT_EQ(RenderOptionMask(*preferences->Render()), 0x343Fu);
    EXPECT_EQ(NavigationOptionMask(*preferences->Navigation()), 3);
    EXPECT_EQ(preferences->Navigation()->lensNumerator, 35);
    EXPECT_EQ(preferences->Navigation()->lensDenominator, 36);
    EXPECT_EQ(preferences->Config()->directDrawing, 1);
    EXPECT_EQ(preferences->ViewStyle()->style, 6u);
    EXPECT_EQ(GetChangeState(preferences->Render()), -1);
    // The fastest speed preset; every navigation option bit.
    preferences->Render()->wordA = kSpeedFastest.wordA;
    preferences->Render()->wordC = kSpeedFastest.wordC;
    EXPECT_EQ(RenderOptionMask(*preferences->Render()), 0x2020u | 0x400u | 0x8u);
    preferences->Navigation()->options = 0xF;
    EXPECT_EQ(NavigationOptionMask(*preferences->Navigation()), 0x807);

    // Sections by id: 5, 8 and others have none.
    EXPECT_EQ(preferences->GetSection(2), preferences->Navigation());
    EXPECT_EQ(preferences->GetSection(7), preferences->ModelView());
    EXPECT_EQ(preferences->GetSection(10), preferences->Config());
    for (int32_t id : {0, 1, 5, 8, 11}) EXPECT_EQ(preferences->GetSection(id), nullptr);

    // The defaults of the model: the eye 66 inches up, white, two names "Unnamed".
    const DefaultsSection& defaults = *preferences->Defaults();
    EXPECT_EQ(defaults.startPosition[2], 66 << 16);
    EXPECT_EQ(defaults.triple4[1], 96 << 16);
    EXPECT_STREQ(defaults.name1, "Unnamed");
    EXPECT_STREQ(defaults.name2, "");
    EXPECT_STREQ(defaults.name3, "Unnamed");

    // The model view: its colour, an ambient light and three directed ones.
    const ModelViewSection& view = *preferences->ModelView();
    EXPECT_EQ(view.colour.green, 0xD83B);
    ASSERT_EQ(view.lights->ArrayCount(), 4);
    EXPECT_TRUE(view.lights->LightListGet(0)->LightIsAmbient());
    EXPECT_EQ(view.lights->LightListGet(0)->Colour.red, 0x6000);
    const Light* third = view.lights->LightListGet(2);
    EXPECT_EQ(third->Direction[0], 209);
    EXPECT_EQ(third->Direction[2], 104);
    EXPECT_EQ(third->Colour.blue, 0x7000);
    EXPECT_EQ(view.lights->LightListGet(3)->Direction[1], -226);
}

TEST_F(PreferenceSections, ReadFromTheModelsForm)
{
    // PRND: words A 11, B 5, C 4, flags 1 0 0 1; PNAV: lens 135/36, index 12; CNFG 0.
    const Bytes prnd = {0, 0, 0, 11, 0, 0, 0, 5, 0, 0, 0, 4, 1, 0, 0, 1};
    const Bytes pnav = {0, 0, 0, 7, 0, 0, 0, 12, 0, 133, 0, 100, 0, 135, 0, 36};
    ASSERT_EQ(Read(Form(kVersion + Chunk("PRND", prnd) + Chunk("XTRA", {1, 2, 3}) + Chunk("PNAV", pnav) +
                        Chunk("CNFG", {0})),
                   preferences),
              kResultOk);
    EXPECT_EQ(preferences->Render()->wordA, 11u);
    EXPECT_EQ(preferences->Render()->flags[3], 0);  // never kept from a file
    EXPECT_EQ(RenderOptionMask(*preferences->Render()), 0x10u | 0x8u | 0x2000u | 0x4u | 0x20u | 0x40u | 0x100u);
    EXPECT_EQ(preferences->Navigation()->lensNumerator, 135);
    EXPECT_EQ(preferences->Navigation()->index, 0);     // 11 and above read as 0
    EXPECT_EQ(preferences->Navigation()->options, 3u);  // the velocity grid never comes from a file
    EXPECT_EQ(preferences->Config()->directDrawing, 0);
}

TEST_F(PreferenceSections, FormsThatReadNothingOrStop)
{
    // A lens of 0 is no lens: the standard one.
    const Bytes pnav = {0, 0, 0, 3, 0, 0, 0, 6, 0, 133, 0, 100, 0, 0, 0, 36};
    preferences->Navigation()->lensNumerator = kLensTelephoto;
    ASSERT_EQ(Read(Form(Chunk("PNAV", pnav)), preferences), kResultOk);
    EXPECT_EQ(preferences->Navigation()->lensNumerator, 35);
    EXPECT_EQ(preferences->Navigation()->lensDenominator, 36);
    // An index below 0 reads as 0 too.
    const Bytes negative = {0, 0, 0, 3, 0, 0, 0xFF, 0xFF, 0, 133, 0, 100, 0, 15, 0, 36};
    ASSERT_EQ(Read(Form(Chunk("PNAV", negative)), preferences), kResultOk);
    EXPECT_EQ(preferences->Navigation()->index, 0);
    EXPECT_EQ(preferences->Navigation()->lensNumerator, kLensWideAngle);
    // A version outside 1.x stops the reading with 1; another form type reads nothing.
    EXPECT_EQ(Read(Form(Chunk("VERS", Word32(0x02000000)) + Chunk("CNFG", {0})), preferences), 1);
    EXPECT_EQ(preferences->Config()->directDrawing, 1);
    Bytes wrong = Form(Chunk("CNFG", {0}));
    wrong[8] = 'X';
    EXPECT_EQ(Read(wrong, preferences), kResultOk);
    EXPECT_EQ(preferences->Config()->directDrawing, 1);
    // A body cut short.
    EXPECT_NE(Read(Form(Chunk("PRND", {0, 0, 0})), preferences), kResultOk);
}

// The chunk bodies field by field: PRND words A, B, C (32 bits each) and flag bytes 1 to 4;
// PNAV options (32), aspect ratio on (16), index (16), the aspect ratio as a point (the low
// 16 bits of width and height), lens numerator and denominator (16); CNFG one byte.
TEST_F(PreferenceSections, NavigationAndRenderBodies)
{
    const Bytes prnd = {0x80, 0, 0, 0x0B, 0, 0, 0x01, 0x05, 0x12, 0x34, 0x56, 0x04, 0xFE, 0x02, 0x03, 0x04};
    const Bytes pnav = {0x40, 0, 0, 0x0D, 0xFF, 0xFE, 0, 10, 0x9C, 0x40, 0x00, 0x64, 0, 135, 0, 24};
    NavigationSection& navigation = *preferences->Navigation();
    RenderSection& render = *preferences->Render();
    navigation.aspect[0] = 0x00050000;  // reading replaces the low halves only
    navigation.aspect[1] = -1;
    ASSERT_EQ(Read(Form(kVersion + Chunk("PRND", prnd) + Chunk("PNAV", pnav) + Chunk("CNFG", {0x7F})), preferences),
              kResultOk);
    EXPECT_EQ(render.wordA, 0x8000000Bu);
    EXPECT_EQ(render.wordB, 0x00000105u);
    EXPECT_EQ(render.wordC, 0x12345604u);
    EXPECT_EQ(render.flags[0], 0xFE);
    EXPECT_EQ(render.flags[2], 0x03);
    EXPECT_EQ(render.flags[3], 0);
    EXPECT_EQ(navigation.options, 0x40000009u);  // the velocity grid (4) cleared
    EXPECT_EQ(navigation.aspectOn, -2);
    EXPECT_EQ(navigation.index, 10);
    EXPECT_EQ(navigation.aspect[0], 0x00059C40);
    EXPECT_EQ(navigation.aspect[1], int32_t(0xFFFF0064));
    EXPECT_EQ(navigation.lensDenominator, 24);
    EXPECT_EQ(preferences->Config()->directDrawing, 0x7F);

    // Written back: the same bodies, except that flag byte 4 is written as it stood and then
    // cleared, and the grid bit is cleared in memory after writing too.
    render.flags[3] = 9;
    Bytes expected = prnd;
    expected[15] = 9;
    EXPECT_EQ(Written(&render), expected);
    EXPECT_EQ(render.flags[3], 0);
    navigation.options |= kNavigationVelocityGrid;
    expected = pnav;
    expected[3] = 0x0D;
    EXPECT_EQ(Written(&navigation), expected);
    EXPECT_EQ(navigation.options & kNavigationVelocityGrid, 0u);
}

// PDEF: values 1 and 2, start position, triples 1, 3 and 4 (three 32-bit values each), the
// colour (0, red, green, blue high bytes), then three texts (length byte, characters, a pad
// byte when the length is even).
TEST_F(PreferenceSections, DefaultsBodyAndItsNames)
{
    DefaultsSection& defaults = *preferences->Defaults();
    defaults.colour = {0x1234, 0x5678, 0x9ABC};
    std::snprintf(defaults.name2, sizeof defaults.name2, "Hall");
    Bytes expected = I16(16) + I16(5) + I32(0) + I32(0) + I32(66 << 16) + Bytes(24, 0) + I32(96 << 16) +
                     I32(96 << 16) + I32(96 << 16) + Bytes{0, 0x12, 0x56, 0x9A};
    expected = expected + Bytes{7} + Chars("Unnamed") + Bytes{4} + Chars("Hall") + Bytes{0} + Bytes{7} + Chars("Unnamed");
    const Bytes body = Written(&defaults);
    EXPECT_EQ(body, expected);

    // Read back into fresh defaults.
    defaults.Reset();
    ASSERT_EQ(Read(Form(Chunk("PDEF", body)), preferences), kResultOk);
    EXPECT_STREQ(defaults.name2, "Hall");
    EXPECT_EQ(defaults.colour.green, 0x5600);

    // A name of the longest length; then a name whose characters are cut short keeps the name
    // it had, and the read fails.
    Bytes longest = Bytes(body.begin(), body.begin() + 56) + Bytes{255} + Bytes(255, 'a') + Bytes{0, 0} + Bytes{0, 0};
    ASSERT_EQ(Read(Form(Chunk("PDEF", longest)), preferences), kResultOk);
    EXPECT_EQ(std::strlen(defaults.name1), 255u);
    EXPECT_STREQ(defaults.name2, "");
    std::snprintf(defaults.name2, sizeof defaults.name2, "Keep");
    const Bytes cut = Bytes(body.begin(), body.begin() + 56) + Bytes{3} + Chars("Big") + Bytes{200} + Chars("Hal");
    EXPECT_NE(Read(Form(Chunk("PDEF", cut)), preferences), kResultOk);
    EXPECT_STREQ(defaults.name1, "Big");
    EXPECT_STREQ(defaults.name2, "Keep");
}

// PMOD: position, angles, colour, then the light list (a 16-bit count and the lights).
TEST_F(PreferenceSections, ModelViewRoundTripAndHostileLightCount)
{
    ModelViewSection& view = *preferences->ModelView();
    view.position[0] = -5 * 65536;
    view.angles[2] = 0x12345;
    view.lights->LightListGet(1)->LightSetDirection(1, 2, 3);
    const Bytes body = Written(&view);
    ASSERT_EQ(body.size(), 12u + 12u + 4u + 2u + 4u * 22u);
    EXPECT_EQ(Bytes(body.begin() + 28, body.begin() + 30), I16(4));

    PlayerPreferences* other = new PlayerPreferences;
    ASSERT_EQ(other->Init(), kResultOk);
    ASSERT_EQ(Read(Form(Chunk("PMOD", body)), other), kResultOk);
    ModelViewSection& copy = *other->ModelView();
    EXPECT_EQ(copy.position[0], -5 * 65536);
    EXPECT_EQ(copy.angles[2], 0x12345);
    ASSERT_EQ(copy.lights->ArrayCount(), 4);
    EXPECT_EQ(copy.lights->LightListGet(1)->Direction[2], 3);
    EXPECT_EQ(Written(&copy), body);

    // A count that the chunk cannot hold fails the read and leaves an empty list, not a crash.
    const Bytes hostile = Bytes(body.begin(), body.begin() + 28) + I16(30000) + Bytes(22, 0);
    EXPECT_NE(Read(Form(Chunk("PMOD", hostile)), other), kResultOk);
    ASSERT_NE(copy.lights, nullptr);
    EXPECT_EQ(copy.lights->ArrayCount(), 0);
    other->Free();
}

TEST_F(PreferenceSections, AspectRatioBoundsAndPresets)
{
    NavigationSection& navigation = *preferences->Navigation();
    int16_t width = -1;
    int16_t height = -1;
    NavigationAspectRatio(navigation, &width, &height);  // off
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    navigation.aspectOn = 1;
    NavigationAspectRatio(navigation, &width, &height);
    EXPECT_EQ(width, 133);
    EXPECT_EQ(height, 100);
    // A term of 0 or above 1000 is no fixed ratio.
    for (int32_t term : {0, 1001, 0xFFFF, -3}) {
        navigation.aspect[1] = term;
        NavigationAspectRatio(navigation, &width, &height);
        EXPECT_EQ(width, 0) << term;
        EXPECT_EQ(height, 0) << term;
    }
    navigation.aspect[1] = 1000;
    NavigationAspectRatio(navigation, &width, &height);
    EXPECT_EQ(height, 1000);

    // Presets: a table entry, a number of none, the size of a port and of the screen.
    AspectRatioPreset(2, &navigation);
    AspectRatioPreset(11, &navigation);
    EXPECT_EQ(navigation.aspect[0], 24);
    EXPECT_EQ(navigation.aspect[1], 36);
    int32_t w = 1;
    int32_t h = 1;
    const PortRect port = {10, 20, 110, 70};
    FrameSizePreset(5, port, &w, &h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    FrameSizePreset(4, port, &w, &h);  // the one screen of the defaults
    FrameSizePreset(10, port, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST_F(PreferenceSections, ColourSectionBody)
{
    ColourSection colours;
    colours.Reset();
    colours.colours[5] = {0x0100, 0x0200, 0x0300};
    colours.flags = 0x01020304;
    colours.value = -2;
    const Bytes body = Written(&colours);
    ASSERT_EQ(body.size(), 6u * 4u + 4u + 2u);
    EXPECT_EQ(Bytes(body.begin() + 20, body.end()), (Bytes{0, 1, 2, 3, 1, 2, 3, 4, 0xFF, 0xFE}));
    ColourSection copy;
    copy.Reset();
    MemoryStream in;
    Load(in, body);
    ASSERT_EQ(copy.Serialize(&in), kResultOk);
    EXPECT_EQ(copy.colours[5].green, 0x0200);
    EXPECT_EQ(copy.colours[0].red, 0xFF00);
    EXPECT_EQ(copy.value, -2);
}
