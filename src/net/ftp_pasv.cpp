// The port of a PASV reply.

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

}  // namespace

std::optional<uint16_t> ParsePasvPort(std::string_view text) {
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (!IsDigit(text[pos]) || (pos > 0 && IsDigit(text[pos - 1]))) {
      continue;
    }
    const std::optional<std::array<int, 6>> octets = ReadSixOctets(text, pos);
    if (!octets) {
      continue;
    }
    const int port = (*octets)[4] * 256 + (*octets)[5];
    if (port == 0) {
      return std::nullopt;
    }
    return static_cast<uint16_t>(port);
  }
  return std::nullopt;
}

}  // namespace net
