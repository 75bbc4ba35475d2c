// Feeds arbitrary bytes to the reply reader, the PASV parser and the listing parser, as a
// hostile server could, and checks what they promise about their results.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/ftp_parsers.h"

namespace {

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void FuzzReplyReader(std::string_view bytes, size_t chunkSize) {
  net::FtpReplyReader reader;
  for (size_t pos = 0; pos < bytes.size(); pos += chunkSize) {
    if (!reader.Feed(bytes.substr(pos, chunkSize))) {
      return;
    }
    while (std::optional<net::FtpReply> reply = reader.Next()) {
      Require(reply->code >= 100 && reply->code <= 599);
      Require(reply->text.size() >= 5 &&
              reply->text.compare(reply->text.size() - 2, 2, "\r\n") == 0);
      Require(reply->text.size() <= 64 * 1024 + 2);
    }
  }
}

void FuzzPasv(std::string_view bytes) {
  const std::optional<net::PasvAddress> address = net::ParsePasvReply(bytes);
  if (!address) {
    return;
  }
  Require(address->port != 0);
  Require(address->host.size() >= 7 && address->host.size() <= 15);
  // A parsed address is well-formed, so it is never rejected as unreadable.
  Require(!net::IsUnusablePasvHost(address->host, address->host) || address->host == "0.0.0.0");
  net::IsUnusablePasvHost(address->host, std::string(bytes.substr(0, 15)));
}

void FuzzListing(std::string_view bytes) {
  for (const net::ListingEntry& entry : net::ParseListing(bytes)) {
    Require(!entry.name.empty());
    Require(entry.size >= 0);
    Require(entry.name.find('\n') == std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first byte picks how the reader's input is cut, as reads of the socket would cut it.
  const size_t chunkSize = size == 0 ? 1 : 1 + data[0] % 97;
  FuzzReplyReader(bytes, chunkSize);
  FuzzReplyReader(bytes, bytes.size() + 1);
  FuzzPasv(bytes);
  FuzzListing(bytes);
  return 0;
}
