#include <gtest/gtest.h>

#include <string>

#include "framework/app_name.h"
#include "framework/framework.h"
#include "test_resources.h"

namespace {

class TestApp : public CWinApp {
 public:
  BOOL InitInstance() override { return FALSE; }
};

struct SeenBox {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
};
SeenBox g_seen;

BOOL CALLBACK ReadAndCloseBox(HWND hwnd, LPARAM) {
  char className[16] = {};
  GetClassNameA(hwnd, className, sizeof(className));
  if (std::string(className) != "#32770" || !IsWindowVisible(hwnd)) {
    return TRUE;
  }
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  g_seen.caption = text;
  // A message box shows its text in the static with id 0xFFFF.
  GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof(text));
  g_seen.text = text;
  g_seen.owner = GetWindow(hwnd, GW_OWNER);
  PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
  return FALSE;
}

// Called from the message box's own loop until the box is there to answer.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!EnumThreadWindows(GetCurrentThreadId(), &ReadAndCloseBox, 0)) {
    KillTimer(nullptr, timer);
  }
}

SeenBox ShowAndAnswer(int (*show)()) {
  g_seen = SeenBox{};
  SetTimer(nullptr, 0, 10, &AnswerMessageBox);
  EXPECT_EQ(IDOK, show());
  return g_seen;
}

TEST(MessageBoxTest, CaptionIsTheProgramNameWithOrWithoutAnApplication) {
  const SeenBox withoutApp = ShowAndAnswer([] { return AfxMessageBox("no app yet"); });
  EXPECT_EQ("framework_tests", withoutApp.caption);
  EXPECT_EQ("no app yet", withoutApp.text);

  TestApp app;
  EXPECT_STREQ("framework_tests", app.m_pszAppName);
  EXPECT_EQ(&app, AfxGetApp());
  const SeenBox withApp = ShowAndAnswer([] { return AfxMessageBox(IDS_GREETING, MB_ICONSTOP); });
  EXPECT_EQ("framework_tests", withApp.caption);
  EXPECT_EQ("Greetings from the string table.", withApp.text);
}

TEST(MessageBoxTest, OwnedByTheMainWindow) {
  TestApp app;
  CWnd mainWindow;
  const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(mainWindow.SubclassWindow(window));
  app.m_pMainWnd = &mainWindow;
  EXPECT_EQ(window, ShowAndAnswer([] { return AfxMessageBox("owned"); }).owner);
  DestroyWindow(window);
}

TEST(AppNameTest, FileTitleDropsFolderAndLastExtensionOnly) {
  EXPECT_EQ("Getter", fw::FileTitle("D:\\Tools\\Getter.exe"));
  EXPECT_EQ("setup", fw::FileTitle("C:\\odd.folder\\setup"));
  EXPECT_EQ("my.tool", fw::FileTitle("\\\\server\\share\\my.tool.exe"));
  EXPECT_EQ("prog", fw::FileTitle("C:prog.exe"));
  EXPECT_EQ(".hidden", fw::FileTitle("C:\\x\\.hidden"));
}

}  // namespace
