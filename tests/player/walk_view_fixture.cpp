// The walk view tests' shared set-up: the renderer for the suite, the model and observer, the
// window and the view made as the document makes them.
#include "tests/player/walk_view_fixture.h"

#include "model/model_holder.h"
#include "player/player_preferences.h"
#include "player/walk_observer.h"
#include "raster/raster_sets.h"
#include "render/face_front_end.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "textures/shade_level_builder.h"
#include "toolkit/window.h"

namespace {

constexpr WindowFlags kViewWindowFlags = kWindowCaption | kWindowSystemMenu;
constexpr WindowSize kNoSize = {0, 0};

}  // namespace

int32_t TestDocument::ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value)
{
    commands.push_back({kind, code, value});
    ticks.push_back(GetTickCount());
    if (onCommand) onCommand();
    if (view) view->ViewNotify(sender, kind, code, value);
    return 0;
}

void WalkViewFixture::SetUpTestSuite()
{
    InstallRendererRegionWork();
    InstallRasterSets();
    IgnoreResult(PolyRgnStartup());
    IgnoreResult(InitProjectionArrays());
    IgnoreResult(InitRasterBuffers());
    BuildShadeLevelTables();
    SetDirectPixelDrawing(1);
}

void WalkViewFixture::TearDownTestSuite()
{
    FreeShadeLevelTables();
    FreeRasterBuffers();
    FreeProjectionArrays();
    PolyRgnShutdown();
}

void WalkViewFixture::SetUp()
{
    FrameFixture::SetUp();
    ASSERT_NE(frame_, nullptr);
    holder_ = new ModelHolder;
    IgnoreResult(holder_->ModelHolderInit(nullptr));
    observer_ = new WalkObserver;
    ASSERT_EQ(observer_->Init(holder_), kResultOk);
    observer_->SetOwner(&document_);
}

void WalkViewFixture::TearDown()
{
    ReleaseCapture();
    PumpMessages();
    document_.onCommand = nullptr;
    if (view_) view_->Free();
    if (window_) window_->DestroyWindowObject();
    if (observer_) observer_->Free();
    if (preferences_) preferences_->Free();
    if (holder_) holder_->ModelHolderDestroy();
    FrameFixture::TearDown();
}

Window* WalkViewFixture::MakeWindow(const PortRect& rect)
{
    auto* window = new Window;
    if (window->CreateWindowObject(rect, "Walk", kNoSize, kNoSize, kNoSize, kViewWindowFlags, kWindowDestroys) !=
        kResultOk)
        return nullptr;
    window->SetWindowOwner(frame_);
    frame_->RegisterDocumentWindow(window);
    return window;
}

void WalkViewFixture::MakeView(RecordingView* view, const char* name)
{
    view_ = view;
    view->SetViewObserver(observer_);
    view->ViewRecordInit();
    view->SetInner(&document_);
    view->SetKind(kViewWalk);
    view->Init(frame_);
    document_.view = view;
    if (name) view->SetName(name);
    view->AttachView(kAttachWindowMade);
}
