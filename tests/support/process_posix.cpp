#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testsupport {

struct ChildProcess::Handle {
  pid_t pid = -1;
  bool reaped = false;
  int status = 0;
};

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
    : handle_(std::make_unique<Handle>()) {
  std::vector<char*> arguments;
  for (const std::string& argument : argv) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);

  // The test's own sockets (its FTP connections, other servers' lifelines) must not live on in
  // the child: a connection it held open would never be seen to close. Its input and output are
  // nothing; a test binary started without them could pass sockets under their numbers.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  int error =
      posix_spawn(&handle_->pid, arguments[0], &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
  }
}

ChildProcess::~ChildProcess() {
  WaitOrKill(std::chrono::seconds(5));
}

bool ChildProcess::HasExited(int& status) {
  if (!handle_->reaped) {
    int raw = 0;
    if (waitpid(handle_->pid, &raw, WNOHANG) != handle_->pid) {
      return false;
    }
    handle_->reaped = true;
    handle_->status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }
  status = handle_->status;
  return true;
}

void ChildProcess::WaitOrKill(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  int status;
  while (!HasExited(status)) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(handle_->pid, SIGKILL);
      int raw;
      waitpid(handle_->pid, &raw, 0);
      handle_->reaped = true;
      handle_->status = 128 + SIGKILL;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string LocalPathOfUnixPath(const std::string& unixPath) {
  return unixPath;
}

int EndTestProgram(int result) {
  return result;
}

int64_t PeakMemoryBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;  // Linux counts in KiB
}

}  // namespace testsupport
