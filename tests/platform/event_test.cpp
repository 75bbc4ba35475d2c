#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/event.h"
#include "test_support.h"

namespace {

using platform_test::kPatienceMs;

TEST(EventTest, SetReleasesEveryWaiterAndStaysSetUntilReset) {
  platform::Event event;
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      if (event.Wait(kPatienceMs)) {
        ++released;
      }
    });
  }
  platform::SleepMs(20);
  event.Set();
  for (std::thread& waiter : waiters) {
    waiter.join();
  }
  EXPECT_EQ(3, released);
  EXPECT_TRUE(event.IsSet());
  EXPECT_TRUE(event.Wait(0));

  event.Reset();
  EXPECT_FALSE(event.IsSet());
  EXPECT_FALSE(event.Wait(0));
}

TEST(EventTest, WaitOnUnsetEventTimesOut) {
  platform::Event event;
  const uint32_t start = platform::TickCount();
  EXPECT_FALSE(event.Wait(60));
  // Loose: only a wait that does not wait at all fails this.
  EXPECT_GE(platform::TickCount() - start, 30u);
}

TEST(EventTest, InitiallySetEventIsSet) {
  platform::Event event(true);
  EXPECT_TRUE(event.IsSet());
  EXPECT_TRUE(event.Wait(0));
}

}  // namespace
