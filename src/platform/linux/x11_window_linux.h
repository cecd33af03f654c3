#pragma once
// What the window needs from X11 directly: a rounded shape and the window
// manager's states (keep above, listed in task bars).
#include <X11/Xlib.h>

namespace kelvane::linux_platform {

// Cuts a mapped window to the rectangle (0,0)-(width,height) whose corners
// are rounded by ellipses of corner x corner pixels (SHAPE extension).
void ShapeRoundRect(Display* display, Window window, int width, int height, int corner);

// True once `window` is viewable; gives up after `seconds` (a window
// manager that never maps it must not stop the program).
bool WaitUntilViewable(Display* display, Window window, double seconds);

// Asks the window manager to set or clear one _NET_WM_STATE_<state> of a
// mapped window ("ABOVE": keep above the others; "SKIP_TASKBAR").
void SendWmState(Display* display, Window window, const char* state, bool set);
// Whether the window manager shows `state` (as in SendWmState) on the window.
bool HasWmState(Display* display, Window window, const char* state);

}  // namespace kelvane::linux_platform
