// The preference sections the renderer's tools read: defaults, the option mapping, the "QPRF"
// form of a model file and the length units.
#include <gtest/gtest.h>

#include "foundation/memory_stream.h"
#include "model/preference_record.h"
#include "render/preference_sections.h"

namespace {

// A "QPRF" form with the chunks given as (tag, body bytes).
std::vector<uint8_t> Form(std::initializer_list<std::pair<const char*, std::vector<uint8_t>>> chunks)
{
    std::vector<uint8_t> body = {'Q', 'P', 'R', 'F'};
    for (const auto& c : chunks) {
        body.insert(body.end(), c.first, c.first + 4);
        const uint32_t n = uint32_t(c.second.size());
        for (int s = 24; s >= 0; s -= 8) body.push_back(uint8_t(n >> s));
        body.insert(body.end(), c.second.begin(), c.second.end());
        if (n & 1) body.push_back(0);
    }
    std::vector<uint8_t> form = {'F', 'O', 'R', 'M'};
    const uint32_t n = uint32_t(body.size());
    for (int s = 24; s >= 0; s -= 8) form.push_back(uint8_t(n >> s));
    form.insert(form.end(), body.begin(), body.end());
    return form;
}

ResultCode Read(const std::vector<uint8_t>& bytes, PreferenceSet* set)
{
    PreferenceRecord stored;
    stored.Bytes = NewDynamicArray(0, 1, 16);
    for (uint8_t b : bytes) stored.Bytes->Append(&b);
    const ResultCode result = ReadModelPreferences(&stored, set);
    stored.Bytes->Destroy();
    return result;
}

const std::vector<uint8_t> kVersion = {1, 0, 0, 0};

}  // namespace

TEST(PreferenceSections, DefaultsGiveTheUsualOptionsAndLens)
{
    PreferenceSet set;
    EXPECT_EQ(RenderOptionMask(set.render), 0x343Fu);
    EXPECT_EQ(set.navigation.lensNumerator, 35);
    EXPECT_EQ(set.navigation.lensDenominator, 36);
    EXPECT_EQ(set.config.directDrawing, 1);
    // The speed presets of the Walk menu.
    set.render.wordA = 10;
    set.render.wordC = 0;
    EXPECT_EQ(RenderOptionMask(set.render), 0x2020u | 0x400u | 0x8u);
}

TEST(PreferenceSections, ReadFromTheModelsForm)
{
    PreferenceSet set;
    // PRND: words A 11, B 5, C 4, flags 1 0 0 1; PNAV: lens 135/36, index 12; CNFG 0.
    const std::vector<uint8_t> prnd = {0, 0, 0, 11, 0, 0, 0, 5, 0, 0, 0, 4, 1, 0, 0, 1};
    const std::vector<uint8_t> pnav = {0, 0, 0, 7, 0, 0, 0, 12, 0, 133, 0, 100, 0, 135, 0, 36};
    ASSERT_EQ(Read(Form({{"VERS", kVersion}, {"PRND", prnd}, {"PDEF", {1, 2}}, {"PNAV", pnav}, {"CNFG", {0}}}), &set),
              kResultOk);
    EXPECT_EQ(set.render.wordA, 11u);
    EXPECT_EQ(set.render.flags[3], 0);  // never kept from a file
    EXPECT_EQ(RenderOptionMask(set.render), 0x10u | 0x8u | 0x2000u | 0x4u | 0x20u | 0x40u | 0x100u);
    EXPECT_EQ(set.navigation.lensNumerator, 135);
    EXPECT_EQ(set.navigation.index, 0);
    EXPECT_EQ(set.navigation.options, 3u);  // the velocity grid never comes from a file
    EXPECT_EQ(set.config.directDrawing, 0);
}

TEST(PreferenceSections, ALensOfZeroFromAFileIsIgnored)
{
    PreferenceSet set;
    const std::vector<uint8_t> pnav = {0, 0, 0, 3, 0, 0, 0, 6, 0, 133, 0, 100, 0, 0, 0, 36};
    ASSERT_EQ(Read(Form({{"PNAV", pnav}}), &set), kResultOk);
    EXPECT_EQ(set.navigation.lensNumerator, 35);
    EXPECT_EQ(set.navigation.lensDenominator, 36);
    // A version outside 1.x stops the reading with 1; another form type reads nothing.
    PreferenceSet other;
    EXPECT_EQ(Read(Form({{"VERS", {2, 0, 0, 0}}, {"CNFG", {0}}}), &other), 1);
    EXPECT_EQ(other.config.directDrawing, 1);
    std::vector<uint8_t> wrong = Form({{"CNFG", {0}}});
    wrong[8] = 'X';
    EXPECT_EQ(Read(wrong, &other), kResultOk);
    EXPECT_EQ(other.config.directDrawing, 1);
    // A body cut short.
    EXPECT_NE(Read(Form({{"PRND", {0, 0, 0}}}), &other), kResultOk);
}

// The chunk bodies as their layouts give them, field by field: PRND words A, B, C (32 bits
// each) and flag bytes 1 to 4; PNAV options (32), aspect ratio on (16), index (16), the aspect
// ratio as a point (the low 16 bits of width and height), lens numerator and denominator (16);
// CNFG one byte.
TEST(PreferenceSections, ChunkBodiesFieldByField)
{
    const std::vector<uint8_t> prnd = {0x80, 0, 0, 0x0B, 0, 0, 0x01, 0x05, 0x12, 0x34, 0x56, 0x04, 0xFE, 0x02, 0x03, 0x04};
    const std::vector<uint8_t> pnav = {0x40, 0, 0, 0x0D, 0xFF, 0xFE, 0, 10, 0x9C, 0x40, 0x00, 0x64, 0, 135, 0, 24};
    PreferenceSet set;
    set.navigation.aspect[0] = 0x00050000;  // reading replaces the low halves only
    set.navigation.aspect[1] = -1;
    ASSERT_EQ(Read(Form({{"VERS", kVersion}, {"PRND", prnd}, {"PNAV", pnav}, {"CNFG", {0x7F}}}), &set), kResultOk);
    EXPECT_EQ(set.render.wordA, 0x8000000Bu);
    EXPECT_EQ(set.render.wordB, 0x00000105u);
    EXPECT_EQ(set.render.wordC, 0x12345604u);
    EXPECT_EQ(set.render.flags[0], 0xFE);
    EXPECT_EQ(set.render.flags[1], 0x02);
    EXPECT_EQ(set.render.flags[2], 0x03);
    EXPECT_EQ(set.render.flags[3], 0);  // always 0 after a transfer
    EXPECT_EQ(set.navigation.options, 0x40000009u);  // the velocity grid (4) cleared
    EXPECT_EQ(set.navigation.aspectOn, -2);
    EXPECT_EQ(set.navigation.index, 10);
    EXPECT_EQ(set.navigation.aspect[0], 0x00059C40);
    EXPECT_EQ(set.navigation.aspect[1], int32_t(0xFFFF0064));
    EXPECT_EQ(set.navigation.lensNumerator, 135);
    EXPECT_EQ(set.navigation.lensDenominator, 24);
    EXPECT_EQ(set.config.directDrawing, 0x7F);

    // Written back: the same bodies, except that the grid bit and flag byte 4 stay cleared.
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    set.render.flags[3] = 9;
    ASSERT_EQ(set.render.Serialize(&out), kResultOk);
    ASSERT_EQ(set.navigation.Serialize(&out), kResultOk);
    ASSERT_EQ(set.config.Serialize(&out), kResultOk);
    std::vector<uint8_t> expected = prnd;
    expected[15] = 9;  // written as it stood, then cleared
    expected.insert(expected.end(), pnav.begin(), pnav.end());
    expected[16 + 3] = 0x09;
    expected.push_back(0x7F);
    DynamicArray* buffer = out.Buffer();
    const auto* bytes = static_cast<const uint8_t*>(buffer->ArrayData());
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + buffer->ArrayCount()), expected);
    EXPECT_EQ(set.render.flags[3], 0);
}

TEST(PreferenceSections, LengthUnits)
{
    EXPECT_DOUBLE_EQ(GetUnitToMetres(1), 0.0254);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(4), 1609.344);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(0), 1.0);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(7), 1.0);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(13), 1.0);
}
