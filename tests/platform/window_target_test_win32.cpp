#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/message_target.h"
#include "test_support.h"

namespace {

using Seen = std::pair<UINT, WPARAM>;

// A window of the test's own, standing in for a dialog with its own window procedure.
class PlainWindow {
 public:
  PlainWindow() {
    static const ATOM registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.lpszClassName = "PlatformTestsPlainWindow";
      return RegisterClassA(&windowClass);
    }();
    (void)registered;
    handle_ = CreateWindowExA(0, "PlatformTestsPlainWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~PlainWindow() { DestroyWindow(handle_); }

  HWND handle() const { return handle_; }
  std::vector<Seen> seen;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PlainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (message == WM_TIMER || message >= WM_USER)) {
      self->seen.emplace_back(message, wParam);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND handle_;
};

TEST(WindowTargetTest, PostsAndTimersReachTheWindowsOwnProcedure) {
  platform::PumpMessages();
  PlainWindow window;
  const std::unique_ptr<platform::MessageTarget> target =
      platform::MessageTarget::ForWindow(window.handle());

  EXPECT_TRUE(target->PostWithoutWaking(WM_USER + 4, 41, 0));
  EXPECT_TRUE(target->Post(WM_USER + 5, 42, 0));
  target->SetTimer(1, 10, platform::TimerMode::OneShot);
  target->SetTimer(2, 10, platform::TimerMode::Periodic);
  const auto ticks = [&window](WPARAM id) {
    size_t count = 0;
    for (const auto& seen : window.seen) {
      count += seen == Seen(WM_TIMER, id) ? 1 : 0;
    }
    return count;
  };
  ASSERT_TRUE(platform_test::PumpUntil([&] { return ticks(2) >= 3; }));
  target->KillTimer(2);

  ASSERT_LE(2u, window.seen.size());
  EXPECT_EQ(Seen(WM_USER + 4, 41), window.seen[0]);
  EXPECT_EQ(Seen(WM_USER + 5, 42), window.seen[1]);
  EXPECT_EQ(1u, ticks(1));
}

}  // namespace
