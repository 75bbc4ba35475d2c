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

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" (the parentheses are optional).
// The announced host must be well-formed but is not returned: data connections go to the
// control connection's peer, so a server cannot point the program at another host.
std::optional<uint16_t> ParsePasvPort(std::string_view text);

// Waits through the preliminary (1xx) replies before a final one, as the greeting and every
// transfer do. A server may send only a few: one that keeps sending them holds a worker for as
// long as it likes.
class PreliminaryReplyLimit {
 public:
  static constexpr int kMaxPreliminaries = 8;
  // True for a final reply; false for a preliminary one within the limit. Throws nothing: past
  // the limit it reports exceeded() and the caller gives up.
  bool IsFinal(const FtpReply& reply);
  bool exceeded() const { return preliminaries_ > kMaxPreliminaries; }

 private:
  int preliminaries_ = 0;
};

struct ListingEntry {
  std::string name;
  int64_t size = 0;
  bool isDirectory = false;
  bool isLink = false;  // the size is the link's own, not that of what it names
};

// No real listing line comes near this; longer ones are skipped without being split.
constexpr size_t kMaxListingLineBytes = 8 * 1024;

// One line of a LIST reply in Unix "ls -l" or DOS/IIS format; names may hold spaces.
// Nothing for "total N" lines, lines over kMaxListingLineBytes and anything unreadable.
std::optional<ListingEntry> ParseListingLine(std::string_view line);

// The entries of a listing that arrives in pieces. Holds at most one line of
// kMaxListingLineBytes besides the entries: the rest of an over-long line is dropped as it comes.
class ListingReader {
 public:
  void Feed(std::string_view bytes);
  // The entries so far, and the last line if it had no line end.
  std::vector<ListingEntry> Finish();

 private:
  void TakeLine();

  std::string line_;
  bool overlong_ = false;
  std::vector<ListingEntry> entries_;
};

// The size in a SIZE command's "213 <bytes>" reply.
std::optional<int64_t> ParseSizeReply(const FtpReply& reply);

// The time in an MDTM command's "213 YYYYMMDDHHMMSS[.fraction]" reply (UTC), as the server wrote
// it; nothing when it is not such a time.
std::optional<std::string> ParseModificationTimeReply(const FtpReply& reply);

// Every entry of a whole listing, line by line.
std::vector<ListingEntry> ParseListing(std::string_view listing);

}  // namespace net
