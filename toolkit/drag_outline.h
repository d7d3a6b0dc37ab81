// The pen of dragged and zooming outlines: black in a not-xor or dotted mode, so that drawing an
// outline twice leaves the screen as it was, and the phase that moving dotted outlines step through.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

// Fore colour black; mode 0 toggles the dotted phase and selects the drag's not-xor pen, any
// other mode the dotted pen (kPenDotted, by phase).
void SetDragPenMode(int32_t mode);
// On the screen, in not-xor with stock pattern 3, draws and erases again the outlines from
// `from` towards `to` (coordinates from + (to - from) x i / steps, i from 0 to steps - 1); then
// the normal pen mode and pattern are back.
void ZoomRectOutline(int32_t steps, const PortRect& from, const PortRect& to);
// Selects the not-xor pen (kPenNotXor); unless `keep`, advances the dotted phase by one, from 7
// back to 0.
void StepOutlinePhase(int32_t keep);
// The dotted phase.
int32_t OutlinePhase();
