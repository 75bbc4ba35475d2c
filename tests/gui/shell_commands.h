// Driver commands that reach into the shell's windows and files: the notification area's
// tool tips, the folder browser, shell links, and a program's version resource.
#pragma once

#include "driver_commands.h"

namespace gui_driver {

// wait-tray-tip SUBSTRING: a notification-area icon's tool tip that holds SUBSTRING.
void WaitTrayTip(const Arguments& args, const Deadline& deadline);

// browse-to CAPTION PATH: selects PATH in the folder browser captioned CAPTION and presses OK.
void BrowseTo(const Arguments& args, const Deadline& deadline);

// shortcut FILE.lnk: the link's target, working folder and description, a line each.
void Shortcut(const Arguments& args, const Deadline& deadline);

// version FILE.exe: the file's version numbers ("fixed 1.0.0.1"), then each version string as
// "NAME VALUE" in US English, then the version its manifest gives ("manifest 1.0.0.1").
void Version(const Arguments& args, const Deadline& deadline);

}  // namespace gui_driver
