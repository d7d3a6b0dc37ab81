// The about window, in its two forms: the short window that shows the program's picture, and the
// about box in which a cube with a picture on each face turns, drawn with the renderer's face
// primitives. Each runs its own loop and closes on the first key or mouse button; at start-up
// (kAboutAtStartUp) each also closes by itself after a while.
#pragma once

#include <cstdint>

#include "toolkit/about_modes.h"

// The short window on Windows NT, else the about box, at start-up (kAboutAtStartUp).
void ShowStartupAbout();
// Whether this platform shows the short window (Windows NT) rather than the about box.
bool ShortAboutPlatform();
// The form of this platform in the mode: the short window on Windows NT, else the about box.
void ShowAboutForm(int32_t mode);
void ShowShortAboutWindow(int32_t mode);
void ShowAboutBox(int32_t mode);

// The clock the about loops read (milliseconds, GetTickCount by default); tests install their own.
using AboutTickSource = uint32_t (*)();
// Installs the source (null restores GetTickCount); returns the one installed before.
AboutTickSource InstallAboutTickSource(AboutTickSource source);
// 1 while an about window's loop runs (the end of the session is refused meanwhile).
int32_t AboutWindowRunning();
