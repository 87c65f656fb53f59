// Writing files: large writes in chunks, a file replaced whole through a
// temporary file beside it, and the text of a Windows error code.
#ifndef MORVA_AVICAP32_COMMON_FILE_IO_H
#define MORVA_AVICAP32_COMMON_FILE_IO_H

#include <windows.h>

#include <cstddef>
#include <functional>

// Writes `size` bytes in chunks the platform takes. Returns 0, or the error
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
