// The button panel's list of buttons, their layout in rows or a grid, hit testing and states.
#include "toolkit/button_panel.h"

#include <algorithm>
#include <new>

#include "toolkit/button_item.h"

namespace {

constexpr int32_t kPanelGrowStep = 16;

// The cell a press on the button falls in: its rectangle with the right and bottom edges taken in.
PortRect PressCell(const PortRect& rect)
{
    return {rect.left, rect.top, rect.right + 1, rect.bottom + 1};
}

}  // namespace

void ButtonPanel::Destroy()
{
    for (int32_t i = 0; i < ArrayCount(); ++i) delete PanelItem(i);
    IgnoreResult(ArraySetCount(0));
    DynamicArray::Destroy();
}

ResultCode ButtonPanel::Remove(int32_t index)
{
    ButtonItem* item = PanelItem(index);
    const ResultCode result = DynamicArray::Remove(index);
    if (result == kResultOk) delete item;
    return result;
}

void ButtonPanel::SetLarge(int32_t large)
{
    if ((large != 0) == (large_ != 0)) return;
    large_ = large;
    cellWidth_ = large ? kLargeCellWidth : kSmallCellSize;
    cellHeight_ = large ? kLargeCellHeight : kSmallCellSize;
}

ResultCode ButtonPanel::PanelInit(int32_t columns)
{
    columns_ = columns;
    const ResultCode result = Init(0, sizeof(ButtonItem*), kPanelGrowStep);
    SetLarge(1);
    return result;
}

int32_t ButtonPanel::PanelAddItem(uint8_t glyph)
{
    return PanelInsertItem(ArrayCount(), glyph);
}

int32_t ButtonPanel::PanelInsertItem(int32_t index, uint8_t glyph)
{
    if (index < 0 || index > ArrayCount()) return kResultOutOfRange;
    auto* item = new (std::nothrow) ButtonItem;
    if (!item) return kResultOutOfMemory;
    item->ButtonInit(glyph);
    const ResultCode result = index == ArrayCount() ? ResultOfIndex(Append(&item)) : Insert(index, &item);
    if (result < 0) {
        delete item;
        return result;
    }
    return index;
}

ButtonItem* ButtonPanel::PanelItem(int32_t index) const
{
    ButtonItem* item = nullptr;
    IgnoreResult(ArrayGet(index, &item));  // null for an index outside the panel
    return item;
}

void ButtonPanel::PanelLayout(PortRect* rect, const PortRect* offset)
{
    if (columns_ > 0)
        LayOutGrid(rect, offset);
    else if (window_)
        LayOutRows(rect);
}

void ButtonPanel::LayOutRows(PortRect* rect)
{
    const int32_t width = rect->Width();
    // At most this many buttons to a row; none for zero columns.
    const int32_t perRow = -columns_;
    const int32_t count = ArrayCount();
    bounds_ = {rect->left, rect->top, rect->right, rect->top};
    int32_t bottom = rect->top;
    int32_t y = 0;
    int32_t first = 0;
    while (first < count) {
        if (PanelItemKind(first) == kGlyphRowBreak) {
            PanelItem(first)->SetRect({0, y, width, y + kRowBreakHeight});
            bottom = std::max(bottom, y + kRowBreakHeight);
            y += kRowBreakHeight;
            ++first;
            continue;
        }
        int32_t end = first;
        while (end < count && (perRow <= 0 || end - first < perRow) && PanelItemKind(end) != kGlyphRowBreak) ++end;
        const int32_t length = end - first;
        // The first filler of the run takes the spare pixels, else its last button.
        int32_t widened = end - 1;
        for (int32_t i = first; i < end; ++i) {
            if (PanelItemKind(i) == kGlyphFiller) {
                widened = i;
                break;
            }
        }
        int32_t x = 0;
        for (int32_t i = first; i < end; ++i) {
            const int32_t buttonWidth = width / length + (i == widened ? width % length : 0);
            PanelItem(i)->SetRect({x, y, x + buttonWidth, y + cellHeight_});
            x += buttonWidth;
        }
        bottom = std::max(bottom, y + cellHeight_);
        y += cellHeight_;
        first = end;
    }
    bounds_.bottom = bottom;
    *rect = bounds_;
}

void ButtonPanel::LayOutGrid(PortRect* rect, const PortRect* offset)
{
    const int32_t count = ArrayCount();
    const int32_t dx = offset ? offset->left : 0;
    const int32_t dy = offset ? offset->top : 0;
    rows_ = count == 0 ? 0 : (count - 1) / columns_ + 1;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t left = dx + cellWidth_ * (i % columns_);
        const int32_t top = dy + cellHeight_ * (i / columns_);
        PanelItem(i)->SetRect({left, top, left + cellWidth_, top + cellHeight_});
    }
    // A blank in a row's last column is a filler: the other cells of the row share its width
    // (a one-column grid has no other cells), and it is hidden.
    const int32_t step = columns_ > 1 ? cellWidth_ / (columns_ - 1) : 0;
    for (int32_t row = 0; row < rows_; ++row) {
        const int32_t last = row * columns_ + columns_ - 1;
        if (last >= count || PanelItemKind(last) != kGlyphBlank) continue;
        for (int32_t k = 0; k < columns_ - 1; ++k) {
            ButtonItem* item = PanelItem(row * columns_ + k);
            PortRect widened = item->Rect();
            widened.left += k * step;
            widened.right += (k + 1) * step;
            item->SetRect(widened);
        }
        PanelItem(last)->SetRect({0, 0, 0, 0});
    }
    bounds_ = {dx, dy, dx, dy};
    for (int32_t i = 0; i < count; ++i) {
        const PortRect& cell = PanelItem(i)->Rect();
        if (cell.IsEmpty()) continue;
        bounds_ = {std::min(bounds_.left, cell.left), std::min(bounds_.top, cell.top),
                   std::max(bounds_.right, cell.right), std::max(bounds_.bottom, cell.bottom)};
    }
    *rect = bounds_;
}

int32_t ButtonPanel::PanelHitTest(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0) return -1;
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        const ButtonItem* item = PanelItem(i);
        if (PressCell(item->Rect()).Contains(x, y)) return item->Glyph() >= kFirstGlyph ? i : -1;
    }
    return -1;
}

void ButtonPanel::PanelSetItemState(int32_t index, int32_t state)
{
    if (ButtonItem* item = PanelItem(index)) item->SetState(state);
}

int32_t ButtonPanel::PanelItemState(int32_t index) const
{
    const ButtonItem* item = PanelItem(index);
    return item ? item->State() : kButtonReleased;
}

uint8_t ButtonPanel::PanelItemKind(int32_t index) const
{
    const ButtonItem* item = PanelItem(index);
    return item ? item->Glyph() : kGlyphBlank;
}

void ButtonPanel::PanelSetItemGlyph(int32_t index, uint8_t glyph)
{
    if (ButtonItem* item = PanelItem(index)) item->SetGlyph(glyph);
}

void ButtonPanel::PanelSetItemHelp(int32_t index, const char* help)
{
    if (ButtonItem* item = PanelItem(index)) item->SetHelp(help);
}

const char* ButtonPanel::PanelItemHelp(int32_t index) const
{
    const ButtonItem* item = PanelItem(index);
    return item ? item->Help() : "";
}

void ButtonPanel::PanelItemRect(int32_t index, PortRect* rect) const
{
    const ButtonItem* item = PanelItem(index);
    *rect = item ? item->Rect() : PortRect{0, 0, 0, 0};
}

int32_t ButtonPanel::FirstPressedIndex() const
{
    for (int32_t i = 0; i < ArrayCount(); ++i)
        if (PanelItemState(i) != kButtonReleased) return i;
    return -1;
}

int32_t ButtonPanel::LastPressedIndex() const
{
    for (int32_t i = ArrayCount() - 1; i >= 0; --i)
        if (PanelItemState(i) != kButtonReleased) return i;
    return -1;
}

void ButtonPanel::ReleaseAll()
{
    for (int32_t i = 0; i < ArrayCount(); ++i) PanelSetItemState(i, kButtonReleased);
}

void ButtonPanel::PanelSetSubPanel(int32_t index, ButtonPanel* panel)
{
    ButtonItem* item = PanelItem(index);
    if (!item) return;
    item->SetSubPanel(panel);
    const int32_t chosen = panel ? panel->LastPressedIndex() : -1;
    if (chosen < 0) return;
    item->SetGlyph(panel->PanelItemKind(chosen));
    item->SetHelp(panel->PanelItemHelp(chosen));
    item->SetSelected(chosen);
}
