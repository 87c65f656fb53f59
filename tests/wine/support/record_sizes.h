// Sizes of the platform's capture records as the tests expect them: the
// published 32-bit sizes, and what the same records measure in the 64-bit
// test build (their handle fields grow to 8 bytes).
#ifndef MORVA_TESTS_WINE_SUPPORT_RECORD_SIZES_H
#define MORVA_TESTS_WINE_SUPPORT_RECORD_SIZES_H

constexpr unsigned kDriverCapsSize = sizeof(void*) == 4 ? 44 : 64;  // CAPDRIVERCAPS
constexpr unsigned kCaptureParmsSize = 96;                            // CAPTUREPARMS

#endif
