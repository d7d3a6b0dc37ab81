// The system's Open and Save dialogs as the file object runs them: their flags, the hook that
// places the Save dialog, and the "Add Textures" multiple-selection dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/result_code.h"

class DynamicArray;

// The Save dialog may name a new file; it asks before overwriting and refuses read-only files.
DWORD SaveDialogFlags(int32_t explorerDialogs);
DWORD OpenDialogFlags(int32_t explorerDialogs);
// Centres the dialog over its owner (or the work area) once it is built.
UINT_PTR CALLBACK PlaceDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Appends a PathRecord for each chosen bitmap, JPEG file, texture library or model file to the
// list; 0, or 1 when cancelled.
ResultCode AddTexturesDialog(DynamicArray* paths);
