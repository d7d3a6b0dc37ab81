// Icon palettes: button panels whose cells are a tool choice for a target. Pressing a cell
// selects it like a radio button and tells the target which cell kind was chosen; the mask
// palette keeps a set of cells on instead, one at least. The predefined palettes are made here.
#pragma once

#include <cstdint>

#include "foundation/root_object.h"
#include "toolkit/button_panel.h"

// What a palette tells: a choice as (cell kind, modifiers, click count) and a command as
// (sender, kind, code, value).
class PaletteTarget : public RootObject {
public:
    virtual void PaletteChoice(int32_t /*kind*/, int32_t /*modifiers*/, int32_t /*clicks*/) {}
    virtual void PaletteCommand(ButtonPanel* /*sender*/, int32_t /*kind*/, int32_t /*code*/, int32_t /*value*/) {}
};

// PaletteCommand codes.
constexpr int32_t kPaletteSelect = 1;
constexpr int32_t kPaletteRestore = 2;
constexpr int32_t kPaletteNextSubChoice = 3;

class IconPalette : public ButtonPanel {
public:
    IconPalette() = default;

    // A press selects the cell (PaletteCellPressed).
    void Press(int32_t index, int32_t modifiers) override;

    // Clears the target and both indexes.
    void ResetPaletteExtra();
    // The target of this palette and of every cell's sub-panel that is a palette, all the way down.
    void SetPaletteTarget(PaletteTarget* target);
    // The previous index moves to the earlier one; the target gets the cell's kind, the modifiers
    // and the click count (2 for a double click); the cell is pressed and the others of its group
    // released (all cells are one group, or with two groups cells 0-2 and the rest).
    void PaletteCellPressed(int32_t index, int32_t modifiers);
    // The kind of the first pressed cell at or after the index; 0 when none.
    int32_t FirstPressedKind(int32_t from) const;
    // 1: selects the cell and makes it the previous one. 3, on a pressed cell with a sub-panel:
    // the cell takes the sub-panel's next choice, the palette is redrawn and the target told.
    // 2 (and 3 otherwise): the previous cell is pressed again and its kind told, and the cell
    // becomes the previous one.
    void PaletteCommand(int32_t index, int32_t code);
    void SetTwoGroups(int32_t twoGroups) { twoGroups_ = twoGroups; }

    PaletteTarget* Target() const { return target_; }
    int32_t PreviousIndex() const { return previous_; }
    int32_t EarlierIndex() const { return earlier_; }

protected:
    ~IconPalette() override = default;

    // Tells the target the cell's kind.
    void TellChoice(int32_t index, int32_t modifiers);

    PaletteTarget* target_ = nullptr;

private:
    int32_t previous_ = 0;
    int32_t earlier_ = 0;
    int32_t twoGroups_ = 0;
};

// The command a mask palette sends its target when the mask changed: (palette, 6, 1037, 0).
constexpr int32_t kMaskCommandKind = 6;
constexpr int32_t kMaskChangedCode = 1037;

class MaskPalette;
MaskPalette* MakeMaskPalette();

class MaskPalette : public IconPalette {
public:
    MaskPalette() = default;

    // A press on a cell of kind 0x44 to 0x46 toggles it (MaskToggle).
    void Press(int32_t index, int32_t modifiers) override;
    // The mask rebuilt from the cells (cell 0 gives 4, cell 1 gives 2, cell 2 gives 1); when no
    // cell is on, the toggled one is pressed again. The target gets the mask command.
    void MaskToggle(int32_t index);
    uint32_t Mask() const { return mask_; }

protected:
    ~MaskPalette() override = default;

private:
    friend MaskPalette* MakeMaskPalette();

    // The mask of the cells that are on.
    uint32_t CellMask() const;

    uint32_t mask_ = 0;
};

// The predefined palettes.
enum class IconPaletteKind : int32_t {
    kThreeCells,     // 3 columns: 0x60, 0x5F, 0x5E; none pressed
    kFiveCells,      // 5 columns: 0x27, 0x26, 0x25, 0x24, 0x23; the first pressed
    kTwoCells,       // 2 columns: 0x8A, 0x39; the first pressed
    kOtherTwoCells,  // 2 columns: 0x65, 0x55; the first pressed
};

// A new palette without a target; null when out of memory.
IconPalette* MakeIconPalette(IconPaletteKind kind);
// The mask palette: 3 columns of 0x46, 0x44, 0x45, mask 7 (all pressed); null when out of memory.
MaskPalette* MakeMaskPalette();
