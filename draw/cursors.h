// The program's cursors: the navigation cursor, the seven frames of the animated wait cursor
// and the system cursors, and the cursor part of the user-interface services.
#pragma once

#include <cstdint>

#include "draw/wait_cursor.h"
#include "foundation/ui_services.h"

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;

// Loads the program cursor (resource 10000), the system wait, cross and arrow cursors
// and the wait frames (resources 128 to 134). A program cursor that cannot be loaded is
// replaced by a system cursor (the cross for the navigation cursor, the system wait cursor for
// a wait frame), so that the pointer never disappears.
void LoadCursors(HINSTANCE instance);
// Destroys the program's own cursors.
void FreeCursors();

// The clock of the wait cursor, in ticks of 16 ms; tests install their own (null restores the
// system's, GetTickCount / 16). Returns the clock installed before.
using CursorClock = uint32_t (*)();
CursorClock InstallCursorClock(CursorClock clock);

// The cursor part of the user-interface services: SetCursorShape(kWaitCursor) animates the wait cursor,
// 10000 shows the navigation cursor, any other id the arrow. The toolkit's services derive from
// it; until then a program installs it with InstallUiServices.
class CursorUiServices : public UiServices {
public:
    void SetCursorShape(int32_t shape) override;
};
