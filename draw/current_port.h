// The current port: the one device context into which the drawing primitives draw.
#pragma once

#include "draw/gdi_handles.h"

// Makes the device context current (0: none); GetPort answers it.
void SetPort(HDC dc);
HDC GetPort();
