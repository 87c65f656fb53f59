// Reading and writing files: a small file's content up to a cap, large
// writes in calls of a measured size, a file replaced whole through a
// temporary file beside it, and the text of a Windows error code.
#ifndef MORVA_AVICAP32_COMMON_FILE_IO_H
#define MORVA_AVICAP32_COMMON_FILE_IO_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Reads `file` from where it stands up to its end or `maxBytes`, whichever
// comes first (files under /proc and /sys report no size, so the reading
// goes to the end); false when a read fails.
bool ReadUpTo(HANDLE file, size_t maxBytes, std::string* out);

// Bytes handed to one WriteFile by WriteAll (and read at a time by save-as).
// Measured on 2026-12-09 (2-core AMD EPYC, Linux 6.18, Wine 8.0, 32-bit
// build) with one service build per size, the sizes interleaved round after
// round. Recording 1920 x 1080 24-bit at 30 frames/s for 10 s, 5 rounds,
// share of one core, median (range), and its ratio to 256 KiB pair by pair:
// 256 KiB 12.2 % (10.8 to 12.6); 512 KiB 15.9 % (14.5 to 18.7), 1.34 x;
// 1 MiB 19.9 % (18.3 to 24.9), 1.69 x; 2 MiB 21.3 % (19.7 to 26.3), 1.97 x;
// 4 MiB 22.9 % (20.9 to 25.9), 1.93 x (one frame dropped in all 25 runs);
// whole 6.2 MB frames, in a run of their own, 1.89 x (1.70 to 2.57). A
// program writing 301 such frames, whole-process CPU in 5 to 7 pairs, agrees:
// 256 KiB / 1 MiB 0.49 (0.41 to 0.60), 256 KiB / 512 KiB 0.63 (0.40 to
// 0.72), 1 MiB / 2 MiB 0.89 (0.77 to 0.94). Other builds and tests shared
// the machine (load 3 to 15), so the absolute figures are noisy and higher
// than on a quiet one, but the interleaved pairs rank the sizes: 256 KiB,
// the smallest tried, was the cheapest in every comparison. (Earlier figures
// from a quieter machine, not repeated here, put 1 MiB writes slightly ahead:
// 0.40 to 0.46 s of kernel time for those frames, 256 KiB 0.50 s, 64 KiB
// 0.66 to 0.78 s.)
// Later that day, with the page-cache trimmer, calls were made to end at
// multiples of this size in the file (WriteAll). Recording 1920 x 1080 for
// 30 s, 3 rounds, share of one core of the Wine process and the whole
// machine's busy ticks over the run: calls of 256 KiB from wherever the
// frame starts 8.3 / 9.8 / 9.7 %, 511 / 538 / 509; the same calls ending on
// 256 KiB boundaries 7.4 / 9.1 / 8.3 %, 419 / 467 / 439; on 1 MiB
// boundaries 8.5 / 8.7 / 9.0 %, 440 / 459 / 487. 256 KiB stays.
const DWORD kWriteCallBytes = 256u * 1024u;

// Writes `size` bytes at the file's pointer, which stands at `position`, in
// calls that end where the file's offset is a multiple of kWriteCallBytes
// (or at the data's end): the kernel then takes each call's bytes into
// the page cache as one large block rather than page by page. Returns 0, or
// the error code of the write that failed; `*done` is what was written
// either way.
DWORD WriteAll(HANDLE file, const void* data, size_t size, size_t* done, uint64_t position = 0);

// Writes `path` whole: `write` fills a new temporary file beside it, which
// then moves over the name, so that the name holds the old content or the
// new, never a part. Returns 0, or the error code of the step that failed;
// no temporary file is left then.
DWORD ReplaceFileWith(const WCHAR* path, const std::function<DWORD(HANDLE)>& write);

// The system's text for `code`, without its closing full stop and line
// break ("system error N" when the system has none), cut to `size`.
void SystemErrorText(DWORD code, char* out, size_t size);

#endif
