#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

#include "platform/sha256.h"

namespace platform {

struct Sha256::Impl {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = false;
};

Sha256::Sha256() : impl_(new Impl) {
  // Windows 7 and later allocate the hash object themselves when given no buffer for it.
  impl_->ok =
      BCRYPT_SUCCESS(
          BCryptOpenAlgorithmProvider(&impl_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
      BCRYPT_SUCCESS(BCryptCreateHash(impl_->algorithm, &impl_->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() {
  if (impl_->hash != nullptr) {
    BCryptDestroyHash(impl_->hash);
  }
  if (impl_->algorithm != nullptr) {
    BCryptCloseAlgorithmProvider(impl_->algorithm, 0);
  }
}

void Sha256::Update(const void* data, size_t size) {
  auto* next = static_cast<PUCHAR>(const_cast<void*>(data));
  while (impl_->ok && size > 0) {
    // BCryptHashData takes at most a ULONG's worth of bytes per call.
    const ULONG chunk = static_cast<ULONG>(std::min<size_t>(size, 0x40000000u));
    impl_->ok = BCRYPT_SUCCESS(BCryptHashData(impl_->hash, next, chunk, 0));
    next += chunk;
    size -= chunk;
  }
}

std::optional<Sha256Digest> Sha256::Finish() {
  Sha256Digest digest{};
  const bool finished =
      impl_->ok && BCRYPT_SUCCESS(BCryptFinishHash(impl_->hash, digest.data(),
                                                   static_cast<ULONG>(digest.size()), 0));
  impl_->ok = false;  // a finished hash object takes no more data
  if (!finished) {
    return std::nullopt;
  }
  return digest;
}

}  // namespace platform
