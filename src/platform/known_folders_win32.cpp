#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "platform/known_folders.h"

namespace platform {

std::optional<std::string> FindKnownFolder(KnownFolder folder) {
  char path[MAX_PATH] = {};
  const int csidl = folder == KnownFolder::Documents ? CSIDL_PERSONAL : CSIDL_DESKTOP;
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) {
    return std::nullopt;
  }
  return std::string(path);
}

std::string ModulePath() {
  // GetModuleFileNameA fills the whole buffer when the path does not fit; grow until it does.
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return std::string();
    }
    if (length < buffer.size()) {
      return std::string(buffer.data(), length);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
