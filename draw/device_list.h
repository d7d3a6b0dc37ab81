// The device list: the screen device offscreens that carry the screen's pixel format and
// colour-match block. The toolkit makes the list and its screen device at start-up.
#pragma once

#include <cstdint>

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
