// Reading the Options dialog's number fields.
#include "ui/option_values.h"

namespace {

const long long kLargestSetting = 2147483647;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ReadOptionNumber(const char* text, int* value) {
  if (!text) return false;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  if (!IsDigit(*p)) return false;
  long long number = 0;
  for (; IsDigit(*p); ++p) {
    number = number * 10 + (*p - '0');
    if (number > kLargestSetting) return false;
  }
  while (IsBlank(*p)) ++p;
  if (*p != '\0') return false;
  *value = static_cast<int>(number);
  return true;
}

int LimitSelfTimer(int seconds) {
  if (seconds < kSelfTimerMinSeconds) return kSelfTimerMinSeconds;
  if (seconds > kSelfTimerMaxSeconds) return kSelfTimerMaxSeconds;
  return seconds;
}
