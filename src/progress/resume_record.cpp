#include "progress/resume_record.h"

#include "platform/file.h"
#include "platform/known_folders.h"

namespace {

// A Windows path fits in MAX_PATH characters with its terminator.
constexpr size_t kMaxFolderChars = 259;

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::string RecordPath() {
  return platform::KnownFolderOrDriveRoot(platform::KnownFolder::Documents) + "\\" +
         platform::ModuleFileName() + ".dir";
}

std::string ReadRecord(const std::string& recordPath) {
  // A line end kept in the folder would make every path built on it unopenable, and an empty
  // folder would put the part file at the drive root: both read as no record at all.
  std::string line;
  if (platform::ReadTextLine(recordPath, kMaxFolderChars, line)) {
    std::string folder = WithoutLineEnd(line);
    if (!folder.empty()) {
      return folder;
    }
  }
  return platform::KnownFolderOrDriveRoot(platform::KnownFolder::Desktop);
}

bool WriteRecord(const std::string& recordPath, const std::string& folder) {
  return platform::WriteTextFile(recordPath, folder);
}
