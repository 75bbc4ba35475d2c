#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/framework.h"
#include "scripted_dialog.h"
#include "test_resources.h"

namespace {

using framework_test::ScriptedDialog;

class ProgressDialog : public ScriptedDialog {
 public:
  using ScriptedDialog::ScriptedDialog;
  CProgressCtrl m_progress;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_PROGRESS, m_progress); }
};

std::string ToolText(CToolTipCtrl& tip, CWnd& tool, UINT_PTR id) {
  char text[80] = {};
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = tool.m_hWnd;
  info.uId = id;
  info.lpszText = text;
  tip.SendMessage(TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
  return text;
}

TEST(ProgressCtrlTest, PositionStaysWithinTheRange) {
  ProgressDialog dialog({[](ScriptedDialog& d) {
    CProgressCtrl& progress = static_cast<ProgressDialog&>(d).m_progress;
    progress.SetRange(0, 100);
    EXPECT_EQ(0, progress.SetPos(40));
    EXPECT_EQ(40, progress.SetPos(150));
    EXPECT_EQ(100, progress.GetPos());
    progress.SetPos(-5);
    EXPECT_EQ(0, progress.GetPos());
    EXPECT_FALSE(progress.IsWindowVisible());
    progress.ShowWindow(SW_SHOW);
    EXPECT_TRUE(progress.IsWindowVisible());
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(ToolTipCtrlTest, ToolsAndTextsAndOwnership) {
  CToolTipCtrl outlivesItsOwner;
  HWND scopedTip = nullptr;
  ScriptedDialog dialog({[&](ScriptedDialog& d) {
    {
      CToolTipCtrl tip;
      ASSERT_TRUE(tip.Create(&d));
      scopedTip = tip.m_hWnd;
      EXPECT_EQ(d.m_hWnd, GetWindow(tip.m_hWnd, GW_OWNER));
      CWnd* label = d.GetDlgItem(IDC_PLAIN_TEXT);
      ASSERT_TRUE(tip.AddTool(label, "http://example.invalid/", nullptr, 1));
      EXPECT_EQ(1, tip.SendMessage(TTM_GETTOOLCOUNT));
      EXPECT_EQ("http://example.invalid/", ToolText(tip, *label, 1));
      tip.UpdateTipText("changed", label, 1);
      EXPECT_EQ("changed", ToolText(tip, *label, 1));
    }
    EXPECT_FALSE(IsWindow(scopedTip));
    ASSERT_TRUE(outlivesItsOwner.Create(&d));
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
  // Destroyed with the dialog that owned it: the object lets go of the window.
  EXPECT_EQ(nullptr, outlivesItsOwner.m_hWnd);
}

}  // namespace
