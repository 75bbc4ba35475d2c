#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Opens the file named by the program's path through the C runtime, with its mode letters ("rb",
// "wb"), by the UTF-16 name on Windows; nullptr when it cannot be opened or the path cannot name
// a file.
std::FILE* OpenCFile(const std::string& path, const char* mode);

}  // namespace platform
