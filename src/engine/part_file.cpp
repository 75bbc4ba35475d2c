#include "engine/part_file.h"

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

Completion CompletePartFile(platform::File& file, int64_t remoteSize, const std::string& partPath,
                            const std::string& finalPath) {
  const int64_t length = file.Length();
  // A close can be where a delayed write fails; what it leaves is no installer to hand over.
  const bool closed = file.Close();
  if (length != remoteSize || !closed) {
    return Completion::NotWhole;
  }
  if (!platform::FileExists(partPath) || !platform::MoveFileNoReplace(partPath, finalPath)) {
    return Completion::NotMoved;
  }
  return Completion::Moved;
}
