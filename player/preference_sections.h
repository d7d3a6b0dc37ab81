// The player's preference sections: navigation (PNAV), render (PRND), the model's defaults
// (PDEF), the model view (PMOD), the window records (PWIN), the view style and the configuration
// byte (CNFG), each with its defaults and the body of its chunk in the "QPRF" form; the option
// mappings the walk view and the tools apply; and the presets no menu offers yet.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/fixed.h"
#include "foundation/result_code.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"

class DynamicArray;
class LightList;
class MemoryStream;

constexpr int32_t kChangeStateReset = -1;

class PreferenceSection : public RootObject {
public:
    // Slot 0, Serialize: moves the chunk body through the stream in its direction; the base
    // moves nothing.
    ResultCode Serialize(MemoryStream* stream) { return Write(stream); }
    // The defaults; the change state -1.
    virtual void Reset() { changeState = kChangeStateReset; }
    // Releases what the section owns, then the section.
    virtual void Free() { delete this; }
    void Destroy() { Free(); }

    // -1 after a reset; 1 while the Walk menu hands a changed section to the views.
    int32_t changeState = kChangeStateReset;
};

void SetChangeState(PreferenceSection* section, int32_t value);
int32_t GetChangeState(const PreferenceSection* section);

// Navigation option bits of the section (the pane's options are mapped from them).
constexpr uint32_t kNavigationButtonDown = 1;
constexpr uint32_t kNavigationCrossHair = 2;
constexpr uint32_t kNavigationVelocityGrid = 4;
constexpr uint32_t kNavigationCollision = 8;

// Lenses of the Walk menu.
constexpr int16_t kLensWideAngle = 15;
constexpr int16_t kLensStandard = 35;
constexpr int16_t kLensTelephoto = 135;
constexpr int16_t kLensDenominator = 36;

// PNAV: the navigation pane's options, the view's fixed aspect ratio and the lens.
class NavigationSection : public PreferenceSection {
public:
    ResultCode Write(MemoryStream* stream) override;
    void Reset() override;

    uint32_t options = 0;
    int32_t aspect[2] = {0, 0};  // width, height
    int16_t aspectOn = 0;        // non-zero: the view keeps the ratio
    int16_t index = 0;           // 0..10
    int16_t lensNumerator = 0;
    int16_t lensDenominator = 0;
};

// PRND: the drawing-quality words A, B and C and four flag bytes (the fourth always 0 after a
// transfer).
class RenderSection : public PreferenceSection {
public:
    ResultCode Write(MemoryStream* stream) override;
    void Reset() override;

    uint32_t wordA = 0;
    uint32_t wordB = 0;
    uint32_t wordC = 0;
    uint8_t flags[4] = {0, 0, 0, 0};
};

// The walk speed presets: render words A and C. The Walk menu offers the first four; the
// navigation pane's own walk options menu offers the normal speed and its own two faster ones,
// of which the fastest sets word A alone.
struct RenderSpeed {
    uint32_t wordA;
    uint32_t wordC;
};
constexpr RenderSpeed kSpeedNormal = {3, 7};
constexpr RenderSpeed kSpeedFast = {11, 7};
constexpr RenderSpeed kSpeedFaster = {11, 4};
constexpr RenderSpeed kSpeedFastest = {10, 0};
constexpr RenderSpeed kOptionsSpeedFaster = {3, 4};
constexpr RenderSpeed kOptionsSpeedFastest = {2, 0};

// PDEF: the model's defaults: four triples (the second the start position of the eye), a
// colour, three names of at most 255 characters and two values.
class DefaultsSection : public PreferenceSection {
public:
    static constexpr int32_t kNameBytes = 256;

    ResultCode Write(MemoryStream* stream) override;
    void Reset() override;

    Fixed triple1[3] = {0, 0, 0};
    Fixed startPosition[3] = {0, 0, 0};
    Fixed triple3[3] = {0, 0, 0};
    Fixed triple4[3] = {0, 0, 0};
    RGBColor48 colour = {0, 0, 0};
    char name1[kNameBytes] = {};
    char name2[kNameBytes] = {};
    char name3[kNameBytes] = {};
    int16_t value1 = 0;
    int16_t value2 = 0;
};

// PMOD: the model view: its lights (owned), the position and angles it is seen from, and the
// colour of the world.
class ModelViewSection : public PreferenceSection {
public:
    ResultCode Write(MemoryStream* stream) override;
    // The default lights (a list made anew), position and angles 0, the default colour.
    void Reset() override;
    void Free() override;

    LightList* lights = nullptr;
    Fixed position[3] = {0, 0, 0};
    Fixed angles[3] = {0, 0, 0};
    RGBColor48 colour = {0, 0, 0};

private:
    // Deletes the lights and makes a new empty list; kResultOutOfMemory without it.
    ResultCode NewLights();
};

// One window's placement: its rectangle, a point, a 16.16 value and the kind of window.
struct WindowRecord {
    PortRect rect;
    int32_t point[2];
    Fixed value;
    int16_t kind;
};
// Equal in rectangle, value and kind.
bool WindowRecordsEqual(const WindowRecord& a, const WindowRecord& b);

// PWIN: the window records (a list of owned WindowRecord pointers). Reading refits every record
// to the present screens when the screens written with them differ.
class WindowsSection : public PreferenceSection {
public:
    ResultCode Write(MemoryStream* stream) override;
    // Three records from the current frame: its content, and the upper and lower halves beside
    // it (stored_window_kinds.h).
    void Reset() override;
    void Free() override;

    int32_t RecordCount() const;
    WindowRecord* Record(int32_t index) const;

    DynamicArray* records = nullptr;

private:
    void FreeRecords();
    // Appends a copy; false when memory is short.
    bool AppendRecord(const WindowRecord& record);
};

// The view style (kept in no chunk).
class ViewStyleSection : public PreferenceSection {
public:
    void Reset() override;

    uint32_t style = 0;
    uint8_t flag = 0;
};

// CNFG: the direct-pixel-drawing switch.
class ConfigSection : public PreferenceSection {
public:
    ResultCode Write(MemoryStream* stream) override;
    void Reset() override;

    uint8_t directDrawing = 0;
};

// A section of six colours, a flag word and a value that no preference set holds.
class ColourSection : public PreferenceSection {
public:
    static constexpr int32_t kColourCount = 6;

    ResultCode Write(MemoryStream* stream) override;
    void Reset() override;

    RGBColor48 colours[kColourCount] = {};
    uint32_t flags = 0;
    int16_t value = 0;
};

// The observer option mask of the render section (the walk view's render options).
uint32_t RenderOptionMask(const RenderSection& render);
// The navigation pane's options of the navigation section: bits 0 to 3 give 1, 2, 4 and 0x800.
int16_t NavigationOptionMask(const NavigationSection& navigation);
// The ratio the view keeps: (0, 0) when the ratio is off or a term is 0 or above 1000 (no
// fixed ratio), else the section's terms.
void NavigationAspectRatio(const NavigationSection& navigation, int16_t* width, int16_t* height);

// Frame-size presets: 1 512 x 342, 2 512 x 384, 3 640 x 480, 4 the size of the screen new windows
// are placed on, 5 the size of `port`, 6 320 x 200, 7 640 x 480, 8 800 x 600, 9 1024 x 768;
// other numbers leave the size as it is.
void FrameSizePreset(int32_t number, const PortRect& port, int32_t* width, int32_t* height);
// Aspect-ratio presets: 1 36:24, 2 24:36, 3 1:1, 4 5:4, 5 4:5, 6 and 7 133:100, 8 166:100,
// 9 185:100, 10 235:100; other numbers leave the ratio as it is.
void AspectRatioPreset(int32_t number, NavigationSection* navigation);
