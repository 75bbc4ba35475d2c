#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "platform/known_folders.h"
#include "platform/wide_win32.h"

namespace platform {

std::optional<std::string> FindKnownFolder(KnownFolder folder) {
  wchar_t path[MAX_PATH] = {};
  const int csidl = folder == KnownFolder::Documents ? CSIDL_PERSONAL : CSIDL_DESKTOP;
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) {
    return std::nullopt;
  }
  // A folder whose name UTF-8 cannot carry is no folder we could write in.
  return Utf8Path(path);
}

std::string ModulePath() {
  // GetModuleFileNameW fills the whole buffer when the path does not fit; grow until it does.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return std::string();
    }
    if (length < buffer.size()) {
      return Utf8Path(std::wstring(buffer.data(), length)).value_or(std::string());
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
