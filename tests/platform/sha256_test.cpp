#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/sha256.h"

namespace {

// The published answers (FIPS 180-2), each fed in pieces of the given size.
TEST(Sha256Test, GivesThePublishedDigestsHoweverTheBytesArePieced) {
  struct Case {
    std::string bytes;
    size_t piece;
    const char* digest;
  };
  const Case cases[] = {
      {"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", 3, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1000000, 'a'), 4099,
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    platform::Sha256 hash;
    for (size_t at = 0; at < c.bytes.size(); at += c.piece) {
      hash.Update(c.bytes.data() + at, std::min(c.piece, c.bytes.size() - at));
    }
    const auto digest = hash.Finish();
    ASSERT_TRUE(digest.has_value()) << c.digest;
    EXPECT_EQ(platform::ToHex(*digest), c.digest);
    EXPECT_FALSE(hash.Finish().has_value()) << "a hash is finished once";
  }
}

}  // namespace
