// The capture commands' arithmetic (portable: no windows.h).
#include "capture/command_arithmetic.h"

std::uint32_t TimeLimitSeconds(int timeInterval) {
  return timeInterval > 0 ? static_cast<std::uint32_t>(timeInterval) : 0u;
}

std::uint32_t AudioFormatBufferSize(bool maxKnown, std::uint32_t maxFormat,
                                    std::uint32_t current, std::uint32_t waveFormatSize) {
  std::uint32_t size = current;
  if (maxKnown && maxFormat > current) size = maxFormat;
  if (size < waveFormatSize) size = waveFormatSize;
  return size;
}
