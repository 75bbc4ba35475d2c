#include <cstdio>
#include <memory>
#include <vector>

#include "platform/file.h"
#include "platform/native_path.h"

namespace platform {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool ReadTextLine(const std::string& path, size_t maxChars, std::string& line) {
  FilePointer file(std::fopen(NativePath(path).c_str(), "r"));
  if (!file) {
    return false;
  }
  // fgets stops after a line end or after maxChars characters, whichever comes first.
  std::vector<char> buffer(maxChars + 1, '\0');
  if (std::fgets(buffer.data(), static_cast<int>(buffer.size()), file.get()) == nullptr) {
    buffer[0] = '\0';
  }
  line = buffer.data();
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(NativePath(path).c_str(), "w");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  // Buffered text reaches the disk only at close, so a full disk shows up there.
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace platform
