// The Linux machine under Wine, as the service reaches it: whether it runs
// under Wine at all (ntdll exports wine_get_version; on Windows no ffmpeg
// camera is offered and no script runs), Unix paths through drive Z: and
// the Unix path of any Windows path, small Unix files read whole, and Unix
// processes (the service's own id, whether one still runs) through /proc.
#ifndef MORVA_AVICAP32_UNIX_UNIX_HOST_H
#define MORVA_AVICAP32_UNIX_UNIX_HOST_H

#include <cstddef>
#include <string>

#include "common/knobs.h"

bool RunningUnderWine();

// "/usr/bin/ffmpeg" -> "Z:\usr\bin\ffmpeg"; Unix paths must be absolute.
std::string WindowsPathOf(const std::string& unixPath);

// The Unix path of Windows path `path` (which need not exist yet), through
// Wine's kernel32; false on Windows or when Wine knows none.
bool UnixPathOf(const wchar_t* path, std::string* out);

// Reads a small file from its start (at most `maxBytes`); false when it cannot.
bool ReadUnixFile(const std::string& unixPath, std::string* out, size_t maxBytes);
bool UnixPathExists(const std::string& unixPath);

// The Unix process id of this process; 0 when unknown.
long OwnUnixPid();
// True while Unix process `pid` exists and has not ended (a zombie has).
bool UnixProcessRunning(long pid);

// Under Wine, with the ffmpeg program (knobs.ffmpegProgram) there.
bool FfmpegAvailable(const ServiceKnobs& knobs);

#endif
