// Texture records on Windows: names made unique, pictures bound by file type and shared by
// path, decoded once on first use into power-of-two pixmaps and released after the last use,
// use counts that never go below 0, users moved between records, and a watched refresh.
#include <gtest/gtest.h>

#include <cstring>

#include "draw/color_cube.h"
#include "draw/mem_pix_map.h"
#include "draw/raster_globals.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "model/polygon_element.h"
#include "model/surface.h"
#include "tests/model/model_test_support.h"
#include "tests/textures/texture_world.h"
#include "textures/media_item.h"
#include "textures/offscreen_jpeg_writer.h"

namespace {

TextureRecord* Create(TextureWorld& world, const char* name, const std::string& path, ResultCode* result = nullptr)
{
    TextureRecord* record = nullptr;
    const PathRecord where = PathOf(path);
    const ResultCode status = CreateTextureRecord(world.list, name, &where, &record);
    if (result) *result = status;
    return record;
}

}  // namespace

TEST(TextureRecord, NamesAreMadeUniqueWithinTheField)
{
    TextureWorld world;
    PictureFolder folder("names");
    const std::string wood = folder.Put("wood.bmp", SolidBmp(2, 2, 0x804020));
    ResultCode result;
    TextureRecord* first = Create(world, "wood", wood, &result);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(result, kResultOk);
    EXPECT_STREQ(first->name, "wood");
    EXPECT_EQ(first->attributes[2], 1);
    EXPECT_EQ(first->attributes[13], 32 * 0x10000);
    EXPECT_EQ(first->saveIndex, -1);
    // A listed name gives another record named with "+", even when its file fails.
    TextureRecord* second = Create(world, "wood", folder.Path() + "wood.pic", &result);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(result, kResultOk);
    EXPECT_STREQ(second->name, "wood+");
    EXPECT_EQ(second->holder, nullptr);
    EXPECT_STREQ(Create(world, "wood", wood)->name, "wood++");
    EXPECT_EQ(TextureRecordCount(world.list), 3);

    // A name that fills the field gives up characters before its "+" instead of growing.
    const std::string full(63, 'x');
    Create(world, full.c_str(), wood);
    TextureRecord* again = Create(world, full.c_str(), wood);
    TextureRecord* third = Create(world, full.c_str(), wood);
    EXPECT_EQ(std::string(again->name), std::string(62, 'x') + "+");
    EXPECT_EQ(std::string(third->name), std::string(61, 'x') + "++");
    EXPECT_EQ(CloneTextureRecord(third)->name, std::string(60, 'x') + "+++");

    // Unknown types and pictures that are not files leave no record.
    EXPECT_EQ(Create(world, "note", folder.Path() + "note.txt", &result), nullptr);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Create(world, "pict", folder.Path() + "pict.pic", &result), nullptr);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(FindTextureByName(world.list, "note"), nullptr);
    EXPECT_EQ(FindTextureByNameExcept(world.list, "wood", first), nullptr);
    EXPECT_EQ(FindTextureByName(world.list, "wood++")->holder, first->holder);
}

TEST(TextureRecord, FilesOfOnePathShareAHolderAndDecodeOnce)
{
    TextureWorld world;
    PictureFolder folder("share");
    const std::string red = folder.Put("red.dib", SolidBmp(100, 60, 0xFF0000));
    TextureRecord* a = Create(world, "a", red);
    TextureRecord* b = Create(world, "b", red);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->holder, b->holder);
    EXPECT_EQ(a->holder->Kind(), kMediaBmp);  // a DIB file is read as a BMP
    EXPECT_EQ(world.HolderCount(), 1);
    char type[kMediaTypeNameBytes];
    TextureItemTypeName(a, type);
    EXPECT_STREQ(type, "BMP");
    char file[kPathLength];
    TextureItemFileName(a, file);
    EXPECT_EQ(std::string(file), red);

    Scene scene;
    ModelObject* user = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Surface* surface = user->SurfaceForFace(0);
    ASSERT_EQ(TextureAddSurfaceUser(a, surface), kResultOk);
    MemPixMap* pixmap = TextureItemProperty(a, 0);
    ASSERT_NE(pixmap, nullptr);
    // 100 x 60 becomes 128 x 64; the frame keeps the picture's own size.
    PortRect bounds;
    TextureItemBounds(a, &bounds, 0);
    EXPECT_EQ(bounds.right, 128);
    EXPECT_EQ(bounds.bottom, 64);
    TextureItemFrameRect(b, &bounds, 0);
    EXPECT_EQ(bounds.right, 100);
    EXPECT_EQ(bounds.bottom, 60);
    for (int32_t y = 0; y < 64; y += 7)
        for (int32_t x = 0; x < 128; x += 9) ASSERT_EQ(pixmap->GetRowTable()[y][x], 5 * 6 + 5) << x << "," << y;

    // The file is gone, but the picture is loaded: more users decode nothing.
    folder.Remove("red.dib");
    ASSERT_EQ(TextureAddSurfaceUser(b, surface), kResultOk);
    ASSERT_EQ(TextureAddObjectUser(b, user), kResultOk);
    EXPECT_EQ(TextureItemProperty(b, 0), pixmap);
    EXPECT_EQ(a->holder->UseCount(), 3);
    EXPECT_EQ(a->useCount, 1);
    EXPECT_EQ(b->useCount, 2);

    // Released only when both have removed every user; then loading decodes again.
    TextureRemoveSurfaceUser(a, surface);
    TextureRemoveSurfaceUser(b, surface);
    EXPECT_EQ(TextureItemProperty(a, 0), pixmap);
    TextureRemoveObjectUser(b, user);
    EXPECT_EQ(TextureItemProperty(a, 0), nullptr);
    EXPECT_EQ(a->holder->UseCount(), 0);
    EXPECT_NE(TextureAddSurfaceUser(a, surface), kResultOk);
    EXPECT_EQ(a->useCount, 0);
    user->Destroy();
}

// Every spelling of one file's name (letters in either case, folders ".", either slash) finds the
// one holder of the file, which decodes it once: its opening and its picture spend once on the
// picture budget of the model read last, and its bytes count once. A picture that the budget
// refuses, or a file it cannot open, leaves its user without a picture, the reason said; once the
// budget's model is gone, pictures spend on none.
TEST(TextureRecord, SpellingsOfOneFileShareOneHolderAndOneDecode)
{
    TextureWorld world;
    PictureFolder folder("paths");
    const Bytes picture = SolidBmp(8, 8, 0xFF0000);
    const std::string red = folder.Put("red.bmp", picture);
    const Bytes bluePicture = SolidBmp(8, 8, 0x0000FF);
    const std::string blue = folder.Put("blue.bmp", bluePicture);
    PictureBudget budget;
    world.services->ChargePicturesTo(&budget);
    TextureRecord* records[] = {Create(world, "a", red), Create(world, "b", folder.Path() + ".\\red.bmp"),
                                Create(world, "c", folder.Path() + "RED.BMP"),
                                Create(world, "d", folder.Path() + ".\\.\\\\Red.Bmp"),
                                Create(world, "e", folder.Path() + "./rEd.bmp")};
    for (TextureRecord* record : records) {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->holder, records[0]->holder) << record->name;
    }
    EXPECT_EQ(world.HolderCount(), 1);
    Scene scene;
    ModelObject* user = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Surface* surface = user->SurfaceForFace(0);
    for (TextureRecord* record : records) ASSERT_EQ(TextureAddSurfaceUser(record, surface), kResultOk) << record->name;
    EXPECT_EQ(records[0]->holder->UseCount(), 5);
    EXPECT_EQ(budget.BytesRead(), int64_t(picture.size()));
    EXPECT_EQ(budget.Spent(), kUnitsPerFileOpen + PictureUnits(8, 8));

    // No room for the opening of another file; then room for it but not for its picture (the
    // file's bytes it opens with add to the allowance).
    TextureRecord* other = Create(world, "f", blue);
    ASSERT_NE(other->holder, records[0]->holder);
    ASSERT_TRUE(budget.Spend(budget.Allowance() - budget.Spent() - kUnitsPerFileOpen + 1));
    EXPECT_NE(TextureAddSurfaceUser(other, surface), kResultOk);
    budget.Begin();
    const int64_t blueUnits = kPictureUnitsPerByte * int64_t(bluePicture.size());
    ASSERT_TRUE(budget.Spend(budget.Allowance() + blueUnits - kUnitsPerFileOpen - PictureUnits(8, 8) + 1));
    EXPECT_NE(TextureAddSurfaceUser(other, surface), kResultOk);
    EXPECT_EQ(TextureItemProperty(other, 0), nullptr);
    EXPECT_EQ(world.ui.alerts, (std::vector<std::string>{WithName(kFileOpenPastBudgetMessage, "blue.bmp"),
                                                         WithName(kPicturePastBudgetMessage, "blue.bmp")}));
    world.services->ForgetPictureBudget(&budget);
    EXPECT_EQ(TextureAddSurfaceUser(other, surface), kResultOk);
    EXPECT_NE(TextureItemProperty(other, 0), nullptr);
    user->Destroy();
}

TEST(TextureRecord, JpegFilesDecodeIntoTheirPixmaps)
{
    TextureWorld world;
    PictureFolder folder("jpeg");
    auto picture = MakeOffscreen(20, 12, 32);
    for (int32_t y = 0; y < 12; y++)
        for (int32_t x = 0; x < 20; x++) picture->SetPixelColor(x, y, {0, 0, 0xFFFF});
    MemoryStream stream;
    StartWriting(stream);
    auto* writer = new OffscreenJpegWriter(&stream, picture.get());
    ASSERT_EQ(writer->Write(), kResultOk);
    writer->Destroy();
    const std::string sky = folder.Put("sky.jpg", Contents(stream));
    TextureRecord* record = Create(world, "sky", sky);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->holder->Kind(), kMediaJpeg);
    char type[kMediaTypeNameBytes];
    TextureItemTypeName(record, type);
    EXPECT_STREQ(type, "JPEG");
    ASSERT_EQ(AcquireTexture(record), kResultOk);
    MemPixMap* pixmap = TextureItemProperty(record, 0);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(BoundsSize(pixmap), std::make_pair(32, 16));
    EXPECT_EQ(pixmap->GetRowTable()[8][16], 5 * 36 + 5 * 6);  // blue
    ReleaseTexture(record);

    // A file that is not a JPEG: the library's message, and no picture.
    const std::string bad = folder.Put("bad.jpg", {'n', 'o', 't', 'j', 'p', 'g'});
    TextureRecord* broken = Create(world, "bad", bad);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(AcquireTexture(broken), kResultNoPicture);
    EXPECT_EQ(TextureItemProperty(broken, 0), nullptr);
    ASSERT_EQ(world.ui.alerts.size(), 1u);
    EXPECT_EQ(world.ui.alerts[0].rfind("Not a JPEG file", 0), 0u);
}

TEST(TextureRecord, UsesAreCountedPerUserAndNeverGoBelowZero)
{
    TextureWorld world;
    PictureFolder folder("counts");
    const std::string good = folder.Put("good.bmp", SolidBmp(4, 4, 0x0000FF));
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Surface* one = object->SurfaceForFace(0);
    Surface* two = object->SurfaceForFace(1);
    TextureRecord* record = Create(world, "good", good);
    ASSERT_NE(record, nullptr);

    // The same user twice: two entries and two uses; one removal takes one.
    ASSERT_EQ(TextureAddSurfaceUser(record, one), kResultOk);
    ASSERT_EQ(TextureAddSurfaceUser(record, one), kResultOk);
    EXPECT_EQ(record->surfaceUsers->ArrayCount(), 2);
    EXPECT_EQ(record->useCount, 2);
    TextureRemoveSurfaceUser(record, one);
    EXPECT_EQ(record->surfaceUsers->ArrayCount(), 1);
    EXPECT_EQ(record->useCount, 1);
    TextureRemoveSurfaceUser(record, two);  // not a user: nothing changes
    EXPECT_EQ(record->useCount, 1);
    TextureRemoveSurfaceUser(record, one);
    EXPECT_EQ(record->useCount, 0);
    EXPECT_EQ(record->holder->UseCount(), 0);

    // Users leaving together (a tree destroyed) go in one pass, each from the end of the list as
    // often as it leaves, and end their uses as one by one; a user not in the list changes nothing.
    for (Surface* user : {one, two, one}) ASSERT_EQ(TextureAddSurfaceUser(record, user), kResultOk);
    std::vector<LeavingUser> leaving = {{record, LeavingUser::kSurfaces, one}, {record, LeavingUser::kObjects, one}};
    RemoveLeavingUsers(&leaving);
    ASSERT_EQ(record->surfaceUsers->ArrayCount(), 2);
    EXPECT_EQ(PointerAt<Surface>(record->surfaceUsers, 0), one);
    EXPECT_EQ(PointerAt<Surface>(record->surfaceUsers, 1), two);
    EXPECT_EQ(record->useCount, 2);
    leaving = {{record, LeavingUser::kSurfaces, two}, {record, LeavingUser::kSurfaces, one}};
    RemoveLeavingUsers(&leaving);
    EXPECT_EQ(record->surfaceUsers->ArrayCount(), 0);
    EXPECT_EQ(record->useCount, 0);
    EXPECT_EQ(record->holder->UseCount(), 0);

    // A failed first load takes no use; removing that user later leaves the picture that
    // another record of the same file loaded meanwhile.
    folder.Remove("good.bmp");
    EXPECT_NE(TextureAddSurfaceUser(record, one), kResultOk);
    EXPECT_EQ(record->useCount, 0);
    EXPECT_EQ(world.ui.alerts.size(), 0u);  // a missing file opens nothing and says nothing
    folder.Put("good.bmp", SolidBmp(4, 4, 0x0000FF));
    TextureRecord* other = Create(world, "other", good);
    ASSERT_EQ(other->holder, record->holder);
    ASSERT_EQ(TextureAddSurfaceUser(other, two), kResultOk);
    TextureRemoveSurfaceUser(record, one);
    EXPECT_EQ(record->useCount, 0);
    EXPECT_EQ(record->holder->UseCount(), 1);
    EXPECT_NE(TextureItemProperty(other, 0), nullptr);

    // While a record awaits its texture table entry, users are only recorded.
    record->saveIndex = 4;
    ASSERT_EQ(TextureAddSurfaceUser(record, one), kResultOk);
    EXPECT_EQ(record->useCount, 0);
    TextureRemoveSurfaceUser(record, one);
    EXPECT_EQ(record->surfaceUsers->ArrayCount(), 0);
    EXPECT_EQ(record->holder->UseCount(), 1);

    // Locks count on the holder too; a release without a lock changes nothing.
    record->saveIndex = -1;
    ASSERT_EQ(AcquireTexture(record), kResultOk);
    EXPECT_EQ(record->lockCount, 1);
    EXPECT_EQ(record->holder->UseCount(), 2);
    ReleaseTexture(record);
    ReleaseTexture(record);
    EXPECT_EQ(record->lockCount, 0);
    EXPECT_EQ(record->holder->UseCount(), 1);
    TextureRemoveSurfaceUser(other, two);
    EXPECT_EQ(TextureItemProperty(other, 0), nullptr);
    object->Destroy();
}

TEST(TextureRecord, OnlyAnObjectUserPublishesTheLockedOffscreenAgain)
{
    // Decoding a picture publishes the reader's offscreen. Adding a scene object publishes the
    // offscreen that was published before again; adding a surface leaves that to its caller.
    TextureWorld world;
    PictureFolder folder("publish");
    TextureRecord* onSurface = Create(world, "surface", folder.Put("surface.bmp", SolidBmp(4, 4, 0x00FF00)));
    TextureRecord* onObject = Create(world, "object", folder.Put("object.bmp", SolidBmp(4, 4, 0xFF0000)));
    ASSERT_NE(onSurface, nullptr);
    ASSERT_NE(onObject, nullptr);
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    auto target = MakeOffscreen(8, 8, 0);
    IgnoreResult(target->Lock());
    ASSERT_EQ(PublishedOffscreen, target.get());
    ASSERT_EQ(TextureAddSurfaceUser(onSurface, object->SurfaceForFace(0)), kResultOk);
    EXPECT_NE(PublishedOffscreen, target.get());
    target->PublishRasterGlobals();
    ASSERT_EQ(TextureAddObjectUser(onObject, object), kResultOk);
    EXPECT_EQ(PublishedOffscreen, target.get());
    EXPECT_EQ(onObject->useCount, 1);
    target->Unlock();
    TextureRemoveSurfaceUser(onSurface, object->SurfaceForFace(0));
    TextureRemoveObjectUser(onObject, object);
    object->Destroy();
}

TEST(TextureRecord, UsersMoveBetweenRecordsAndLeaveWhenDetached)
{
    TextureWorld world;
    PictureFolder folder("users");
    const std::string one = folder.Put("one.bmp", SolidBmp(2, 2, 0x00FF00));
    const std::string two = folder.Put("two.bmp", SolidBmp(2, 2, 0xFFFFFF));
    TextureRecord* first = Create(world, "one", one);
    TextureRecord* second = Create(world, "two", two);
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Surface* face = object->SurfaceForFace(2);
    object->SetSurfaceTexture(first, kSideBoth);
    face->SetSideTexture(first, kSideFront);
    EXPECT_EQ(first->objectUsers->ArrayCount(), 2);
    EXPECT_EQ(first->surfaceUsers->ArrayCount(), 1);
    EXPECT_EQ(first->useCount, 3);

    ReplaceTextureInUsers(first, second);
    EXPECT_EQ(object->FrontTexture, second);
    EXPECT_EQ(object->BackTexture, second);
    EXPECT_EQ(face->FrontTexture, second);
    EXPECT_EQ(first->objectUsers->ArrayCount() + first->surfaceUsers->ArrayCount(), 0);
    EXPECT_EQ(first->useCount, 0);
    EXPECT_EQ(second->useCount, 3);
    EXPECT_EQ(TextureItemProperty(first, 0), nullptr);

    // Same-named duplicates merge their users into the record kept.
    TextureRecord* copy = CloneTextureRecord(second);
    EXPECT_STREQ(copy->name, "two+");
    face->SetSideTexture(copy, kSideBack);
    EXPECT_EQ(copy->useCount, 1);

    DetachTextureUsers(second);
    EXPECT_EQ(second->objectUsers->ArrayCount(), 0);
    EXPECT_EQ(second->surfaceUsers->ArrayCount(), 0);
    EXPECT_EQ(second->useCount, 0);
    EXPECT_EQ(object->FrontTexture, nullptr);
    EXPECT_EQ(face->FrontTexture, nullptr);
    // The surface's other side, which shows the copy, keeps it.
    EXPECT_EQ(face->BackTexture, copy);
    EXPECT_EQ(copy->useCount, 1);
    object->Destroy();
}

TEST(MediaItem, SidesRoundToPowersOfTwoAndEmbeddedPicturesAreLabelled)
{
    for (const auto& [side, rounded] : {std::pair{0, 2}, {1, 2}, {2, 2}, {3, 4}, {1024, 1024}, {1025, 1024}, {100000, 1024}})
        EXPECT_EQ(TextureSide(side), rounded) << side;

    TextureWorld world;
    TextureRecord* record = new TextureRecord(world.list);
    ASSERT_EQ(MakeEmbeddedPictureTexture(record), kResultOk);
    auto picture = MakeOffscreen(32, 16, 32, nullptr);
    const RGBColor48 green = {0, 0xFFFF, 0};
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 32; x++) picture->SetPixelColor(x, y, green);
    ASSERT_EQ(SetTexturePicture(record, picture.get()), kResultOk);
    char label[kMediaLabelBytes];
    TextureItemLabel(record, label);
    EXPECT_STREQ(label, "32h x 16v");
    MemPixMap* pixmap = TextureItemProperty(record, 0);
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(pixmap->GetRowTable()[7][20], 5 * 36 + 5);
    // A second picture changes nothing; embedded pictures stay when unloaded.
    EXPECT_EQ(SetTexturePicture(record, nullptr), kResultOk);
    UnloadTextureMedia(record);
    EXPECT_EQ(TextureItemProperty(record, 0), pixmap);
    EXPECT_EQ(FirstEmbeddedPixmap(world.list), nullptr);  // not in use
    ASSERT_EQ(AcquireTexture(record), kResultOk);
    EXPECT_EQ(FirstEmbeddedPixmap(world.list), nullptr);  // locked, but no user
    ReleaseTexture(record);

    // A plain holder refuses a file and loads no picture.
    MediaHolder* plain = NewMediaHolder(world.manager, kMediaPict);
    const PathRecord somewhere = PathOf("C:\\x.pic");
    EXPECT_EQ(SetHolderFile(plain, &somewhere), -1);
    EXPECT_EQ(plain->MediaHolderLoad(), kResultOk);
    EXPECT_EQ(plain->HolderPixmap(0), nullptr);
    char name[kPathLength];
    plain->HolderFileName(name);
    EXPECT_STREQ(name, "blah");
}

TEST(MediaItem, AHolderPathThatFitsNoRecordIsEmpty)
{
    // A file without an extension in a directory as long as a path may be: the full path, with
    // the point after the name, is one character too long for a path record.
    TextureWorld world;
    MediaHolder* holder = NewMediaHolder(world.manager, kMediaBmp);
    const PathRecord longest = PathOf("C:\\" + std::string(size_t(kPathLength) - 6, 'D') + "\\N");
    ASSERT_EQ(SetHolderFile(holder, &longest), kResultOk);
    PathRecord given;
    std::memset(&given, 'x', sizeof given);
    GetHolderPath(holder, &given);
    EXPECT_EQ(given.text[0], '\0');
    DestroyMediaHolder(holder);
}

TEST(MediaItem, EmbeddedHoldersAreFoundByChunkAndPathWhileTheyLive)
{
    TextureWorld world;
    const PathRecord a = PathOf("C:\\models\\a.qpy");
    const PathRecord b = PathOf("C:\\models\\b.qpy");
    auto embedded = [&](const PathRecord& path, int32_t position) {
        MediaHolder* holder = NewMediaHolder(world.manager, kMediaEmbeddedData);
        EXPECT_EQ(SetEmbeddedDataPosition(holder, position), kResultOk);
        EXPECT_EQ(SetHolderFile(holder, &path), kResultOk);
        return holder;
    };
    MediaHolder* first = embedded(a, 100);
    MediaHolder* other = embedded(b, 100);
    MediaHolder* twin = embedded(a, 100);
    auto find = [&](const PathRecord& path, int32_t position) {
        return FindEmbeddedHolder(world.manager, &path, position);
    };
    EXPECT_EQ(find(a, 100), first);  // the first of the list
    EXPECT_EQ(find(b, 100), other);
    EXPECT_EQ(find(a, 200), nullptr);
    ASSERT_EQ(SetEmbeddedDataPosition(first, 200), kResultOk);
    EXPECT_EQ(find(a, 200), first);
    EXPECT_EQ(find(a, 100), twin);
    DestroyMediaHolder(twin);
    EXPECT_EQ(find(a, 100), nullptr);
    DestroyMediaHolder(first);
    EXPECT_EQ(find(a, 200), nullptr);
    EXPECT_EQ(find(b, 100), other);
}

TEST(MediaItem, AnEmbeddedPictureGoesWithItsItem)
{
    // Embedded pictures are never unloaded, so deleting the item is what frees them.
    struct WatchedPixMap : MemPixMap {
        ~WatchedPixMap() override { *gone = true; }
        bool* gone = nullptr;
    };
    struct Item : EmbeddedPictureItem {
        void Keep(MemPixMap* pixmap) { levels_[0] = pixmap; }
    };
    TextureWorld world;
    bool gone = false;
    auto* pixmap = new WatchedPixMap;
    pixmap->gone = &gone;
    ASSERT_EQ(pixmap->MemPixMapInit({0, 0, 8, 8}, 8), kResultOk);
    auto* item = new Item;
    item->MediaItemInit();
    item->Keep(pixmap);
    item->Unload();
    EXPECT_FALSE(gone);
    EXPECT_EQ(item->Pixmap(0), pixmap);
    item->MediaItemDelete();
    EXPECT_TRUE(gone);
}

TEST(MediaItem, PicturesScaledWhileFilesAreAddedReportEachRow)
{
    TextureWorld world;
    PictureFolder folder("rows");
    TextureRecord* quiet = Create(world, "quiet", folder.Put("quiet.bmp", SolidBmp(3, 3, 0x404040)));
    TextureRecord* counted = Create(world, "counted", folder.Put("counted.bmp", SolidBmp(3, 3, 0x404040)));
    ASSERT_NE(quiet, nullptr);
    ASSERT_NE(counted, nullptr);
    ASSERT_EQ(AcquireTexture(quiet), kResultOk);
    EXPECT_EQ(world.ui.progressValues, std::vector<int32_t>{90});  // the load's own step only
    // While a texture file is being added, the 3 x 3 picture scaled to its 4 x 4 level reports
    // the share of each of its rows.
    world.ui.progressValues.clear();
    ++TextureAddingDepth;
    ASSERT_EQ(AcquireTexture(counted), kResultOk);
    --TextureAddingDepth;
    EXPECT_EQ(world.ui.progressValues, (std::vector<int32_t>{90, 0, 25, 50, 75}));
    ReleaseTexture(quiet);
    ReleaseTexture(counted);
}

TEST(TextureLibraries, NestedLocksTouchTheHoldersOnce)
{
    TextureWorld world;
    PictureFolder folder("locks");
    TextureRecord* record = Create(world, "lock", folder.Put("lock.bmp", SolidBmp(2, 2, 0)));
    ASSERT_EQ(AcquireTexture(record), kResultOk);
    MemPixMap* pixmap = TextureItemProperty(record, 0);
    LockTextureSet(world.manager);
    LockTextureSet(world.manager);
    EXPECT_EQ(pixmap->LockCount(), 1);
    UnlockTextureSet(world.manager);
    EXPECT_EQ(pixmap->LockCount(), 1);
    UnlockTextureSet(world.manager);
    EXPECT_EQ(pixmap->LockCount(), 0);
    // A picture loaded while the set is locked takes an unlock it never had.
    ReleaseTexture(record);
    LockTextureSet(world.manager);
    ASSERT_EQ(AcquireTexture(record), kResultOk);
    UnlockTextureSet(world.manager);
    EXPECT_EQ(TextureItemProperty(record, 0)->LockCount(), 0);
    ReleaseTexture(record);
}

TEST(TextureLibraries, TheImagesBesideAModelAreIndexedByName)
{
    TextureWorld world;
    PictureFolder folder("index");
    folder.Put("stone.bmp", SolidBmp(2, 2, 0x808080));
    folder.Put("stone.dib", SolidBmp(2, 2, 0x808080));
    folder.Put("notes.txt", {1, 2, 3});
    const std::string model = folder.Put("room.qpy", {0});
    Owned<DiskFileStream> file = MakeFile(kFileReference);
    ASSERT_EQ(file->SetFileFromPath(model.c_str()), kResultOk);
    IndexImageResources(file.get());
    ASSERT_EQ(TextureRecordCount(ImageResourceList), 2);
    EXPECT_STREQ(TextureRecordAt(ImageResourceList, 0)->name, "stone.bmp");
    EXPECT_STREQ(TextureRecordAt(ImageResourceList, 1)->name, "stone.dib");
    EXPECT_EQ(TextureRecordAt(ImageResourceList, 0)->attributes[2], 0);

    // A reference whose folder moved finds the file by name (in any case); the search by name
    // alone compares byte for byte.
    Owned<DiskFileStream> moved = MakeFile(kFileReference);
    ASSERT_EQ(moved->SetFileFromPath("D:\\old\\place\\STONE.BMP"), kResultOk);
    EXPECT_EQ(FindImageResourceByName(moved.get()), nullptr);
    ASSERT_EQ(LocateMissingTextureFile(moved.get()), kResultOk);
    char path[kPathLength];
    IgnoreResult(moved->FileFullPath(path));
    EXPECT_EQ(std::string(path), folder.Path() + "stone.bmp");
    EXPECT_EQ(FindImageResourceByName(moved.get()), TextureRecordAt(ImageResourceList, 0));
    Owned<DiskFileStream> absent = MakeFile(kFileReference);
    IgnoreResult(absent->SetFileFromPath("D:\\old\\brick.bmp"));
    EXPECT_EQ(LocateMissingTextureFile(absent.get()), -1);

    // Opening another model replaces the index.
    PictureFolder other("index2");
    const std::string second = other.Put("hall.qpy", {0});
    IgnoreResult(file->SetFileFromPath(second.c_str()));
    IndexImageResources(file.get());
    EXPECT_EQ(TextureRecordCount(ImageResourceList), 0);
}

TEST(TextureRecord, PolygonElementsAreUsersMovedMappedAndDetachedLikeSides)
{
    TextureWorld world;
    PictureFolder folder("elements");
    TextureRecord* first = Create(world, "one", folder.Put("one.bmp", SolidBmp(4, 4, 0x00FF00)));
    TextureRecord* second = Create(world, "two", folder.Put("two.bmp", SolidBmp(4, 4, 0xFFFFFF)));
    ASSERT_TRUE(first && second);
    Scene scene;
    ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    scene.root()->AddChild(object);
    Surface* face = object->SurfaceForFace(0);
    PolygonElement* element = face->NewPolygonElement();
    ASSERT_EQ(element->Init(), kResultOk);
    DynamicArray* outline = MakeOutline({{0, 0}, {0, 4}, {4, 4}, {4, 0}});
    element->SetElementPolygon(outline, 0, 0);
    outline->Destroy();
    face->AddElement(element, 1);
    ASSERT_EQ(element->Owner, face);

    // Bound through the scene model: the element joins the record's users and counts a use.
    element->SetElementTexture(first);
    EXPECT_EQ(first->elementUsers->ArrayCount(), 1);
    EXPECT_EQ(first->useCount, 1);
    char name[16];
    element->GetElementTextureName(name, int32_t(sizeof name));
    EXPECT_STREQ(name, "one");

    // Every element user follows the record's replacement, and leaves when it is detached.
    ReplaceTextureInUsers(first, second);
    EXPECT_EQ(element->GetElementTexture(), second);
    EXPECT_EQ(first->elementUsers->ArrayCount(), 0);
    EXPECT_EQ(first->useCount, 0);
    EXPECT_EQ(second->elementUsers->ArrayCount(), 1);
    EXPECT_EQ(second->useCount, 1);
    EXPECT_EQ(RefreshTextureUsers(second, false), kResultOk);
    DetachTextureUsers(second);
    EXPECT_EQ(element->GetElementTexture(), nullptr);
    EXPECT_EQ(second->elementUsers->ArrayCount(), 0);
    EXPECT_EQ(second->useCount, 0);

    // An element destroyed with a texture leaves its user list.
    element->SetElementTexture(first);
    EXPECT_EQ(first->useCount, 1);
    object->Destroy();
    EXPECT_EQ(first->elementUsers->ArrayCount(), 0);
    EXPECT_EQ(first->useCount, 0);
}

TEST(TextureRecord, AWatchedRefreshLooksAfterEachUserAndAStopLeavesTheRest)
{
    TextureWorld world;
    PictureFolder folder("watched");
    TextureRecord* record = Create(world, "one", folder.Put("one.bmp", SolidBmp(4, 4, 0x00FF00)));
    ASSERT_TRUE(record);
    Scene scene;
    for (int32_t i = 0; i < 3; ++i) {
        ModelObject* object = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
        scene.root()->AddChild(object);
        object->BindObjectTexture(record, kSideFront);
    }
    ASSERT_EQ(record->objectUsers->ArrayCount(), 3);
    AlertCatcher ui;
    // Unwatched, nothing is looked at; watched, the progress window after each user, and a stop
    // there leaves the users after it.
    EXPECT_EQ(RefreshTextureUsers(record, false), kResultOk);
    EXPECT_EQ(ui.updates, 0);
    EXPECT_EQ(RefreshTextureUsers(record, true), kResultOk);
    EXPECT_EQ(ui.updates, 3);
    ui.updates = 0;
    ui.stopAt = 2;
    EXPECT_EQ(RefreshTextureUsers(record, true), kResultStopped);
    EXPECT_EQ(ui.updates, 2);
}
