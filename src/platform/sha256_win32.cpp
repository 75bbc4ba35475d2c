#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

#include "platform/sha256.h"
#include "platform/system_library_win32.h"

namespace platform {

namespace {

// bcrypt is no known DLL: its functions come from the system folder's copy, looked up once.
struct BCryptCalls {
  decltype(&BCryptOpenAlgorithmProvider) openAlgorithmProvider;
  decltype(&BCryptCreateHash) createHash;
  decltype(&BCryptHashData) hashData;
  decltype(&BCryptFinishHash) finishHash;
  decltype(&BCryptDestroyHash) destroyHash;
  decltype(&BCryptCloseAlgorithmProvider) closeAlgorithmProvider;

  bool Complete() const {
    return openAlgorithmProvider != nullptr && createHash != nullptr && hashData != nullptr &&
           finishHash != nullptr && destroyHash != nullptr && closeAlgorithmProvider != nullptr;
  }
};

template <typename Function>
Function FindBCrypt(const char* name) {
  return FindSystemFunction<Function>(L"bcrypt.dll", name);
}

const BCryptCalls* FindBCryptCalls() {
  static const BCryptCalls calls{
      FindBCrypt<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider"),
      FindBCrypt<decltype(&BCryptCreateHash)>("BCryptCreateHash"),
      FindBCrypt<decltype(&BCryptHashData)>("BCryptHashData"),
      FindBCrypt<decltype(&BCryptFinishHash)>("BCryptFinishHash"),
      FindBCrypt<decltype(&BCryptDestroyHash)>("BCryptDestroyHash"),
      FindBCrypt<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider")};
  return calls.Complete() ? &calls : nullptr;
}

}  // namespace

struct Sha256::Impl {
  const BCryptCalls* calls = FindBCryptCalls();
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = false;
};

Sha256::Sha256() : impl_(new Impl) {
  // Windows 7 and later allocate the hash object themselves when given no buffer for it.
  const BCryptCalls* calls = impl_->calls;
  impl_->ok =
      calls != nullptr &&
      BCRYPT_SUCCESS(
          calls->openAlgorithmProvider(&impl_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
      BCRYPT_SUCCESS(calls->createHash(impl_->algorithm, &impl_->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() {
  if (impl_->hash != nullptr) {
    impl_->calls->destroyHash(impl_->hash);
  }
  if (impl_->algorithm != nullptr) {
    impl_->calls->closeAlgorithmProvider(impl_->algorithm, 0);
  }
}

void Sha256::Update(const void* data, size_t size) {
  auto* next = static_cast<PUCHAR>(const_cast<void*>(data));
  while (impl_->ok && size > 0) {
    // BCryptHashData takes at most a ULONG's worth of bytes per call.
    const ULONG chunk = static_cast<ULONG>(std::min<size_t>(size, 0x40000000u));
    impl_->ok = BCRYPT_SUCCESS(impl_->calls->hashData(impl_->hash, next, chunk, 0));
    next += chunk;
    size -= chunk;
  }
}

std::optional<Sha256Digest> Sha256::Finish() {
  Sha256Digest digest{};
  const bool finished =
      impl_->ok && BCRYPT_SUCCESS(impl_->calls->finishHash(impl_->hash, digest.data(),
                                                           static_cast<ULONG>(digest.size()), 0));
  impl_->ok = false;  // a finished hash object takes no more data
  if (!finished) {
    return std::nullopt;
  }
  return digest;
}

}  // namespace platform
