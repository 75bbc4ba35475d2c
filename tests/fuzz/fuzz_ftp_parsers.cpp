// Feeds arbitrary bytes to the reply reader, the PASV parser and the listing parser, as a
// hostile server could, and checks what they promise about their results.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/ftp_parsers.h"

namespace {

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// The bytes as a stream of replies, the way the control connection waits through them for a
// final one: every reply whole, and no more preliminary ones let through than the limit.
void FuzzReplyStream(std::string_view bytes, size_t chunkSize) {
  net::FtpReplyReader reader;
  net::PreliminaryReplyLimit limit;
  int preliminaries = 0;
  for (size_t pos = 0; pos < bytes.size(); pos += chunkSize) {
    if (!reader.Feed(bytes.substr(pos, chunkSize))) {
      return;
    }
    while (std::optional<net::FtpReply> reply = reader.Next()) {
      Require(reply->code >= 100 && reply->code <= 599);
      Require(reply->text.size() >= 5 &&
              reply->text.compare(reply->text.size() - 2, 2, "\r\n") == 0);
      Require(reply->text.size() <= 64 * 1024 + 2);
      // A file's time is kept in a one-line record: digits and one point, nothing else.
      if (const std::optional<std::string> time = net::ParseModificationTimeReply(*reply)) {
        Require(time->size() >= 14 && time->size() <= 24);
        Require(time->find_first_not_of("0123456789.") == std::string::npos);
      }
      if (limit.IsFinal(*reply)) {
        Require(reply->code >= 200);
        limit = net::PreliminaryReplyLimit();
        preliminaries = 0;
      } else {
        Require(reply->code < 200);
        if (limit.exceeded()) {
          return;  // the caller gives up here
        }
        Require(++preliminaries <= net::PreliminaryReplyLimit::kMaxPreliminaries);
      }
    }
  }
}

void FuzzPasv(std::string_view bytes) {
  if (const std::optional<uint16_t> port = net::ParsePasvPort(bytes)) {
    Require(*port != 0);
  }
}

void RequireSaneEntries(const std::vector<net::ListingEntry>& entries) {
  for (const net::ListingEntry& entry : entries) {
    Require(!entry.name.empty());
    Require(entry.size >= 0);
    Require(entry.name.find('\n') == std::string::npos);
    Require(entry.name.size() <= net::kMaxListingLineBytes);
    Require(!(entry.isDirectory && entry.isLink));
  }
}

// The bytes as a listing, whole and in pieces, and as one line far longer than any real one:
// over-long lines give no entry, and the reader's result does not depend on how bytes arrive.
void FuzzListing(std::string_view bytes, size_t chunkSize) {
  const std::vector<net::ListingEntry> whole = net::ParseListing(bytes);
  RequireSaneEntries(whole);
  net::ListingReader reader;
  for (size_t pos = 0; pos < bytes.size(); pos += chunkSize) {
    reader.Feed(bytes.substr(pos, chunkSize));
  }
  Require(reader.Finish().size() == whole.size());

  if (bytes.empty() || bytes.find('\n') != std::string_view::npos) {
    return;
  }
  std::string longLine;
  while (longLine.size() <= net::kMaxListingLineBytes) {
    longLine.append(bytes.data(), bytes.size());
  }
  Require(!net::ParseListingLine(longLine).has_value());
  Require(net::ParseListing(longLine + "\n" + std::string(bytes)).size() ==
          net::ParseListing(bytes).size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first byte picks how the reader's input is cut, as reads of the socket would cut it.
  const size_t chunkSize = size == 0 ? 1 : 1 + data[0] % 97;
  FuzzReplyStream(bytes, chunkSize);
  FuzzReplyStream(bytes, bytes.size() + 1);
  FuzzPasv(bytes);
  FuzzListing(bytes, chunkSize);
  return 0;
}
