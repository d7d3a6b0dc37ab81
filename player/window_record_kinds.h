// The kinds of the player document's window records: by its kind a record holds a view, a
// button-panel window, a button panel or only a window the views share.
#pragma once

#include <cstddef>
#include <cstdint>

// Window kinds that only the document makes, once each, for its views to share; the first holds
// the button panel window pane.
constexpr int32_t kButtonPanelWindowKind = 1011;
constexpr int32_t kDocumentWindowKinds[] = {kButtonPanelWindowKind, 1024, 1025};

// Records whose object is a button-panel window, unlinked from its panel when the record goes.
constexpr int16_t kPanelWindowRecordKinds[] = {2, 3, 5, 6};
// Records whose view object is released when the record goes.
constexpr int16_t kReleasedViewRecordKinds[] = {7, 8, 9, 10, 25, 26, 27, 29, 30, 31, 35, 36};
// Records whose object is a button panel, freed with its buttons when the record goes.
constexpr int16_t kButtonPanelRecordKinds[] = {11, 13, 14, 15, 17, 18, 20, 21, 28, 59, 60, 61, 62};

// Whether the kind is one of the list.
template <class Kind, size_t N>
constexpr bool IsKindOf(int32_t kind, const Kind (&kinds)[N])
{
    for (const Kind listed : kinds)
        if (listed == kind) return true;
    return false;
}
