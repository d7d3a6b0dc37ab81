// The layout constants that every dialog built in code shares, the sizing and centring of a
// dialog rectangle on the screen from the width of its text, and a window kept inside the screen.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

namespace DialogLayout {
constexpr int32_t kMargin = 13;        // outer margin; gap between icon and text
constexpr int32_t kIconLeft = 11;
constexpr int32_t kLineHeight = 13;
constexpr int32_t kIconHeight = 32;
constexpr int32_t kIconWidth = 32;
constexpr int32_t kButtonHeight = 28;
constexpr int32_t kButtonWidth = 61;
constexpr int32_t kAlertIcon = 32516;     // IDI_ASTERISK
constexpr int32_t kQuestionIcon = 32515;  // IDI_EXCLAMATION
constexpr int32_t kButtonGap = 20;
constexpr int32_t kSaveYesWidth = 80;
constexpr int32_t kSaveNoWidth = 64;
constexpr int32_t kSaveCancelWidth = 64;
constexpr int32_t kSaveSideMargin = 30;
constexpr int32_t kSaveGap = 20;
constexpr int32_t kDiscardYesWidth = 64;
constexpr int32_t kDiscardNoWidth = 64;
// What the text leaves of a dialog's width: both margins, the icon and its left edge.
constexpr int32_t kTextInset = 2 * kMargin + kIconWidth + kIconLeft;  // 69
// The widest dialog, whatever the screen.
constexpr int32_t kMaximumWidth = 400;
// How far a window that the program places on the screen keeps from its edges.
constexpr int32_t kScreenSideGap = 20;
constexpr int32_t kScreenTopGap = 40;
constexpr int32_t kScreenBottomGap = 20;
}  // namespace DialogLayout

// The rectangle `width` x `height` centred on the screen, halves truncated toward zero.
PortRect CentredOnScreen(const PortRect& screen, int32_t width, int32_t height);
// The rectangle kept inside the screen less its gaps (DialogLayout::kScreenSideGap and the
// others), edge by edge.
PortRect KeepInsideScreen(PortRect rect, const PortRect& screen);

// The rectangle of a dialog `width` x `height` centred on a screen of the given size, its
// width limited for a text `textWidth` wide; returns the text's line count (at least 1). A text
// width below 1, or a dialog too narrow to hold any text, gives one line.
int32_t DialogRectOnScreen(int32_t screenWidth, int32_t screenHeight, PortRect* rect, int32_t width,
                           int32_t height, int32_t textWidth);
