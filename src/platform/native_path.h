#pragma once

#include <string>

namespace platform {

// The program's Windows-form path as the back end's file calls want it.
std::string NativePath(const std::string& path);

}  // namespace platform
