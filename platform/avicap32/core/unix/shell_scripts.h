// The /bin/sh scripts the capture service runs on the Linux machine under
// Wine, kept free of windows.h so that they are unit-tested natively: the
// quoting for the shell and for a Windows command line (CreateProcessW),
// the launcher that starts every other script, and the page-cache trimmer
// of a recording's file. The ffmpeg cameras' own scripts are in
// core/ffmpeg/ffmpeg_command.h.
#ifndef MORVA_CAPCORE_UNIX_SHELL_SCRIPTS_H
#define MORVA_CAPCORE_UNIX_SHELL_SCRIPTS_H

#include <cstdint>
#include <string>

namespace capcore {

// One argument quoted for a POSIX shell ('...').
std::string ShellQuote(const std::string& arg);
// One argument quoted for a Windows command line, as CommandLineToArgvW and
// the C runtime split it again.
std::string WindowsQuote(const std::string& arg);

// The service's private folders in the Unix temporary folder are
// <prefix><service's Unix pid>-<number>.
const char kScriptFolderPrefix[] = "morva-sh-";

// Unix paths of the files a script uses, all in one private folder.
struct ScriptFiles {
  std::string folder;    // the folder itself, removed by the watchdog when the service's process is gone
  std::string pidFile;   // ffmpeg's pid, written before it starts
  std::string stopFile;  // created by the service: the watchdog ends ffmpeg
  std::string logFile;   // ffmpeg's messages
};

// A shell function: `alive PID` succeeds while process PID runs (not a
// zombie, unlike kill -0). Scripts begin with it.
std::string AliveFunction();
// The shell test that process `ownerPid` still runs (`alive PID`); `true`
// for 0 (no owner to watch).
std::string OwnerAlive(long ownerPid);

// The launcher: one /bin/sh per service process, started once, that starts
// each script the service asks for. A request is a folder of the service
// (kScriptFolderPrefix<ownerPid>-* in `tempFolder`) holding the script `run`
// and then the empty file `go`: the launcher removes `go` and runs `run`
// under setsid, in a process group of its own. It writes its pid to
// `launcherFolder`/launcher and ends, removing that folder, once the folder
// is gone or process `ownerPid` has ended. It waits for requests on the
// pipe `launcherFolder`/kWakePipeName, where the service writes a line
// after each `go`; without that line it still looks once a second.
const char kWakePipeName[] = "wake";
std::string LauncherScript(const std::string& tempFolder, const std::string& launcherFolder, long ownerPid);

// The page-cache trimmer of a file being written, run by the launcher:
// every second, for as long as `folder` exists and process `ownerPid` runs,
// it tells the kernel that the file's cached pages are not needed (dd's
// nocache, posix_fadvise DONTNEED): the kernel starts writing what is dirty
// and drops what is already on disk, so the pages written a second ago go.
// Through Wine's buffered writes a long recording otherwise fills the page
// cache with pages it never reads again, and the kernel's cost per byte
// written grows with it. The file's first kTrimKeptHeadBytes stay: the
// headers there are rewritten every second, and a rewrite of part of a
// page that is not cached first reads it from the disk.
// With `reserveBytes`, it first reserves that much disk from the file's
// end (fallocate, its length unchanged): blocks the writes then find
// allocated. Truncating the file frees what is reserved past its end.
// It waits on the wake pipe `folder`/kWakePipeName; the file
// `folder`/kTrimStopName and a line on the pipe end it at once. It removes
// `folder` when it ends, however it ends.
// It never creates the file nor changes its length or bytes, and leaves
// alone anything that is not a regular file. It runs at niceness kTrimNice.
const unsigned kTrimKeptHeadBytes = 1u << 20;
const int kTrimNice = 19;
const char kTrimStopName[] = "stop";
std::string PageCacheTrimScript(const std::string& file, const std::string& folder, long ownerPid,
                                uint64_t reserveBytes);

}  // namespace capcore

#endif
