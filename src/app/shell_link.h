#pragma once

#include <windows.h>

#include <string>

// Saves a shell link at linkPath that starts targetPath in the target's folder, with the
// description as its comment. Returns the result of the last step that ran.
HRESULT CreateShortcut(const std::string& targetPath, const std::string& linkPath,
                       const std::string& description);
