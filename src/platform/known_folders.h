#pragma once

#include <optional>
#include <string>

namespace platform {

enum class KnownFolder { Documents, Desktop };

// The user's folder as the shell gives it (not created when missing), or nothing.
std::optional<std::string> FindKnownFolder(KnownFolder folder);
// The folder, or the drive root "c:\" when the shell cannot give it.
std::string KnownFolderOrDriveRoot(KnownFolder folder);
// The full path of the running program.
std::string ModulePath();
// The part of ModulePath after its last separator, extension included.
std::string ModuleFileName();

}  // namespace platform
