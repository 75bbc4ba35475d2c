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

bool MovePartFileToFinal(platform::File& file, const std::string& partPath,
                         const std::string& finalPath) {
  file.Close();
  return platform::FileExists(partPath) && platform::MoveFileNoReplace(partPath, finalPath);
}
