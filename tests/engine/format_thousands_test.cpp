#include <gtest/gtest.h>

#include <string>

#include "engine/helpers.h"

TEST(FormatThousands, GroupsDigitsInThreesFromTheRight) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1,000"},
      {4882, "4,882"},
      {65536, "65,536"},
      {999999, "999,999"},
      {1000000, "1,000,000"},
      {2147483647, "2,147,483,647"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(FormatThousands(c.value)), c.text) << c.value;
  }
}

TEST(FormatThousands, NegativeNumbersStayInsideTheBuffer) {
  EXPECT_STREQ(FormatThousands(-1234), "-1,234");
  EXPECT_STREQ(FormatThousands(INT32_MIN), "-2,147,483,648");
}

TEST(SingleLineText, ControlCharactersBecomeSpacesAndTheRestStays) {
  EXPECT_EQ("550 No such file.  ", SingleLineText("550 No such file.\r\n"));
  EXPECT_EQ("a b c d", SingleLineText(std::string("a\tb\x1b"
                                                  "c\x7F"
                                                  "d")));
  EXPECT_EQ("C:\\Tom & Jerry \xE4", SingleLineText("C:\\Tom & Jerry \xE4"));
  EXPECT_EQ(" x", SingleLineText(std::string("\0x", 2)));
}
