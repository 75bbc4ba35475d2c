// Memory in another process's address space. Some messages answer through a pointer (a tool
// tip's text, a path to select), and the window that gets them reads and writes that pointer
// in its own process.
#pragma once

#include <windows.h>

#include <cstddef>

namespace gui_driver {

class RemoteBuffer {
 public:
  // Throws Failure when the window's process cannot be opened or holds no more memory.
  RemoteBuffer(HWND window, size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  // Where the buffer lies in the other process, for the messages' pointers.
  void* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
  void Write(size_t offset, const void* data, size_t size);
  void Read(size_t offset, void* data, size_t size) const;

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};

}  // namespace gui_driver
