#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "framework/modal_hooks.h"
#include "scripted_dialog.h"
#include "test_controls.h"
#include "test_resources.h"

namespace {

using framework_test::RecordingButton;
using framework_test::ScriptedDialog;

constexpr UINT kProbe = WM_USER + 0x40;
constexpr UINT kSwallowed = framework_test::kPrivateMessage;

size_t IndexOf(const std::vector<std::string>& events, const std::string& event) {
  return static_cast<size_t>(std::find(events.begin(), events.end(), event) - events.begin());
}

class BoundDialog : public ScriptedDialog {
 public:
  using ScriptedDialog::ScriptedDialog;

  RecordingButton m_button;
  CProgressCtrl m_progress;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_OWNER_DRAWN, m_button);
    DDX_Control(dx, IDC_PROGRESS, m_progress);
  }
};

TEST(DialogTest, EndsFromAPostedMessageWithItsCodeAfterSeeingItsCreation) {
  ScriptedDialog dialog({[](ScriptedDialog& d) { d.EndDialog(42); }});
  EXPECT_EQ(42, dialog.DoModal());
  EXPECT_EQ(nullptr, dialog.m_hWnd);
  // The object is bound while the window is created, so it sees the creation's WM_SIZE.
  ASSERT_LT(IndexOf(dialog.events, "size"), dialog.events.size());
  EXPECT_LT(IndexOf(dialog.events, "size"), IndexOf(dialog.events, "init"));
}

TEST(DialogTest, EscapeAndTheCloseCommandCancel) {
  const auto pressEscape = [](ScriptedDialog& d) {
    d.GetDlgItem(IDC_PUSH)->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  };
  const auto closeFromSystemMenu = [](ScriptedDialog& d) {
    d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  for (const ScriptedDialog::Step& step :
       {ScriptedDialog::Step(pressEscape), ScriptedDialog::Step(closeFromSystemMenu)}) {
    ScriptedDialog dialog({step});
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(1, std::count(dialog.events.begin(), dialog.events.end(), "cancel"));
  }
}

TEST(DialogTest, MissingTemplateFailsWithoutBinding) {
  ScriptedDialog dialog({}, 999);
  EXPECT_EQ(-1, dialog.DoModal());
  EXPECT_EQ(nullptr, dialog.m_hWnd);
  EXPECT_TRUE(dialog.events.empty());
}

TEST(DataExchangeTest, BindsControlsThatThenReceiveTheirMessagesUntilDestroyed) {
  HWND buttonWindow = nullptr;
  BoundDialog dialog({[&](ScriptedDialog& d) {
                        auto& self = static_cast<BoundDialog&>(d);
                        buttonWindow = ::GetDlgItem(d.m_hWnd, IDC_OWNER_DRAWN);
                        EXPECT_EQ(buttonWindow, self.m_button.m_hWnd);
                        EXPECT_EQ(buttonWindow, self.m_button.hwndWhenBound);
                        EXPECT_EQ(&self.m_button, CWnd::FromHandlePermanent(buttonWindow));
                        EXPECT_EQ(&self.m_button, d.GetDlgItem(IDC_OWNER_DRAWN));
                        EXPECT_EQ(5, SendMessageA(buttonWindow, kSwallowed, 0, 0));
                        EXPECT_EQ(1, self.m_button.privateMessages);
                        EXPECT_NE(nullptr, self.m_progress.m_hWnd);
                      },
                      // OnOK exchanges data again: bound controls stay as they are.
                      [](ScriptedDialog& d) { d.PostMessage(WM_COMMAND, IDOK, 0); }});
  EXPECT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ(nullptr, dialog.m_button.m_hWnd);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(buttonWindow));
}

TEST(DataExchangeTest, MissingItemFailsTheExchangeButTheOthersBind) {
  class MissingItemDialog : public ScriptedDialog {
   public:
    using ScriptedDialog::ScriptedDialog;
    CStatic m_missing;
    CButton m_push;

   protected:
    void DoDataExchange(CDataExchange* dx) override {
      DDX_Control(dx, 999, m_missing);
      DDX_Control(dx, IDC_PUSH, m_push);
    }
  };
  BOOL exchanged = TRUE;
  MissingItemDialog dialog({[&](ScriptedDialog& d) {
    exchanged = d.UpdateData(FALSE);
    d.EndDialog(IDOK);
  }});
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_FALSE(exchanged);
  EXPECT_EQ(nullptr, dialog.m_missing.m_hWnd);
}

TEST(DialogItemTest, UnboundItemsGetAStableStandIn) {
  ScriptedDialog dialog({[](ScriptedDialog& d) {
    CWnd* label = d.GetDlgItem(IDC_PLAIN_TEXT);
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(::GetDlgItem(d.m_hWnd, IDC_PLAIN_TEXT), label->m_hWnd);
    EXPECT_EQ(label, d.GetDlgItem(IDC_PLAIN_TEXT));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(label->m_hWnd));
    label->SetWindowText("changed");
    std::string text;
    label->GetWindowText(text);
    EXPECT_EQ("changed", text);
    EXPECT_EQ(nullptr, d.GetDlgItem(999));
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
}

// While something holds the hook, the modal loop offers messages to the objects of the target
// window and its parents before dispatching them.
TEST(PreTranslateTest, SeesChildMessagesAndCanSwallowThem) {
  class FilteringDialog : public BoundDialog {
   public:
    using BoundDialog::BoundDialog;
    std::vector<HWND> probeTargets;
    const fw::PreTranslateHook hook;

    BOOL PreTranslateMessage(MSG* msg) override {
      if (msg->message == kProbe) {
        probeTargets.push_back(msg->hwnd);
      }
      return msg->message == kSwallowed;
    }
  };
  HWND buttonWindow = nullptr;
  FilteringDialog dialog({[&](ScriptedDialog& d) {
                            auto& self = static_cast<FilteringDialog&>(d);
                            buttonWindow = self.m_button.m_hWnd;
                            self.m_button.PostMessage(kProbe);
                            self.m_button.PostMessage(kSwallowed);
                          },
                          [](ScriptedDialog& d) { d.EndDialog(IDOK); }});
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ(std::vector<HWND>{buttonWindow}, dialog.probeTargets);
  EXPECT_EQ(0, dialog.m_button.privateMessages);
}

}  // namespace
