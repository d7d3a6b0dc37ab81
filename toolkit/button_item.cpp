// A button of a button panel: its state, glyph, rectangle and help, and stepping through the
// choices of its sub-panel.
#include "toolkit/button_item.h"

#include "toolkit/button_panel.h"

void ButtonItem::ButtonInit(uint8_t glyph)
{
    SetGlyph(glyph);
    rect_ = {0, 0, 0, 0};
    state_ = kButtonReleased;
    subPanel_ = nullptr;
    selected_ = 0;
    help_ = "";
}

void ButtonItem::SetState(int32_t state)
{
    if (state == state_) return;
    state_ = state;
    dirty_ = 1;
}

void ButtonItem::SetGlyph(uint8_t glyph)
{
    glyph_ = glyph;
    dirty_ = 1;
}

void ButtonItem::SetRect(const PortRect& rect)
{
    rect_ = rect;
    dirty_ = 1;
}

void ButtonItem::SetHelp(const char* help)
{
    help_ = help ? help : "";
}

void ButtonItem::ItemNextSubChoice()
{
    if (!subPanel_ || subPanel_->ArrayCount() == 0) return;
    subPanel_->PanelSetItemState(selected_, kButtonReleased);
    selected_ = (selected_ + 1) % subPanel_->ArrayCount();
    if (selected_ < 0) selected_ = 0;
    SetGlyph(subPanel_->PanelItemKind(selected_));
    subPanel_->PanelSetItemState(selected_, kButtonPressed);
}
