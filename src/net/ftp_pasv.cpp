// The address of a PASV reply and whether it can be used.

#include <array>
#include <optional>

#include "net/ftp_parsers.h"

namespace net {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A number of one to three digits up to 255 at text[pos], followed by no further digit.
std::optional<int> ReadOctet(std::string_view text, size_t& pos) {
  int value = 0;
  size_t digits = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    if (++digits > 3) {
      return std::nullopt;
    }
    value = value * 10 + (text[pos++] - '0');
  }
  if (digits == 0 || value > 255) {
    return std::nullopt;
  }
  return value;
}

void SkipSpaces(std::string_view text, size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') {
    ++pos;
  }
}

// Six octets separated by commas (spaces allowed around them) starting at text[pos].
std::optional<std::array<int, 6>> ReadSixOctets(std::string_view text, size_t pos) {
  std::array<int, 6> octets{};
  for (size_t i = 0; i < octets.size(); ++i) {
    if (i > 0) {
      SkipSpaces(text, pos);
      if (pos >= text.size() || text[pos] != ',') {
        return std::nullopt;
      }
      ++pos;
      SkipSpaces(text, pos);
    }
    const std::optional<int> octet = ReadOctet(text, pos);
    if (!octet) {
      return std::nullopt;
    }
    octets[i] = *octet;
  }
  return octets;
}

std::optional<std::array<int, 4>> ParseDotted(const std::string& host) {
  std::array<int, 4> octets{};
  size_t pos = 0;
  for (size_t i = 0; i < octets.size(); ++i) {
    if (i > 0) {
      if (pos >= host.size() || host[pos] != '.') {
        return std::nullopt;
      }
      ++pos;
    }
    const std::optional<int> octet = ReadOctet(host, pos);
    if (!octet) {
      return std::nullopt;
    }
    octets[i] = *octet;
  }
  if (pos != host.size()) {
    return std::nullopt;
  }
  return octets;
}

// Private, loopback and link-local ranges: addresses that only mean something near the server.
bool IsLocalRange(const std::array<int, 4>& a) {
  return a[0] == 10 || a[0] == 127 || (a[0] == 172 && a[1] >= 16 && a[1] <= 31) ||
         (a[0] == 192 && a[1] == 168) || (a[0] == 169 && a[1] == 254);
}

}  // namespace

std::optional<PasvAddress> ParsePasvReply(std::string_view text) {
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (!IsDigit(text[pos]) || (pos > 0 && IsDigit(text[pos - 1]))) {
      continue;
    }
    const std::optional<std::array<int, 6>> octets = ReadSixOctets(text, pos);
    if (!octets) {
      continue;
    }
    const auto& o = *octets;
    const int port = o[4] * 256 + o[5];
    if (port == 0) {
      return std::nullopt;
    }
    PasvAddress address;
    address.host = std::to_string(o[0]) + "." + std::to_string(o[1]) + "." + std::to_string(o[2]) +
                   "." + std::to_string(o[3]);
    address.port = static_cast<uint16_t>(port);
    return address;
  }
  return std::nullopt;
}

bool IsUnusablePasvHost(const std::string& host, const std::string& controlPeer) {
  const std::optional<std::array<int, 4>> announced = ParseDotted(host);
  if (!announced || *announced == std::array<int, 4>{0, 0, 0, 0}) {
    return true;
  }
  const std::optional<std::array<int, 4>> peer = ParseDotted(controlPeer);
  // A local address is fine when the server itself is near us, not when it is elsewhere.
  return IsLocalRange(*announced) && peer && !IsLocalRange(*peer);
}

}  // namespace net
