// The texture table: entries read into the records their references made, the settings byte for
// byte, void and broken entries, file references found beside the model, pictures embedded in
// memory streams and in model files, the Stop button, texture source files, and a model with
// an embedded and a file texture written and read back; each file name asked of the system once a
// read, and holders that go with the last record keeping them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "draw/mem_pix_map.h"
#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/object_stream.h"
#include "model/read_budget.h"
#include "model/surface.h"
#include "tests/model/model_test_support.h"
#include "tests/textures/texture_world.h"
#include "textures/texture_table.h"

namespace {

// The FPTH reference of a file, as a file-backed item writes it.
Bytes FileReference(const std::string& path)
{
    Owned<DiskFileStream> file = MakeFile(kFileReference);
    EXPECT_EQ(file->SetFileFromPath(path.c_str()), kResultOk);
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(file->Write(&out), kResultOk);
    return Contents(out);
}

// The settings of the default attributes with attribute 1 = -3 and attribute 15 = 7.
Bytes Settings()
{
    Bytes s = {0xFD, 1, 0};
    Append(s, Bytes(12, 0));
    Append(s, {0, 0, 0, 0});
    Append(s, Word32(0x10000) + Word32(0x10000) + Word32(0x200000) + Word32(0x200000));
    Append(s, Word16(7) + Word16(2));
    Append(s, {0, 0});
    Append(s, Word16(0));
    EXPECT_EQ(s.size(), 43u);
    return s;
}

Bytes Entry(int32_t index, const Bytes& rest)
{
    return Chunk("TXTE", Chunk("TXID", Word32(uint32_t(index))) + rest);
}

Bytes Name(const std::string& name)
{
    Bytes bytes(name.begin(), name.end());
    bytes.push_back(0);
    return Chunk("TXNM", bytes);
}

// The image of an offscreen as "TXPD" data.
Bytes PictureData(uint32_t colour, int32_t width, int32_t height)
{
    auto picture = MakeOffscreen(width, height, 32);
    const RGBColor48 c = {uint16_t((colour >> 16 & 255) * 257), uint16_t((colour >> 8 & 255) * 257),
                          uint16_t((colour & 255) * 257)};
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++) picture->SetPixelColor(x, y, c);
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(picture->ReadWriteOffscreenImage(&out, nullptr, 0), kResultOk);
    return Contents(out);
}

}  // namespace

TEST(TextureTable, EntriesFillTheRecordsTheirReferencesMade)
{
    TextureWorld world;
    PictureFolder folder("table");
    const std::string brick = folder.Put("brick.bmp", SolidBmp(3, 3, 0x993300));
    world.BeginTextureSave();
    // References read before the table: one record per index, users only recorded.
    TextureRecord* first = NewTextureForIndex(world.manager, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(NewTextureForIndex(world.manager, 1), first);
    EXPECT_EQ(NewTextureForIndex(world.manager, -2), nullptr);
    EXPECT_EQ(NewTextureForIndex(world.manager, -1), nullptr);
    TextureRecord* voided = NewTextureForIndex(world.manager, 2);
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Surface* surface = object->SurfaceForFace(0);
    surface->BindSideTexture(first, kSideFront);
    surface->BindSideTexture(voided, kSideBack);
    EXPECT_EQ(first->useCount, 0);

    const std::string longName(80, 'n');
    Bytes entries = Entry(1, Name("brick") + Chunk("TXST", Settings()) + Chunk("TXRF", FileReference(brick)) +
                                 Chunk("JUNK", {1, 2, 3}));
    Append(entries, Chunk("MISC", {9, 9}));
    Append(entries, Entry(2, Chunk("TXVD", {}) + Chunk("TXRF", FileReference(brick))));
    Append(entries, Entry(-2, Name("nothing")));
    // Without a record to act on, the other sub-chunks are skipped.
    Append(entries, Chunk("TXTE", Name("orphan") + Chunk("TXST", Settings()) + Chunk("TXPD", {1, 2, 3})));
    Append(entries, Entry(3, Chunk("TXNM", Bytes(longName.begin(), longName.end()))));
    ASSERT_EQ(ReadTable(world, entries), kResultOk);
    EXPECT_EQ(TextureTableEntriesRead(), 2);

    EXPECT_STREQ(first->name, "brick");
    EXPECT_EQ(first->attributes[1], -3);
    EXPECT_EQ(first->attributes[15], 7);
    EXPECT_EQ(first->attributes[13], 0x200000);
    ASSERT_NE(first->holder, nullptr);
    EXPECT_EQ(first->holder->Kind(), kMediaBmp);
    EXPECT_EQ(first->saveIndex, -1);
    EXPECT_EQ(first->useCount, 1);  // the recorded user now counts and the picture is decoded
    EXPECT_NE(TextureItemProperty(first, 0), nullptr);
    // The void entry's record is gone and its user lost that texture, not the other side's.
    EXPECT_EQ(surface->BackTexture, nullptr);
    EXPECT_EQ(surface->FrontTexture, first);
    EXPECT_EQ(FindTextureByName(world.list, "nothing"), nullptr);
    EXPECT_EQ(FindTextureByName(world.list, "orphan"), nullptr);
    TextureRecord* third = FindTextureByName(world.list, std::string(63, 'n').c_str());
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(TextureRecordCount(world.list), 2);
    EXPECT_TRUE(world.ui.alerts.empty());

    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);
    EXPECT_EQ(third->saveIndex, -1);
    EXPECT_EQ(world.manager->saveList, nullptr);
    object->Destroy();
    EXPECT_EQ(first->useCount, 0);
}

TEST(TextureTable, TheSaveIndexFindsWhatAScanOfTheListFinds)
{
    // Records made for indices, read (their index dropped), voided, numbered for writing (from
    // numbers of their own) and cleared, in a random order: the index answers as a scan of the
    // list for the first record carrying the number does.
    TextureWorld world;
    world.BeginTextureSave();
    world.manager->saveCounter = 1000;
    std::mt19937 random(3);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    auto scan = [&](int32_t index) -> TextureRecord* {
        for (int32_t i = 0; i < TextureRecordCount(world.list); ++i)
            if (TextureRecordAt(world.list, i)->saveIndex == index) return TextureRecordAt(world.list, i);
        return nullptr;
    };
    auto any = [&]() -> TextureRecord* {
        const int32_t count = TextureRecordCount(world.list);
        return count ? TextureRecordAt(world.list, between(0, count - 1)) : nullptr;
    };
    for (int32_t round = 0; round < 1000; ++round) {
        const int32_t index = between(1, 40);
        switch (between(0, 5)) {
        case 0:
        case 1:
            ASSERT_EQ(NewTextureForIndex(world.manager, index)->saveIndex, index);
            break;
        case 2:
            if (TextureRecord* record = scan(index)) IgnoreResult(ReattachTextureUsers(record));
            break;
        case 3:
            DestroyTextureRecord(any());
            break;
        case 4:
            if (TextureRecord* record = any()) AssignTextureIndex(world.manager, record);
            break;
        default:
            if (round % 50 == 0) ClearTextureSaveIndices(world.list);
            break;
        }
        for (int32_t i = 0; i <= 41; ++i) ASSERT_EQ(FindTextureBySaveIndex(world.list, i), scan(i)) << round << " " << i;
        for (int32_t i = std::max(1000, world.manager->saveCounter - 3); i < world.manager->saveCounter; ++i)
            ASSERT_EQ(FindTextureBySaveIndex(world.list, i), scan(i)) << round << " " << i;
    }
    EXPECT_EQ(FindTextureBySaveIndex(world.list, -1), nullptr);
    EXPECT_EQ(FindTextureBySaveIndex(nullptr, 1), nullptr);
}

TEST(TextureTable, ReleasingAListTakesEveryRecordOutOfEveryList)
{
    // The records of a list, one of them among the embedded textures, and one of another list
    // that it names: the list ends empty, and the other list and the embedded list name none of
    // them any longer.
    TextureWorld world;
    TextureRecordList* other = NewTextureRecordList();
    TextureRecord* stranger = new TextureRecord(other);
    TextureRecord* first = new TextureRecord(world.list);
    new TextureRecord(world.list);
    EmbeddedTextureList->Append(&first);
    EmbeddedTextureList->Append(&stranger);
    world.list->Append(&stranger);
    ReleaseTextureRecords(world.list);
    EXPECT_EQ(TextureRecordCount(world.list), 0);
    EXPECT_EQ(TextureRecordCount(other), 0);
    EXPECT_EQ(TextureRecordCount(EmbeddedTextureList), 0);
    FreeTextureRecordList(other);
}

TEST(TextureTable, EmptyTablesAndWritingStreamsReadNothing)
{
    TextureWorld world;
    MemoryStream stream;
    world.services->BeginTextureSave(&stream);
    EXPECT_EQ(ReadTable(world, {}), kResultOk);
    EXPECT_EQ(TextureRecordCount(world.list), 0);
    StartWriting(stream);
    EXPECT_EQ(ReadTextureTable(world.manager, &stream, 0), kResultOk);
    EXPECT_EQ(TextureTableChunk(world.manager, &stream), kResultOk);
    EXPECT_EQ(Contents(stream), Chunk("TXTB", {}));
}

TEST(TextureTable, MovedFilesAreFoundBesideTheModelUnlessALibraryIsRead)
{
    TextureWorld world;
    PictureFolder folder("moved");
    folder.Put("stone.bmp", SolidBmp(2, 2, 0x777777));
    Owned<DiskFileStream> model = MakeFile(kFileReference);
    IgnoreResult(model->SetFileFromPath((folder.Path() + "room.qpy").c_str()));
    IndexImageResources(model.get());

    const Bytes entries = Entry(1, Name("stone") + Chunk("TXRF", FileReference("C:\\qp_nowhere\\Stone.bmp"))) +
                          Entry(2, Name("brick") + Chunk("TXRF", FileReference("C:\\qp_nowhere\\brick.bmp")));
    world.BeginTextureSave();
    ASSERT_EQ(ReadTable(world, entries), kResultOk);
    TextureRecord* stone = FindTextureByName(world.list, "stone");
    ASSERT_NE(stone, nullptr);
    char file[kPathLength];
    TextureItemFileName(stone, file);
    EXPECT_EQ(std::string(file), folder.Path() + "stone.bmp");
    ASSERT_EQ(TextureRecordCount(EmbeddedTextureList), 1);
    EXPECT_EQ(TextureRecordAt(EmbeddedTextureList, 0), stone);
    EXPECT_EQ(FindTextureByName(world.list, "brick"), nullptr);
    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);

    // Reading a library, a file that is not where its reference says voids the entry.
    TextureRecordList* library = NewTextureRecordList();
    BeginLibraryTextureSave(world.manager, &world.ignored, library);
    ASSERT_EQ(ReadTable(world, entries), kResultOk);
    EXPECT_EQ(TextureRecordCount(library), 0);
    EXPECT_EQ(CollectUsedTextures(world.manager, &world.ignored, UserRefresh::kWhole), kResultOk);
    EXPECT_EQ(world.manager->libraryReading, 0);
    FreeTextureRecordList(library);
}

// Each file name is asked of the system once a read, however many entries name it and however
// they spell it, a file there and a file nowhere alike, and the spellings of a file share its
// holder. Every look-up spends on the model's picture budget: the read whose look-ups would pass
// it ends there, its reader saying why.
TEST(TextureTable, EachFileNameIsLookedUpOnceARead)
{
    TextureWorld world;
    PictureFolder folder("lookups");
    const std::string stone = folder.Put("stone.bmp", SolidBmp(2, 2, 0x777777));
    PictureBudget budget;
    world.services->ChargePicturesTo(&budget);
    const std::string spellings[] = {stone, folder.Path() + "STONE.BMP", folder.Path() + ".\\Stone.bmp",
                                      "C:\\qp_nowhere\\Gone.bmp", "C:\\QP_NOWHERE\\.\\gone.BMP"};
    Bytes entries;
    for (int32_t i = 0; i < 50; ++i) Append(entries, Entry(i + 1, Chunk("TXRF", FileReference(spellings[i % 5]))));
    world.BeginTextureSave();
    ASSERT_EQ(ReadTable(world, entries), kResultOk);
    EXPECT_EQ(world.manager->lookups.Asked(), 2);
    EXPECT_EQ(budget.Spent(), 2 * kUnitsPerFileLookup);
    EXPECT_EQ(TextureRecordCount(world.list), 30);
    EXPECT_EQ(world.HolderCount(), 1);
    EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);
    EXPECT_EQ(world.manager->lookups.Asked(), 0);

    // Room for one look-up more: the next new name ends the read, and its entry is void.
    ASSERT_TRUE(budget.Spend(budget.Allowance() - budget.Spent() - 2 * kUnitsPerFileLookup + 1));
    world.BeginTextureSave();
    const Bytes names = Entry(1, Chunk("TXRF", FileReference(stone))) +
                        Entry(2, Chunk("TXRF", FileReference("C:\\qp_nowhere\\a.bmp"))) +
                        Entry(3, Chunk("TXRF", FileReference("C:\\qp_nowhere\\b.bmp")));
    EXPECT_EQ(ReadTable(world, names), kResultPastBudget);
    EXPECT_EQ(world.ui.alerts, std::vector<std::string>{kFileNamesPastBudgetMessage});
    EXPECT_EQ(world.manager->lookups.Asked(), 2);
    EXPECT_EQ(TextureRecordCount(world.list), 31);
    EXPECT_EQ(world.services->CollectUsedTextures(false), kResultOk);
}

// A holder goes with the last record that keeps it: once a model's records are released, after a
// read that went well and after one that was stopped, none of their holders is left, but one that
// a record of another list keeps stays for it. Read again, each file has one holder again.
TEST(TextureTable, HoldersGoWithTheirLastRecord)
{
    TextureWorld world;
    PictureFolder folder("holders");
    const std::string stone = folder.Put("stone.bmp", SolidBmp(2, 2, 0x777777));
    const Bytes entries = Entry(1, Chunk("TXRF", FileReference(stone))) +
                          Entry(2, Chunk("TXRF", FileReference(folder.Path() + "STONE.bmp"))) +
                          Entry(3, Chunk("TXPD", PictureData(0x0000FF, 4, 4)));
    for (int32_t read = 0; read < 3; ++read) {
        world.BeginTextureSave();
        ASSERT_EQ(ReadTable(world, entries), kResultOk);
        EXPECT_EQ(world.HolderCount(), 2);
        EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);
        ReleaseTextureRecords(world.list);
        EXPECT_EQ(world.HolderCount(), 0) << read;
    }

    TextureRecordList* other = NewTextureRecordList();
    TextureRecord* kept = nullptr;
    const PathRecord path = PathOf(stone);
    ASSERT_EQ(CreateTextureRecord(other, "kept", &path, &kept), kResultOk);
    {
        RecordingUi ui;
        ui.stopAfter = 6;  // at the end of the second entry
        world.BeginTextureSave();
        EXPECT_EQ(ReadTable(world, entries), kResultStopped);
        EXPECT_EQ(world.services->CollectUsedTextures(false), kResultOk);
    }
    ASSERT_EQ(TextureRecordCount(world.list), 2);
    EXPECT_EQ(TextureRecordAt(world.list, 1)->holder, kept->holder);
    ReleaseTextureRecords(world.list);
    EXPECT_EQ(world.HolderCount(), 1);
    ReleaseTextureRecords(other);
    FreeTextureRecordList(other);
    EXPECT_EQ(world.HolderCount(), 0);
}

TEST(TextureTable, PicturesFromMemoryStreamsAreKeptInTheItem)
{
    TextureWorld world;
    world.BeginTextureSave();
    TextureRecord* record = NewTextureForIndex(world.manager, 5);
    ASSERT_EQ(ReadTable(world, Entry(5, Name("sky") + Chunk("TXPD", PictureData(0x0000FF, 20, 10)))), kResultOk);
    ASSERT_NE(record->holder, nullptr);
    EXPECT_EQ(record->holder->Kind(), kMediaEmbedded);
    char label[kMediaLabelBytes];
    TextureItemLabel(record, label);
    EXPECT_STREQ(label, "20h x 10v");
    MemPixMap* pixmap = TextureItemProperty(record, 0);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(BoundsSize(pixmap), std::make_pair(32, 16));
    EXPECT_EQ(pixmap->GetRowTable()[3][3], 5 * 36 + 5 * 6);  // blue
    EXPECT_EQ(TextureRecordAt(EmbeddedTextureList, 0), record);

    // A broken picture voids its entry.
    Bytes broken = PictureData(0, 4, 4);
    broken.resize(broken.size() - 10);
    ASSERT_EQ(ReadTable(world, Entry(6, Name("bad") + Chunk("TXPD", broken))), kResultOk);
    EXPECT_EQ(FindTextureByName(world.list, "bad"), nullptr);
    EXPECT_EQ(TextureRecordCount(EmbeddedTextureList), 1);

    // The document's records go, and the embedded list keeps none of them.
    ReleaseTextureRecords(world.list);
    EXPECT_EQ(TextureRecordCount(EmbeddedTextureList), 0);
}

TEST(TextureTable, AnEntryWhoseUsersCannotTakeItsPictureEndsTheRead)
{
    TextureWorld world;
    PictureFolder folder("undecodable");
    const std::string broken = folder.Put("broken.bmp", {'B', 'M', 1, 2, 3});
    const std::string good = folder.Put("good.bmp", SolidBmp(2, 2, 0x336699));
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    // Each case: the records of indices 1 and 2 with a user each, then the table.
    auto read = [&](const Bytes& entries, TextureRecord** second) {
        world.BeginTextureSave();
        object->SurfaceForFace(0)->BindSideTexture(NewTextureForIndex(world.manager, 1), kSideFront);
        *second = NewTextureForIndex(world.manager, 2);
        object->SurfaceForFace(1)->BindSideTexture(*second, kSideFront);
        const ResultCode result = ReadTable(world, entries);
        EXPECT_EQ(world.services->CollectUsedTextures(true), kResultOk);
        return result;
    };
    const Bytes later = Entry(2, Name("later") + Chunk("TXRF", FileReference(good)));
    TextureRecord* second = nullptr;

    // A picture file that is there but cannot be decoded: its reader says why, the read stops
    // with the picture's status, and the entries after it are not read.
    EXPECT_EQ(read(Entry(1, Name("broken") + Chunk("TXRF", FileReference(broken))) + later, &second),
              kResultNoPicture);
    EXPECT_EQ(world.ui.alerts, std::vector<std::string>{"Unrecognized BMP format.  Cannot load bitmap broken.bmp"});
    EXPECT_STREQ(second->name, "<UNINITIALIZED>");
    EXPECT_EQ(object->SurfaceOfFace(0)->FrontTexture->useCount, 0);

    // An entry that names no picture for the users waiting on it ends the read too, silently.
    world.ui.alerts.clear();
    EXPECT_EQ(read(Entry(1, Name("bare")) + later, &second), kResultFailed);
    EXPECT_STREQ(second->name, "<UNINITIALIZED>");
    EXPECT_TRUE(world.ui.alerts.empty());

    // A picture file found nowhere still voids only its own entry.
    EXPECT_EQ(read(Entry(1, Name("gone") + Chunk("TXRF", FileReference("C:\\qp_nowhere\\gone.bmp"))) + later,
                   &second),
              kResultOk);
    EXPECT_EQ(object->SurfaceOfFace(0)->FrontTexture, nullptr);
    EXPECT_STREQ(second->name, "later");
    EXPECT_EQ(second->useCount, 1);
    object->Destroy();
}

TEST(TextureTable, StopInTheProgressWindowEndsTheReadAndDropsTheEntry)
{
    TextureWorld world;
    RecordingUi ui;
    ui.stopAfter = 3;
    world.BeginTextureSave();
    const Bytes entries = Entry(1, Name("one")) + Entry(2, Name("two") + Chunk("TXST", Settings()));
    EXPECT_EQ(ReadTable(world, entries), kResultStopped);
    EXPECT_NE(FindTextureByName(world.list, "one"), nullptr);
    EXPECT_EQ(FindTextureByName(world.list, "two"), nullptr);
}

TEST(TextureTable, SettingsAndNamesAreWrittenByteForByte)
{
    TextureWorld world;
    MemoryStream out;
    StartWriting(out);
    world.services->BeginTextureSave(&out);
    TextureRecord* record = new TextureRecord(world.list);
    SetTextureName(record, "tile");
    record->attributes[1] = -3;
    record->attributes[15] = 7;
    EXPECT_EQ(AssignTextureIndex(world.manager, nullptr), kNoTextureIndex);
    EXPECT_EQ(AssignTextureIndex(world.manager, record), 1);
    EXPECT_EQ(AssignTextureIndex(world.manager, record), 1);
    ASSERT_EQ(WriteTextureTable(world.manager, &out), kResultOk);
    EXPECT_EQ(Contents(out), Chunk("TXTB", Chunk("TXTE", Chunk("TXID", Word32(1)) + Name("tile") +
                                                             Chunk("TXST", Settings()))));
    // The numbering ends with the table: the record's users count again.
    EXPECT_EQ(record->saveIndex, -1);
    EXPECT_EQ(world.manager->saveList, nullptr);
    // Nothing numbered, nothing written.
    MemoryStream empty;
    StartWriting(empty);
    world.services->BeginTextureSave(&empty);
    ASSERT_EQ(world.services->WriteTextureTable(&empty), kResultOk);
    EXPECT_TRUE(Contents(empty).empty());
}

TEST(TextureTable, DuplicatesMergeWhenNameFileAndSettingsAgree)
{
    TextureWorld world;
    PictureFolder folder("merge");
    const PathRecord path = PathOf(folder.Put("m.bmp", SolidBmp(2, 2, 0)));
    TextureRecord* keep = nullptr;
    TextureRecord* twin = nullptr;
    ASSERT_EQ(CreateTextureRecord(world.list, "m", &path, &keep), kResultOk);
    ASSERT_EQ(CreateTextureRecord(world.list, "m", &path, &twin), kResultOk);
    SetTextureName(twin, "m");
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    object->SetSurfaceTexture(twin, kSideFront);
    EXPECT_TRUE(SameTextureFile(keep, twin));
    EXPECT_EQ(MergeDuplicateTexture(keep, twin), 1);
    EXPECT_EQ(object->FrontTexture, keep);
    twin->attributes[3] = 9;
    EXPECT_EQ(MergeDuplicateTexture(keep, twin), 0);
    EXPECT_STREQ(twin->name, "m+");
    EXPECT_EQ(MergeSameNamedTexture(keep, twin), 0);
    SetTextureName(twin, "m");
    object->SetSurfaceTexture(twin, kSideBack);
    EXPECT_EQ(MergeSameNamedTexture(keep, twin), 1);
    EXPECT_EQ(object->BackTexture, keep);
    object->Destroy();
}

class ModelRoundTrip : public testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, ModelRoundTrip, testing::Bool());

TEST_P(ModelRoundTrip, AModelWithEmbeddedAndFileTexturesReadsBack)
{
    const bool scrambled = GetParam();
    TextureWorld world;
    PictureFolder folder(scrambled ? "scrambled" : "model");
    std::filesystem::create_directories(folder.Path() + "tex");
    const std::string wood = folder.Put("tex\\wood.bmp", SolidBmp(5, 3, 0x00FF00));
    const std::string modelPath = folder.Path() + "room.qpy";
    Bytes embedded;
    {
        ModelDocument* document = new ModelDocument;
        ASSERT_EQ(document->Init(), kResultOk);
        ModelObject* box = MakePrimitiveOf(document->Holder, 3, 1, 1, kSquare, 0, 10);
        document->Holder->Root->AddChild(box);
        TextureRecord* painted = new TextureRecord(world.list);
        SetTextureName(painted, "painted");
        painted->attributes[11] = 3 * 0x10000;
        ASSERT_EQ(MakeEmbeddedPictureTexture(painted), kResultOk);
        auto picture = MakeOffscreen(8, 4, 32);
        for (int32_t y = 0; y < 4; y++)
            for (int32_t x = 0; x < 8; x++) picture->SetPixelColor(x, y, x < 4 ? RGBColor48{0xFFFF, 0, 0} : RGBColor48{0, 0, 0});
        ASSERT_EQ(SetTexturePicture(painted, picture.get()), kResultOk);
        MemPixMap* pixmap = TextureItemProperty(painted, 0);
        embedded.assign(pixmap->GetPixelBits(), pixmap->GetPixelBits() + pixmap->GetRowStride() * 4);
        const PathRecord woodPath = PathOf(wood);
        TextureRecord* grain = nullptr;
        ASSERT_EQ(CreateTextureRecord(world.list, "grain", &woodPath, &grain), kResultOk);
        box->SurfaceForFace(1)->SetSideTexture(painted, kSideFront);
        box->SetSurfaceTexture(grain, kSideBoth);
        EXPECT_EQ(grain->useCount, 2);

        Owned<DiskFileStream> file = MakeFile(kFileReference);
        IgnoreResult(file->SetFileFromPath(modelPath.c_str()));
        IgnoreResult(file->StreamSetDirection(kStreamWriting));
        ASSERT_EQ(file->FileOpenStream(), kResultOk);
        if (scrambled) file->StreamScrambleOn();
        ASSERT_EQ(WriteModelFile(document, file.get()), kResultOk);
        IgnoreResult(file->FileCloseStream());
        document->Destroy();
        ReleaseTextureRecords(world.list);
    }
    // The model moves, its texture now beside it.
    PictureFolder moved(scrambled ? "moved_scrambled" : "moved_model");
    std::filesystem::copy_file(modelPath, moved.Path() + "room.qpy");
    std::filesystem::copy_file(wood, moved.Path() + "wood.bmp");
    std::filesystem::remove_all(folder.Path());

    Owned<DiskFileStream> file = MakeFile(kFileFromPath);
    IgnoreResult(file->SetFileFromPath((moved.Path() + "room.qpy").c_str()));
    IndexImageResources(file.get());
    ASSERT_EQ(file->FileOpenStream(), kResultOk);
    if (scrambled) file->StreamScrambleOn();
    ModelDocument* document = new ModelDocument;
    ASSERT_EQ(document->Init(), kResultOk);
    ASSERT_EQ(document->ReadModelFile(file.get()), kResultOk);
    file->StreamScrambleOff();
    EXPECT_EQ(world.services->TextureTableCount(), 2);
    IgnoreResult(file->FileCloseStream());

    ModelObject* box = document->Holder->Root->ChildAt(0);
    ASSERT_NE(box, nullptr);
    TextureRecord* grain = box->FrontTexture;
    ASSERT_NE(grain, nullptr);
    EXPECT_EQ(box->BackTexture, grain);
    EXPECT_STREQ(grain->name, "grain");
    EXPECT_EQ(grain->holder->Kind(), kMediaBmp);
    char name[kPathLength];
    TextureItemFileName(grain, name);
    EXPECT_EQ(std::string(name), moved.Path() + "wood.bmp");
    EXPECT_EQ(grain->useCount, 2);

    TextureRecord* painted = box->SurfaceOfFace(1)->FrontTexture;
    ASSERT_NE(painted, nullptr);
    EXPECT_STREQ(painted->name, "painted");
    EXPECT_EQ(painted->attributes[11], 3 * 0x10000);
    EXPECT_EQ(painted->holder->Kind(), kMediaEmbeddedData);
    EXPECT_EQ(painted->useCount, 1);
    MemPixMap* pixmap = TextureItemProperty(painted, 0);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(Bytes(pixmap->GetPixelBits(), pixmap->GetPixelBits() + pixmap->GetRowStride() * 4), embedded);
    // The read handed its decoded picture over; loaded again from the file, it is the same.
    painted->holder->MediaHolderUnload();
    ASSERT_EQ(painted->holder->MediaHolderLoad(), kResultOk);
    pixmap = TextureItemProperty(painted, 0);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(Bytes(pixmap->GetPixelBits(), pixmap->GetPixelBits() + pixmap->GetRowStride() * 4), embedded);
    PortRect frame;
    TextureItemFrameRect(painted, &frame, 0);
    EXPECT_EQ(frame.right, 8);
    EXPECT_EQ(frame.bottom, 4);
    EXPECT_TRUE(world.ui.alerts.empty());
    document->Destroy();
    EXPECT_EQ(grain->useCount, 0);
    EXPECT_EQ(TextureItemProperty(painted, 0), nullptr);
}

TEST(TextureTable, ModelFilesAddedAsTextureSourcesBringTheirTextures)
{
    TextureWorld world;
    PictureFolder folder("source");
    const std::string bmp = folder.Put("a.bmp", SolidBmp(2, 2, 0));
    const Bytes model = Chunk("FORM", Tag("QMDL") + Chunk("VERS", Word32(0x01000000)) +
                                          Chunk("TXTB", Entry(1, Name("lib") + Chunk("TXRF", FileReference(bmp)))));
    const std::string trk = folder.Put("set.trk", model);
    const PathRecord path = PathOf(trk);
    EXPECT_EQ(AddTextureFile(world.list, &path), kResultOk);
    TextureRecord* added = FindTextureByName(world.list, "lib");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->holder->Kind(), kMediaBmp);
    EXPECT_EQ(added->saveIndex, -1);
    // Pictures are added by name; other files add nothing.
    const PathRecord picture = PathOf(bmp);
    EXPECT_EQ(AddTextureFile(world.list, &picture), kResultOk);
    EXPECT_NE(FindTextureByName(world.list, "a.bmp"), nullptr);
    const PathRecord other = PathOf(folder.Put("x.txt", {1}));
    EXPECT_EQ(AddTextureFile(world.list, &other), kResultOk);
    EXPECT_EQ(TextureRecordCount(world.list), 2);

    // A list of paths stops at the first failure with the alert.
    DynamicArray* paths = NewDynamicArray(0, int32_t(sizeof(PathRecord)), 1);
    const PathRecord pict = PathOf(folder.Path() + "p.pic");
    paths->Append(&pict);
    paths->Append(&picture);
    EXPECT_EQ(AddTextureFiles(world.list, paths), -1);
    EXPECT_EQ(world.ui.alerts, std::vector<std::string>{"Couldn't load all the textures.  Memory may be low."});
    EXPECT_EQ(TextureRecordCount(world.list), 2);
    paths->Destroy();
}

TEST(TextureTable, TextureSourcesNestedTooDeepFailWithoutExhaustingTheStack)
{
    TextureWorld world;
    PictureFolder folder("nested");
    auto nested = [](int32_t forms, const char* name) {
        Bytes bytes = Chunk("TXTB", Entry(1, Name(name)));
        for (int32_t i = 0; i < forms; ++i) bytes = Chunk("FORM", Tag("QMDL") + bytes);
        return bytes;
    };
    // Forms inside forms are read as deep as the scene reader follows children.
    const PathRecord deepest = PathOf(folder.Put("deepest.tlb", nested(kMaxReadDepth, "deepest")));
    EXPECT_EQ(AddTextureFile(world.list, &deepest), kResultOk);
    EXPECT_NE(FindTextureByName(world.list, "deepest"), nullptr);
    // One form more fails the file; so does a file of nothing but form headers, a hundred
    // thousand deep, which used to exhaust the stack.
    const PathRecord deeper = PathOf(folder.Put("deeper.tlb", nested(kMaxReadDepth + 1, "deeper")));
    EXPECT_EQ(AddTextureFile(world.list, &deeper), kResultTooDeep);
    EXPECT_EQ(FindTextureByName(world.list, "deeper"), nullptr);
    Bytes headers;
    for (int32_t i = 0; i < 100000; ++i) Append(headers, Tag("FORM") + Word32(0x7FFFFFFF) + Tag("QMDL"));
    DynamicArray* paths = NewDynamicArray(0, int32_t(sizeof(PathRecord)), 1);
    const PathRecord headerFile = PathOf(folder.Put("headers.tlb", headers));
    paths->Append(&headerFile);
    EXPECT_EQ(AddTextureFiles(world.list, paths), kResultTooDeep);
    EXPECT_EQ(world.ui.alerts, std::vector<std::string>{"Couldn't load all the textures.  Memory may be low."});
    paths->Destroy();
}
