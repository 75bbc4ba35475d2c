#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/known_folders.h"
#include "platform/test_support.h"
#include "progress/resume_record.h"

namespace {

using platform_test::ScratchFolder;

std::string Desktop() {
  return platform::KnownFolderOrDriveRoot(platform::KnownFolder::Desktop);
}

void WriteBinaryFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ResumeRecordTest, WrittenFolderReadsBackAsItWas) {
  ScratchFolder folder;
  const std::string record = folder.File("program.exe.dir");
  for (const std::string chosen : {"d:\\games\\Vellomarch", "c:\\", "e:\\with space\\x"}) {
    ASSERT_TRUE(WriteRecord(record, chosen));
    EXPECT_EQ(chosen, ReadRecord(record));
  }
  std::ifstream in(folder.path() / "program.exe.dir", std::ios::binary);
  EXPECT_EQ("e:\\with space\\x", std::string(std::istreambuf_iterator<char>(in), {}));
}

TEST(ResumeRecordTest, AMissingOrEmptyRecordMeansTheDesktop) {
  ScratchFolder folder;
  EXPECT_EQ(Desktop(), ReadRecord(folder.File("none.dir")));
  for (const char* contents : {"", "\n", "\r\n", "\n\nd:\\second line"}) {
    WriteBinaryFile(folder.path() / "record.dir", contents);
    EXPECT_EQ(Desktop(), ReadRecord(folder.File("record.dir")));
  }
}

TEST(ResumeRecordTest, OnlyTheFirstLineCountsWithoutItsLineEnd) {
  ScratchFolder folder;
  const std::string record = folder.File("record.dir");
  for (const char* contents : {"d:\\games\n", "d:\\games\r\n", "d:\\games\nc:\\other\n"}) {
    WriteBinaryFile(folder.path() / "record.dir", contents);
    EXPECT_EQ("d:\\games", ReadRecord(record));
  }
  WriteBinaryFile(folder.path() / "record.dir", "d:\\" + std::string(300, 'x'));
  EXPECT_EQ("d:\\" + std::string(256, 'x'), ReadRecord(record));
}

TEST(ResumeRecordTest, AnUnwritableRecordIsReportedNotRaised) {
  ScratchFolder folder;
  EXPECT_FALSE(WriteRecord(folder.File("missing\\record.dir"), "d:\\games"));
}

TEST(ResumeRecordTest, RecordIsNamedAfterTheProgramFile) {
  const std::string path = RecordPath();
  const std::string suffix = "\\" + platform::ModuleFileName() + ".dir";
  EXPECT_EQ(0u, platform::ModuleFileName().rfind("progress_tests", 0));
  ASSERT_GT(path.size(), suffix.size());
  EXPECT_EQ(suffix, path.substr(path.size() - suffix.size()));
}

}  // namespace
