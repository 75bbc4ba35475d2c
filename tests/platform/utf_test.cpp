#include <gtest/gtest.h>

#include <string>

#include "platform/utf.h"

namespace {

const std::string kFolder = "Łukasz ダウンロード 📁";
const std::u16string kFolder16 = u"Łukasz ダウンロード 📁";

// Each row: UTF-8 bytes and UTF-16 units that name the same file, or one side that names none.
TEST(UtfTest, ConvertsExactlyOrNotAtAll) {
  struct Case {
    const char* what;
    std::optional<std::string> utf8;
    std::optional<std::u16string> utf16;
  };
  const Case exact[] = {
      {"empty", "", u""},
      {"Polish, Japanese and a pair for the emoji", kFolder, kFolder16},
      {"highest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
  };
  for (const Case& c : exact) {
    EXPECT_EQ(c.utf16, platform::Utf16FromUtf8(*c.utf8)) << c.what;
    EXPECT_EQ(c.utf8, platform::Utf8FromUtf16(*c.utf16)) << c.what;
  }
  // A replacement character would name another file; an overlong "/" would even name another
  // folder.
  const Case noUtf16[] = {
      {"encoded surrogate", "d:\\\xED\xA0\xBD", {}},
      {"overlong slash", "d:\\\xC0\xAF", {}},
      {"cut sequence", "d:\\\xE3\x83", {}},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", {}},
      {"stray continuation", "\x80", {}},
  };
  for (const Case& c : noUtf16) {
    EXPECT_FALSE(platform::Utf16FromUtf8(*c.utf8)) << c.what;
    EXPECT_NE(std::u16string::npos, platform::Utf16ForDisplay(*c.utf8).find(u'\xFFFD')) << c.what;
  }
  const Case noUtf8[] = {
      {"lone high surrogate", {}, u"d:\\\xD83D"},
      {"lone low surrogate", {}, u"\xDCC1x"},
      {"pair in the wrong order", {}, u"\xDCC1\xD83D"},
  };
  for (const Case& c : noUtf8) {
    EXPECT_FALSE(platform::Utf8FromUtf16(*c.utf16)) << c.what;
    EXPECT_NE(std::string::npos, platform::Utf8ForDisplay(*c.utf16).find("\xEF\xBF\xBD")) << c.what;
  }
}

// Windows counts a path's length in UTF-16 units: a cut at the limit keeps whole characters.
TEST(UtfTest, PrefixWithinCountsUtf16UnitsAndKeepsCharactersWhole) {
  struct Case {
    std::string utf8;
    size_t maxUnits;
    size_t keptBytes;
  };
  const std::string japanese259 = [] {
    std::string text;
    for (int i = 0; i < 259; ++i) {
      text += "ダ";
    }
    return text;
  }();
  const Case cases[] = {
      {japanese259, 259, japanese259.size()},
      {japanese259 + "x", 259, japanese259.size()},
      {std::string(258, 'a') + "📁", 259, 258},
      {std::string(257, 'a') + "📁", 259, 261},
      {"ab\xC0\xAF"
       "cd",
       259, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.keptBytes, platform::Utf8PrefixWithin(c.utf8, c.maxUnits).size()) << c.utf8;
  }
}

}  // namespace
