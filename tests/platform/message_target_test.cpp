#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/message_target.h"
#include "test_support.h"

namespace {

using platform::kTimerMessage;
using platform::MessageTarget;
using platform::TimerMode;
using platform_test::PumpUntil;

constexpr uint32_t kMessageA = 0x0401;
constexpr uint32_t kMessageB = 0x0402;
constexpr uint32_t kMessageC = 0x0403;

struct Delivered {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  bool operator==(const Delivered& other) const {
    return message == other.message && wParam == other.wParam && lParam == other.lParam;
  }
};

// A target that writes down what it is handed.
struct RecordingTarget {
  std::vector<Delivered> delivered;
  MessageTarget target{[this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
    delivered.push_back({message, wParam, lParam});
  }};
};

Delivered Tick(uintptr_t id) {
  return {kTimerMessage, id, 0};
}

size_t CountTicks(const std::vector<Delivered>& delivered, uintptr_t id) {
  size_t ticks = 0;
  for (const Delivered& one : delivered) {
    ticks += one == Tick(id) ? 1 : 0;
  }
  return ticks;
}

// Long enough for a 10 ms timer to be due on any system.
void LetTimerFallDue() {
  platform::SleepMs(100);
}

class MessageTargetTest : public ::testing::Test {
 protected:
  // Messages left behind by an earlier test must not reach this one.
  void SetUp() override { platform::PumpMessages(); }
};

TEST_F(MessageTargetTest, PostsFromSeveralThreadsArriveInEachPostersOrder) {
  constexpr int kPosters = 4;
  constexpr int kPerPoster = 500;
  const std::thread::id owner = std::this_thread::get_id();
  std::vector<std::vector<intptr_t>> received(kPosters);
  bool onOwnerThread = true;
  size_t total = 0;
  MessageTarget target([&](uint32_t, uintptr_t poster, intptr_t sequence) {
    onOwnerThread = onOwnerThread && std::this_thread::get_id() == owner;
    received[poster].push_back(sequence);
    ++total;
  });

  std::vector<std::thread> posters;
  for (int poster = 0; poster < kPosters; ++poster) {
    posters.emplace_back([&target, poster] {
      for (intptr_t sequence = 0; sequence < kPerPoster; ++sequence) {
        EXPECT_TRUE(target.Post(kMessageA, static_cast<uintptr_t>(poster), sequence));
      }
    });
  }
  ASSERT_TRUE(PumpUntil([&] { return total == kPosters * kPerPoster; }));
  for (std::thread& poster : posters) {
    poster.join();
  }

  EXPECT_TRUE(onOwnerThread);
  for (const std::vector<intptr_t>& sequences : received) {
    ASSERT_EQ(static_cast<size_t>(kPerPoster), sequences.size());
    for (intptr_t i = 0; i < kPerPoster; ++i) {
      EXPECT_EQ(i, sequences[i]);
    }
  }
}

TEST_F(MessageTargetTest, DueTimerWaitsUntilNoPostedMessageIsLeft) {
  RecordingTarget recorder;
  RecordingTarget other;
  recorder.target.Post(kMessageA, 1, 10);
  recorder.target.SetTimer(7, 10, TimerMode::OneShot);
  recorder.target.PostWithoutWaking(kMessageB, 2, 20);
  other.target.Post(kMessageA, 4, 40);
  recorder.target.PostWithoutWaking(kMessageB, 2, 21);
  LetTimerFallDue();
  recorder.target.Post(kMessageC, 3, 30);

  platform::PumpMessages();
  EXPECT_EQ(
      (std::vector<Delivered>{
          {kMessageA, 1, 10}, {kMessageB, 2, 20}, {kMessageB, 2, 21}, {kMessageC, 3, 30}, Tick(7)}),
      recorder.delivered);
  EXPECT_EQ((std::vector<Delivered>{{kMessageA, 4, 40}}), other.delivered);
}

// Messages posted without waking pile up while the owner sleeps; a post that wakes must still
// wake it then.
TEST_F(MessageTargetTest, PostAfterOnesWithoutWakingWakesTheOwner) {
  RecordingTarget recorder;
  std::thread poster([&recorder] {
    platform::SleepMs(50);
    recorder.target.PostWithoutWaking(kMessageA, 1, 10);
    platform::SleepMs(50);
    recorder.target.Post(kMessageB, 2, 20);
  });
  // Each wait may last long enough that only a wake, not the wait's end, explains a quick return.
  constexpr uint32_t kLongWaitMs = 20000;
  const uint32_t start = platform::TickCount();
  while (recorder.delivered.size() < 2 && platform::TickCount() - start < kLongWaitMs) {
    platform::WaitForInput(kLongWaitMs);
    platform::PumpMessages();
  }
  poster.join();
  EXPECT_LT(platform::TickCount() - start, kLongWaitMs);
  EXPECT_EQ((std::vector<Delivered>{{kMessageA, 1, 10}, {kMessageB, 2, 20}}), recorder.delivered);
}

TEST_F(MessageTargetTest, OneShotFiresOncePeriodicRepeatsUntilKilled) {
  RecordingTarget recorder;
  recorder.target.SetTimer(1, 10, TimerMode::OneShot);
  recorder.target.SetTimer(2, 10, TimerMode::Periodic);
  const auto ticksOf = [&recorder](uintptr_t id) { return CountTicks(recorder.delivered, id); };
  ASSERT_TRUE(PumpUntil([&] { return ticksOf(2) >= 3; }));
  EXPECT_EQ(1u, ticksOf(1));

  recorder.target.KillTimer(2);
  const size_t ticksWhenKilled = ticksOf(2);
  LetTimerFallDue();
  platform::PumpMessages();
  EXPECT_EQ(ticksWhenKilled, ticksOf(2));
  EXPECT_EQ(1u, ticksOf(1));
  EXPECT_FALSE(platform::WaitForInput(0));
}

TEST_F(MessageTargetTest, SettingAnArmedTimerReplacesItsMode) {
  RecordingTarget recorder;
  recorder.target.SetTimer(3, 10, TimerMode::Periodic);
  recorder.target.SetTimer(3, 10, TimerMode::OneShot);
  recorder.target.SetTimer(4, 10, TimerMode::OneShot);
  recorder.target.SetTimer(4, 10, TimerMode::Periodic);
  ASSERT_TRUE(PumpUntil([&] { return CountTicks(recorder.delivered, 4) >= 3; }));
  recorder.target.KillTimer(4);
  EXPECT_EQ(1u, CountTicks(recorder.delivered, 3));
}

TEST_F(MessageTargetTest, HandlersMayPumpPostAndKillTimersReentrantly) {
  std::vector<std::string> steps;
  std::unique_ptr<MessageTarget> target;
  target = std::make_unique<MessageTarget>([&](uint32_t message, uintptr_t, intptr_t) {
    switch (message) {
      case kMessageA:
        steps.push_back("A begins");
        target->Post(kMessageB, 0, 0);
        platform::PumpMessages();
        steps.push_back("A ends");
        break;
      case kMessageB:
        steps.push_back("B");
        break;
      case kTimerMessage:
        steps.push_back("tick begins");
        target->KillTimer(5);
        target->Post(kMessageC, 0, 0);
        platform::PumpMessages();
        steps.push_back("tick ends");
        break;
      case kMessageC:
        steps.push_back("C");
        break;
    }
  });

  target->Post(kMessageA, 0, 0);
  platform::PumpMessages();
  target->SetTimer(5, 10, TimerMode::Periodic);
  ASSERT_TRUE(PumpUntil([&] { return steps.size() >= 6; }));
  LetTimerFallDue();
  platform::PumpMessages();
  EXPECT_EQ((std::vector<std::string>{"A begins", "B", "A ends", "tick begins", "C", "tick ends"}),
            steps);
}

TEST_F(MessageTargetTest, DestroyedTargetGetsNothingMore) {
  size_t doomedCalls = 0;
  {
    MessageTarget doomed([&](uint32_t, uintptr_t, intptr_t) { ++doomedCalls; });
    doomed.Post(kMessageA, 0, 0);
    doomed.SetTimer(1, 10, TimerMode::Periodic);
  }
  RecordingTarget survivor;
  survivor.target.Post(kMessageB, 0, 0);
  LetTimerFallDue();
  platform::PumpMessages();
  EXPECT_EQ(0u, doomedCalls);
  EXPECT_EQ((std::vector<Delivered>{{kMessageB, 0, 0}}), survivor.delivered);
}

TEST_F(MessageTargetTest, HandlerMayDestroyItsOwnTarget) {
  int calls = 0;
  std::unique_ptr<MessageTarget> target;
  target = std::make_unique<MessageTarget>([&](uint32_t, uintptr_t, intptr_t) {
    ++calls;
    target.reset();
  });
  target->Post(kMessageA, 0, 0);
  target->Post(kMessageA, 0, 0);
  platform::PumpMessages();
  EXPECT_EQ(1, calls);
  EXPECT_EQ(nullptr, target);
}

TEST_F(MessageTargetTest, PostToTargetOfEndedThreadIsRefused) {
  std::unique_ptr<MessageTarget> orphan;
  std::thread([&orphan] {
    orphan = std::make_unique<MessageTarget>([](uint32_t, uintptr_t, intptr_t) {});
  }).join();
  EXPECT_FALSE(orphan->Post(kMessageA, 0, 0));
}

TEST_F(MessageTargetTest, WaitForInputSeesPostsFromOtherThreadsAndDueTimers) {
  RecordingTarget recorder;
  EXPECT_FALSE(platform::WaitForInput(20));

  std::thread poster([&recorder] {
    platform::SleepMs(20);
    recorder.target.Post(kMessageA, 0, 0);
  });
  EXPECT_TRUE(platform::WaitForInput(platform_test::kPatienceMs));
  poster.join();
  platform::PumpMessages();

  recorder.target.SetTimer(6, 10, TimerMode::OneShot);
  EXPECT_TRUE(platform::WaitForInput(platform_test::kPatienceMs));
  platform::PumpMessages();
  EXPECT_EQ((std::vector<Delivered>{{kMessageA, 0, 0}, Tick(6)}), recorder.delivered);
}

}  // namespace
