#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/home_override_posix.h"
#include "platform/test_support.h"
#include "progress/resume_record.h"

namespace {

using platform_test::HomeOverride;

using platform_test::ScratchFolder;

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
