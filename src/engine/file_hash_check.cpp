#include "engine/file_hash_check.h"

#include <utility>

#include "engine/messages.h"
#include "platform/file.h"
#include "platform/sha256.h"

CFileHashCheck::CFileHashCheck(std::string path, platform::MessageTarget& owner)
    : m_path(std::move(path)), m_owner(owner) {}

CFileHashCheck::~CFileHashCheck() {
  m_bStop.store(true);
  WaitForThreadEnd();
}

bool CFileHashCheck::InitInstance() {
  platform::Sha256 hash;
  const bool read = platform::ReadFileBlocks(m_path, [&](const unsigned char* data, size_t size) {
    hash.Update(data, size);
    return !m_bStop.load();
  });
  if (read) {
    if (const std::optional<platform::Sha256Digest> digest = hash.Finish()) {
      m_digest = platform::ToHex(*digest);
    }
  }
  m_owner.Post(WM_FILE_HASHED, reinterpret_cast<uintptr_t>(this), 0);
  return false;
}
