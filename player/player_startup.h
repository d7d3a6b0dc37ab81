// The program's start-up and shutdown: the toolkit, the drawing layer and the renderer's tables
// made in a fixed order, the player window, the command line; and all of it taken down again in
// its own order once the message loop has ended.
#pragma once

#include <windows.h>

#include <cstdint>

// The exit code of a start-up that could not go on.
constexpr int32_t kExitStartUpFailed = 1;

// The toolkit, the drawing layer, the offscreens, the global lists, the engine with the player
// window, the font check, then the command line. False when the window classes could not be
// registered (nothing further made). A missing offscreen or font file ends the process after its
// alert, with kExitStartUpFailed.
bool InitToolbox(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int32_t showCommand);
// The renderer's tables, the texture manager and libraries, the services the lower layers call,
// the player window and the global stream. False when any of them could not be made.
bool InitPlayerEngine();
void ShutdownPlayerEngine();
void ShutdownToolbox();
