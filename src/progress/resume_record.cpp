#include "progress/resume_record.h"

#include <string_view>

#include "platform/file.h"
#include "platform/known_folders.h"
#include "platform/system_code_page.h"
#include "platform/utf.h"

namespace {

// A Windows path fits in MAX_PATH UTF-16 units with its terminator.
constexpr size_t kMaxFolderUnits = 259;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// The mark and the longest UTF-8 form of kMaxFolderUnits units (three bytes each at most).
constexpr size_t kMaxLineBytes = kUtf8Mark.size() + 3 * kMaxFolderUnits;

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

// The folder a record's first line holds: UTF-8 after the mark, else the system code page that
// earlier builds wrote (cut at 259 bytes, as they read it). Empty when it holds none.
std::string FolderInLine(const std::string& line) {
  if (line.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0) {
    const std::string text = WithoutLineEnd(line.substr(kUtf8Mark.size()));
    return std::string(platform::Utf8PrefixWithin(text, kMaxFolderUnits));
  }
  return platform::Utf8FromSystemCodePage(WithoutLineEnd(line.substr(0, kMaxFolderUnits)))
      .value_or(std::string());
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
  if (platform::ReadTextLine(recordPath, kMaxLineBytes, line)) {
    std::string folder = FolderInLine(line);
    if (!folder.empty()) {
      return folder;
    }
  }
  return platform::KnownFolderOrDriveRoot(platform::KnownFolder::Desktop);
}

bool WriteRecord(const std::string& recordPath, const std::string& folder) {
  // A folder the system code page holds exactly keeps the form earlier builds read (an ASCII
  // one byte for byte); any other goes in UTF-8 behind the mark, never best-fit or "?".
  const std::optional<std::string> legacy = platform::SystemCodePageFromUtf8(folder);
  return platform::WriteTextFile(recordPath, legacy ? *legacy : std::string(kUtf8Mark) + folder);
}
