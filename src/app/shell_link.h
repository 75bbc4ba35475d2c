#pragma once

#include <windows.h>

#include <string>

// Saves a shell link at linkPath that starts targetPath in the target's folder, with the
// description as its comment. Stops at the first step that fails and returns its result; saves
// nothing unless every field was set.
HRESULT CreateShortcut(const std::string& targetPath, const std::string& linkPath,
                       const std::string& description);
