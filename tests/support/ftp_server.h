#pragma once

// A real FTP server on 127.0.0.1 with a free port and a temporary root of its own, started for
// one test and stopped (with its root removed) when the object goes. Works in native test
// binaries and in cross-built ones under Wine alike.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

enum class ServerKind { Vsftpd, Pyftpdlib, Proftpd };

struct ServedFile {
  std::string path;  // relative to the root, with "/" ("manual/vm/Clients/Setup.exe")
  int64_t size = 0;
  bool sparse = false;  // a hole of that size instead of random bytes (for huge files)
};

struct ServerOptions {
  ServerKind kind = ServerKind::Pyftpdlib;
  std::vector<ServedFile> files;
  int64_t maxRatePerConnection = 0;  // bytes per second; 0 for no limit
  bool anonymous = true;             // false: the server refuses every login
  // Scripted faults, pyftpdlib only, each "name" or "name=value":
  //   refuse-rest           every REST is answered 502
  //   refuse-rest-once      the first REST only
  //   drop-data-after=N     the data connection of each RETR is closed after N bytes, and the
  //                         transfer reported as failed (426)
  //   short-data=N          each RETR sends N bytes fewer than it should, then reports success
  //   stall-after=N         each RETR sends N bytes and then nothing, keeping the connections open
  //   max-connections=N     more than N control connections at once get 421 and are closed
  //   idle-timeout=S        a control connection idle for S seconds is closed by the server
  //   data-faults-once      drop-data-after, short-data and stall-after hit only the first
  //                         transfer they apply to
  std::vector<std::string> faults;
};

class FtpServer {
 public:
  explicit FtpServer(const ServerOptions& options);
  ~FtpServer();
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;

  uint16_t port() const;
  // The served bytes [offset, offset + length) of a file given by its relative path.
  std::vector<unsigned char> ReadServedFile(const std::string& relativePath, int64_t offset,
                                            int64_t length) const;
  // Every command line the server received, in order, without its line end (pyftpdlib only:
  // "USER anonymous", "REST 1572864", "RETR ...").
  std::vector<std::string> CommandLog() const;
  // How many control connections the server has accepted so far (pyftpdlib only).
  int ConnectionCount() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace testsupport
