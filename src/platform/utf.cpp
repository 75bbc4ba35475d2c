#include "platform/utf.h"

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// The code point starting at utf8[pos] and its length in bytes; kInvalid with the length of the
// ill-formed part (at least one byte) when the sequence is not well-formed.
char32_t DecodeUtf8(std::string_view utf8, size_t pos, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[pos + i]); };
  const unsigned char lead = byte(0);
  length = 1;
  if (lead < 0x80) {
    return lead;
  }
  // The lead byte gives the sequence's length and the smallest code point it may carry.
  size_t count = 0;
  char32_t smallest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    count = 2;
    smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    count = 3;
    smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    count = 4;
    smallest = 0x10000;
  } else {
    return kInvalid;
  }
  char32_t c = lead & (0x7Fu >> count);
  for (size_t i = 1; i < count; ++i) {
    if (pos + i >= utf8.size() || (byte(i) & 0xC0u) != 0x80) {
      length = i;
      return kInvalid;
    }
    c = (c << 6) | (byte(i) & 0x3Fu);
  }
  length = count;
  // Overlong forms and encoded surrogates would give one name two spellings.
  return c < smallest || c > 0x10FFFF || IsSurrogate(c) ? kInvalid : c;
}

// The code point starting at utf16[pos] and its length in units, or kInvalid for a lone
// surrogate.
char32_t DecodeUtf16(std::u16string_view utf16, size_t pos, size_t& length) {
  const char32_t unit = utf16[pos];
  length = 1;
  if (!IsSurrogate(unit)) {
    return unit;
  }
  if (unit <= 0xDBFF && pos + 1 < utf16.size() && utf16[pos + 1] >= 0xDC00 &&
      utf16[pos + 1] <= 0xDFFF) {
    length = 2;
    return 0x10000 + ((unit - 0xD800) << 10) + (utf16[pos + 1] - 0xDC00);
  }
  return kInvalid;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Every character of in, decoded and appended in the other form. An ill-formed sequence gives
// nothing, or U+FFFD in its place where replace asks for that.
template <typename Out, typename In>
std::optional<Out> Transcode(In in, bool replace, char32_t (*decode)(In, size_t, size_t&),
                             void (*append)(Out&, char32_t)) {
  Out out;
  out.reserve(in.size());
  for (size_t pos = 0, length = 0; pos < in.size(); pos += length) {
    char32_t c = decode(in, pos, length);
    if (c == kInvalid) {
      if (!replace) {
        return std::nullopt;
      }
      c = kReplacement;
    }
    append(out, c);
  }
  return out;
}

std::optional<std::u16string> ToUtf16(std::string_view utf8, bool replace) {
  return Transcode<std::u16string, std::string_view>(utf8, replace, DecodeUtf8, AppendUtf16);
}

std::optional<std::string> ToUtf8(std::u16string_view utf16, bool replace) {
  return Transcode<std::string, std::u16string_view>(utf16, replace, DecodeUtf16, AppendUtf8);
}

}  // namespace

std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8) {
  return ToUtf16(utf8, false);
}

std::optional<std::string> Utf8FromUtf16(std::u16string_view utf16) {
  return ToUtf8(utf16, false);
}

std::u16string Utf16ForDisplay(std::string_view utf8) {
  return *ToUtf16(utf8, true);
}

std::string Utf8ForDisplay(std::u16string_view utf16) {
  return *ToUtf8(utf16, true);
}

std::string_view Utf8PrefixWithin(std::string_view utf8, size_t maxUnits) {
  size_t pos = 0;
  size_t units = 0;
  for (size_t length = 0; pos < utf8.size(); pos += length) {
    const char32_t c = DecodeUtf8(utf8, pos, length);
    const size_t needed = c >= 0x10000 ? 2 : 1;
    if (c == kInvalid || units + needed > maxUnits) {
      break;
    }
    units += needed;
  }
  return utf8.substr(0, pos);
}

}  // namespace platform
