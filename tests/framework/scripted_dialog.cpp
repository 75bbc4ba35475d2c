#include "scripted_dialog.h"

#include <utility>

namespace framework_test {
namespace {

constexpr UINT kRunStep = WM_APP + 0x100;
constexpr UINT_PTR kSafetyTimer = 0x5AFE;
constexpr UINT kSafetyDelayMs = 30000;

// Dispatched straight to this procedure, so the tables under test never see the timer.
void CALLBACK EndForgottenDialog(HWND dialog, UINT, UINT_PTR, DWORD) {
  ::EndDialog(dialog, kScriptTimedOut);
}

}  // namespace

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
ON_MESSAGE(kRunStep, &ScriptedDialog::OnRunStep)
ON_WM_SIZE()
END_MESSAGE_MAP()

ScriptedDialog::ScriptedDialog(std::vector<Step> steps, UINT templateId)
    : CDialog(templateId), m_steps(std::move(steps)) {}

BOOL ScriptedDialog::OnInitDialog() {
  events.push_back("init");
  CDialog::OnInitDialog();
  SetTimer(kSafetyTimer, kSafetyDelayMs, &EndForgottenDialog);
  PostMessage(kRunStep, 0);
  return TRUE;
}

void ScriptedDialog::OnCancel() {
  events.push_back("cancel");
  CDialog::OnCancel();
}

void ScriptedDialog::OnSize(UINT, int, int) {
  events.push_back("size");
  Default();
}

LRESULT ScriptedDialog::OnRunStep(WPARAM index, LPARAM) {
  if (index < m_steps.size()) {
    m_steps[index](*this);
    PostMessage(kRunStep, index + 1);
  }
  return 0;
}

}  // namespace framework_test
