#pragma once

#include <cstdint>

// The main window's timers that drive the download, and their periods.
constexpr uint32_t TIMER_START = 1;      // one shot: opens the part file, starts segment 0
constexpr uint32_t TIMER_DISPLAY = 2;    // progress display
constexpr uint32_t TIMER_SCHEDULER = 5;  // segment scheduler

constexpr uint32_t kStartDelayMs = 100;
constexpr uint32_t kTickPeriodMs = 2000;
// The scheduler's period when the part file already holds the whole file: it only completes.
constexpr uint32_t kCompletionCheckMs = 100;
