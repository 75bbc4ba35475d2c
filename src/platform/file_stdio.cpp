// The files read and written whole through the C runtime: the text record and block reads.

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
  FilePointer file(OpenCFile(path, "r"));
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
  std::FILE* file = OpenCFile(path, "w");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  // Buffered text reaches the disk only at close, so a full disk shows up there.
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

bool ReadFileBlocks(const std::string& path,
                    const std::function<bool(const unsigned char* data, size_t size)>& consume) {
  // Large enough that the calls cost nothing beside the reading, small enough for any thread.
  constexpr size_t kBlockSize = 1 << 20;
  FilePointer file(OpenCFile(path, "rb"));
  if (!file) {
    return false;
  }
  std::vector<unsigned char> block(kBlockSize);
  for (;;) {
    const size_t count = std::fread(block.data(), 1, block.size(), file.get());
    if (count > 0 && !consume(block.data(), count)) {
      return false;
    }
    if (count < block.size()) {
      return std::ferror(file.get()) == 0;
    }
  }
}

}  // namespace platform
