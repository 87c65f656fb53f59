// The self-timer's arithmetic, apart from the window code: the elapsed time
// on a 32-bit millisecond tick count, the gauge number it stands for, the
// gauge bitmap drawn for that number, and whether the shot is due.
#ifndef MORVA_CAPTURE_COUNTDOWN_ARITHMETIC_H
#define MORVA_CAPTURE_COUNTDOWN_ARITHMETIC_H

#include <cstdint>

// Milliseconds from `start` to `now`, right across the tick count's wrap
// (every 49.7 days): the unsigned difference read as a signed number.
std::int32_t ElapsedMs(std::uint32_t now, std::uint32_t start);

// The gauge number for an elapsed time: whole seconds elapsed + 121, with the
// division truncating. Not limited: it may lie past the last gauge bitmap.
int GaugeNumber(std::int32_t elapsedMs);

// The bitmap that shows gauge number g: g itself within IDB_GAUGE_FIRST..
// IDB_GAUGE_GO (121..130), else the nearer end (a countdown longer than ten seconds shows GO to its end).
int GaugeBitmap(int gauge);

// The shot is due once strictly more than selfTimerSeconds have elapsed.
// Any SelfTimer from the settings file is safe here (no overflow).
bool ShotIsDue(std::int32_t elapsedMs, int selfTimerSeconds);

#endif
