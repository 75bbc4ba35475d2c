#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// Paths are UTF-8 strings in the program's Windows form ("C:\dir\name"); the POSIX back end
// reads every backslash as a folder separator. On Windows a path that is not well-formed UTF-8
// names no file: every call on it fails.

// Hidden: left out of the folder's usual view where the OS has such a mark (Windows).
enum class FileVisibility { Normal, Hidden };

// A file opened for writing without truncation, shared with no one where the OS allows it.
class File {
 public:
  File();
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Creates the file when missing (with the visibility given) and keeps its contents when
  // present. Position 0.
  bool OpenForWriting(const std::string& path, FileVisibility visibility = FileVisibility::Normal);
  bool IsOpen() const;
  // The length in bytes, or -1 on failure.
  int64_t Length() const;
  bool Seek(int64_t position);
  // Writes all bytes at the current position, or returns false. On failure a prefix of the
  // data may have been written.
  bool Write(const void* data, size_t size);
  // Cuts the file to the given length and positions it at the new end.
  bool Truncate(int64_t length);
  // Returns once every byte written so far is on the disk, not only in the system's cache.
  bool Flush();
  // False when the system reports an error as it closes (a delayed write that failed); true
  // when nothing was open.
  bool Close();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);
// Fails when the destination exists.
bool MoveFileNoReplace(const std::string& from, const std::string& to);
// Reads the first line in text mode, at most maxChars characters; a line end that fits stays in
// the text. False when the file cannot be opened.
bool ReadTextLine(const std::string& path, size_t maxChars, std::string& line);
// Creates or empties the file and writes the text in text mode, no line end added.
bool WriteTextFile(const std::string& path, const std::string& text);
// Reads the file from its start in blocks, handing each to consume, which returns false to stop
// early. False when the file cannot be opened or read, or consume stopped.
bool ReadFileBlocks(const std::string& path,
                    const std::function<bool(const unsigned char* data, size_t size)>& consume);

}  // namespace platform
