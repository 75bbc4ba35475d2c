// Entries of a LIST reply: Unix "ls -l" lines and DOS/IIS lines.

#include <cstdint>
#include <limits>

#include "net/ftp_parsers.h"

namespace net {
namespace {

struct Token {
  std::string_view text;
  size_t end;  // offset just past the token in its line
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && IsBlank(line[pos])) {
      ++pos;
    }
    const size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) {
      ++pos;
    }
    if (pos > start) {
      tokens.push_back({line.substr(start, pos - start), pos});
    }
  }
  return tokens;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) {
    return false;
  }
  for (char c : text) {
    if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}

std::optional<int64_t> ParseSize(std::string_view text) {
  if (!AllDigits(text)) {
    return std::nullopt;
  }
  int64_t value = 0;
  for (char c : text) {
    const int digit = c - '0';
    if (value > (std::numeric_limits<int64_t>::max() - digit) / 10) {
      return std::nullopt;
    }
    value = value * 10 + digit;
  }
  return value;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsMonth(std::string_view text) {
  static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
  if (text.size() != 3) {
    return false;
  }
  for (std::string_view month : kMonths) {
    if (Lower(text[0]) == month[0] && Lower(text[1]) == month[1] && Lower(text[2]) == month[2]) {
      return true;
    }
  }
  return false;
}

bool IsDay(std::string_view text) {
  if (text.empty() || text.size() > 2 || !AllDigits(text)) {
    return false;
  }
  const int day = text.size() == 1 ? text[0] - '0' : (text[0] - '0') * 10 + (text[1] - '0');
  return day >= 1 && day <= 31;
}

// "12:00", "9:05" or a year "2020".
bool IsTimeOrYear(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    return text.size() == 4 && AllDigits(text);
  }
  return (colon == 1 || colon == 2) && AllDigits(text.substr(0, colon)) &&
         text.size() == colon + 3 && AllDigits(text.substr(colon + 1));
}

// "-rw-r--r-- 1 owner group 1234 Jan 01 12:00 name with spaces"; the owner and group columns may
// be missing, so the size is found as the number right before a plausible date.
std::optional<ListingEntry> ParseUnixLine(std::string_view line) {
  const std::vector<Token> tokens = Tokenize(line);
  if (tokens.size() < 6 || tokens[0].text.size() < 10) {
    return std::nullopt;
  }
  const char type = tokens[0].text[0];
  if (type != '-' && type != 'd' && type != 'l') {
    return std::nullopt;  // devices, pipes and sockets are nothing to download
  }
  for (size_t month = 2; month + 3 < tokens.size(); ++month) {
    if (!AllDigits(tokens[month - 1].text) || !IsMonth(tokens[month].text) ||
        !IsDay(tokens[month + 1].text) || !IsTimeOrYear(tokens[month + 2].text)) {
      continue;
    }
    const std::optional<int64_t> size = ParseSize(tokens[month - 1].text);
    if (!size) {
      return std::nullopt;
    }
    // The name starts after the one blank that follows the date; it may hold blanks itself.
    std::string_view name = line.substr(tokens[month + 2].end + 1);
    if (type == 'l') {
      name = name.substr(0, name.find(" -> "));
    }
    if (name.empty()) {
      return std::nullopt;
    }
    return ListingEntry{std::string(name), *size, type == 'd', type == 'l'};
  }
  return std::nullopt;
}

// "01-15-24" or "01-15-2024" (also with "/").
bool IsDosDate(std::string_view text) {
  if (text.size() != 8 && text.size() != 10) {
    return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    const bool separator = i == 2 || i == 5;
    if (separator ? (text[i] != '-' && text[i] != '/') : !IsDigit(text[i])) {
      return false;
    }
  }
  return true;
}

bool IsMeridiem(std::string_view text) {
  return text.size() == 2 && (Lower(text[0]) == 'a' || Lower(text[0]) == 'p') &&
         Lower(text[1]) == 'm';
}

// "10:30AM", "22:30" or "10:30" (with the meridiem as a token of its own).
bool IsDosTime(std::string_view text) {
  if (text.size() > 2 && IsMeridiem(text.substr(text.size() - 2))) {
    text.remove_suffix(2);
  }
  return IsTimeOrYear(text) && text.find(':') != std::string_view::npos;
}

// "01-15-24  10:30AM       1234567 name with spaces.exe" or "... <DIR>          folder".
std::optional<ListingEntry> ParseDosLine(std::string_view line) {
  const std::vector<Token> tokens = Tokenize(line);
  if (tokens.size() < 4 || !IsDosDate(tokens[0].text) || !IsDosTime(tokens[1].text)) {
    return std::nullopt;
  }
  size_t sizeIndex = 2;
  if (IsMeridiem(tokens[2].text)) {
    ++sizeIndex;
  }
  if (sizeIndex + 1 >= tokens.size()) {
    return std::nullopt;
  }
  ListingEntry entry;
  if (tokens[sizeIndex].text == "<DIR>") {
    entry.isDirectory = true;
  } else {
    const std::optional<int64_t> size = ParseSize(tokens[sizeIndex].text);
    if (!size) {
      return std::nullopt;
    }
    entry.size = *size;
  }
  // The name is what follows the column padding; it may hold blanks itself.
  std::string_view name = line.substr(tokens[sizeIndex].end);
  while (!name.empty() && IsBlank(name.front())) {
    name.remove_prefix(1);
  }
  entry.name = std::string(name);
  return entry;
}

}  // namespace

std::optional<ListingEntry> ParseListingLine(std::string_view line) {
  // Checked before anything is split: tokenising a huge line costs many times its size.
  if (line.size() > kMaxListingLineBytes) {
    return std::nullopt;
  }
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
    line.remove_suffix(1);
  }
  if (line.empty()) {
    return std::nullopt;
  }
  if (IsDigit(line.front())) {
    return ParseDosLine(line);
  }
  return ParseUnixLine(line);
}

void ListingReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (!overlong_ && line_.size() + piece.size() <= kMaxListingLineBytes) {
      line_.append(piece.data(), piece.size());
    } else {
      overlong_ = true;
      line_.clear();
    }
    if (end == std::string_view::npos) {
      return;
    }
    TakeLine();
    bytes.remove_prefix(end + 1);
  }
}

void ListingReader::TakeLine() {
  if (!overlong_) {
    if (std::optional<ListingEntry> entry = ParseListingLine(line_)) {
      entries_.push_back(std::move(*entry));
    }
  }
  line_.clear();
  overlong_ = false;
}

std::vector<ListingEntry> ListingReader::Finish() {
  TakeLine();
  return std::move(entries_);
}

namespace {

// The value of a one-line "213 <value>" file status reply, as SIZE and MDTM give it.
std::optional<std::string_view> FileStatusValue(const FtpReply& reply) {
  std::string_view text = reply.text;
  if (reply.code != 213 || text.size() < 4 || text[3] != ' ') {
    return std::nullopt;
  }
  text.remove_prefix(4);
  return text.substr(0, text.find_first_of("\r\n"));
}

// The two-digit field at offset of a YYYYMMDDHHMMSS time, if it lies within [low, high].
bool FieldWithin(std::string_view time, size_t offset, int low, int high) {
  const int value = (time[offset] - '0') * 10 + (time[offset + 1] - '0');
  return value >= low && value <= high;
}

}  // namespace

std::optional<int64_t> ParseSizeReply(const FtpReply& reply) {
  const std::optional<std::string_view> value = FileStatusValue(reply);
  return value ? ParseSize(*value) : std::nullopt;
}

std::optional<std::string> ParseModificationTimeReply(const FtpReply& reply) {
  const std::optional<std::string_view> value = FileStatusValue(reply);
  if (!value) {
    return std::nullopt;
  }
  constexpr size_t kWholeSeconds = 14;  // YYYYMMDDHHMMSS
  const std::string_view time = *value;
  const size_t point = time.find('.');
  const std::string_view seconds = time.substr(0, point);
  const bool fractionWellFormed =
      point == std::string_view::npos ||
      (AllDigits(time.substr(point + 1)) && time.size() - point - 1 <= 9);
  // A year of five digits ("19100...") is an old server's bug, not a time.
  if (seconds.size() != kWholeSeconds || !AllDigits(seconds) || !fractionWellFormed ||
      !FieldWithin(seconds, 4, 1, 12) || !FieldWithin(seconds, 6, 1, 31) ||
      !FieldWithin(seconds, 8, 0, 23) || !FieldWithin(seconds, 10, 0, 59) ||
      !FieldWithin(seconds, 12, 0, 60)) {
    return std::nullopt;
  }
  return std::string(time);
}

std::vector<ListingEntry> ParseListing(std::string_view listing) {
  ListingReader reader;
  reader.Feed(listing);
  return reader.Finish();
}

}  // namespace net
