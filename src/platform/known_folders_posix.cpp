#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/known_folders.h"

namespace platform {

std::optional<std::string> FindKnownFolder(KnownFolder folder) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    return std::nullopt;
  }
  return std::string(home) + (folder == KnownFolder::Documents ? "/Documents" : "/Desktop");
}

std::string ModulePath() {
  // readlink does not say whether it truncated, so grow the buffer until the path fits.
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) {
      return std::string();
    }
    if (static_cast<size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
