// The least a download can cost while each read takes up to 4 KiB and is followed by a 1 ms
// sleep, as the program's workers do: CONNECTIONS threads, each receiving from 127.0.0.1:PORT
// that way until the peer closes, with nothing else around the reads. bench/read_pattern_bench
// times it natively and under Wine beside the program.
//
//   read_pattern_timing PORT CONNECTIONS     prints the bytes received in all
//
// Exits 0 on success, 1 when a connection fails, 2 on wrong use.

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "net/internet_error.h"
#include "net/socket.h"
#include "platform/clock.h"

namespace {

constexpr uint32_t kTimeoutMs = 30000;

void Receive(uint16_t port, std::atomic<int64_t>& total, std::atomic<bool>& failed) {
  try {
    net::Socket socket;
    socket.Connect("127.0.0.1", port, kTimeoutMs);
    unsigned char block[4096];
    while (const size_t count = socket.Receive(block, sizeof(block), kTimeoutMs)) {
      total.fetch_add(static_cast<int64_t>(count), std::memory_order_relaxed);
      platform::SleepMs(1);
    }
  } catch (const net::CInternetException& error) {
    std::fprintf(stderr, "%s\n", error.what());
    failed = true;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long port = argc == 3 ? std::strtol(argv[1], nullptr, 10) : 0;
  const long connections = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
  if (port < 1 || port > 65535 || connections < 1 || connections > 64) {
    std::fprintf(stderr, "usage: read_pattern_timing PORT CONNECTIONS\n");
    return 2;
  }
  if (!net::InitSockets()) {
    std::fprintf(stderr, "no sockets\n");
    return 1;
  }
  std::atomic<int64_t> total{0};
  std::atomic<bool> failed{false};
  std::vector<std::thread> threads;
  for (long i = 0; i < connections; ++i) {
    threads.emplace_back(Receive, static_cast<uint16_t>(port), std::ref(total), std::ref(failed));
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  std::printf("%" PRId64 "\n", total.load());
  return failed ? 1 : 0;
}
