#include "framework/app_name.h"

#include <windows.h>

#include "platform/wide_win32.h"

namespace fw {

std::string FileTitle(const std::string& path) {
  const size_t folderEnd = path.find_last_of("\\/:");
  std::string name = folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
  const size_t extension = name.rfind('.');
  if (extension != std::string::npos && extension > 0) {
    name.erase(extension);
  }
  return name;
}

std::string ProgramName() {
  // Module paths may exceed MAX_PATH; a full buffer means the path was cut.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return FileTitle(platform::Utf8Text(path));
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace fw
