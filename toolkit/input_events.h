// The modifier word of toolkit events and the tests for input that is waiting in the queue.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int32_t kModifierLeftButton = 1;
constexpr int32_t kModifierShift = 4;
constexpr int32_t kModifierCtrlOrRight = 8;
constexpr int32_t kModifierAlt = 0x12;

// The modifier word of the keys and buttons held now.
int32_t ModifierKeys();

// The kinds of `mask` (QS_ bits) that are waiting in the queue, whether or not an earlier peek
// saw them: QS_MOUSEBUTTON only when a left button press (or double-click) and its release both
// wait, QS_KEY only when a key press and a key release both wait, QS_PAINT when a WM_PAINT
// waits. 0 when none.
uint32_t EventPending(uint32_t mask);
// Removes waiting key and mouse messages in turn until either finds none; WM_QUIT is posted
// again when a removal takes it.
void FlushInputEvents();
// 0: the mouse is tracked through messages instead.
inline int32_t StillDown() { return 0; }
