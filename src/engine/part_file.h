#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file.h"

// The part file holds the prefix of the remote file fetched so far; its length is the whole
// resume state.

// The folder, one backslash, the file name and ".downloading". The backslash is added even after
// a folder that ends in one (a drive root), which Windows reads as a single separator.
std::string PartFilePath(const std::string& targetFolder, const std::string& fileName);
// Where the finished download ends up: the folder, one backslash, the file name.
std::string FinalFilePath(const std::string& targetFolder, const std::string& fileName);

// Opens the part file for writing with no sharing, creating it when missing and keeping its
// contents when present, and positions it at its end so that every write appends. Returns its
// length, or nothing (with the file closed) when it cannot be opened, measured or positioned.
std::optional<int64_t> OpenPartFile(platform::File& file, const std::string& path);

enum class Completion {
  Moved,     // the part file now lies under the final name
  NotWhole,  // not the remote size, or its close failed: kept as it is
  NotMoved,  // whole, but missing or the final name is taken: kept as it is
};

// The completion: closes the part file and, only when it held exactly remoteSize bytes and its
// close succeeded, moves it to the final path without replacing a file already there. A part
// file that is not moved stays where it was, so the caller can report a file error and a later
// run can resume.
Completion CompletePartFile(platform::File& file, int64_t remoteSize, const std::string& partPath,
                            const std::string& finalPath);
