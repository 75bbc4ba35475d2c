#pragma once

#include <cstdint>
#include <string>

// What the download needs to know, all of it compiled in except the target folder, which the
// user picks before the start.
struct DownloadSettings {
  std::string m_strHost;
  int32_t m_nPort = 21;
  // Empty user and password log in anonymously.
  std::string m_strUser;
  std::string m_strPassword;
  // The base network time-out; workers derive theirs from it.
  int32_t m_nTimeoutSec = 30;
  std::string m_strServerDir = "/manual/vm/Clients/";
  std::string m_strFileName = "Setup_Vellomarch_1.11.exe";
  // Where the part file and the finished file lie.
  std::string m_strTargetFolder;
  // The installer's SHA-256 in hexadecimal digits (either case): a finished download gets its
  // final name only when it has this hash. Empty: no check.
  std::string m_strExpectedSha256;
  // New segments one scheduler pass may start (1 to 15), within the caps on active workers and
  // on segments beyond the last written one. The fastest pace also drops the pass's rhythm:
  // see AtLineSpeed.
  int32_t m_nSegmentsPerPass = 1;

  // The fastest pace: as fast as the line and the server allow. A finished segment is appended
  // and its connection given the next one at once, workers read without a pause between reads,
  // and the last segments shrink so that every connection has a share of the end.
  bool AtLineSpeed() const { return m_nSegmentsPerPass >= kLineSpeedSegmentsPerPass; }

  static constexpr int32_t kLineSpeedSegmentsPerPass = 15;
};
