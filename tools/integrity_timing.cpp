// The two costs of keeping the installer whole, each measured by bench/integrity_bench: checking
// a finished file's hash as the program does (on its own thread, the window waiting in its
// message loop meanwhile), and appending segments to a part file, flushed or not.
//
//   integrity_timing hash FILE                   prints the SHA-256 and the milliseconds taken
//   integrity_timing append FILE MIB flush|plain appends MIB MiB in segments, flushed after each
//                                                one as the program does, or not
//
// Exits 0 on success, 1 when the file cannot be read or written, 2 on wrong use.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/file_hash_check.h"
#include "engine/helpers.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/message_target.h"

namespace {

int Hash(const std::string& path) {
  bool done = false;
  platform::MessageTarget owner(
      [&](uint32_t message, uintptr_t, intptr_t) { done = done || message == WM_FILE_HASHED; });
  const uint32_t started = platform::TickCount();
  CFileHashCheck check(path, owner);
  if (!check.StartThread()) {
    std::fprintf(stderr, "no thread for the check\n");
    return 1;
  }
  while (!done) {
    platform::WaitForInput(platform::kInfinite);
    platform::PumpMessages();
  }
  const uint32_t elapsed = platform::TickCount() - started;
  if (!check.Digest()) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::printf("%s %u ms\n", check.Digest()->c_str(), elapsed);
  return 0;
}

int Append(const std::string& path, int64_t mib, bool flush) {
  platform::File file;
  if (!file.OpenForWriting(path) || !file.Truncate(0)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::vector<unsigned char> segment(SEGMENT_SIZE, 0xA5);
  for (int64_t left = mib << 20; left > 0; left -= SEGMENT_SIZE) {
    const size_t size = static_cast<size_t>(left < SEGMENT_SIZE ? left : SEGMENT_SIZE);
    if (!file.Write(segment.data(), size) || (flush && !file.Flush())) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return file.Close() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "hash") == 0) {
    return Hash(argv[2]);
  }
  if (argc == 5 && std::strcmp(argv[1], "append") == 0 && std::atoll(argv[3]) > 0 &&
      (std::strcmp(argv[4], "flush") == 0 || std::strcmp(argv[4], "plain") == 0)) {
    return Append(argv[2], std::atoll(argv[3]), std::strcmp(argv[4], "flush") == 0);
  }
  std::fprintf(stderr, "usage: %s hash FILE | append FILE MIB flush|plain\n", argv[0]);
  return 2;
}
