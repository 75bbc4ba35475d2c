#pragma once

#include <optional>
#include <string>

namespace platform {

// The system's legacy text encoding (Windows' ANSI code page), in which earlier builds wrote
// their stored text. On POSIX, text is bytes kept as they are.

// The text in UTF-8; nothing when it is not valid in that code page.
std::optional<std::string> Utf8FromSystemCodePage(const std::string& bytes);
// The text in the code page, only when it converts there and back exactly (no best-fit or
// default character); else nothing.
std::optional<std::string> SystemCodePageFromUtf8(const std::string& utf8);

}  // namespace platform
