// Reading and writing files: a small file's content up to a cap, large
// writes in calls of a measured size, a file replaced whole through a
// temporary file beside it, and the text of a Windows error code.
#ifndef MORVA_AVICAP32_COMMON_FILE_IO_H
#define MORVA_AVICAP32_COMMON_FILE_IO_H

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// Reads `file` from where it stands up to its end or `maxBytes`, whichever
// comes first (files under /proc and /sys report no size, so the reading
// goes to the end); false when a read fails.
bool ReadUpTo(HANDLE file, size_t maxBytes, std::string* out);

// Bytes handed to one WriteFile by WriteAll (and read at a time by save-as).
// Measured on 2026-12-09 (2-core AMD EPYC, Linux 6.18, Wine 8.0, 32-bit build)
// as the whole-process CPU of a program writing 301 frames of 1920 x 1080 x 3
// bytes through WriteFile, one size against another in 5 to 7 interleaved
// pairs, median ratio (range): 256 KiB / 1 MiB 0.90 (0.74 to 1.08), again
// 0.49 (0.41 to 0.60), paced at 30 frames/s 0.61 (0.38 to 0.71); 512 KiB /
// 1 MiB 0.75 (0.61 to 0.86), again 0.72 (0.43 to 0.93); 256 KiB / 512 KiB
// 0.63 (0.40 to 0.72); 1 MiB / 2 MiB 0.89 (0.77 to 0.94); 1 MiB / 4 MiB 1.06
// (0.68 to 1.40); 1 MiB / whole 6.2 MB frames 0.29 (0.22 to 0.78). Other
// builds and tests shared the machine (load 13 to 15), so the seconds
// themselves are noise (1 MiB: 0.7 to 2.8 s), but the pairs rank the sizes:
// 256 KiB, the smallest tried, was cheapest. (128 KiB / 256 KiB measured 0.51
// (0.47 to 0.96) there too; on a quiet machine 1 MiB calls took 0.40 to
// 0.46 s of kernel time, 256 KiB 0.50 s and 64 KiB 0.66 to 0.78 s.)
const DWORD kWriteCallBytes = 256u * 1024u;

// Writes `size` bytes in calls of kWriteCallBytes. Returns 0, or the error
// code of the write that failed; `*done` is what was written either way.
DWORD WriteAll(HANDLE file, const void* data, size_t size, size_t* done);

// Writes `path` whole: `write` fills a new temporary file beside it, which
// then moves over the name, so that the name holds the old content or the
// new, never a part. Returns 0, or the error code of the step that failed;
// no temporary file is left then.
DWORD ReplaceFileWith(const WCHAR* path, const std::function<DWORD(HANDLE)>& write);

// The system's text for `code`, without its closing full stop and line
// break ("system error N" when the system has none), cut to `size`.
void SystemErrorText(DWORD code, char* out, size_t size);

#endif
