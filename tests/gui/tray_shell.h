// A stand-in for the shell's notification area, to see what the program asks of it and to
// answer as a shell may.
#pragma once

#include "driver_commands.h"

namespace gui_driver {

// tray-shell MODE FILE: runs until closed (WM_CLOSE to its window, titled "Test shell") or until
// the deadline, then prints `closed`. Its hidden top-level window of class Shell_TrayWnd is the
// one Shell_NotifyIcon finds while it runs. Every icon request is answered with success (MODE
// accept) or failure (refuse) and written to FILE as a line `ACTION ID`, e.g. `NIM_ADD 128`,
// with ` info` behind it for a balloon.
// At its start it tells every top-level window that the notification area was made afresh
// (TaskbarCreated), as a restarted shell does.
void TrayShell(const Arguments& args, const Deadline& deadline);

}  // namespace gui_driver
