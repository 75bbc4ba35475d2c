#include "engine/part_origin.h"

#include <optional>

#include "platform/file.h"

namespace {

constexpr char kOriginSuffix[] = ".origin";
// "SIZE" or "SIZE TIME" on one line: far below this.
constexpr size_t kMaxRecordChars = 80;

std::string RecordOf(const RemoteFileIdentity& remote) {
  std::string record = std::to_string(remote.size);
  if (!remote.modified.empty()) {
    record += ' ' + remote.modified;
  }
  return record;
}

bool MadeOf(const std::string& text, const char* allowed) {
  return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

std::optional<RemoteFileIdentity> ParseRecord(const std::string& record) {
  constexpr size_t kMaxSizeDigits = 18;  // stays within a signed 64-bit number
  const size_t space = record.find(' ');
  const std::string size = record.substr(0, space);
  RemoteFileIdentity identity;
  if (space != std::string::npos) {
    identity.modified = record.substr(space + 1);
    if (!MadeOf(identity.modified, "0123456789.")) {
      return std::nullopt;
    }
  }
  if (!MadeOf(size, "0123456789") || size.size() > kMaxSizeDigits) {
    return std::nullopt;
  }
  identity.size = std::stoll(size);
  return identity;
}

}  // namespace

std::string OriginFilePath(const std::string& partPath) {
  return partPath + kOriginSuffix;
}

PartOrigin CompareOrigin(const std::string& originPath, const RemoteFileIdentity& remote) {
  if (!platform::FileExists(originPath)) {
    return PartOrigin::Unrecorded;
  }
  std::string record;
  std::optional<RemoteFileIdentity> recorded;
  if (platform::ReadTextLine(originPath, kMaxRecordChars, record)) {
    recorded = ParseRecord(record);
  }
  // A record that cannot be read says nothing of where the bytes came from: not trusted.
  if (!recorded || recorded->size != remote.size) {
    return PartOrigin::Other;
  }
  const bool bothTimesKnown = !recorded->modified.empty() && !remote.modified.empty();
  return bothTimesKnown && recorded->modified != remote.modified ? PartOrigin::Other
                                                                 : PartOrigin::Same;
}

bool WriteOrigin(const std::string& originPath, const RemoteFileIdentity& remote) {
  const std::string record = RecordOf(remote);
  platform::File file;
  // Opened without truncation, then cut: Windows refuses to recreate a hidden file.
  const bool written = file.OpenForWriting(originPath, platform::FileVisibility::Hidden) &&
                       file.Truncate(0) && file.Write(record.data(), record.size()) && file.Flush();
  return file.Close() && written;
}
