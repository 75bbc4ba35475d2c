#pragma once

#include <string>

namespace fw {

// The last part of a path without its extension: "D:\Tools\Getter.exe" gives "Getter".
std::string FileTitle(const std::string& path);
// The running program's file name without its extension.
std::string ProgramName();

}  // namespace fw
