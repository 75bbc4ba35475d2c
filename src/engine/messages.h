#pragma once

#include <cstdint>

// The main window's private messages. Workers post only WM_WORKER_DONE and WM_WORKER_BYTES, the
// hash check WM_FILE_HASHED, the part file's appender WM_PART_WRITTEN; the others keep their
// numbers so that nothing else reuses them.
constexpr uint32_t kWmUser = 0x0400;

constexpr uint32_t WM_WORKER_STATUS = kWmUser + 0x82;
constexpr uint32_t WM_WORKER_DONE = kWmUser + 0x83;  // wParam: the worker
constexpr uint32_t WM_TOTAL_SIZE = kWmUser + 0x84;
constexpr uint32_t WM_WORKER_BYTES = kWmUser + 0x85;  // wParam: the worker, lParam: bytes read
constexpr uint32_t WM_SPEED = kWmUser + 0x86;
constexpr uint32_t WM_REMAINING = kWmUser + 0x87;
constexpr uint32_t WM_USER_88 = kWmUser + 0x88;
constexpr uint32_t WM_PERCENT = kWmUser + 0x89;
constexpr uint32_t WM_USER_8A = kWmUser + 0x8A;
// Posted by the check of a finished part file's hash; wParam: the check.
constexpr uint32_t WM_FILE_HASHED = kWmUser + 0x8B;
// Posted by the part file's appender; wParam: the appender, lParam: segments now on the disk,
// or -1 after a failed write.
constexpr uint32_t WM_PART_WRITTEN = kWmUser + 0x8C;
constexpr uint32_t WM_TRAY_NOTIFY = kWmUser + 10;
