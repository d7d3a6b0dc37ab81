// The four window classes of the toolkit, the link from a system window to its toolkit object,
// and the message handler that document windows and windoids share.
#pragma once

#include <windows.h>

#include <cstdint>

class Window;

constexpr char kFrameClassName[] = "Tamrix:DocProc";
constexpr char kDocumentClassName[] = "Tamrix:WindowProc";
constexpr char kWindoidClassName[] = "Tamrix:WindoidProc";
constexpr char kPaneClassName[] = "Tamrix:PaneProc";

// What a message handler answers for a message it leaves to the default procedure.
constexpr LRESULT kNotHandled = -1;

// Registers the four classes in order; 1, or 0 as soon as one cannot be registered.
int32_t RegisterWindowClasses(HINSTANCE instance);

// The window object whose system window is being created: messages that come before window
// long 0 is set go to it. Cleared again once the creation call returns.
void SetCreatingWindow(Window* window);
Window* CreatingWindow();

// The toolkit object stored in window long 0 of a toolkit window (null when none is stored).
template <class T>
T* WindowObject(HWND hwnd)
{
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, 0));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK WindoidProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The shared handler: the message's result, or kNotHandled.
LRESULT HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// While set (by the progress window), no windoid can be moved, sized or restacked.
void SetWindoidPositionLock(int32_t locked);
int32_t WindoidPositionLock();
