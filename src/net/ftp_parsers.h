#pragma once

// Pure functions over bytes: the FTP replies, the PASV address and the listing lines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

struct FtpReply {
  int code = 0;      // 100..599
  std::string text;  // every line of the reply, each ending in "\r\n"
};

// Collects control-connection bytes into whole replies, single-line ("230 ok") or multi-line
// ("230-first" ... "230 last"). Lines may end in CRLF or a bare LF.
class FtpReplyReader {
 public:
  // Feeds bytes; returns false when the data cannot be an FTP reply (the caller treats the
  // connection as broken).
  bool Feed(std::string_view bytes);
  // The next complete reply, if any.
  std::optional<FtpReply> Next();

 private:
  std::string pending_;
  std::vector<FtpReply> ready_;
  FtpReply partial_;
  bool inMultiLine_ = false;
};

struct PasvAddress {
  std::string host;  // dotted IPv4
  uint16_t port = 0;
};

// Reads "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" (the parentheses are optional).
std::optional<PasvAddress> ParsePasvReply(std::string_view text);

// True for 0.0.0.0 and the private ranges, which a server behind NAT may wrongly announce.
bool IsUnusablePasvHost(const std::string& host, const std::string& controlPeer);

struct ListingEntry {
  std::string name;
  int64_t size = 0;
  bool isDirectory = false;
};

// One line of a LIST reply in Unix "ls -l" or DOS/IIS format; names may hold spaces.
// Nothing for "total N" lines and anything unreadable.
std::optional<ListingEntry> ParseListingLine(std::string_view line);

// Every entry of a whole listing, line by line.
std::vector<ListingEntry> ParseListing(std::string_view listing);

}  // namespace net
