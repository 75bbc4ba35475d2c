#include "platform/system_code_page.h"

namespace platform {

std::optional<std::string> Utf8FromSystemCodePage(const std::string& bytes) {
  return bytes;
}

std::optional<std::string> SystemCodePageFromUtf8(const std::string& utf8) {
  return utf8;
}

}  // namespace platform
