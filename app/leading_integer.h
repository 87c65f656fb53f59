// The leading-integer parse of the settings file's numbers: optional white
// space, one optional sign, decimal digits up to the first other character.
// No digits give 0. There is no range check: the value wraps modulo 2^32,
// as a 32-bit accumulator would, without undefined behaviour.
#ifndef MORVA_APP_LEADING_INTEGER_H
#define MORVA_APP_LEADING_INTEGER_H

int ParseLeadingInteger(const char* text);  // null gives 0

#endif
