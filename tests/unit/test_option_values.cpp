// The Options dialog's reading of its number fields.
#include <gtest/gtest.h>

#include "ui/option_values.h"

namespace {

TEST(OptionValues, FieldsConvertOnlyWhenTheyHoldASigned32BitNumber) {
  struct Case { const char* text; bool converts; int value; };
  const Case cases[] = {
      {"15", true, 15},           {"0", true, 0},          {" 007 ", true, 7},
      {"2147483647", true, 2147483647},
      {"2147483648", false, 0},   {"4294967296", false, 0}, {"99999999999999999999999", false, 0},
      {"", false, 0},             {"  ", false, 0},        {"-5", false, 0},
      {"+5", false, 0},           {"12a", false, 0},       {"1 2", false, 0},
      {nullptr, false, 0},
  };
  for (const Case& c : cases) {
    int value = -42;
    EXPECT_EQ(c.converts, ReadOptionNumber(c.text, &value)) << (c.text ? c.text : "(null)");
    EXPECT_EQ(c.converts ? c.value : -42, value) << (c.text ? c.text : "(null)");
  }
}

TEST(OptionValues, SelfTimerStaysWithinThreeToTenSeconds) {
  EXPECT_EQ(3, LimitSelfTimer(1));
  EXPECT_EQ(3, LimitSelfTimer(-7));
  EXPECT_EQ(7, LimitSelfTimer(7));
  EXPECT_EQ(10, LimitSelfTimer(60));
}

}  // namespace
