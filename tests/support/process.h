#pragma once

// Helper programs of the tests (the FTP servers) are Linux programs, also when the test binary
// is a Windows one running under Wine: Wine starts a Linux program given by its Unix path.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
 public:
  // Starts argv[0] (an absolute Unix path) with the rest as its arguments, inheriting no handles
  // but the standard ones. Throws std::runtime_error when it cannot be started.
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // True with its exit status once it has ended. Under Wine a Linux child cannot be watched:
  // then this stays false and the caller relies on the child's own reports.
  bool HasExited(int& status);
  // Waits up to `timeout` for the end; ends it forcibly when it is still running then.
  void WaitOrKill(std::chrono::milliseconds timeout);

  struct Handle;

 private:
  std::unique_ptr<Handle> handle_;
};

// main's end for a test program that runs the download's threads and sockets: returns the
// result. Under Wine such a program has been seen to hang in the process's exit after all its
// tests passed and printed, holding the whole run for its time-out; there the output is flushed
// and the process ends at once with the result. The program's own exit is checked end to end
// by the GUI tests.
int EndTestProgram(int result);

// The most memory this process has held at once so far (its peak resident set), in bytes.
int64_t PeakMemoryBytes();

// A Unix path as this process opens it: itself natively, "Z:\..." under Wine.
std::string LocalPathOfUnixPath(const std::string& unixPath);

}  // namespace testsupport
