// The program's one message loop, run as the main loop and, nested, as the loop of every modal
// dialog and pop-up; the modal runs and how each one ends; the keyboard pre-translation of
// document frames; and the rule for WM_QUIT in loops that peek.
//
// A modal run ends when its own end request is set (EndModalRun, which the dismiss buttons
// call) or when WM_QUIT arrives. The request belongs to the innermost run only, and a thread
// message wakes its loop, so a run ends whether or not a frame window exists. A run that takes
// WM_QUIT posts it again, so that every loop outside it ends too and the program still quits.
#pragma once

#include <windows.h>

#include <cstdint>

// How RunMessageLoop ended.
constexpr int32_t kLoopQuit = 0;          // WM_QUIT arrived (posted again by a modal run)
constexpr int32_t kLoopEndRequested = 1;  // the run's end request

// Bit 0 of `modal`: run as a modal run that EndModalRun ends.
constexpr int32_t kModalLoop = 1;

// Runs until WM_QUIT or, for a modal run, until its end request. The main loop (modal 0)
// consumes WM_QUIT; a modal run posts it again.
int32_t RunMessageLoop(int32_t modal);

// Ends the innermost modal run (nothing when none runs): sets its end request and posts the
// thread message that wakes its loop.
void EndModalRun();
// The number of modal runs under way.
int32_t ModalRunDepth();

// Keyboard pre-translation for document frames: F1 opens the help index; Backspace, Delete and
// the punctuation keys are rewritten to their characters in place; a key with a menu key
// equivalent becomes that item's WM_COMMAND. 1 when the key became a menu command.
int32_t HandleMenuKey(HWND frame, MSG* message);

// A PeekMessageA for the loops outside the main loop. WM_QUIT comes whatever the filter: it is
// posted again and kPeekedQuit answered, so that the caller ends its own loop.
enum PeekResult : int32_t { kPeekedNothing = 0, kPeekedMessage = 1, kPeekedQuit = -1 };
PeekResult PeekKeepingQuit(MSG* message, HWND window, UINT first, UINT last, UINT flags);
