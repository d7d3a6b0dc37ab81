// RadiusItem: an item whose set-up in a pane records two fixed values, 8 and 9, and the radius
// of the largest circle that the pane's rectangle holds (half its smaller side). Nothing in the
// program makes one or reads the values.
#pragma once

#include "toolkit/pane_item.h"

constexpr int32_t kRadiusItemFirstValue = 8;
constexpr int32_t kRadiusItemSecondValue = 9;

class RadiusItem : public PaneItem {
public:
    RadiusItem() = default;

    // Stores the owner and, with one, the set-up values.
    void ItemSetOwner(Pane* pane) override;

    int32_t FirstValue() const { return firstValue_; }
    int32_t SecondValue() const { return secondValue_; }
    int32_t Radius() const { return radius_; }

protected:
    ~RadiusItem() override = default;

    int32_t firstValue_ = 0;
    int32_t secondValue_ = 0;
    int32_t radius_ = 0;
};
