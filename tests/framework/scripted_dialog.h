#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "test_resources.h"

namespace framework_test {

// DoModal's result when a script never ended its dialog.
constexpr int kScriptTimedOut = 0x5AFE;

// A dialog of the test template that runs a test's steps once it is up, each from a message it
// posted to itself, so every message an earlier step posted is handled before the next step.
// The last step ends the dialog; a script that does not is ended after a long safety delay.
class ScriptedDialog : public CDialog {
 public:
  using Step = std::function<void(ScriptedDialog&)>;

  explicit ScriptedDialog(std::vector<Step> steps, UINT templateId = IDD_TEST_DIALOG);

  // What the dialog went through, in order ("size", "init", "cancel", ...).
  std::vector<std::string> events;

 protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;
  void OnSize(UINT type, int width, int height);

 private:
  LRESULT OnRunStep(WPARAM index, LPARAM);

  std::vector<Step> m_steps;

  DECLARE_MESSAGE_MAP()
};

}  // namespace framework_test
