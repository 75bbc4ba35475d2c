#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"
#include "platform/event.h"
#include "platform/message_target.h"
#include "test_support.h"

namespace {

using platform::TimerMode;
using platform::WaitWithPump;
using platform_test::kPatienceMs;

constexpr uint32_t kWakeMessage = 0x0410;

class WaitWithPumpTest : public ::testing::Test {
 protected:
  // Messages left behind by an earlier test must not reach this one.
  void SetUp() override { platform::PumpMessages(); }
};

TEST_F(WaitWithPumpTest, EventSetBeforeTheCallEndsTheWaitAtOnce) {
  platform::Event event(true);
  EXPECT_TRUE(WaitWithPump(event, 0));
}

TEST_F(WaitWithPumpTest, EventSetByAnotherThreadEndsTheWait) {
  platform::Event event;
  std::thread setter([&event] {
    platform::SleepMs(20);
    event.Set();
  });
  const uint32_t start = platform::TickCount();
  EXPECT_TRUE(WaitWithPump(event, kPatienceMs));
  // A missed wake-up would only be noticed at the end of the time; the event alone must end it.
  EXPECT_LT(platform::TickCount() - start, kPatienceMs / 2);
  setter.join();
}

TEST_F(WaitWithPumpTest, WithoutEventReturnsFalseAfterTheTime) {
  platform::Event event;
  const uint32_t start = platform::TickCount();
  EXPECT_FALSE(WaitWithPump(event, 60));
  // Loose: only a wait that does not wait at all fails this.
  EXPECT_GE(platform::TickCount() - start, 30u);
}

TEST_F(WaitWithPumpTest, MessagesAndTimersAreDispatchedWhileWaiting) {
  const std::thread::id owner = std::this_thread::get_id();
  platform::Event posted;
  platform::Event ticked;
  bool onOwnerThread = true;
  platform::MessageTarget target([&](uint32_t message, uintptr_t, intptr_t) {
    onOwnerThread = onOwnerThread && std::this_thread::get_id() == owner;
    (message == platform::kTimerMessage ? ticked : posted).Set();
  });

  std::thread poster([&target] {
    platform::SleepMs(20);
    target.Post(kWakeMessage, 0, 0);
  });
  EXPECT_TRUE(WaitWithPump(posted, kPatienceMs));
  poster.join();

  target.SetTimer(1, 10, TimerMode::OneShot);
  EXPECT_TRUE(WaitWithPump(ticked, kPatienceMs));
  EXPECT_TRUE(onOwnerThread);
}

TEST_F(WaitWithPumpTest, PumpingPastTheDeadlineEndsTheWait) {
  platform::Event event;
  int handled = 0;
  platform::MessageTarget slow([&](uint32_t, uintptr_t, intptr_t) {
    ++handled;
    platform::SleepMs(100);
  });
  slow.Post(kWakeMessage, 0, 0);
  EXPECT_FALSE(WaitWithPump(event, 20));
  EXPECT_EQ(1, handled);
}

}  // namespace
