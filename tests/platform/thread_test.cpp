#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/thread.h"

namespace {

// What a thread object's overrides did, kept outside the object so it can be read after the
// object is gone.
struct Journal {
  std::mutex lock;
  std::vector<std::string> steps;
  std::vector<std::thread::id> threads;
  std::atomic<bool> initStarted{false};

  void Record(const char* step) {
    std::lock_guard<std::mutex> hold(lock);
    steps.push_back(step);
    threads.push_back(std::this_thread::get_id());
  }
};

class RecordingThread : public platform::CWinThread {
 public:
  RecordingThread(Journal& journal, bool initResult) : journal_(journal), initResult_(initResult) {}
  ~RecordingThread() override { WaitForThreadEnd(); }

  bool InitInstance() override {
    journal_.initStarted = true;
    journal_.Record("InitInstance");
    return initResult_;
  }
  int ExitInstance() override {
    journal_.Record("ExitInstance");
    return 0;
  }
  void Delete() override { journal_.Record("Delete"); }

 private:
  Journal& journal_;
  bool initResult_;
};

// Gives a faulty thread that runs before it is resumed the time to show it.
void LetHeldThreadIdle() {
  platform::SleepMs(50);
}

TEST(ThreadTest, HeldUntilResumedThenRunsOnItsOwnThreadWithDeleteLast) {
  Journal journal;
  RecordingThread thread(journal, false);
  ASSERT_TRUE(thread.CreateThread());
  EXPECT_TRUE(thread.IsThreadCreated());
  EXPECT_FALSE(thread.CreateThread());
  LetHeldThreadIdle();
  EXPECT_FALSE(journal.initStarted);

  EXPECT_EQ(1u, thread.ResumeThread());
  EXPECT_EQ(0u, thread.ResumeThread());
  thread.WaitForThreadEnd();
  thread.WaitForThreadEnd();
  EXPECT_EQ(0u, thread.ResumeThread());

  EXPECT_EQ((std::vector<std::string>{"InitInstance", "ExitInstance", "Delete"}), journal.steps);
  for (const std::thread::id& id : journal.threads) {
    EXPECT_EQ(journal.threads.front(), id);
  }
  EXPECT_NE(std::this_thread::get_id(), journal.threads.front());
}

TEST(ThreadTest, SuccessfulInitInstanceSkipsExitInstance) {
  Journal journal;
  RecordingThread thread(journal, true);
  ASSERT_TRUE(thread.CreateThread());
  EXPECT_TRUE(thread.SetThreadPriority(platform::ThreadPriority::AboveNormal));
  EXPECT_TRUE(thread.SetThreadPriority(platform::ThreadPriority::Normal));
  thread.ResumeThread();
  thread.WaitForThreadEnd();
  EXPECT_EQ((std::vector<std::string>{"InitInstance", "Delete"}), journal.steps);
}

TEST(ThreadTest, NeverResumedThreadIsReleasedWithoutRunningAnything) {
  Journal waited;
  {
    RecordingThread thread(waited, false);
    ASSERT_TRUE(thread.CreateThread());
    LetHeldThreadIdle();
    thread.WaitForThreadEnd();
    EXPECT_EQ(0u, thread.ResumeThread());
  }
  Journal destroyed;
  {
    RecordingThread thread(destroyed, false);
    ASSERT_TRUE(thread.CreateThread());
  }
  EXPECT_TRUE(waited.steps.empty());
  EXPECT_TRUE(destroyed.steps.empty());
}

TEST(ThreadTest, ObjectWithoutThread) {
  Journal journal;
  RecordingThread thread(journal, false);
  EXPECT_FALSE(thread.IsThreadCreated());
  EXPECT_EQ(0xFFFFFFFFu, thread.ResumeThread());
  EXPECT_FALSE(thread.SetThreadPriority(platform::ThreadPriority::Normal));
  thread.WaitForThreadEnd();
  EXPECT_TRUE(journal.steps.empty());
}

}  // namespace
