// ScrollBarItem: a pane window's own vertical or horizontal scroll bar, as the pane's item.
#pragma once

#include "toolkit/pane_item.h"

class ScrollBarItem : public PaneItem {
public:
    // SB_VERT or SB_HORZ.
    explicit ScrollBarItem(int32_t bar) : bar_(bar) {}

    void ItemInit() override;
    void ItemActivate(int32_t flag) override;

    // Without an owner: nothing, position 0, range 0..0.
    int32_t GetPosition();
    void SetPosition(int32_t position);
    void SetRange(int32_t minimum, int32_t maximum);
    void GetRange(int32_t* minimum, int32_t* maximum);
    void SetSteps(int32_t step, int32_t page, int32_t line);
    // WM_VSCROLL or WM_HSCROLL: moves by a line or a page, to the thumb, the top or the bottom,
    // then redraws the pane (not while the thumb is tracked).
    void ScrollBarMessage(int32_t code, int32_t position);

    int32_t Bar() const { return bar_; }
    int32_t PageStep() const { return page_; }
    int32_t LineStep() const { return line_; }

protected:
    ~ScrollBarItem() override = default;

    int32_t bar_;
    int32_t step_ = 1;
    int32_t page_ = 1;
    int32_t line_ = 1;
};

class VScrollBarItem : public ScrollBarItem {
public:
    VScrollBarItem() : ScrollBarItem(SB_VERT) {}
};

class HScrollBarItem : public ScrollBarItem {
public:
    HScrollBarItem() : ScrollBarItem(SB_HORZ) {}
};
