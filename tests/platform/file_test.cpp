#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/file.h"
#include "test_support.h"

namespace {

using platform::File;
using platform_test::ScratchFolder;

// The standard streams below take the folder's own path, so only the platform calls see the
// program's backslash form.
std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(File& file, const std::string& bytes) {
  ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
}

void WriteBinaryFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(FileTest, ReopeningKeepsTheContentsAndWritesGoWhereSeekPoints) {
  ScratchFolder folder;
  const std::string path = folder.File("part.bin");
  {
    File file;
    ASSERT_TRUE(file.OpenForWriting(path));
    EXPECT_EQ(0, file.Length());
    Write(file, "hello");
  }
  File file;
  ASSERT_TRUE(file.OpenForWriting(path));
  EXPECT_EQ(5, file.Length());
  ASSERT_TRUE(file.Seek(file.Length()));
  Write(file, " world");
  EXPECT_EQ(11, file.Length());
  ASSERT_TRUE(file.Seek(0));
  Write(file, "J");
  EXPECT_FALSE(file.Seek(-1));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(-1, file.Length());
  EXPECT_FALSE(file.Write("x", 1));
  EXPECT_EQ("Jello world", Contents(folder.path() / "part.bin"));
}

TEST(FileTest, SecondOpenIsRefusedWhileTheFirstHoldsTheFile) {
  ScratchFolder folder;
  const std::string path = folder.File("held.bin");
  File first;
  File second;
  ASSERT_TRUE(first.OpenForWriting(path));
  EXPECT_FALSE(second.OpenForWriting(path));
  first.Close();
  EXPECT_TRUE(second.OpenForWriting(path));
}

TEST(FileTest, BackslashesSeparateFolders) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.path() / "sub");
  const std::string path = folder.File("sub\\name.bin");
  File file;
  ASSERT_TRUE(file.OpenForWriting(path));
  file.Close();
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "sub" / "name.bin"));
  EXPECT_TRUE(platform::FileExists(path));
  EXPECT_FALSE(file.OpenForWriting(folder.File("missing\\name.bin")));
}

TEST(FileTest, MoveNeverReplacesAndRemoveDeletes) {
  ScratchFolder folder;
  const std::string from = folder.File("a.downloading");
  const std::string to = folder.File("a.exe");
  WriteBinaryFile(folder.path() / "a.downloading", "new");
  WriteBinaryFile(folder.path() / "a.exe", "old");

  EXPECT_FALSE(platform::MoveFileNoReplace(from, to));
  EXPECT_EQ("new", Contents(folder.path() / "a.downloading"));
  EXPECT_EQ("old", Contents(folder.path() / "a.exe"));

  EXPECT_TRUE(platform::RemoveFile(to));
  EXPECT_FALSE(platform::FileExists(to));
  EXPECT_FALSE(platform::RemoveFile(to));
  EXPECT_TRUE(platform::MoveFileNoReplace(from, to));
  EXPECT_FALSE(platform::FileExists(from));
  EXPECT_EQ("new", Contents(folder.path() / "a.exe"));
}

TEST(FileTest, TextLineKeepsALineEndThatFitsAndStopsAtTheLimit) {
  ScratchFolder folder;
  const std::string path = folder.File("record.dir");
  const auto firstLine = [&path](const std::string& text, size_t maxChars) {
    EXPECT_TRUE(platform::WriteTextFile(path, text));
    std::string line = "stale";
    EXPECT_TRUE(platform::ReadTextLine(path, maxChars, line));
    return line;
  };

  EXPECT_EQ("c:\\folder", firstLine("c:\\folder", 259));
  EXPECT_EQ("c:\\folder\n", firstLine("c:\\folder\nsecond line\n", 259));
  EXPECT_EQ("", firstLine("", 259));
  EXPECT_EQ(std::string(258, 'x') + "\n", firstLine(std::string(258, 'x') + "\n", 259));
  EXPECT_EQ(std::string(259, 'x'), firstLine(std::string(259, 'x') + "\n", 259));
  EXPECT_EQ(std::string(259, 'x'), firstLine(std::string(300, 'x'), 259));

  std::string untouched = "kept";
  EXPECT_FALSE(platform::ReadTextLine(folder.File("none.dir"), 259, untouched));
  EXPECT_EQ("kept", untouched);
}

TEST(FileTest, WriteTextFileEmptiesAnExistingFile) {
  ScratchFolder folder;
  const std::string path = folder.File("record.dir");
  WriteBinaryFile(folder.path() / "record.dir", "a much longer earlier text");
  EXPECT_TRUE(platform::WriteTextFile(path, "short"));
  EXPECT_EQ("short", Contents(folder.path() / "record.dir"));
  EXPECT_FALSE(platform::WriteTextFile(folder.File("missing\\record.dir"), "text"));
}

#ifdef _WIN32
// A name that is not well-formed UTF-8 names no file: never one with a replacement character or
// a best-fit near name in its place.
TEST(FileTest, AnIllFormedNameNamesNoFile) {
  ScratchFolder folder;
  for (const char* name : {"overlong\xC0\xAF.bin", "surrogate\xED\xA0\xBD.bin"}) {
    const std::string path = folder.File(name);
    File file;
    EXPECT_FALSE(file.OpenForWriting(path)) << name;
    EXPECT_FALSE(platform::WriteTextFile(path, "x")) << name;
    EXPECT_FALSE(platform::FileExists(path)) << name;
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}
#endif

}  // namespace
