#include "platform/known_folders.h"

namespace platform {

std::string KnownFolderOrDriveRoot(KnownFolder folder) {
  return FindKnownFolder(folder).value_or("c:\\");
}

std::string ModuleFileName() {
  const std::string path = ModulePath();
  return path.substr(path.find_last_of("\\/") + 1);
}

}  // namespace platform
