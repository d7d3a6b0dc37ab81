// TextItem: a static text drawn in the item's font, wrapped at word breaks.
#pragma once

#include "toolkit/pane_item.h"

class TextItem : public PaneItem {
public:
    TextItem() = default;

    void ItemInit() override;
    void ItemDelete() override;
    void ItemDraw() override;

    // --- text operations ---
    // Copies the text (null: none).
    virtual void ItemSetTitle(const char* text);
    // Copies the title into `text`, which holds at least 256 characters; empty without one.
    virtual void ItemGetTitle(char* text);
    virtual int32_t ItemTitleLength();

    // The title, or null.
    const char* Title() const { return title_; }

protected:
    ~TextItem() override;
    // Replaces the stored title without touching a control.
    void StoreTitle(const char* text);

    char* title_ = nullptr;
};
