#include "job_harness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/clock.h"

namespace jobtest {

namespace {

// Generous: a slow, shared machine under a sanitizer must not run into it.
constexpr uint32_t kRunPatienceMs = 120000;

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::filesystem::path NativePathOf(const std::string& path) {
  std::string native = path;
#ifndef _WIN32
  std::replace(native.begin(), native.end(), '\\', '/');
#endif
  return native;
}

DownloadSettings TestSettings(uint16_t port, const std::string& targetFolder,
                              const JobOptions& options) {
  DownloadSettings settings;
  settings.m_nTimeoutSec = options.timeoutSec;
  settings.m_strExpectedSha256 = options.expectedSha256;
  settings.m_nSegmentsPerPass = options.segmentsPerPass;
  settings.m_strHost = "127.0.0.1";
  settings.m_nPort = port;
  settings.m_strTargetFolder = targetFolder;
  return settings;
}

}  // namespace

testsupport::ServerOptions InstallerServer(testsupport::ServerKind kind, int64_t size,
                                           std::vector<std::string> faults,
                                           int64_t maxRatePerConnection) {
  testsupport::ServerOptions options;
  options.kind = kind;
  options.files.push_back({kServedPath, size, false});
  options.faults = std::move(faults);
  options.maxRatePerConnection = maxRatePerConnection;
  return options;
}

RecordingView::RecordingView(platform::MessageHandler dispatch) : target_(std::move(dispatch)) {}

bool RecordingView::Completed() const {
  return std::find(statusTexts.begin(), statusTexts.end(), kCompleted) != statusTexts.end();
}

std::vector<std::string> RecordingView::Notices() const {
  std::vector<std::string> notices;
  std::copy_if(statusTexts.begin(), statusTexts.end(), std::back_inserter(notices),
               [](const std::string& text) { return EndsWith(text, kNoticeSuffix); });
  return notices;
}

JobHarness::JobHarness(uint16_t port, const std::string& targetFolder, const JobOptions& options)
    : view([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        Dispatch(message, wParam, lParam);
      }),
      job(TestSettings(port, targetFolder, options), view, [this] { monitor.ShowComplete(view); }) {
}

void JobHarness::Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == platform::kTimerMessage) {
    const auto id = static_cast<uint32_t>(wParam);
    ++timerTicksDue[id];
    if (realTimers) {
      monitor.OnTimer(id, job, view);
    }
  } else {
    job.OnJobMessage(message, wParam, lParam);
  }
}

bool JobHarness::Start() {
  job.StartDownload();
  int retriesTaken = 0;
  const bool sized = PumpUntil([&] {
    if (timerTicksDue[TIMER_PROBE_RETRY] > retriesTaken) {
      ++retriesTaken;
      Tick(TIMER_PROBE_RETRY);
    }
    return job.m_nFileSize > 0;
  });
  if (!sized) {
    return false;
  }
  Tick(TIMER_START);
  return true;
}

void JobHarness::Tick(uint32_t timerId) {
  platform::PumpMessages();
  monitor.OnTimer(timerId, job, view);
}

void JobHarness::Pump(uint32_t ms) {
  platform_test::PumpFor(ms);
}

bool JobHarness::PumpUntil(const std::function<bool()>& done) {
  return platform_test::PumpUntil(done, kRunPatienceMs);
}

bool JobHarness::RunToEnd() {
  int round = 0;
  return PumpUntil([&] {
    Pump(50);
    // The end may come while pumping (the hash check's report): no timer of the job ticks then.
    if (view.Completed() || !view.messages.empty()) {
      return true;
    }
    Tick(TIMER_SCHEDULER);
    // The completion kills the display timer; until then it ticks now and then.
    if (++round % 10 == 0 && !view.Completed()) {
      Tick(TIMER_DISPLAY);
    }
    return false;
  });
}

bool JobHarness::AllListedWorkersFinished() const {
  return std::all_of(job.m_workers.begin(), job.m_workers.end(), [](CDownloadThread* worker) {
    return worker->m_bComplete.load() != 0 || worker->m_bError.load() != 0;
  });
}

std::string FolderOf(const platform_test::ScratchFolder& folder) {
  return folder.path().string();
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(NativePathOf(path), std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(NativePathOf(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) {
  return std::filesystem::exists(NativePathOf(path));
}

int CountCommands(const testsupport::FtpServer& server, const std::string& line) {
  const auto log = server.CommandLog();
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

}  // namespace jobtest
