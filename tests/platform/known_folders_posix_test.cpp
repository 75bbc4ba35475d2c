#include <gtest/gtest.h>

#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/known_folders.h"

namespace {

using platform::KnownFolder;

// Sets or unsets HOME for one test and puts the old value back.
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

 private:
  std::optional<std::string> saved_;
};

TEST(KnownFoldersPosixTest, FoldersLiveUnderHome) {
  HomeOverride home("/home/someone");
  EXPECT_EQ("/home/someone/Documents", platform::FindKnownFolder(KnownFolder::Documents));
  EXPECT_EQ("/home/someone/Desktop", platform::FindKnownFolder(KnownFolder::Desktop));
  EXPECT_EQ("/home/someone/Desktop", platform::KnownFolderOrDriveRoot(KnownFolder::Desktop));
}

TEST(KnownFoldersPosixTest, NoHomeMeansNoFolderAndTheDriveRoot) {
  for (const char* home : {static_cast<const char*>(nullptr), ""}) {
    HomeOverride override(home);
    EXPECT_EQ(std::nullopt, platform::FindKnownFolder(KnownFolder::Documents));
    EXPECT_EQ(std::nullopt, platform::FindKnownFolder(KnownFolder::Desktop));
    EXPECT_EQ("c:\\", platform::KnownFolderOrDriveRoot(KnownFolder::Documents));
  }
}

}  // namespace
