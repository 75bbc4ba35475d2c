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

struct ServedLink {
  std::string path;    // relative to the root, with "/"
  std::string target;  // as the link holds it ("../store/Setup.exe")
};

struct ServerOptions {
  ServerKind kind = ServerKind::Pyftpdlib;
  std::vector<ServedFile> files;
  std::vector<ServedLink> links;
  std::vector<std::string> directories;  // empty ones, relative to the root
  int64_t maxRatePerConnection = 0;      // bytes per second; 0 for no limit
  // Control connections from one address at once (vsftpd max_per_ip, proftpd MaxClientsPerHost,
  // pyftpdlib: 421 and closed); 0 for no limit.
  int32_t maxConnectionsPerAddress = 0;
  bool anonymous = true;  // false: the server refuses every login
  // Scripted faults, pyftpdlib only, each "name" or "name=value":
  //   refuse-rest           every REST is answered 502
  //   refuse-rest-once      the first REST only
  //   ignore-rest           every REST is answered 350, and the RETR after it sends from byte 0
  //   refuse-mdtm           every MDTM is answered 502
  //   drop-data-after=N     the data connection of each RETR is closed after N bytes, and the
  //                         transfer reported as failed (426)
  //   short-data=N          each RETR sends N bytes fewer than it should, then reports success
  //   stall-after=N         each RETR sends N bytes and then nothing, keeping the connections open
  //   idle-timeout=S        a control connection idle for S seconds is closed by the server
  //   data-faults-once      drop-data-after, short-data and stall-after hit only the first
  //                         transfer they apply to
  //   pasv-address=A.B.C.D  every PASV reply names this host (the server still listens on
  //                         127.0.0.1)
  //   trickle-reply=CMD     the first reply to command CMD comes one byte per 100 ms, padded to
  //                         last about 40 s
  //   endless-preliminary   the first RETR's final reply is held back for about 40 s, with a
  //                         "150" reply every 50 ms meanwhile
  //   endless-blank-lines   the same with blank lines
  //   listing-line=N        every LIST begins with one line of N bytes ("a a a ...")
  //   listing-paths         LIST of a file names it by its path from the root, not by its name
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
  // Replaces a served file with other random bytes of the given size, last changed a day before
  // the one it replaces: a new build uploaded under the same name.
  void ReplaceServedFile(const std::string& relativePath, int64_t size);
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
