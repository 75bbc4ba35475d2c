#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <fstream>
#include <string>
#include <vector>

#include "controls/link_label.h"
#include "platform/test_support.h"
#include "platform/wide_win32.h"
#include "skin_fixture.h"

namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::string Padded(std::string text, size_t length) {
  text.resize(length, 'x');
  return text;
}

TEST(LinkOpenTest, FallsBackToTheBrowserRegisteredForWebPages) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string record = std::string(folder) + "moravent_recorded.txt";
  DeleteFileA(record.c_str());
  SetEnvironmentVariableA("MORAVENT_RECORD_FILE", record.c_str());

  const std::string recorder = controls_test::QuotedRecorderPath();
  const std::string address = "moravent-test:page";
  // Command line and address fill the 520-character buffer with its terminator, or just do not.
  const std::string longCommand = Padded(recorder + " --", 250);
  const std::string fits = Padded("moravent-test:", 268);
  const std::string overflows = fits + "x";
  struct Row {
    const char* command;
    std::string address;
    // What runs; empty: nothing, and OpenTarget returns the code.
    std::string recorded;
    int code;
  };
  const std::string withQuotedPlaceholder = recorder + " \"%1\" --after";
  const std::string withPlaceholder = recorder + " %1 --after";
  const std::string withoutPlaceholder = recorder + " --no-placeholder";
  // A browser in a folder the ANSI code page cannot name (a per-user install in a profile).
  const std::wstring worldFolder = platform::WideText(std::string(folder) + "Łukasz ダウンロード");
  CreateDirectoryW(worldFolder.c_str(), nullptr);
  const std::string worldRecorder = platform::Utf8Text(worldFolder) + "\\recorder.exe";
  CopyFileW(platform::WideText(recorder.substr(1, recorder.size() - 2)).c_str(),
            platform::WideText(worldRecorder).c_str(), FALSE);
  const std::string inWorldFolder = "\"" + worldRecorder + "\" --in-profile";
  const Row rows[] = {
      {longCommand.c_str(), overflows, "", SE_ERR_OOM},
      {nullptr, address, "", SE_ERR_NOASSOC},
      {withQuotedPlaceholder.c_str(), address, recorder + "  " + address, 0},
      {withPlaceholder.c_str(), address, recorder + "  " + address, 0},
      {withoutPlaceholder.c_str(), address, withoutPlaceholder + " " + address, 0},
      {longCommand.c_str(), fits, longCommand + " " + fits, 0},
      {inWorldFolder.c_str(), address, inWorldFolder + " " + address, 0},
  };
  std::vector<std::string> expected;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command != nullptr ? row.command : "no command");
    controls_test::RegisterWebPageCommand(row.command);
    const int result = CLinkLabel::OpenTarget(row.address, SW_SHOW);
    if (row.recorded.empty()) {
      EXPECT_EQ(row.code, result);
      continue;
    }
    EXPECT_GT(result, 32);
    expected.push_back(row.recorded);
    ASSERT_TRUE(platform_test::PumpUntil([&] { return Lines(record).size() >= expected.size(); }));
  }
  // Nothing ran for the rows that were refused.
  EXPECT_EQ(expected, Lines(record));
}

TEST(LinkOpenTest, RegistryDefaultIsTextOrAFailureCode) {
  const std::string key = "Software\\MoraventControlsTest";
  const struct {
    const char* subkey;
    std::string value;
    LONG error;
  } rows[] = {
      {"missing", "", ERROR_FILE_NOT_FOUND},
      {"short", "abc", ERROR_SUCCESS},
      {"longest", std::string(259, 'v'), ERROR_SUCCESS},
      {"too long", std::string(260, 'v'), ERROR_MORE_DATA},
  };
  for (const auto& row : rows) {
    const std::string subkey = key + "\\" + row.subkey;
    if (!row.value.empty()) {
      RegSetValueA(HKEY_CURRENT_USER, subkey.c_str(), REG_SZ, row.value.c_str(), 0);
    }
    std::string output = "untouched";
    EXPECT_EQ(row.error, CLinkLabel::ReadRegistryDefault(HKEY_CURRENT_USER, subkey, output))
        << row.subkey;
    EXPECT_EQ(row.error == ERROR_SUCCESS ? row.value : "untouched", output) << row.subkey;
  }
}

TEST(LinkOpenTest, ErrorTextsNameTheFailure) {
  const std::string intro = "Unable to open hyperlink:\n\n";
  EXPECT_EQ(intro + "A sharing violation occurred. ", CLinkLabel::OpenErrorText(26));
  EXPECT_EQ(intro + "There is no application associated\nwith the given filename extension.",
            CLinkLabel::OpenErrorText(31));
  EXPECT_EQ(intro + "Unknown Error (4) occurred.", CLinkLabel::OpenErrorText(4));
}

}  // namespace
