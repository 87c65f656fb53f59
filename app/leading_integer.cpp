// The settings file's number parse (portable: no windows.h).
#include "app/leading_integer.h"

#include <cstdint>

namespace {

// The C locale's white space, tested by value so that bytes above 127
// (binary garbage in the file) are simply not white space.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ParseLeadingInteger(const char* text) {
  if (!text) return 0;
  while (IsSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    ++text;
  }
  std::uint32_t value = 0;  // unsigned: overflow wraps instead of being undefined
  for (; IsDigit(*text); ++text) {
    value = value * 10u + static_cast<std::uint32_t>(*text - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}
