#include <openssl/evp.h>

#include "platform/sha256.h"

namespace platform {

struct Sha256::Impl {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  bool ok = context != nullptr && EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;
};

Sha256::Sha256() : impl_(new Impl) {}

Sha256::~Sha256() {
  EVP_MD_CTX_free(impl_->context);
}

void Sha256::Update(const void* data, size_t size) {
  impl_->ok = impl_->ok && EVP_DigestUpdate(impl_->context, data, size) == 1;
}

std::optional<Sha256Digest> Sha256::Finish() {
  Sha256Digest digest{};
  unsigned int length = 0;
  if (!impl_->ok || EVP_DigestFinal_ex(impl_->context, digest.data(), &length) != 1 ||
      length != digest.size()) {
    impl_->ok = false;
    return std::nullopt;
  }
  impl_->ok = false;  // finished: a context is good for one digest
  return digest;
}

}  // namespace platform
