#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file.h"

// The part file holds the prefix of the remote file fetched so far; its length is the resume
// point, and its origin file (part_origin.h) says which remote file the bytes came from.

// The folder, one backslash, the file name and ".downloading". The backslash is added even after
// a folder that ends in one (a drive root), which Windows reads as a single separator.
std::string PartFilePath(const std::string& targetFolder, const std::string& fileName);
// Where the finished download ends up: the folder, one backslash, the file name.
std::string FinalFilePath(const std::string& targetFolder, const std::string& fileName);

// Opens the part file for writing with no sharing, creating it when missing and keeping its
// contents when present, and positions it at its end so that every write appends. Returns its
// length, or nothing (with the file closed) when it cannot be opened, measured or positioned.
std::optional<int64_t> OpenPartFile(platform::File& file, const std::string& path);

// The end of the download: closes the part file. True only when it held exactly remoteSize
// bytes and its close succeeded (a close can be where a delayed write fails); a part file that
// is not whole must not be handed over as the installer.
bool CloseWholePartFile(platform::File& file, int64_t remoteSize);

// Gives a whole, closed part file its final name without replacing a file already there; its
// origin file goes with it. False, with both left where they were, when the part file is missing
// or the name is taken, so the caller can report a file error and a later run can resume.
bool MoveToFinalName(const std::string& partPath, const std::string& finalPath);

// Deletes the part file and its origin file (a confirmed cancel, a damaged download).
void RemovePartFile(const std::string& partPath);
