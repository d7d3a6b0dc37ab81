// The about box: a cube with a picture on each face turning over its shadow in a window of its
// own, drawn with the renderer's face primitives into an offscreen, until a key or a mouse
// button, or at start-up until its time is up and the cube has made a full turn.
#include <windows.h>

#include <memory>
#include <new>

#include "draw/current_port.h"
#include "draw/mem_pix_map.h"
#include "draw/picture_bitmap.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "draw/shade_level_tables.h"
#include "foundation/dynamic_array.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "player/about_cube.h"
#include "player/about_loop.h"
#include "player/about_window.h"
#include "player/preference_sections.h"
#include "player/registry_switch.h"
#include "raster/span_region.h"
#include "raster/textured_fill.h"
#include "render/device_points.h"
#include "render/face_front_end.h"
#include "render/projection.h"
#include "render/render_context.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/input_events.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/message_loop.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"

namespace {

constexpr uint64_t kLeastMemory = 486000;
constexpr char kLowMemoryAlert[] = "Not enough memory to perform this action.";
constexpr char kNotice[] = "Tamrix Player, the player of interactive 3-D models. Copyright Tamrix.";
constexpr char kTitle[] = "Tamrix";
constexpr char kForm[] = "box";

// The window: 308 x 228, a little right of and below the centre, on a multiple of 4.
constexpr int32_t kBoxWidth = 308;
constexpr int32_t kBoxHeight = 228;
constexpr int32_t kRightOfCentre = 70;
constexpr int32_t kBelowCentre = 40;
constexpr int32_t kAlignment = ~3;
// The whole window, as the offscreens hold it.
constexpr PortRect kBoxArea = {0, 0, kBoxWidth, kBoxHeight};
// Where the shadow and the cube stand in it.
constexpr AboutCube::Point kShadowCentre = {193, 133};
constexpr AboutCube::Point kCubeCentre = {118, 93};

constexpr int32_t kFirstFacePicture = 500;
constexpr int32_t kPictureDepth = 8;
// The depth argument that asks for the screen's.
constexpr int32_t kScreenDepth = -1;
constexpr int32_t kFailedBeep = 1;

// Each frame turns the cube by 2 and tips it by 1 (steps of 1/256 turn).
constexpr int32_t kTurnStep = 2;
constexpr int32_t kTipStep = 1;
constexpr int32_t kAngleSteps = 256;

constexpr RGBColor48 kShadowColour = {0, 0, 0};

struct PixMapRelease {
    void operator()(MemPixMap* map) const
    {
        map->Unlock();
        map->DisposePixMap();
    }
};
using FacePicture = std::unique_ptr<MemPixMap, PixMapRelease>;

// A face picture as an 8-bit pixel map, locked; null when it cannot be had (the face is then
// drawn flat).
FacePicture LoadFacePicture(int32_t face)
{
    Owned<Q_Offscreen> picture(new (std::nothrow) Q_Offscreen);
    if (!picture || LoadPictureResource(picture.get(), kFirstFacePicture + face, kPictureDepth) != kResultOk)
        return nullptr;
    FacePicture map(new (std::nothrow) MemPixMap);
    if (!map) return nullptr;
    IgnoreResult(map->Lock());
    if (map->MemPixMapInit8(picture.get()) != kResultOk) return nullptr;
    return map;
}

// The window's place on the screen.
PortRect BoxRect()
{
    PortRect screen;
    GetScreenBounds(&screen);
    const int32_t left = ((screen.Width() - kBoxWidth + kRightOfCentre) >> 1) & kAlignment;
    const int32_t top = ((screen.Height() - kBoxHeight + kBelowCentre) >> 1) & kAlignment;
    return {left, top, left + kBoxWidth, top + kBoxHeight};
}

// Reads the direct-pixel-drawing switch from the registry into the drawing layer.
void LoadSwitch()
{
    const Owned<ConfigSection> config(new (std::nothrow) ConfigSection);
    if (!config) return;
    config->Reset();
    LoadDrawingSwitch(config.get());
}

// The offscreen drawn into, made the rasterizers' target while a frame is drawn; the target
// before it is put back after each frame, so that messages meet it.
class DrawingTarget {
public:
    explicit DrawingTarget(Q_Offscreen* drawing) : drawing_(drawing) { previous_ = SharedOffscreen; }
    void Take()
    {
        SharedOffscreen = drawing_;
        IgnoreResult(drawing_->Lock());
    }
    void PutBack()
    {
        drawing_->Unlock();
        SharedOffscreen = previous_;
    }

private:
    Q_Offscreen* drawing_;
    Q_Offscreen* previous_;
};

// Draws the frames: the shadow, then the cube's faces that look at the viewer, flat or with
// their pictures, in a render context of its own (its view origin and point lists), so that a
// frame of the model drawn meanwhile keeps its own.
class CubePainter {
public:
    CubePainter(Q_Offscreen* drawing, SpanRegion* region, FacePicture* pictures, bool textured)
        : drawing_(drawing), region_(region), pictures_(pictures), textured_(textured)
    {
    }

    ~CubePainter() { context_.Free(); }

    bool Init()
    {
        corners_.reset(NewDynamicArray(AboutCube::kCornerCount, sizeof(ScreenPoint), AboutCube::kCornerCount));
        coords_.reset(NewDynamicArray(AboutCube::kCornerCount, sizeof(TextureCoord), AboutCube::kCornerCount));
        return corners_ && coords_ && context_.InitPointLists() == kResultOk;
    }

    void DrawFrame(const AboutCube& cube)
    {
        RenderContextScope context(&context_);
        SetViewOrigin(kShadowCentre.x, kShadowCentre.y);
        for (int32_t face = 0; face < AboutCube::kFaceCount; ++face) {
            if (SetCorners(cube, face)) FillFace(kShadowColour);
        }
        SetViewOrigin(kCubeCentre.x, kCubeCentre.y);
        for (int32_t face = 0; face < AboutCube::kFaceCount; ++face) {
            if (!SetCorners(cube, face)) continue;
            const int32_t intensity = cube.Intensity(face);
            if (textured_ && pictures_[face] && ShadeLevelScreenSet)
                DrawPicture(face, intensity);
            else
                FillFace(Grey(intensity));
        }
    }

private:
    static RGBColor48 Grey(int32_t intensity)
    {
        const auto level = uint16_t(intensity);
        return {level, level, level};
    }

    // The face's corners into the corner list; false for a face turned away.
    bool SetCorners(const AboutCube& cube, int32_t face)
    {
        if (!cube.FacesViewer(face)) return false;
        AboutCube::Point corners[AboutCube::kCornerCount];
        cube.FaceCorners(face, corners);
        auto* points = corners_->Elements<ScreenPoint>();
        for (int32_t i = 0; i < AboutCube::kCornerCount; ++i) points[i] = {corners[i].x, corners[i].y};
        return true;
    }

    void FillFace(const RGBColor48& colour)
    {
        DrawPolygonFace(region_, corners_.get(), kFaceFill | kFaceMatchColours, nullptr, 0, 0, &colour, nullptr,
                        kStoredOrder, nullptr);
    }

    void DrawPicture(int32_t face, int32_t intensity)
    {
        DevicePointList* points = BuildDevicePoly(corners_.get(), kStoredOrder);
        // A face so thin that two corners meet is left out.
        if (!points || points->ArrayCount() != AboutCube::kCornerCount) return;
        auto* coords = coords_->Elements<TextureCoord>();
        for (int32_t i = 0; i < AboutCube::kCornerCount; ++i) {
            const AboutCube::Point t = AboutCube::TexturePoint(face, i);
            coords[i] = {IntToFixed(t.x), IntToFixed(t.y)};
        }
        TextureSource source{};
        source.tables = &ShadeLevelScreenSet[AboutShadeLevel(intensity)];
        source.pixels = pictures_[face].get();
        pictures_[face]->GetBounds(&source.bounds);
        DrawTexturedImage(&source, drawing_, points, coords_.get(), region_);
    }

    static constexpr int32_t kStoredOrder = 1;

    Q_Offscreen* drawing_;
    SpanRegion* region_;
    FacePicture* pictures_;
    bool textured_;
    Owned<DynamicArray> corners_;
    Owned<DynamicArray> coords_;
    RenderContext context_;
};

// The cube's frames in the window: each one drawn into the offscreen over the background and
// copied to the window, then the cube turned for the next. The drawing offscreen is the
// rasterizers' target only while a frame is drawn.
class BoxFrames {
public:
    BoxFrames(Window* window, Q_Offscreen* background, Q_Offscreen* drawing, DrawingTarget* target,
              CubePainter* painter)
        : window_(window), background_(background), drawing_(drawing), target_(target), painter_(painter)
    {
    }

    // Draws the frame and turns the cube; true until the cube has made a full turn.
    bool DrawNext()
    {
        target_->Take();
        ReleaseCapture();
        background_->CopyOffscreenToPort(drawing_, kBoxArea, kBoxArea);
        painter_->DrawFrame(cube_);
        drawing_->CopyOffscreenToPort(window_, kBoxArea, kBoxArea);
        target_->PutBack();

        turn_ = (turn_ + kTurnStep) % kAngleSteps;
        if (turn_ < kTurnStep) turnedRound_ = true;
        tip_ = (tip_ + kTipStep) % kAngleSteps;
        cube_.Turn(turn_, tip_);
        return !turnedRound_;
    }

private:
    Window* window_;
    Q_Offscreen* background_;
    Q_Offscreen* drawing_;
    DrawingTarget* target_;
    CubePainter* painter_;
    AboutCube cube_;
    int32_t turn_ = 0;
    int32_t tip_ = 0;
    bool turnedRound_ = false;
};

}  // namespace

void ShowAboutBox(int32_t mode)
{
    const CountRaised running(AboutWindowCount);
    if (AvailableMemory() < kLeastMemory) {
        ShowAlert(kLowMemoryAlert);
        return;
    }
    SetHelpBarText(kNotice);
    LoadSwitch();

    const PortRect rect = BoxRect();
    Owned<Q_Offscreen> background(new (std::nothrow) Q_Offscreen);
    Owned<Q_Offscreen> drawing(new (std::nothrow) Q_Offscreen);
    if (!background || !drawing || background->QOffscreenInit(kBoxArea, kScreenDepth, nullptr) != kResultOk ||
        drawing->QOffscreenInit(kBoxArea, PaletteScreenDepth(), nullptr) != kResultOk) {
        PlayBeep(kFailedBeep);
        return;
    }
    drawing->SetOffscreenDestRect(kBoxArea);

    // Pictures only where faces are drawn straight into the offscreen's pixels.
    DrawingTarget target(drawing.get());
    target.Take();
    const OwnedSpanRegion region(NewSpanRegion());
    const bool textured = region && region->rowCount != 0;
    target.PutBack();
    if (!region) {
        PlayBeep(kFailedBeep);
        return;
    }
    FacePicture pictures[AboutCube::kFaceCount];
    if (textured) {
        for (int32_t face = 0; face < AboutCube::kFaceCount; ++face) pictures[face] = LoadFacePicture(face);
    }
    CubePainter painter(drawing.get(), region.get(), pictures, textured);
    auto* window = painter.Init() ? new (std::nothrow) Window : nullptr;
    if (!window) {
        PlayBeep(kFailedBeep);
        return;
    }

    FlushInputEvents();
    MSG pending;
    if (PeekKeepingQuit(&pending, nullptr, 0, 0, PM_REMOVE) == kPeekedMessage && pending.message != WM_MOUSEMOVE) {
        TranslateMessage(&pending);
        DispatchMessageA(&pending);
    }
    if (window->CreateWindowObject(rect, kTitle, kNoWindowSize, kNoWindowSize, kNoWindowSize, kWindowModalPopUp,
                                   kWindowClosesDocument) != kResultOk) {
        window->DestroyWindowObject();
        PlayBeep(kFailedBeep);
        return;
    }
    HWND hwnd = window->GetWindowHandle();
    HDC dc = PrepareWindowDC(hwnd);
    SetPort(dc);
    window->ShowWindowObject();
    SetFocus(hwnd);
    SetCapture(hwnd);
    background->CopyPortToOffscreen(window, kBoxArea, kBoxArea);
    SetCursorShape(kArrowCursor);

    BoxFrames frames(window, background.get(), drawing.get(), &target, &painter);
    RunAboutLoop(kForm, hwnd, mode, [&frames] { return frames.DrawNext(); });

    background->CopyOffscreenToPort(window, kBoxArea, kBoxArea);
    ReleasePortDC(hwnd, dc);
    SetPort(nullptr);
    window->DestroyWindowObject();
    SetCursorShape(kArrowCursor);
    FlushInputEvents();
    LogAboutClosed(kForm);
}
