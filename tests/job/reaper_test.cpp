#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/worker_reaper.h"
#include "platform/test_support.h"

namespace jobtest {
namespace {

// Workers stopped before their threads begin report WM_WORKER_DONE as they end, which may be
// long after the window let go of them. Each report must find its worker still allocated (the
// sanitizer build would catch a freed one), and every worker must be freed in the end.
TEST(Reaper, FreesAWorkerOnlyAfterItsLastMessageHasBeenHandled) {
  CWorkerReaper reaper;
  std::vector<std::string> reportedStatus;
  bool reportedWhileNoneRetired = false;
  platform::MessageTarget window([&](uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == WM_WORKER_DONE) {
      reportedWhileNoneRetired = reportedWhileNoneRetired || reaper.RetiredCount() == 0;
      reportedStatus.push_back(reinterpret_cast<CDownloadThread*>(wParam)->GetStatus());
    }
  });

  constexpr int kWorkers = 8;
  for (int index = 0; index < kWorkers; ++index) {
    CDownloadThread* worker = CDownloadThread::CreateObject();
    ASSERT_NE(worker, nullptr);
    ASSERT_TRUE(worker->CreateThread());
    worker->m_nIndex = index;
    worker->m_pOwner = &window;
    worker->StopWorker();  // stopped before its thread began
    reaper.Retire(worker);
  }
  EXPECT_EQ(reaper.RetiredCount(), static_cast<size_t>(kWorkers));
  ASSERT_TRUE(platform_test::PumpUntil([&] { return reaper.RetiredCount() == 0; }));

  EXPECT_EQ(reportedStatus, std::vector<std::string>(kWorkers, "Cancel"));
  EXPECT_FALSE(reportedWhileNoneRetired);
}

}  // namespace
}  // namespace jobtest
