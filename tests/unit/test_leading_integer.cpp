// The settings file's number parse.
#include <gtest/gtest.h>

#include <string>

#include "app/leading_integer.h"

namespace {

TEST(LeadingInteger, TakesDigitsAfterBlanksAndOneSign) {
  EXPECT_EQ(42, ParseLeadingInteger(" 42abc"));
  EXPECT_EQ(-7, ParseLeadingInteger("-7"));
  EXPECT_EQ(15, ParseLeadingInteger("+15"));
  EXPECT_EQ(8, ParseLeadingInteger("\t\r\n\v\f 8 9"));
  EXPECT_EQ(0, ParseLeadingInteger("-0"));
  EXPECT_EQ(120, ParseLeadingInteger("0120"));
}

TEST(LeadingInteger, NoDigitsGiveZero) {
  EXPECT_EQ(0, ParseLeadingInteger("abc"));
  EXPECT_EQ(0, ParseLeadingInteger(""));
  EXPECT_EQ(0, ParseLeadingInteger(nullptr));
  EXPECT_EQ(0, ParseLeadingInteger("   "));
  EXPECT_EQ(0, ParseLeadingInteger("+-5"));   // only one sign
  EXPECT_EQ(0, ParseLeadingInteger("- 5"));   // no blank after the sign
  EXPECT_EQ(0, ParseLeadingInteger("x12"));
}

TEST(LeadingInteger, BytesAboveAsciiAreNotBlanksOrDigits) {
  // 0xA0 is a blank in some code pages and 0xB2 a superscript two; a parse
  // that asks the locale (or indexes a table with a negative char) would
  // skip or take them.
  EXPECT_EQ(0, ParseLeadingInteger("\xA0" "5"));
  EXPECT_EQ(3, ParseLeadingInteger("3\xB2"));
  EXPECT_EQ(0, ParseLeadingInteger("\xFF\xFE\x80"));
}

TEST(LeadingInteger, LargeNumbersWrapModulo32Bits) {
  EXPECT_EQ(2147483647, ParseLeadingInteger("2147483647"));
  EXPECT_EQ(-2147483647 - 1, ParseLeadingInteger("-2147483648"));
  EXPECT_EQ(-2147483647 - 1, ParseLeadingInteger("2147483648"));
  EXPECT_EQ(2147483647, ParseLeadingInteger("-2147483649"));
  EXPECT_EQ(42, ParseLeadingInteger("4294967338"));          // 2^32 + 42
  EXPECT_EQ(0, ParseLeadingInteger("4294967296"));           // 2^32
  EXPECT_EQ(-1, ParseLeadingInteger("18446744073709551615"));  // 2^64 - 1
}

TEST(LeadingInteger, VeryLongDigitRunsStayDefined) {
  // 10^k mod 2^32 is 0 from k = 32 on, so "1" followed by 199 zeros is 0;
  // the parse must run to the end without undefined behaviour.
  EXPECT_EQ(0, ParseLeadingInteger(("1" + std::string(199, '0')).c_str()));
  EXPECT_EQ(7, ParseLeadingInteger(("1" + std::string(198, '0') + "7").c_str()));
}

}  // namespace
