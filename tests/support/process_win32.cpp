#include "support/process.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <stdexcept>

namespace testsupport {
namespace {

// One argument quoted the way the C runtime splits a command line.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows: then they are doubled and it is escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // the closing quote follows them
  return quoted + "\"";
}

HANDLE OpenInheritableNul(DWORD access) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  return CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                     0, nullptr);
}

// Our error output for the child's messages, when there is one.
HANDLE InheritableErrorOutput() {
  HANDLE own = GetStdHandle(STD_ERROR_HANDLE);
  HANDLE copy = nullptr;
  if (own == nullptr || own == INVALID_HANDLE_VALUE || GetFileType(own) == FILE_TYPE_UNKNOWN ||
      !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS)) {
    return OpenInheritableNul(GENERIC_WRITE);
  }
  return copy;
}

// Standard handles of the child's own. Wine hands a Linux child whatever our standard handles
// are, and under a test run without input that is a folder, which python refuses to start with.
struct StandardHandles {
  StandardHandles()
      : input(OpenInheritableNul(GENERIC_READ)),
        output(OpenInheritableNul(GENERIC_WRITE)),
        error(InheritableErrorOutput()) {}
  ~StandardHandles() {
    for (HANDLE handle : {input, output, error}) {
      if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
      }
    }
  }
  HANDLE input;
  HANDLE output;
  HANDLE error;
};

}  // namespace

struct ChildProcess::Handle {
  // Null for a Linux program started from Wine: Wine gives no handle to it.
  HANDLE process = nullptr;
};

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
    : handle_(std::make_unique<Handle>()) {
  std::string commandLine;
  for (const std::string& argument : argv) {
    commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);
  }
  StandardHandles standard;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = standard.input;
  startup.hStdOutput = standard.output;
  startup.hStdError = standard.error;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    throw std::runtime_error("cannot start " + argv[0] + ": error " +
                             std::to_string(GetLastError()));
  }
  // For a Linux child Wine gives no process handle, and the thread field then holds no handle
  // of ours but a stray value: closing it would close some other handle of this process.
  handle_->process = info.hProcess;
  if (info.hProcess != nullptr) {
    CloseHandle(info.hThread);
  }
}

ChildProcess::~ChildProcess() {
  WaitOrKill(std::chrono::seconds(5));
  if (handle_->process != nullptr) {
    CloseHandle(handle_->process);
  }
}

bool ChildProcess::HasExited(int& status) {
  if (handle_->process == nullptr || WaitForSingleObject(handle_->process, 0) != WAIT_OBJECT_0) {
    return false;
  }
  DWORD code = 0;
  GetExitCodeProcess(handle_->process, &code);
  status = static_cast<int>(code);
  return true;
}

void ChildProcess::WaitOrKill(std::chrono::milliseconds timeout) {
  if (handle_->process == nullptr) {
    return;
  }
  if (WaitForSingleObject(handle_->process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    TerminateProcess(handle_->process, 1);
    WaitForSingleObject(handle_->process, INFINITE);
  }
}

std::string LocalPathOfUnixPath(const std::string& unixPath) {
  // Wine's drive Z: is the Unix root.
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') {
      c = '\\';
    }
  }
  return path;
}

int EndTestProgram(int result) {
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}

int64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    return 0;
  }
  return static_cast<int64_t>(counters.PeakWorkingSetSize);
}

}  // namespace testsupport
