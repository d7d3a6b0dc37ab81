// The device list: the screen device offscreens that carry the screen's pixel format and
// colour-match block. The toolkit makes the list and its screen device at start-up and frees
// them at shutdown.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class DynamicArray;
class Q_Offscreen;
struct PortRect;

// A DynamicArray of Q_Offscreen pointers, or null before the toolkit made it.
extern DynamicArray* WindowList;

// The first entry, or null when the list is missing or empty.
Q_Offscreen* FrontWindow();
// The entry after `entry`, or null after the last one or when `entry` is not listed.
Q_Offscreen* NextWindow(Q_Offscreen* entry);
// The entry whose bounds have the largest area (the first of equals), or null. A rectangle of
// zero height first gets its bottom raised by 1, else one of zero width its right.
Q_Offscreen* PlaceNewWindow(PortRect* rect);
// The entry whose bounds hold the point (right and bottom outside), the first of several, or null.
Q_Offscreen* FindWindowAtPoint(int32_t x, int32_t y);
// The number of entries (0 without a list).
int32_t CountWindowList();

// Start-up: makes the list with one screen device, made from the screen's prepared DC on a
// palette display (else without a reference DC), with its colour-match block built. 0, or the
// failure when the list or its device could not be made (the list then holds no device).
ResultCode InitWindowList();
// Gives each entry whose depth differs from the one it recorded the new depth and a rebuilt
// colour-match block.
void UpdateWindowListDepths();
// Shutdown: disposes of every entry and destroys the list.
void DisposeWindowList();
