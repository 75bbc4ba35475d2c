#pragma once

// Runs a whole CDownloadJob against a test FTP server, headless: a recording view on the test's
// thread, the progress monitor, and timer ticks driven by the test.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/download_job.h"
#include "engine/timers.h"
#include "platform/message_target.h"
#include "platform/test_support.h"
#include "progress/progress_monitor.h"
#include "support/ftp_server.h"

namespace jobtest {

constexpr char kServedPath[] = "manual/vm/Clients/Setup_Vellomarch_1.11.exe";
constexpr char kCompleted[] = "Download completed...";
constexpr char kNoticeSuffix[] = " : Automatic resume when restore problem";
constexpr char kServerFileChanged[] =
    "The installer on the server has changed: downloading it again from the start";

// A server with the installer of the given size under the product's directory.
testsupport::ServerOptions InstallerServer(testsupport::ServerKind kind, int64_t size,
                                           std::vector<std::string> faults = {},
                                           int64_t maxRatePerConnection = 0);

// Stands in for the main window: records what the job and the monitor show, and hands the
// messages of its target to a dispatcher.
class RecordingView : public IDownloadView {
 public:
  explicit RecordingView(platform::MessageHandler dispatch);

  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  void SetTimeText(const std::string& text) override { timeTexts.push_back(text); }
  void RedrawStatusLine() override {}
  void SetProgressPosition(int percent) override { progress = percent; }
  void SetTrayTooltip(const std::string& text) override { tooltip = text; }
  void ShowReadyToStart() override { ++readyToStartShown; }
  void ShowActivity(DownloadActivity activity) override { activities.push_back(activity); }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + ": " + text);
  }
  void LockWindowUpdate() override { ++lockDepth; }
  void UnlockWindowUpdate() override { --lockDepth; }
  platform::MessageTarget& MessageTarget() override { return target_; }

  // "Download completed..." has been shown.
  bool Completed() const;
  // The restart notices among the status texts, in order.
  std::vector<std::string> Notices() const;

  std::vector<std::string> statusTexts;
  std::vector<std::string> timeTexts;
  std::vector<std::string> messages;
  std::string tooltip;
  int progress = -1;
  int lockDepth = 0;
  int readyToStartShown = 0;
  std::vector<DownloadActivity> activities;

 private:
  platform::MessageTarget target_;
};

// What a test sets of the job's settings beside the server and the folder.
struct JobOptions {
  int32_t timeoutSec = 30;     // the base network time-out the workers derive theirs from
  std::string expectedSha256;  // the hash a build would name, or empty
  int32_t segmentsPerPass = 1;
};

// The job wired as the window wires it. Timer messages are counted as they fall due but only
// acted on when realTimers is set; tests normally drive the ticks with Tick().
class JobHarness {
 public:
  JobHarness(uint16_t port, const std::string& targetFolder, const JobOptions& options = {});

  // The start command, then the size probe's report (asking again on each retry tick) and the
  // start tick. False when the size never came.
  bool Start();
  // Delivers what the workers posted, then runs one tick of the timer, as the message queue
  // would (timers come only when no posted message waits).
  void Tick(uint32_t timerId);
  // Handles messages for about this long.
  void Pump(uint32_t ms);
  bool PumpUntil(const std::function<bool()>& done);
  // Pumps and runs a scheduler tick (and now and then a display tick) every 50 ms until the
  // job has completed or reported an error. False when it did neither in time.
  bool RunToEnd();
  bool AllListedWorkersFinished() const;

  std::map<uint32_t, int> timerTicksDue;
  bool realTimers = false;
  RecordingView view;
  CProgressMonitor monitor;
  CDownloadJob job;

 private:
  void Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam);
};

// The scratch folder as the target folder the user would pick.
std::string FolderOf(const platform_test::ScratchFolder& folder);

// Files in the test's folder, in the program's form of path and as bytes.
std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool Exists(const std::string& path);

int CountCommands(const testsupport::FtpServer& server, const std::string& line);

}  // namespace jobtest
