// The player's preference sections in the least form the renderer's tools need: navigation
// (PNAV: lens and options), render (PRND: drawing-quality words and flags) and configuration
// (CNFG: the direct-pixel-drawing switch), with their defaults, read from the "QPRF" form a model
// file carries in its "PREF" chunk; how the walk view applies them to an observer; and the table
// of length units. The player takes these over with the rest of its preferences.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class MemoryStream;
class Observer;
class PreferenceRecord;

class PreferenceSection {
public:
    virtual ~PreferenceSection() = default;
    // Moves the chunk body through the stream in its direction; the base moves nothing.
    virtual ResultCode Serialize(MemoryStream* stream) { return kResultOk; }
    // The defaults; the change state -1.
    virtual void Reset() { changeState = -1; }
    virtual void Free() { delete this; }

    int32_t changeState = -1;
};

// PNAV: the navigation pane's options (1 Button Down, 2 cross hair, 4 velocity grid,
// 8 collision), the view's aspect ratio, the lens.
class NavigationSection : public PreferenceSection {
public:
    NavigationSection() { Reset(); }
    ResultCode Serialize(MemoryStream* stream) override;
    void Reset() override;

    uint32_t options;
    int32_t aspect[2];
    int16_t aspectOn;
    int16_t index;
    int16_t lensNumerator;
    int16_t lensDenominator;
};

// PRND: the drawing-quality words A, B and C and four flag bytes.
class RenderSection : public PreferenceSection {
public:
    RenderSection() { Reset(); }
    ResultCode Serialize(MemoryStream* stream) override;
    void Reset() override;

    uint32_t wordA;
    uint32_t wordB;
    uint32_t wordC;
    uint8_t flags[4];
};

// CNFG: the direct-pixel-drawing switch.
class ConfigSection : public PreferenceSection {
public:
    ConfigSection() { Reset(); }
    ResultCode Serialize(MemoryStream* stream) override;
    void Reset() override;

    uint8_t directDrawing;
};

struct PreferenceSet {
    NavigationSection navigation;
    RenderSection render;
    ConfigSection config;
};

// Reads the "QPRF" form from the stream into the sections found in it (other chunks are
// skipped). 0; 1 for a version outside 1.x (reading stops there); or the first stream error.
// A form of another type reads nothing.
ResultCode ReadPreferenceForm(MemoryStream* stream, PreferenceSet* set);
// The same from the bytes a model file's "PREF" chunk held (nothing without them).
ResultCode ReadModelPreferences(const PreferenceRecord* stored, PreferenceSet* set);

// The observer option mask of the render section.
uint32_t RenderOptionMask(const RenderSection& render);
// The walk view's application of the sections to its observer: the lens when it differs, the
// render options, and the eye attached to the world anew.
void ApplyPreferences(Observer* observer, const PreferenceSet& set);

// Metres per length unit: 1 inch, 2 foot, 3 yard, 4 mile, 5 millimetre, 6 centimetre,
// 8 kilometre, 9 twelfth of an inch, 10 point, 11 angstrom, 12 parsec; 7 (metre) and every
// other code 1.0.
double GetUnitToMetres(int32_t code);
