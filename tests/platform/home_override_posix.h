#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace platform_test {

// Sets or unsets HOME, where the POSIX back end finds the documents and desktop folders, for one
// test, and puts the old value back.
class HomeOverride {
 public:
  explicit HomeOverride(const char* home) {
    if (const char* old = getenv("HOME")) {
      saved_ = old;
    }
    if (home != nullptr) {
      setenv("HOME", home, 1);
    } else {
      unsetenv("HOME");
    }
  }
  ~HomeOverride() {
    if (saved_) {
      setenv("HOME", saved_->c_str(), 1);
    } else {
      unsetenv("HOME");
    }
  }
  HomeOverride(const HomeOverride&) = delete;
  HomeOverride& operator=(const HomeOverride&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace platform_test
