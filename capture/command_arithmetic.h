// Numbers the capture commands derive from the settings and from reported
// sizes, apart from any window (portable: no windows.h): the recording's time
// limit and the size of the audio format buffer.
#ifndef MORVA_CAPTURE_COMMAND_ARITHMETIC_H
#define MORVA_CAPTURE_COMMAND_ARITHMETIC_H

#include <cstdint>

// Seconds of the recording's time limit from the TimeInterval setting; a
// negative interval (only a settings file can hold one) gives 0.
std::uint32_t TimeLimitSeconds(int timeInterval);

// Bytes of the buffer that holds the audio format while the user chooses one:
// the larger of the largest format the audio compression manager knows
// (maxFormat, when it could tell: maxKnown) and the capture window's current
// format (current), never less than a WAVEFORMATEX (waveFormatSize).
std::uint32_t AudioFormatBufferSize(bool maxKnown, std::uint32_t maxFormat,
                                    std::uint32_t current, std::uint32_t waveFormatSize);

#endif
