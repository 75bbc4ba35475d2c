#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/test_support.h"
#include "progress/resume_record.h"

namespace {

using platform_test::ScratchFolder;

// Sets or unsets HOME, where the POSIX back end finds the documents and desktop folders, for one
// test.
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

TEST(ResumeRecordPosixTest, RecordLivesInTheDocumentsFolderOrTheDriveRoot) {
  {
    HomeOverride home("/home/someone");
    EXPECT_EQ("/home/someone/Documents\\progress_tests.dir", RecordPath());
  }
  HomeOverride home(nullptr);
  EXPECT_EQ("c:\\\\progress_tests.dir", RecordPath());
}

TEST(ResumeRecordPosixTest, AChoiceSurvivesToTheNextRunAndTheFirstRunUsesTheDesktop) {
  ScratchFolder folder;
  HomeOverride home(folder.path().c_str());
  std::filesystem::create_directory(folder.path() / "Documents");

  EXPECT_EQ((folder.path() / "Desktop").string(), ReadRecord(RecordPath()));
  ASSERT_TRUE(WriteRecord(RecordPath(), "/srv/games"));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "Documents" / "progress_tests.dir"));
  EXPECT_EQ("/srv/games", ReadRecord(RecordPath()));
}

}  // namespace
