#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace platform {

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 by the system's own, well-kept implementation: BCrypt on Windows (a system DLL),
// OpenSSL's libcrypto elsewhere. Feed the bytes in any number of pieces, then finish once.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* data, size_t size);
  // The digest of every byte given, or nothing when the system's implementation failed at any
  // step (it then says nothing about the bytes).
  std::optional<Sha256Digest> Finish();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Lower-case hexadecimal digits, as sha256sum prints them.
std::string ToHex(const Sha256Digest& digest);

}  // namespace platform
