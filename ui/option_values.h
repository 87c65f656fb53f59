// How the Options dialog reads what the user typed: a field converts only when
// it holds a plain decimal number that fits a signed 32-bit setting, and the
// self-timer is kept to 3..10 seconds. Apart from the dialog code so that it
// is tested natively.
#ifndef MORVA_UI_OPTION_VALUES_H
#define MORVA_UI_OPTION_VALUES_H

enum {
  kSelfTimerMinSeconds = 3,
  kSelfTimerMaxSeconds = 10,
};

// true and *value set when `text` is decimal digits, blanks around them
// allowed, worth at most 2147483647; false with *value untouched otherwise
// (empty, signs, other characters, too large). Null converts nothing.
bool ReadOptionNumber(const char* text, int* value);

// seconds limited to kSelfTimerMinSeconds..kSelfTimerMaxSeconds.
int LimitSelfTimer(int seconds);

#endif
