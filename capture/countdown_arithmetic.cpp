// Elapsed time, gauge numbers and the moment of the shot.
#include "capture/countdown_arithmetic.h"

#include "resources/resource.h"

namespace {

const std::int32_t kMsPerSecond = 1000;

}  // namespace

std::int32_t ElapsedMs(std::uint32_t now, std::uint32_t start) {
  const std::uint32_t difference = now - start;  // modulo 2^32: a wrap in between cancels out
  // Read as two's complement without relying on an out-of-range conversion.
  return difference <= 0x7FFFFFFFu ? static_cast<std::int32_t>(difference)
                                   : -static_cast<std::int32_t>(~difference) - 1;
}

int GaugeNumber(std::int32_t elapsedMs) { return elapsedMs / kMsPerSecond + IDB_GAUGE_FIRST; }

int GaugeBitmap(int gauge) {
  if (gauge < IDB_GAUGE_FIRST) return IDB_GAUGE_FIRST;
  if (gauge > IDB_GAUGE_GO) return IDB_GAUGE_GO;
  return gauge;
}

bool ShotIsDue(std::int32_t elapsedMs, int selfTimerSeconds) {
  return static_cast<std::int64_t>(elapsedMs) > static_cast<std::int64_t>(selfTimerSeconds) * kMsPerSecond;
}
