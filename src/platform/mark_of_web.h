#pragma once

#include <string>

namespace platform {

// Gives a file fetched from the internet the mark that browsers give their downloads (on Windows
// the Zone.Identifier stream: the internet zone and the address it came from), so that the system
// checks its publisher and reputation before it runs it, rather than trusting it as a file the
// user made. Best effort: where the OS, the volume (FAT32, exFAT) or the administrator's policy
// keeps no such mark, the file stays as it is and the download stands.
void MarkAsFromInternet(const std::string& path, const std::string& url);

}  // namespace platform
