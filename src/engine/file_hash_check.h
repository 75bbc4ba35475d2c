#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "platform/message_target.h"
#include "platform/thread.h"

// Hashes a finished file (SHA-256) on a thread of its own, so that the window goes on while a
// large installer is read back, and then posts WM_FILE_HASHED (wParam: this check) to its owner.
//
// Window's thread: make it, start its thread, read Digest once the message has come, destroy it.
// The thread writes the digest before it posts, and the queue hands the message over after that
// write; the destructor stops a check under way at its next block and waits for its thread.
class CFileHashCheck : public platform::CWinThread {
 public:
  CFileHashCheck(std::string path, platform::MessageTarget& owner);
  ~CFileHashCheck() override;

  // After WM_FILE_HASHED: the file's SHA-256 in lower-case hexadecimal digits, or nothing when it
  // could not be read or hashed.
  const std::optional<std::string>& Digest() const { return m_digest; }

  bool InitInstance() override;

 private:
  const std::string m_path;
  platform::MessageTarget& m_owner;
  std::atomic<bool> m_bStop{false};
  std::optional<std::string> m_digest;
};
