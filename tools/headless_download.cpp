// Runs the whole download without a window: the size probe, the part file, the segments, the
// scheduler and the completion, driven by the real timers, with every status-line text printed
// on a line of its own.
//
//   headless_download HOST PORT FOLDER [SEGMENTS_PER_PASS]
//
// The installer's expected SHA-256, if any, is compiled in (MORAVENT_INSTALLER_SHA256), as in the
// program; so are the segments each scheduler pass may start (MORAVENT_SEGMENTS_PER_PASS), unless
// given (1 to 15, for the bench). Exits 0 once the download has completed, 1 with the message
// when the download reports an error (a damaged file among them, or the file is already there),
// 2 on wrong use.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "engine/download_job.h"
#include "net/socket.h"
#include "platform/file.h"
#include "platform/message_target.h"
#include "progress/progress_monitor.h"

namespace {

// The window's stand-in on a console: the status line goes to standard output, message boxes to
// standard error. Each line is flushed at once, so whoever watches sees where the download is.
class ConsoleView : public IDownloadView {
 public:
  explicit ConsoleView(platform::MessageHandler handler) : m_target(std::move(handler)) {}

  void SetStatusText(const std::string& text) override {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }
  void SetTimeText(const std::string&) override {}
  void RedrawStatusLine() override {}
  void SetProgressPosition(int) override {}
  void SetTrayTooltip(const std::string&) override {}
  void ShowReadyToStart() override {}
  void ShowActivity(DownloadActivity activity) override {
    m_bCompleted = m_bCompleted || activity == DownloadActivity::Completed;
  }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    m_bFailed = true;
  }
  void LockWindowUpdate() override {}
  void UnlockWindowUpdate() override {}
  platform::MessageTarget& MessageTarget() override { return m_target; }

  bool m_bCompleted = false;
  bool m_bFailed = false;

 private:
  platform::MessageTarget m_target;
};

}  // namespace

int main(int argc, char** argv) {
  const int32_t segmentsPerPass = argc == 5 ? std::atoi(argv[4]) : MORAVENT_SEGMENTS_PER_PASS;
  if (argc < 4 || argc > 5 || segmentsPerPass < 1 || segmentsPerPass > 15) {
    std::fprintf(stderr, "usage: %s HOST PORT FOLDER [SEGMENTS_PER_PASS (1-15)]\n", argv[0]);
    return 2;
  }
  if (!net::InitSockets()) {
    std::fprintf(stderr, "cannot start the sockets layer\n");
    return 1;
  }
  DownloadSettings settings;
  settings.m_strHost = argv[1];
  settings.m_nPort = std::atoi(argv[2]);
  settings.m_strTargetFolder = argv[3];
  settings.m_strExpectedSha256 = MORAVENT_INSTALLER_SHA256;
  settings.m_nSegmentsPerPass = segmentsPerPass;

  CDownloadJob* running = nullptr;  // set while the job exists
  CProgressMonitor monitor;
  ConsoleView view([&](uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (running == nullptr) {
      return;
    }
    if (message == platform::kTimerMessage) {
      monitor.OnTimer(static_cast<uint32_t>(wParam), *running, view);
    } else {
      running->OnJobMessage(message, wParam, lParam);
    }
  });
  CDownloadJob job(settings, view, [&] { monitor.ShowComplete(view); });
  running = &job;

  // As the start command does: a finished file is never downloaded again.
  if (platform::FileExists(job.FinalPath())) {
    view.ShowMessage(job.FinalPath(), "Already download completed");
    return 1;
  }
  job.StartDownload();
  while (!view.m_bCompleted && !view.m_bFailed) {
    platform::WaitForInput(platform::kInfinite);
    platform::PumpMessages();
  }
  running = nullptr;
  return view.m_bCompleted ? 0 : 1;
}
