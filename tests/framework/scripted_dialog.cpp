#include "scripted_dialog.h"

#include <chrono>
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

bool PumpUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

}  // namespace framework_test
