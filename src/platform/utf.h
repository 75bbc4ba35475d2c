#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Text inside the program is UTF-8; Windows takes UTF-16. The exact conversions give nothing for
// input that is not well-formed (a lone surrogate, a cut, overlong or out-of-range sequence):
// a name that cannot be carried over exactly is refused, never changed into another name.
std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8);
std::optional<std::string> Utf8FromUtf16(std::u16string_view utf16);

// For display only: every ill-formed sequence becomes U+FFFD.
std::u16string Utf16ForDisplay(std::string_view utf8);
std::string Utf8ForDisplay(std::u16string_view utf16);

// The longest start of utf8 that Windows counts as at most maxUnits UTF-16 units, cut only
// between characters (a surrogate pair is never split). Ill-formed input ends the start.
std::string_view Utf8PrefixWithin(std::string_view utf8, size_t maxUnits);

}  // namespace platform
