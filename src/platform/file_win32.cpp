#include <windows.h>

#include <algorithm>

#include "platform/file.h"
#include "platform/native_path.h"
#include "platform/wide_win32.h"

namespace platform {

std::FILE* OpenCFile(const std::string& path, const char* mode) {
  const std::optional<std::wstring> widePath = WidePath(path);
  return widePath ? _wfopen(widePath->c_str(), WideText(mode).c_str()) : nullptr;
}

struct File::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

File::File() : impl_(new Impl) {}

File::~File() {
  Close();
}

bool File::OpenForWriting(const std::string& path, FileVisibility visibility) {
  Close();
  // The attributes apply only when the file is created; an existing hidden file opens as it is.
  const DWORD attributes =
      visibility == FileVisibility::Hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
  if (const std::optional<std::wstring> widePath = WidePath(path)) {
    impl_->handle =
        CreateFileW(widePath->c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, attributes, nullptr);
  }
  return IsOpen();
}

bool File::IsOpen() const {
  return impl_->handle != INVALID_HANDLE_VALUE;
}

int64_t File::Length() const {
  LARGE_INTEGER length{};
  if (!IsOpen() || !GetFileSizeEx(impl_->handle, &length)) {
    return -1;
  }
  return length.QuadPart;
}

bool File::Seek(int64_t position) {
  LARGE_INTEGER distance{};
  distance.QuadPart = position;
  return IsOpen() && position >= 0 &&
         SetFilePointerEx(impl_->handle, distance, nullptr, FILE_BEGIN) != FALSE;
}

bool File::Write(const void* data, size_t size) {
  if (!IsOpen()) {
    return false;
  }
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    // WriteFile takes at most a DWORD's worth of bytes per call.
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 0x40000000u));
    DWORD written = 0;
    if (!WriteFile(impl_->handle, next, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    next += written;
    size -= written;
  }
  return true;
}

bool File::Truncate(int64_t length) {
  return Seek(length) && SetEndOfFile(impl_->handle) != FALSE;
}

bool File::Flush() {
  return IsOpen() && FlushFileBuffers(impl_->handle) != FALSE;
}

bool File::Close() {
  if (!IsOpen()) {
    return true;
  }
  const bool closed = CloseHandle(impl_->handle) != FALSE;
  impl_->handle = INVALID_HANDLE_VALUE;
  return closed;
}

bool FileExists(const std::string& path) {
  const std::optional<std::wstring> widePath = WidePath(path);
  return widePath && GetFileAttributesW(widePath->c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) {
  const std::optional<std::wstring> widePath = WidePath(path);
  return widePath && DeleteFileW(widePath->c_str()) != FALSE;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  const std::optional<std::wstring> source = WidePath(from);
  const std::optional<std::wstring> destination = WidePath(to);
  return source && destination && MoveFileW(source->c_str(), destination->c_str()) != FALSE;
}

}  // namespace platform
