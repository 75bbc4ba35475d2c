#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "platform/clock.h"
#include "platform/message_target.h"

namespace platform_test {

// Long enough that only a real fault runs into it on a slow, shared machine.
constexpr uint32_t kPatienceMs = 30000;

// Pumps the calling thread's messages until done() holds; false when it never did.
inline bool PumpUntil(const std::function<bool()>& done, uint32_t patienceMs = kPatienceMs) {
  const uint32_t start = platform::TickCount();
  while (!done()) {
    const uint32_t elapsed = platform::TickCount() - start;
    if (elapsed > patienceMs) {
      return false;
    }
    platform::WaitForInput(std::min<uint32_t>(100, patienceMs - elapsed + 1));
    platform::PumpMessages();
  }
  return true;
}

// Pumps the calling thread's messages for about ms milliseconds.
inline void PumpFor(uint32_t ms) {
  PumpUntil([] { return false; }, ms);
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("platform_tests_" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of a file in the folder, in the program's form: joined with a backslash.
  std::string File(const std::string& name) const { return path_.string() + "\\" + name; }

 private:
  std::filesystem::path path_;
};

}  // namespace platform_test
