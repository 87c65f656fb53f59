// The capture commands' arithmetic: the recording's time limit and the audio
// format buffer's size.
#include <gtest/gtest.h>

#include "capture/command_arithmetic.h"

namespace {

TEST(CommandArithmetic, TimeLimitNeverNegativeAndBufferNeverBelowAWaveFormat) {
  EXPECT_EQ(10u, TimeLimitSeconds(10));
  EXPECT_EQ(0u, TimeLimitSeconds(-2147483647 - 1));
  EXPECT_EQ(0xFFFFFFFFu, AudioFormatBufferSize(true, 0xFFFFFFFFu, 18, 18));  // unsigned
  EXPECT_EQ(40u, AudioFormatBufferSize(true, 18, 40, 18));
  EXPECT_EQ(20u, AudioFormatBufferSize(false, 500, 20, 18));  // no metric: the current size
  EXPECT_EQ(18u, AudioFormatBufferSize(true, 10, 16, 18));
}

}  // namespace
