// Icon palettes: radio selection of cells for a target, the commands that restore the previous
// cell or step a cell's sub-panel, the mask palette's set of cells, and the predefined palettes.
#include "toolkit/icon_palette.h"

#include <iterator>
#include <new>

#include "toolkit/button_item.h"
#include "toolkit/button_panel_window.h"

namespace {

constexpr int32_t kFirstGroupSize = 3;
constexpr int32_t kSingleClick = 1;
constexpr int32_t kDoubleClick = 2;

// The mask palette's cells: their kinds, and the bit each gives the mask.
constexpr uint8_t kMaskCellKinds[] = {0x46, 0x44, 0x45};
constexpr uint32_t kMaskCellBits[] = {4, 2, 1};
constexpr int32_t kMaskCellCount = int32_t(std::size(kMaskCellKinds));
constexpr uint8_t kFirstMaskKind = 0x44;
constexpr uint8_t kLastMaskKind = 0x46;
constexpr uint32_t kInitialMask = 7;

struct PaletteLayout {
    int32_t columns;
    int32_t count;
    uint8_t kinds[5];
    bool firstPressed;
};

constexpr PaletteLayout kPalettes[] = {
    {3, 3, {0x60, 0x5F, 0x5E}, false},
    {5, 5, {0x27, 0x26, 0x25, 0x24, 0x23}, true},
    {2, 2, {0x8A, 0x39}, true},
    {2, 2, {0x65, 0x55}, true},
};

// Fills a new palette with its cells; false when something could not be had.
bool FillPalette(IconPalette* palette, int32_t columns, const uint8_t* kinds, int32_t count)
{
    if (palette->PanelInit(columns) != kResultOk) return false;
    for (int32_t i = 0; i < count; ++i)
        if (palette->PanelAddItem(kinds[i]) < 0) return false;
    palette->ResetPaletteExtra();
    return true;
}

}  // namespace

void IconPalette::Press(int32_t index, int32_t modifiers)
{
    PaletteCellPressed(index, modifiers);
}

void IconPalette::ResetPaletteExtra()
{
    target_ = nullptr;
    previous_ = 0;
    earlier_ = 0;
}

void IconPalette::SetPaletteTarget(PaletteTarget* target)
{
    target_ = target;
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        if (auto* sub = dynamic_cast<IconPalette*>(PanelItem(i)->SubPanel())) sub->SetPaletteTarget(target);
    }
}

void IconPalette::TellChoice(int32_t index, int32_t modifiers)
{
    if (target_)
        target_->PaletteChoice(PanelItemKind(index), modifiers,
                               (modifiers & kModifierDoubleClick) ? kDoubleClick : kSingleClick);
}

void IconPalette::PaletteCellPressed(int32_t index, int32_t modifiers)
{
    earlier_ = previous_;
    TellChoice(index, modifiers);
    int32_t first = 0;
    int32_t end = ArrayCount();
    if (twoGroups_ && index < kFirstGroupSize)
        end = kFirstGroupSize;
    else if (twoGroups_)
        first = kFirstGroupSize;
    for (int32_t i = first; i < end; ++i) PanelSetItemState(i, i == index ? kButtonPressed : kButtonReleased);
    RedrawDirtyButtons();
}

int32_t IconPalette::FirstPressedKind(int32_t from) const
{
    for (int32_t i = from < 0 ? 0 : from; i < ArrayCount(); ++i)
        if (PanelItemState(i) != kButtonReleased) return PanelItemKind(i);
    return 0;
}

void IconPalette::PaletteCommand(int32_t index, int32_t code)
{
    ButtonItem* cell = PanelItem(index);
    if (!cell) return;
    if (code == kPaletteSelect) {
        PaletteCellPressed(index, 0);
        previous_ = index;
        return;
    }
    if (code == kPaletteNextSubChoice && cell->State() != kButtonReleased && cell->SubPanel()) {
        cell->ItemNextSubChoice();
        if (PanelWindow()) PanelWindow()->RedrawPane(kDrawFull);
        TellChoice(index, 0);
        return;
    }
    if (code == kPaletteRestore || code == kPaletteNextSubChoice) {
        for (int32_t i = 0; i < ArrayCount(); ++i) PanelSetItemState(i, i == previous_ ? kButtonPressed : kButtonReleased);
        RedrawDirtyButtons();
        TellChoice(previous_, 0);
        previous_ = index;
    }
}

void MaskPalette::Press(int32_t index, int32_t modifiers)
{
    const uint8_t kind = PanelItemKind(index);
    if (kind >= kFirstMaskKind && kind <= kLastMaskKind)
        MaskToggle(index);
    else
        IconPalette::Press(index, modifiers);
}

uint32_t MaskPalette::CellMask() const
{
    uint32_t mask = 0;
    for (int32_t i = 0; i < kMaskCellCount; ++i)
        if (PanelItemState(i) != kButtonReleased) mask |= kMaskCellBits[i];
    return mask;
}

void MaskPalette::MaskToggle(int32_t index)
{
    mask_ = CellMask();
    // One cell stays on: the toggled one comes on again when none is.
    if (mask_ == 0) {
        PanelSetItemState(index, kButtonPressed);
        mask_ = CellMask();
    }
    RedrawDirtyButtons();
    if (target_) target_->PaletteCommand(this, kMaskCommandKind, kMaskChangedCode, 0);
}

IconPalette* MakeIconPalette(IconPaletteKind kind)
{
    const PaletteLayout& layout = kPalettes[int32_t(kind)];
    auto* palette = new (std::nothrow) IconPalette;
    if (!palette) return nullptr;
    if (!FillPalette(palette, layout.columns, layout.kinds, layout.count)) {
        palette->Destroy();
        return nullptr;
    }
    if (layout.firstPressed) palette->PanelSetItemState(0, kButtonPressed);
    return palette;
}

MaskPalette* MakeMaskPalette()
{
    auto* palette = new (std::nothrow) MaskPalette;
    if (!palette) return nullptr;
    if (!FillPalette(palette, kMaskCellCount, kMaskCellKinds, kMaskCellCount)) {
        palette->Destroy();
        return nullptr;
    }
    palette->mask_ = kInitialMask;
    for (int32_t i = 0; i < kMaskCellCount; ++i)
        if (kInitialMask & kMaskCellBits[i]) palette->PanelSetItemState(i, kButtonPressed);
    return palette;
}
