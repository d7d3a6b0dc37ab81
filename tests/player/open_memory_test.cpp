// Opening a model short of memory: each allocation on the way from the open command to the view's
// first frame is refused in turn. Every open either ends with the reader's alert and leaves
// nothing of the model window behind, or does without what it could not have and opens whole;
// either way nothing it made stays unfreed once the model is closed. Also: the eye is placed in
// the geometry the read made, not in the one it replaced; and a model whose picture cannot be
// decoded ends with the picture reader's alert and the model reader's, leaving nothing behind; and
// a model naming one picture file in many spellings, opened and closed again and again, decodes it
// once an open and leaves no holder of it behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/surface.h"
#include "model/walk_record.h"
#include "player/model_window.h"
#include "player/open_command.h"
#include "player/player_document.h"
#include "player/player_startup.h"
#include "player/player_ui_services.h"
#include "player/view_window_record.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "render/face_front_end.h"
#include "tests/foundation/file_test_support.h"
#include "tests/player/player_start.h"
#include "tests/textures/bmp_builder.h"
#include "tests/toolkit/failing_allocator.h"
#include "tests/toolkit/toolkit_support.h"
#include "textures/media_holder.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/sample_scenes.h"
#include "toolkit/document_frame.h"
#include "toolkit/window.h"

namespace {

// The player's services with the alerts recorded instead of shown.
class RecordingUi : public PlayerUiServices {
public:
    void ShowAlert(const char* text) override { alerts.push_back(text); }
    std::vector<std::string> alerts;
};

ModelDocWindow* OpenModel()
{
    DocumentFrame* front = FrontDocument();
    return front == PlayerWindow ? nullptr : static_cast<ModelDocWindow*>(front);
}

int32_t CountThreadWindows()
{
    int32_t count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM counter) {
            ++*reinterpret_cast<int32_t*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

int32_t CountChildWindows(HWND parent)
{
    int32_t count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
}

// What the model read into its objects: per object its children, vertices, and per geometry
// record its faces and contacts.
void DescribeObject(const ModelObject* object, std::vector<int32_t>* counts)
{
    counts->push_back(object->ChildCount());
    counts->push_back(object->LocalVertices ? object->LocalVertices->ArrayCount() : -1);
    counts->push_back(object->GeometryCount());
    for (int32_t i = 0; i < object->GeometryCount(); ++i) {
        counts->push_back(object->GeometryAt(i)->PolygonCount());
        counts->push_back(object->GeometryAt(i)->ContactCount());
    }
    for (int32_t i = 0; i < object->ChildCount(); ++i) DescribeObject(object->ChildAt(i), counts);
}

std::vector<int32_t> Describe(const ModelDocWindow* model)
{
    std::vector<int32_t> counts;
    DescribeObject(model->Document()->ModelRoot(), &counts);
    return counts;
}

class OpenShortOfMemoryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        gPath = std::string(temp) + "qp-memory-" + std::to_string(GetCurrentProcessId()) + ".qpy";
        // The renderer's start-up as the program's drawing layer runs it (the toolkit's test
        // start-up has none): the program's own drawing lists are made before any open.
        InstallRendererRegionWork();
        ASSERT_EQ(PolyRgnStartup(), kResultOk);
        ASSERT_TRUE(StartPlayerAtOnce());
        // A block standing on a floor: two objects in contact, which the reader joins.
        ModelDocument* model = new ModelDocument;
        ASSERT_EQ(model->Init(), kResultOk);
        ModelObject* root = model->Holder->Root;
        root->AddChild(MakeBox(model->Holder, -100, -100, -4, 100, 100, 0));
        root->AddChild(MakeBox(model->Holder, -20, -20, 0, 20, 20, 40));
        // The eye stands outside both, in the world root alone.
        model->Walk->SetPositionFixed(IntToFixed(60), IntToFixed(-300), IntToFixed(30));
        ASSERT_TRUE(WriteModel(model, gPath));
    }

    static void TearDownTestSuite()
    {
        DeleteFileA(gPath.c_str());
        if (PlayerWindow) {
            DocumentFrame* player = PlayerWindow;
            player->DestroyDocumentFrame();
            player->FreeDocumentFrame();
            PlayerWindow = nullptr;
        }
        ShutdownPlayerEngine();
    }

    void SetUp() override { previous_ = InstallUiServices(&ui_); }
    void TearDown() override { InstallUiServices(previous_); }

    // The open command with the file, and the messages it left for the view's first frame.
    static void Open(const std::string& path = gPath)
    {
        auto* file = new DiskFileStream;
        EXPECT_EQ(file->SetFileFromPath(path.c_str()), kResultOk);
        OpenModelFile(file, kOpenGivenFile);
        PumpMessages();
    }

    // What an open keeps until the next is all it may leave unfreed: the frame's Window menu,
    // remade with the menu bar, and the index of the image files beside the model.
    static void ExpectOnlyKeptBlocksUnfreed()
    {
        int32_t kept = 0;
        for (const void* block : {static_cast<const void*>(PlayerWindow->FrameWindowMenu()),
                                  static_cast<const void*>(ImageResourceList)})
            kept += failing_allocator::MadeDuringWatch(block) ? 1 : 0;
        EXPECT_EQ(failing_allocator::UnfreedSinceWatch(), kept);
    }

    static std::string gPath;
    RecordingUi ui_;
    UiServices* previous_ = nullptr;
};

std::string OpenShortOfMemoryTest::gPath;

TEST_F(OpenShortOfMemoryTest, EveryRefusedAllocationEndsTheLoadWithTheAlertOrOpensWhole)
{
    HWND frame = PlayerWindow->FrameWindow();
    ASSERT_NE(frame, nullptr);
    // Once opened and closed, so that what the program makes once and keeps is made.
    Open();
    ASSERT_NE(OpenModel(), nullptr);
    const std::vector<int32_t> whole = Describe(OpenModel());
    ASSERT_TRUE(OpenModel()->CloseAndDeleteDocument());
    PumpMessages();
    const int32_t windows = CountThreadWindows();
    const std::vector<std::string> readerAlert = {"Error in loading file \"" +
                                                  gPath.substr(gPath.rfind('\\') + 1) + ".\""};

    for (int32_t failAt = 1;; ++failAt) {
        SCOPED_TRACE("allocation " + std::to_string(failAt));
        ui_.alerts.clear();
        failing_allocator::Watch(failAt);
        Open();
        const bool refused = failing_allocator::EndWatch();
        if (ModelDocWindow* model = OpenModel()) {
            EXPECT_TRUE(ui_.alerts.empty());
            PlayerDocument* document = model->Document();
            ASSERT_NE(document, nullptr);
            auto* view = static_cast<WalkView*>(document->FindView(kViewWalk));
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(document->ViewCount(), 1);
            ASSERT_EQ(document->WindowRecordCount(), 1);
            Window* window = document->WindowRecordAt(0)->RecordWindow();
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->IsWindowObjectVisible());
            EXPECT_EQ(window->PaneCount(), 2);
            EXPECT_EQ(CountChildWindows(model->MdiClient()), 1) << "one view window and no other";
            EXPECT_EQ(Describe(model), whole);
            ASSERT_TRUE(model->CloseAndDeleteDocument());
            PumpMessages();
        } else {
            EXPECT_EQ(ui_.alerts, readerAlert);
            EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);
            EXPECT_EQ(PlayerWindow->FrameWindow(), frame);
        }
        EXPECT_EQ(CountThreadWindows(), windows);
        ExpectOnlyKeptBlocksUnfreed();
        // The walk ends with the open that needed no more than it was given.
        if (!refused || HasFatalFailure()) break;
    }
}

TEST_F(OpenShortOfMemoryTest, APictureThatCannotBeDecodedRefusesTheModelWithBothAlerts)
{
    // A box showing a picture file, cut short, from a folder of its own.
    const std::string stem = gPath.substr(0, gPath.rfind('.')) + "-picture";
    const std::string folder = stem + "s\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string picturePath = folder + "spoilt.bmp";
    const std::string modelPath = stem + ".qpy";
    const Bytes picture = MakeBmp(BmpShape(2, 2), Bytes(16, 0x80));
    WriteWholeFile(picturePath, std::string(picture.begin(), picture.begin() + 20));
    TextureLayerServices& textures = InstallTextureLayerServices();
    TextureRecordList* list = NewTextureRecordList();
    textures.SetDocumentTextureList(list);
    PathRecord path;
    ASSERT_EQ(SetPathRecordText(&path, picturePath.c_str()), kResultOk);
    TextureRecord* record = nullptr;
    ASSERT_EQ(CreateTextureRecord(list, "spoilt", &path, &record), kResultOk);
    ModelDocument* model = new ModelDocument;
    ASSERT_EQ(model->Init(), kResultOk);
    ModelObject* box = MakeBox(model->Holder, -20, -20, 0, 20, 20, 40);
    model->Holder->Root->AddChild(box);
    box->SetSurfaceTexture(record, kSideBoth);  // bound without its picture
    ASSERT_TRUE(WriteModel(model, modelPath));  // and destroys the document
    textures.SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(list);
    FreeTextureRecordList(list);

    // Once opened and closed, so that what the program makes once and keeps is made.
    Open();
    ASSERT_NE(OpenModel(), nullptr);
    ASSERT_TRUE(OpenModel()->CloseAndDeleteDocument());
    PumpMessages();
    ui_.alerts.clear();
    const int32_t windows = CountThreadWindows();
    failing_allocator::Watch(0);
    Open(modelPath);
    failing_allocator::EndWatch();
    EXPECT_EQ(OpenModel(), nullptr);
    EXPECT_EQ(OpenDocumentList->ArrayCount(), 0);
    const std::string name = stem.substr(stem.rfind('\\') + 1);
    EXPECT_EQ(ui_.alerts, (std::vector<std::string>{"Unrecognized BMP format.  Cannot load bitmap spoilt.bmp",
                                                    "Error in loading file \"" + name + ".qpy.\""}));
    EXPECT_EQ(CountThreadWindows(), windows);
    ExpectOnlyKeptBlocksUnfreed();
    DeleteFileA(modelPath.c_str());
    DeleteFileA(picturePath.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(OpenShortOfMemoryTest, PicturesNamedInManySpellingsGoWithTheirModel)
{
    // A box whose faces name one picture file, each in a spelling of its own, from a folder of its
    // own: each spelling is given a holder of its own, so that the model stores it.
    const std::string stem = gPath.substr(0, gPath.rfind('.')) + "-spellings";
    const std::string folder = stem + "s\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string modelPath = stem + ".qpy";
    const Bytes picture = MakeBmp(BmpShape(2, 2), Bytes(16, 0x80));
    WriteWholeFile(folder + "wood.bmp", std::string(picture.begin(), picture.end()));
    TextureLayerServices& textures = InstallTextureLayerServices();
    TextureRecordList* list = NewTextureRecordList();
    textures.SetDocumentTextureList(list);
    ModelDocument* model = new ModelDocument;
    ASSERT_EQ(model->Init(), kResultOk);
    ModelObject* box = MakeBox(model->Holder, -20, -20, 0, 20, 20, 40);
    model->Holder->Root->AddChild(box);
    const char* spellings[] = {"wood.bmp", "WOOD.BMP", ".\\Wood.bmp", "wOOD.bmp", "woOd.BMP", "WoOd.bMp"};
    for (int32_t face = 0; face < 6; ++face) {
        PathRecord path;
        ASSERT_EQ(SetPathRecordText(&path, (folder + spellings[face]).c_str()), kResultOk);
        MediaHolder* holder = NewMediaHolder(CurrentTextureManager(), kMediaBmp);
        ASSERT_EQ(SetHolderFile(holder, &path), kResultOk);
        auto* record = new TextureRecord(list);
        SetTextureHolder(record, holder);
        box->SurfaceForFace(face)->SetSideTexture(record, kSideFront);
    }
    ASSERT_TRUE(WriteModel(model, modelPath));  // and destroys the document
    textures.SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(list);
    FreeTextureRecordList(list);
    const int32_t holders = CurrentTextureManager()->holderList->ArrayCount();

    // Once opened and closed, so that what the program makes once and keeps is made; then again
    // and again, each time one holder of the picture while the model is open, and none after.
    for (int32_t open = 0; open < 10; ++open) {
        SCOPED_TRACE("open " + std::to_string(open));
        ui_.alerts.clear();
        if (open > 0) failing_allocator::Watch(0);
        Open(modelPath);
        ModelDocWindow* opened = OpenModel();
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(CurrentTextureManager()->holderList->ArrayCount(), holders + 1);
        EXPECT_TRUE(ui_.alerts.empty());
        ASSERT_TRUE(opened->CloseAndDeleteDocument());
        PumpMessages();
        EXPECT_EQ(CurrentTextureManager()->holderList->ArrayCount(), holders);
        if (open > 0) {
            failing_allocator::EndWatch();
            ExpectOnlyKeptBlocksUnfreed();
        }
    }
    DeleteFileA(modelPath.c_str());
    DeleteFileA((folder + "wood.bmp").c_str());
    RemoveDirectoryA(folder.c_str());
}

// The read makes the world root's geometry anew, and the eye belongs in the new one. The watch
// keeps every block deleted meanwhile, so that the new geometry cannot take the old one's address.
TEST_F(OpenShortOfMemoryTest, TheEyeStandsInTheGeometryOfTheModelRead)
{
    auto* file = new DiskFileStream;
    ASSERT_EQ(file->SetFileFromPath(gPath.c_str()), kResultOk);
    failing_allocator::Watch(0, true);
    PlayerDocument* document = LoadPlayerDocument(file);
    const ObjectGeometry* cell = document ? document->Walk()->cell : nullptr;
    const ObjectGeometry* rootGeometry = document ? document->ModelRoot()->GeometryAt(0) : nullptr;
    failing_allocator::EndWatch();
    file->FileObjectDestroy();
    ASSERT_NE(document, nullptr);
    EXPECT_NE(rootGeometry, nullptr);
    EXPECT_EQ(cell, rootGeometry);
    document->Free();
}

}  // namespace
