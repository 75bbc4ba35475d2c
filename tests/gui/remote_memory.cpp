#include "remote_memory.h"

#include <string>

#include "driver_commands.h"

namespace gui_driver {

namespace {

std::string LastError(const char* what) {
  return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

}  // namespace

RemoteBuffer::RemoteBuffer(HWND window, size_t size) : size_(size) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  process_ =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (process_ == nullptr) {
    throw Failure(LastError("opening the window's process"));
  }
  address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (address_ == nullptr) {
    const std::string message = LastError("allocating in the window's process");
    CloseHandle(process_);
    throw Failure(message);
  }
}

RemoteBuffer::~RemoteBuffer() {
  VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  CloseHandle(process_);
}

void RemoteBuffer::Write(size_t offset, const void* data, size_t size) {
  SIZE_T written = 0;
  if (offset + size > size_ || !WriteProcessMemory(process_, At(offset), data, size, &written) ||
      written != size) {
    throw Failure(LastError("writing to the window's process"));
  }
}

void RemoteBuffer::Read(size_t offset, void* data, size_t size) const {
  SIZE_T read = 0;
  if (offset + size > size_ || !ReadProcessMemory(process_, At(offset), data, size, &read) ||
      read != size) {
    throw Failure(LastError("reading from the window's process"));
  }
}

}  // namespace gui_driver
