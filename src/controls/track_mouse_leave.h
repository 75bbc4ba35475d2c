#pragma once

#include <windows.h>

// Asks for one WM_MOUSELEAVE when the pointer leaves the window; nonzero when the request was
// taken.
BOOL TrackMouseLeave(HWND window);
