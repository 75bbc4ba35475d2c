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
  for (const std::string chosen :
       {"d:\\games\\Vellomarch", "c:\\", "d:\\Łukasz ダウンロード 📁", "e:\\with space\\x"}) {
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
  // In UTF-8 the limit counts characters as Windows does, and cuts none in half.
  std::string japanese;
  for (int i = 0; i < 256; ++i) {
    japanese += "ダ";
  }
  const std::string mark = "\xEF\xBB\xBF";
  WriteBinaryFile(folder.path() / "record.dir", mark + "d:\\" + japanese + "\r\n");
  EXPECT_EQ("d:\\" + japanese, ReadRecord(record));
  WriteBinaryFile(folder.path() / "record.dir", mark + "d:\\" + std::string(255, 'x') + "📁");
  EXPECT_EQ("d:\\" + std::string(255, 'x'), ReadRecord(record));
}

#ifdef _WIN32
// Earlier builds read and wrote the record in the ANSI code page (1252 here).
TEST(ResumeRecordTest, AFolderTheCodePageHoldsKeepsTheFormEarlierBuildsRead) {
  ScratchFolder folder;
  const std::string record = folder.File("record.dir");
  WriteBinaryFile(folder.path() / "record.dir", "d:\\caf\xE9");
  EXPECT_EQ("d:\\café", ReadRecord(record));
  ASSERT_TRUE(WriteRecord(record, "d:\\café"));
  std::ifstream in(folder.path() / "record.dir", std::ios::binary);
  EXPECT_EQ("d:\\caf\xE9", std::string(std::istreambuf_iterator<char>(in), {}));
}
#endif

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
