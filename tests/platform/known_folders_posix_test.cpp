#include <gtest/gtest.h>

#include <stdlib.h>

#include <optional>
#include <string>

#include "home_override_posix.h"
#include "platform/known_folders.h"

namespace {

using platform_test::HomeOverride;

using platform::KnownFolder;

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
