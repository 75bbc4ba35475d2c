// Splits control-connection bytes into whole FTP replies.

#include <utility>

#include "net/ftp_parsers.h"

namespace net {
namespace {

// No reply is longer than this; a server that sends more is broken or hostile, and the
// reader must not grow without bound on its behalf.
constexpr size_t kMaxBufferedBytes = 64 * 1024;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The reply code at the start of a line ("230 ok", "230-first", "230"), or 0 if there is none.
int LineCode(std::string_view line) {
  if (line.size() < 3 || line[0] < '1' || line[0] > '5' || !IsDigit(line[1]) || !IsDigit(line[2])) {
    return 0;
  }
  if (line.size() > 3 && line[3] != ' ' && line[3] != '-') {
    return 0;
  }
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool ContinuesReply(std::string_view line) {
  return line.size() > 3 && line[3] == '-';
}

}  // namespace

bool FtpReplyReader::Feed(std::string_view bytes) {
  pending_.append(bytes.data(), bytes.size());
  size_t lineStart = 0;
  bool valid = true;
  for (size_t lineEnd; valid && (lineEnd = pending_.find('\n', lineStart)) != std::string::npos;
       lineStart = lineEnd + 1) {
    std::string_view line(pending_.data() + lineStart, lineEnd - lineStart);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (!inMultiLine_) {
      if (line.empty()) {
        continue;  // a stray blank line between replies carries nothing
      }
      const int code = LineCode(line);
      if (code == 0) {
        valid = false;
        break;
      }
      partial_ = FtpReply{code, std::string()};
      inMultiLine_ = ContinuesReply(line);
    } else if (LineCode(line) == partial_.code && !ContinuesReply(line)) {
      inMultiLine_ = false;  // "NNN text" with the opening code ends a multi-line reply
    }
    partial_.text.append(line.data(), line.size()).append("\r\n");
    if (partial_.text.size() > kMaxBufferedBytes) {
      valid = false;
      break;
    }
    if (!inMultiLine_) {
      ready_.push_back(std::move(partial_));
      partial_ = FtpReply{};
    }
  }
  if (valid) {
    pending_.erase(0, lineStart);
    size_t buffered = pending_.size() + partial_.text.size();
    for (const FtpReply& reply : ready_) {
      buffered += reply.text.size();
    }
    valid = buffered <= kMaxBufferedBytes;
  }
  if (!valid) {
    pending_.clear();
    ready_.clear();
    partial_ = FtpReply{};
    inMultiLine_ = false;
  }
  return valid;
}

std::optional<FtpReply> FtpReplyReader::Next() {
  if (ready_.empty()) {
    return std::nullopt;
  }
  FtpReply reply = std::move(ready_.front());
  ready_.erase(ready_.begin());
  return reply;
}

bool PreliminaryReplyLimit::IsFinal(const FtpReply& reply) {
  if (reply.code >= 200) {
    return true;
  }
  ++preliminaries_;
  return false;
}

}  // namespace net
