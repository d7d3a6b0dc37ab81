// TextItem: the title's own block and the wrapped drawing of the title.
#include "toolkit/text_item.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "draw/current_port.h"
#include "draw/fonts.h"
#include "draw/text.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"

namespace {

// The text background mode that drawing leaves behind.
constexpr int32_t kTextOpaque = 4;
// The size of the caller's buffer that ItemGetTitle fills.
constexpr size_t kTitleBufferSize = 256;

}  // namespace

TextItem::~TextItem()
{
    std::free(title_);
}

void TextItem::ItemInit()
{
    PaneItem::ItemInit();
    StoreTitle(nullptr);
}

void TextItem::ItemDelete()
{
    StoreTitle(nullptr);
    PaneItem::ItemDelete();
}

void TextItem::StoreTitle(const char* text)
{
    std::free(title_);
    title_ = nullptr;
    if (!text) return;
    const size_t length = std::strlen(text);
    title_ = static_cast<char*>(std::calloc(length + 1, 1));
    if (title_) std::memcpy(title_, text, length);
}

void TextItem::ItemSetTitle(const char* text)
{
    StoreTitle(text);
}

void TextItem::ItemGetTitle(char* text)
{
    std::snprintf(text, kTitleBufferSize, "%s", title_ ? title_ : "");
}

int32_t TextItem::ItemTitleLength()
{
    return title_ ? int32_t(std::strlen(title_)) : 0;
}

void TextItem::ItemDraw()
{
    if (!title_ || !owner_ || !owner_->Owner() || !owner_->Owner()->IsWindowObjectVisible()) return;
    HDC dc = GetPort();
    if (!dc) return;
    const bool transparent = (style_.flags & kItemOpaqueText) == 0;
    UseTextFont(FontNumber(style_.fontNumber), style_.fontSize, style_.fontStyle);
    if (transparent) TextMode(kTextTransparent);
    RECT rect = {bounds_.left, bounds_.top, bounds_.right, bounds_.bottom};
    const int length = int(std::strlen(title_));
    if (DrawTextA(dc, title_, length, &rect, DT_WORDBREAK | DT_NOPREFIX) == 0)
        TextOutA(dc, bounds_.left, bounds_.top, title_, length);
    UseTextFont(FontNumber(kDefaultItemStyle.fontNumber), kDefaultItemStyle.fontSize,
                kDefaultItemStyle.fontStyle);
    if (transparent) TextMode(kTextOpaque);
}
