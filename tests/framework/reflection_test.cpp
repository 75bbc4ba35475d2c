#include <gtest/gtest.h>

#include <vector>

#include "framework/framework.h"
#include "scripted_dialog.h"
#include "test_controls.h"
#include "test_resources.h"

namespace {

using framework_test::ColouredStatic;
using framework_test::RecordingButton;
using framework_test::ScriptedDialog;

// Leaves WM_DRAWITEM and WM_CTLCOLOR* to the framework's reflection.
class ReflectingDialog : public ScriptedDialog {
 public:
  using ScriptedDialog::ScriptedDialog;

  RecordingButton m_button;
  ColouredStatic m_text;
  int pushClicks = 0;
  int textCommands = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_OWNER_DRAWN, m_button);
    DDX_Control(dx, IDC_TEXT, m_text);
  }
  void OnPush() { ++pushClicks; }
  void OnTextCommand() { ++textCommands; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingDialog, ScriptedDialog)
ON_BN_CLICKED(IDC_PUSH, &ReflectingDialog::OnPush)
ON_CONTROL(STN_CLICKED, IDC_TEXT, &ReflectingDialog::OnTextCommand)
END_MESSAGE_MAP()

// Handles WM_CTLCOLOR* itself, starting from the base answer.
class ColourJudgingDialog : public ReflectingDialog {
 public:
  using ReflectingDialog::ReflectingDialog;

  struct Request {
    int controlId;
    UINT ctlColor;
  };
  std::vector<Request> requests;

 protected:
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor) {
    const HBRUSH brush = ReflectingDialog::OnCtlColor(dc, control, ctlColor);
    requests.push_back({control->GetDlgCtrlID(), ctlColor});
    return brush;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColourJudgingDialog, ReflectingDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

HBRUSH AskColour(CWnd& dialog, int controlId, HDC dc) {
  return reinterpret_cast<HBRUSH>(
      dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(::GetDlgItem(dialog.m_hWnd, controlId))));
}

TEST(ReflectionTest, OwnerDrawnButtonPaintsItselfWhenTheParentIsAsked) {
  ReflectingDialog dialog({[](ScriptedDialog& d) {
    auto& self = static_cast<ReflectingDialog&>(d);
    self.m_button.drawnItemIds.clear();
    RedrawWindow(self.m_button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(std::vector<UINT>{IDC_OWNER_DRAWN}, self.m_button.drawnItemIds);
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(ReflectionTest, StaticAnswersItsColourRequestOrLeavesItToTheParent) {
  ReflectingDialog dialog({[](ScriptedDialog& d) {
    auto& self = static_cast<ReflectingDialog&>(d);
    CClientDC dc(&self.m_text);
    EXPECT_EQ(self.m_text.brush.GetSafeHandle(), AskColour(d, IDC_TEXT, dc.m_hDC));
    EXPECT_EQ(ColouredStatic::kTextColour, GetTextColor(dc.m_hDC));

    const HBRUSH plainBrush = AskColour(d, IDC_PLAIN_TEXT, dc.m_hDC);
    EXPECT_NE(nullptr, plainBrush);
    self.m_text.declines = true;
    EXPECT_EQ(plainBrush, AskColour(d, IDC_TEXT, dc.m_hDC));

    // The static's own painting asks the same way.
    self.m_text.colourRequests.clear();
    RedrawWindow(self.m_text.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(self.m_text.colourRequests.empty());
    for (UINT ctlColor : self.m_text.colourRequests) {
      EXPECT_EQ(static_cast<UINT>(CTLCOLOR_STATIC), ctlColor);
    }
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(ReflectionTest, ParentHandlerGetsTheChildsAnswerFromTheBase) {
  ColourJudgingDialog dialog({[](ScriptedDialog& d) {
    auto& self = static_cast<ColourJudgingDialog&>(d);
    CClientDC dc(&self.m_text);
    self.requests.clear();
    EXPECT_EQ(self.m_text.brush.GetSafeHandle(), AskColour(d, IDC_TEXT, dc.m_hDC));
    EXPECT_NE(nullptr, AskColour(d, IDC_PLAIN_TEXT, dc.m_hDC));
    ASSERT_EQ(2u, self.requests.size());
    EXPECT_EQ(IDC_TEXT, self.requests[0].controlId);
    EXPECT_EQ(IDC_PLAIN_TEXT, self.requests[1].controlId);
    EXPECT_EQ(static_cast<UINT>(CTLCOLOR_STATIC), self.requests[1].ctlColor);
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(ReflectionTest, ChildHandlesItsNotificationBeforeTheParent) {
  ReflectingDialog dialog({[](ScriptedDialog& d) {
    auto& self = static_cast<ReflectingDialog&>(d);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEXT, STN_CLICKED),
                  reinterpret_cast<LPARAM>(self.m_text.m_hWnd));
    EXPECT_EQ(1, self.m_text.clicks);
    EXPECT_EQ(0, self.textCommands);

    // An unbound control's notification goes to the parent's table.
    ::SendMessageA(::GetDlgItem(d.m_hWnd, IDC_PUSH), BM_CLICK, 0, 0);
    EXPECT_EQ(1, self.pushClicks);
    d.EndDialog(IDOK);
  }});
  EXPECT_EQ(IDOK, dialog.DoModal());
}

}  // namespace
