#pragma once

#include <cstdint>

// The main window's timers that drive the download, and their periods.
constexpr uint32_t TIMER_START = 1;        // one shot: opens the part file, starts segment 0
constexpr uint32_t TIMER_DISPLAY = 2;      // progress display
constexpr uint32_t TIMER_PROBE_RETRY = 3;  // one shot: the size probe again, after one found none
constexpr uint32_t TIMER_SCHEDULER = 5;    // segment scheduler

constexpr uint32_t kStartDelayMs = 100;
// A probe finds no size when the server is down, refuses us or lacks the file: asking again at
// once would spin the processor and flood the server with connections for as long as that lasts.
constexpr uint32_t kProbeRetryDelayMs = 1000;
constexpr uint32_t kTickPeriodMs = 2000;
// The scheduler's period when the part file already holds the whole file: it only completes.
constexpr uint32_t kCompletionCheckMs = 100;
