#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/part_file.h"
#include "platform/file.h"
#include "platform/test_support.h"

namespace {

using platform::File;
using platform_test::ScratchFolder;

constexpr char kFileName[] = "Setup_Vellomarch_1.11.exe";

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBinaryFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The folder in the program's form, so the paths below are built the way the window builds them.
std::string FolderOf(const ScratchFolder& folder) {
  return folder.path().string();
}

TEST(PartFileTest, PathsJoinWithOneBackslashEvenAfterADriveRoot) {
  EXPECT_EQ("d:\\games\\Setup_Vellomarch_1.11.exe.downloading",
            PartFilePath("d:\\games", kFileName));
  EXPECT_EQ("d:\\games\\Setup_Vellomarch_1.11.exe", FinalFilePath("d:\\games", kFileName));
  EXPECT_EQ("c:\\\\Setup_Vellomarch_1.11.exe.downloading", PartFilePath("c:\\", kFileName));
  EXPECT_EQ("c:\\\\Setup_Vellomarch_1.11.exe", FinalFilePath("c:\\", kFileName));
}

TEST(PartFileTest, OpeningCreatesAnEmptyFileAtLengthZero) {
  ScratchFolder folder;
  // Given with a trailing separator, as a drive root is: the doubled separator must still open.
  const std::string path = PartFilePath(FolderOf(folder) + "\\", kFileName);
  File file;
  EXPECT_EQ(0, OpenPartFile(file, path));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "Setup_Vellomarch_1.11.exe.downloading"));
}

TEST(PartFileTest, ReopeningKeepsAnEarlierRunsBytesAndAppendsAfterThem) {
  ScratchFolder folder;
  const auto onDisk = folder.path() / "Setup_Vellomarch_1.11.exe.downloading";
  WriteBinaryFile(onDisk, "segment0");
  File file;
  EXPECT_EQ(8, OpenPartFile(file, PartFilePath(FolderOf(folder), kFileName)));
  ASSERT_TRUE(file.Write("segment1", 8));
  file.Close();
  EXPECT_EQ("segment0segment1", Contents(onDisk));
}

TEST(PartFileTest, AFileHeldOpenElsewhereIsRefused) {
  ScratchFolder folder;
  const std::string path = PartFilePath(FolderOf(folder), kFileName);
  File holder;
  ASSERT_TRUE(holder.OpenForWriting(path));
  File file;
  EXPECT_EQ(std::nullopt, OpenPartFile(file, path));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(std::nullopt,
            OpenPartFile(file, PartFilePath(FolderOf(folder) + "\\missing", kFileName)));
}

TEST(PartFileTest, CompletionMovesTheWrittenFileToItsFinalName) {
  ScratchFolder folder;
  const std::string partPath = PartFilePath(FolderOf(folder), kFileName);
  File file;
  ASSERT_EQ(0, OpenPartFile(file, partPath));
  ASSERT_TRUE(file.Write("whole file", 10));

  EXPECT_TRUE(CloseWholePartFile(file, 10));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(MoveToFinalName(partPath, FinalFilePath(FolderOf(folder), kFileName)));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "Setup_Vellomarch_1.11.exe.downloading"));
  EXPECT_EQ("whole file", Contents(folder.path() / kFileName));
}

TEST(PartFileTest, CompletionFailsAndKeepsThePartFileWhenTheFinalNameIsTaken) {
  ScratchFolder folder;
  const std::string partPath = PartFilePath(FolderOf(folder), kFileName);
  const std::string finalPath = FinalFilePath(FolderOf(folder), kFileName);
  WriteBinaryFile(folder.path() / kFileName, "someone else's");
  File file;
  ASSERT_EQ(0, OpenPartFile(file, partPath));
  ASSERT_TRUE(file.Write("ours", 4));

  EXPECT_TRUE(CloseWholePartFile(file, 4));
  EXPECT_FALSE(MoveToFinalName(partPath, finalPath));
  EXPECT_EQ("ours", Contents(folder.path() / "Setup_Vellomarch_1.11.exe.downloading"));
  EXPECT_EQ("someone else's", Contents(folder.path() / kFileName));
}

TEST(PartFileTest, CompletionMovesNothingButAWholePartFile) {
  ScratchFolder folder;
  const std::string partPath = PartFilePath(FolderOf(folder), kFileName);
  File file;
  EXPECT_FALSE(CloseWholePartFile(file, 10)) << "none open";

  ASSERT_EQ(0, OpenPartFile(file, partPath));
  ASSERT_TRUE(file.Write("short", 5));
  EXPECT_FALSE(CloseWholePartFile(file, 10));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ("short", Contents(folder.path() / "Setup_Vellomarch_1.11.exe.downloading"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / kFileName));
}

}  // namespace
