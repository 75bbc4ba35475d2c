#include <gtest/gtest.h>

#include "progress/progress_texts.h"

namespace {

TEST(ProgressTextsTest, RemainingTimeNamesOnlyTheNonZeroParts) {
  EXPECT_EQ("1 hours 2 minutes 5 seconds remaining", FormatRemainingTime(3725));
  EXPECT_EQ("2 minutes remaining", FormatRemainingTime(120));
  EXPECT_EQ("57 seconds remaining", FormatRemainingTime(57));
  EXPECT_EQ("1 hours 1 seconds remaining", FormatRemainingTime(3601));
  EXPECT_EQ("26 hours 59 minutes 59 seconds remaining", FormatRemainingTime(97199));
}

TEST(ProgressTextsTest, NoTimeLeftIsTheBareWord) {
  EXPECT_EQ("remaining", FormatRemainingTime(0));
  EXPECT_EQ("remaining", FormatRemainingTime(-1));
  EXPECT_EQ("remaining", FormatRemainingTime(-3725));
  EXPECT_EQ("remaining", FormatRemainingTime(INT32_MIN));
}

}  // namespace
