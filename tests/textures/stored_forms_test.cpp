// The texture table's stored forms built byte by byte from their layouts, never by our writer:
// an entry with a name, every setting at its own width and sign, an embedded picture in the
// image format and a file reference, each read back field by field and written again to the
// same bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "draw/color_cube.h"
#include "draw/drawing_layer_services.h"
#include "draw/mem_pix_map.h"
#include "draw/q_offscreen.h"
#include "model/drawing_services.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/walk_record.h"
#include "tests/model/model_test_support.h"
#include "tests/textures/texture_world.h"
#include "textures/texture_table.h"

namespace {

Bytes Text(const std::string& text)
{
    Bytes out(text.size() + 1, uint8_t(text.size()));
    std::memcpy(out.data() + 1, text.data(), text.size());
    return out;
}

// The nineteen settings, each at the width and place its layout gives: bytes for 1 to 3, 7 to
// 10, 17 and 18; 16.16 values for 4 to 6 and 11 to 14; 16-bit values for 15, 16 and 19.
struct Setting {
    int32_t width;
    int32_t value;
};
const Setting kSettings[19] = {{1, -3},         {1, 5},          {1, -128},          {4, -0x18000},
                               {4, 0x24000},    {4, 0x7FFF0001}, {1, 127},           {1, -1},
                               {1, 2},          {1, 3},          {4, 0x30000},       {4, -0x30000},
                               {4, 0x128000},   {4, 1},          {2, -2},            {2, 0x1234},
                               {1, -7},         {1, 6},          {2, -300}};

Bytes SettingsBytes()
{
    Bytes out;
    for (const Setting& s : kSettings) {
        if (s.width == 1) out.push_back(uint8_t(s.value));
        if (s.width == 2) Append(out, I16(s.value));
        if (s.width == 4) Append(out, I32(s.value));
    }
    EXPECT_EQ(out.size(), 43u);
    return out;
}

// An image: width, height, depth and flag (16 bits each), row bytes and total bytes (32 bits),
// then a "CMAP" chunk of 0x00RRGGBB colours and a "DATA" chunk of rows, top row first.
Bytes Image(int32_t width, int32_t height, int32_t depth, int32_t flag, int32_t rowBytes,
            const std::vector<uint32_t>& colours, const Bytes& rows)
{
    Bytes colourMap;
    for (uint32_t c : colours) Append(colourMap, I32(c));
    return I16(width) + I16(height) + I16(depth) + I16(flag) + I32(rowBytes) + I32(height * rowBytes) +
           Chunk("CMAP", colourMap) + Chunk("DATA", rows);
}

// The colour map our pixel maps carry: the 256 entries of the colour cube.
std::vector<uint32_t> CubeColours()
{
    std::vector<uint32_t> out;
    for (int32_t i = 0; i < 256; ++i) {
        RGBColor48 c = {0, 0, 0};
        ColorCubeEntry(&c, i);
        out.push_back(uint32_t(c.red >> 8) << 16 | uint32_t(c.green >> 8) << 8 | uint32_t(c.blue >> 8));
    }
    return out;
}

Bytes WriteTable(TextureWorld& world, TextureRecord* record)
{
    MemoryStream out;
    StartWriting(out);
    world.services->BeginTextureSave(&out);
    EXPECT_EQ(AssignTextureIndex(world.manager, record), 1);
    EXPECT_EQ(WriteTextureTable(world.manager, &out), kResultOk);
    return Contents(out);
}

constexpr uint8_t kRed = 5 * 6 + 5;
constexpr uint8_t kGreen = 5 * 36 + 5;
constexpr uint8_t kBlue = 5 * 36 + 5 * 6;

}  // namespace

TEST(TextureTableForms, EntryWithNameSettingsAndEmbeddedPicture)
{
    TextureWorld world;
    world.BeginTextureSave();
    TextureRecord* record = NewTextureForIndex(world.manager, 3);
    ASSERT_NE(record, nullptr);
    // A 4 x 2 picture of 8 bits with three colours; rows of 4 bytes.
    const Bytes picture = Image(4, 2, 8, 0, 4, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 2, 0, 2, 0, 1, 1});
    const Bytes entries = Chunk("TXTE", Chunk("TXID", I32(3)) + Chunk("TXNM", {'b', 'r', 'i', 'c', 'k', 0}) +
                                            Chunk("ZZZZ", {1, 2, 3}) + Chunk("TXST", SettingsBytes()) +
                                            Chunk("TXPD", picture)) +
                          Chunk("MISC", {4}) + Chunk("TXTE", Chunk("TXID", I32(4)) + Chunk("TXVD", {}));
    ASSERT_EQ(ReadTable(world, entries), kResultOk);

    EXPECT_STREQ(record->name, "brick");
    for (int32_t n = 1; n <= 19; ++n) EXPECT_EQ(record->attributes[n], kSettings[n - 1].value) << "attribute " << n;
    ASSERT_NE(record->holder, nullptr);
    EXPECT_EQ(record->holder->Kind(), kMediaEmbedded);
    char label[kMediaLabelBytes];
    TextureItemLabel(record, label);
    EXPECT_STREQ(label, "4h x 2v");
    MemPixMap* pixmap = TextureItemProperty(record, 0);
    ASSERT_NE(pixmap, nullptr);
    const uint8_t expected[2][4] = {{kRed, kGreen, kBlue, kRed}, {kBlue, kRed, kGreen, kGreen}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(pixmap->GetRowTable()[y][x], expected[y][x]) << x << "," << y;
    // The void entry leaves no record.
    EXPECT_EQ(TextureRecordCount(world.list), 1);
    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);

    // Written: the index, the name with its zero byte, the settings, then the picture as the
    // pixel map holds it (the colour cube as its map, rows as wide as the map's rows).
    const Bytes rows = {kRed, kGreen, kBlue, kRed, kBlue, kRed, kGreen, kGreen};
    const Bytes written = Chunk("TXTB", Chunk("TXTE", Chunk("TXID", I32(1)) +
                                                          Chunk("TXNM", {'b', 'r', 'i', 'c', 'k', 0}) +
                                                          Chunk("TXST", SettingsBytes()) +
                                                          Chunk("TXPD", Image(4, 2, 8, 0, 4, CubeColours(), rows))));
    EXPECT_EQ(WriteTable(world, record), written);
    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);
}

TEST(TextureTableForms, EntryWithAFileReference)
{
    TextureWorld world;
    PictureFolder folder("forms");
    const std::string file = folder.Put("Wood.bmp", SolidBmp(2, 2, 0x0000FF));
    const std::string directory = folder.Path().substr(3, folder.Path().size() - 4);  // without "C:\" and "\"
    // FPTH: the name, the directory's components innermost first ending with the drive letter,
    // and, without a base to be relative to, a count of 0.
    const Bytes reference = Chunk("FPTH", Text("Wood.bmp") + I16(2) + Text(directory) + Text("C") + I16(0));
    world.BeginTextureSave();
    const Bytes name = {'w', 'o', 'o', 'd', 0};
    ASSERT_EQ(ReadTable(world, Chunk("TXTE", Chunk("TXID", I32(2)) + Chunk("TXNM", name) +
                                                 Chunk("TXRF", reference))),
              kResultOk);
    TextureRecord* record = FindTextureByName(world.list, "wood");
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->holder, nullptr);
    EXPECT_EQ(record->holder->Kind(), kMediaBmp);
    char path[kPathLength];
    TextureItemFileName(record, path);
    EXPECT_EQ(std::string(path), file);
    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);

    // Written with the settings it has (the defaults), and the same reference.
    Bytes defaults;
    for (int32_t n = 1; n <= 19; ++n) {
        const int32_t width = kSettings[n - 1].width;
        const int32_t value = record->attributes[n];
        if (width == 1) defaults.push_back(uint8_t(value));
        if (width == 2) Append(defaults, I16(value));
        if (width == 4) Append(defaults, I32(value));
    }
    const Bytes written = Chunk("TXTB", Chunk("TXTE", Chunk("TXID", I32(1)) + Chunk("TXNM", name) +
                                                          Chunk("TXST", defaults) + Chunk("TXRF", reference)));
    EXPECT_EQ(WriteTable(world, record), written);
    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);
}

// A whole model file by hand: a box showing texture 1 on its front, the texture table with that
// texture's picture embedded, the credits picture (32-bit rows, 128 bytes each for a bitmap 32
// pixels wide) with its text, and the walk observer. Read with the texture and drawing layers,
// then written again to the same bytes.
TEST(TextureTableForms, ModelFileWithTexturesAndCredits)
{
    TextureWorld world;
    InstallDrawingLayerServices();
    Bytes square;
    for (int32_t xy : {0x0000000A, 0x000A000A, 0x000A0000, 0x00000000})
        Append(square, I32((xy >> 16) * 0x10000) + I32((xy & 0xFFFF) * 0x10000));
    Bytes position = Bytes(36, 0);
    for (int i = 0; i < 3; ++i) Append(position, I32(0x10000));
    const Bytes box = Chunk("COLR", {0, 0, 0, 0, 0xFF, 0, 0, 0}) + Chunk("PLGR", {0, 0}) +
                      Chunk("POLY", I16(1) + Bytes{3, 1} + I16(1) + I32(0) + I32(10 * 0x10000) + Bytes(16, 0) +
                                        I16(4) + square) +
                      Chunk("PLTX", Chunk("TXID", I32(1)) + Chunk("TATR", {})) + Chunk("POSN", position);
    const Bytes texels = {kRed, kBlue, kBlue, kRed, kGreen, kGreen, kRed, kBlue};
    const Bytes table = Chunk("TXTE", Chunk("TXID", I32(1)) + Chunk("TXNM", {'t', 'i', 'l', 'e', 0}) +
                                          Chunk("TXST", SettingsBytes()) +
                                          Chunk("TXPD", Image(4, 2, 8, 0, 4, CubeColours(), texels)));
    Bytes pixels(3 * 128, 0);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            uint8_t* pixel = &pixels[size_t(y * 128 + x * 4)];
            pixel[0] = uint8_t(0x10 * x);  // blue
            pixel[1] = uint8_t(0x40 * y);  // green
            pixel[2] = 0xC0;               // red
        }
    const Bytes credits = Chunk("BMAP", I16(5) + I16(3) + I16(32) + I16(0) + I32(128) + I32(384) + Chunk("CMAP", {}) +
                                            Chunk("DATA", pixels)) +
                          Chunk("TEXT", {'H', 'i', '!'});
    const Bytes walk = I16(1) + Bytes(24, 0) + I16(15) + I16(36) + I16(0);
    const Bytes file = Chunk("FORM", Bytes{'Q', 'M', 'D', 'L'} + Chunk("VERS", I32(0x01000000)) +
                                         Chunk("ROOT", Chunk("COLR", Bytes(8, 0)) + Chunk("PRSM", box)) +
                                         Chunk("TXTB", table) + Chunk("CRED", credits) + Chunk("QPRF", walk));

    ModelDocument* document = new ModelDocument;
    ASSERT_EQ(document->Init(), kResultOk);
    MemoryStream in;
    Load(in, file);
    ASSERT_EQ(document->ReadModelFile(&in), kResultOk);
    ModelObject* readBox = document->Holder->Root->ChildAt(0);
    ASSERT_NE(readBox, nullptr);
    TextureRecord* tile = readBox->FrontTexture;
    ASSERT_NE(tile, nullptr);
    EXPECT_STREQ(tile->name, "tile");
    EXPECT_EQ(readBox->BackTexture, nullptr);
    EXPECT_EQ(tile->attributes[19], -300);
    MemPixMap* pixmap = TextureItemProperty(tile, 0);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(pixmap->GetRowTable()[1][0], kGreen);
    ASSERT_NE(document->CreditsPicture, nullptr);
    EXPECT_EQ(BoundsSize(document->CreditsPicture), std::make_pair(5, 3));
    EXPECT_EQ(Pixel32(document->CreditsPicture, 4, 2), 0xC08040u);
    EXPECT_EQ(Pixel32(document->CreditsPicture, 1, 0), 0xC00010u);
    ASSERT_NE(document->CreditsText, nullptr);
    EXPECT_EQ(document->CreditsText->ArrayCount(), 3);
    EXPECT_EQ(document->Walk->LensNumerator, 15);
    EXPECT_TRUE(world.ui.alerts.empty());
    // The texture's picture and the credits picture spent together on the model's picture
    // budget, their rows' bytes paying for more.
    PictureBudget& pictures = document->Holder->Budget.Pictures();
    EXPECT_EQ(pictures.Spent(), PictureUnits(4, 2) + PictureUnits(5, 3));
    EXPECT_EQ(pictures.BytesRead(), 8 + 384);

    // Writing the model spends nothing, even with nothing left.
    ASSERT_TRUE(pictures.Spend(pictures.Allowance() - pictures.Spent()));
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(WriteModelFile(document, &out), kResultOk);
    EXPECT_EQ(Contents(out), file);
    EXPECT_EQ(pictures.Spent(), pictures.Allowance());
    document->Destroy();
    InstallDrawingServices(nullptr);
}
