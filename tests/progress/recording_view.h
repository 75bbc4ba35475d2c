#pragma once

#include <string>
#include <vector>

#include "engine/download_view.h"
#include "platform/message_target.h"

namespace progresstest {

// Stands in for the main window: records every call as one line ("time: 57 seconds remaining")
// in the order the calls came.
class RecordingView : public IDownloadView {
 public:
  void SetStatusText(const std::string& text) override { Record("status", text); }
  void SetTimeText(const std::string& text) override { Record("time", text); }
  void RedrawStatusLine() override { Record("redraw", ""); }
  void SetProgressPosition(int percent) override { Record("progress", std::to_string(percent)); }
  void SetTrayTooltip(const std::string& text) override { Record("tooltip", text); }
  void ShowReadyToStart() override { Record("ready", ""); }
  void ShowActivity(DownloadActivity activity) override {
    Record("activity", std::to_string(static_cast<int>(activity)));
  }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    Record("message", caption + ": " + text);
  }
  void LockWindowUpdate() override { Record("lock", ""); }
  void UnlockWindowUpdate() override { Record("unlock", ""); }
  platform::MessageTarget& MessageTarget() override { return target_; }

  std::vector<std::string> calls;

  // The text of the latest call of the kind, or "" when there was none.
  std::string Last(const std::string& kind) const {
    const std::string prefix = kind + ": ";
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
      if (call->compare(0, prefix.size(), prefix) == 0) {
        return call->substr(prefix.size());
      }
    }
    return "";
  }

 private:
  void Record(const std::string& kind, const std::string& text) {
    calls.push_back(kind + ": " + text);
  }

  platform::MessageTarget target_{[](uint32_t, uintptr_t, intptr_t) {}};
};

}  // namespace progresstest
