#pragma once

#include <windows.h>

#include <string>

// Lets the user choose a folder in the shell's folder browser. The folder's file-system path, or
// empty text when the user cancels or the shell gives no path (which is reported in a message
// box).
std::string PickFolder(HWND owner, const char* title, UINT flags);
