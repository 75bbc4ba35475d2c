// Driver commands that reach into the shell's windows and files: the notification area's
// tool tips, the folder browser, and shell links.
#pragma once

#include "driver_commands.h"

namespace gui_driver {

// wait-tray-tip SUBSTRING: a notification-area icon's tool tip that holds SUBSTRING.
void WaitTrayTip(const Arguments& args, const Deadline& deadline);

// browse-to CAPTION PATH: selects PATH in the folder browser captioned CAPTION and presses OK.
void BrowseTo(const Arguments& args, const Deadline& deadline);

// shortcut FILE.lnk: the link's target, working folder and description, a line each.
void Shortcut(const Arguments& args, const Deadline& deadline);

}  // namespace gui_driver
