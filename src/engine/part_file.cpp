#include "engine/part_file.h"

#include "engine/part_origin.h"

namespace {

constexpr char kPartSuffix[] = ".downloading";

}  // namespace

std::string PartFilePath(const std::string& targetFolder, const std::string& fileName) {
  return FinalFilePath(targetFolder, fileName) + kPartSuffix;
}

std::string FinalFilePath(const std::string& targetFolder, const std::string& fileName) {
  return targetFolder + "\\" + fileName;
}

std::optional<int64_t> OpenPartFile(platform::File& file, const std::string& path) {
  if (!file.OpenForWriting(path)) {
    return std::nullopt;
  }
  const int64_t length = file.Length();
  if (length < 0 || !file.Seek(length)) {
    file.Close();
    return std::nullopt;
  }
  return length;
}

bool CloseWholePartFile(platform::File& file, int64_t remoteSize) {
  const int64_t length = file.Length();
  const bool closed = file.Close();
  return length == remoteSize && closed;
}

bool MoveToFinalName(const std::string& partPath, const std::string& finalPath) {
  if (!platform::FileExists(partPath) || !platform::MoveFileNoReplace(partPath, finalPath)) {
    return false;
  }
  // Nothing is left to resume: the record goes with the part file.
  platform::RemoveFile(OriginFilePath(partPath));
  return true;
}

void RemovePartFile(const std::string& partPath) {
  // Either may be missing (a cancel before the first start tick): nothing to tell then.
  platform::RemoveFile(partPath);
  platform::RemoveFile(OriginFilePath(partPath));
}
