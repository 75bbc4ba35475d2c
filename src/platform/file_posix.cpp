#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/file.h"
#include "platform/native_path.h"

namespace platform {

namespace {

std::string NativePath(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

}  // namespace

std::FILE* OpenCFile(const std::string& path, const char* mode) {
  return std::fopen(NativePath(path).c_str(), mode);
}

struct File::Impl {
  int fd = -1;
};

File::File() : impl_(new Impl) {}

File::~File() {
  Close();
}

bool File::OpenForWriting(const std::string& path, FileVisibility) {
  Close();
  const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    return false;
  }
  // The nearest POSIX has to an unshared open: an exclusive lock that a second holder is refused.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  impl_->fd = fd;
  return true;
}

bool File::IsOpen() const {
  return impl_->fd >= 0;
}

int64_t File::Length() const {
  struct stat status {};
  if (impl_->fd < 0 || fstat(impl_->fd, &status) != 0) {
    return -1;
  }
  return static_cast<int64_t>(status.st_size);
}

bool File::Seek(int64_t position) {
  return impl_->fd >= 0 && position >= 0 &&
         lseek(impl_->fd, static_cast<off_t>(position), SEEK_SET) == position;
}

bool File::Write(const void* data, size_t size) {
  if (impl_->fd < 0) {
    return false;
  }
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(impl_->fd, next, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    next += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool File::Truncate(int64_t length) {
  return impl_->fd >= 0 && length >= 0 && ftruncate(impl_->fd, static_cast<off_t>(length)) == 0 &&
         Seek(length);
}

bool File::Flush() {
  // The data and what is needed to read it back (the length), not the other metadata.
  return impl_->fd >= 0 && fdatasync(impl_->fd) == 0;
}

bool File::Close() {
  if (impl_->fd < 0) {
    return true;
  }
  const bool closed = close(impl_->fd) == 0;
  impl_->fd = -1;  // closed even on failure: retrying could close another file's descriptor
  return closed;
}

bool FileExists(const std::string& path) {
  struct stat status {};
  return stat(NativePath(path).c_str(), &status) == 0;
}

bool RemoveFile(const std::string& path) {
  return unlink(NativePath(path).c_str()) == 0;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  const std::string source = NativePath(from);
  const std::string destination = NativePath(to);
  // link() refuses an existing destination atomically; the source name goes once the file has
  // its new one. Like the Windows move without copying, it stays on one volume.
  if (link(source.c_str(), destination.c_str()) != 0) {
    return false;
  }
  if (unlink(source.c_str()) != 0) {
    unlink(destination.c_str());
    return false;
  }
  return true;
}

}  // namespace platform
