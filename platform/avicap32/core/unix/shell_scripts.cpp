// The service's /bin/sh scripts and their quoting (see shell_scripts.h).
#include "core/unix/shell_scripts.h"

namespace capcore {

std::string ShellQuote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

std::string WindowsQuote(const std::string& arg) {
  // Blanks and quotes need quoting; so does the empty argument.
  if (!arg.empty() && arg.find_first_of(" \t\r\n\"") == std::string::npos) return arg;
  std::string q = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only before a quote.
    q.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    q += c;
  }
  q.append(backslashes * 2, '\\');  // before the closing quote
  return q + "\"";
}

std::string AliveFunction() {
  // The state follows the name's closing parenthesis in /proc/<pid>/stat;
  // a process that ended but was not reaped yet is a zombie (Z), which
  // kill -0 would still find. `read` is built in: no process per test.
  return "alive() { { read -r s </proc/\"$1\"/stat; } 2>/dev/null || return 1; s=${s##*') '}; "
         "case $s in [ZX]*) return 1;; esac; }; ";
}

std::string OwnerAlive(long ownerPid) {
  return ownerPid > 0 ? "alive " + std::to_string(ownerPid) : "true";
}

namespace {

// The start of a script that waits on the wake pipe in `folder`: the pipe
// made (or the folder removed and the script ended), and a waker that
// writes a line there every second while `watching` holds, so that the
// script, waiting in `read -r _ <&3` (built in), also sees what changes
// without a line from the service. When the waker ends, the read finds the
// pipe's end.
std::string WakePipeStart(const std::string& folder, const std::string& watching) {
  std::string own = ShellQuote(folder), wake = ShellQuote(folder + "/" + kWakePipeName);
  return "mkfifo " + wake + " || { rm -rf " + own + "; exit 1; }; ( while " + watching + "; do echo; sleep 1; done ) > " +
         wake + " & exec 3< " + wake + "; ";
}

const char kWaitForWake[] = "read -r _ <&3 || break; ";

}  // namespace

std::string LauncherScript(const std::string& tempFolder, const std::string& launcherFolder, long ownerPid) {
  std::string own = ShellQuote(launcherFolder), owner = OwnerAlive(ownerPid);
  std::string requests = ShellQuote(tempFolder) + "/" + kScriptFolderPrefix + std::to_string(ownerPid) + "-*/go";
  std::string watching = "[ -d " + own + " ] && " + owner;
  // It holds none of the service's own descriptors (a caller's pipe stays
  // closable). Between looks it waits on its wake pipe, where the service
  // writes a line with each request.
  return AliveFunction() + "exec </dev/null >/dev/null 2>&1; " + WakePipeStart(launcherFolder, watching) + "echo $$ > " +
         ShellQuote(launcherFolder + "/launcher") + "; while " + watching + "; do for g in " + requests +
         "; do [ -e \"$g\" ] || continue; rm -f \"$g\"; "
         "setsid /bin/sh \"${g%/go}/run\" </dev/null >/dev/null 2>&1 & done; " + kWaitForWake + "done; rm -rf " + own;
}

std::string PageCacheTrimScript(const std::string& file, const std::string& folder, long ownerPid,
                                uint64_t reserveBytes) {
  std::string own = ShellQuote(folder), owner = OwnerAlive(ownerPid), path = ShellQuote(file);
  std::string watching = "[ -d " + own + " ] && " + owner;
  // A regular file only: dd would wait for ever on a named pipe's writer.
  // The reservation goes from the file's end (fallocate -n: its length
  // stays); count=0 with nocache: no byte is read, and the cache is let go
  // from the skipped head to the file's end.
  std::string reserve = reserveBytes == 0 ? std::string()
                                          : "s=$(stat -c %s " + path + ") && fallocate -n -o \"$s\" -l " +
                                                std::to_string(reserveBytes) + " " + path + "; ";
  // It yields the processor to everything else (nice 19, its waker and
  // commands too): the writeback it starts must not hold up the wineserver,
  // on whose answers the recording's thread waits.
  return AliveFunction() + "exec </dev/null >/dev/null 2>&1; renice -n " + std::to_string(kTrimNice) + " -p $$; " +
         WakePipeStart(folder, watching) + "while " + watching +
         " && [ ! -e " + ShellQuote(folder + "/" + kTrimStopName) + " ]; do if [ -f " + path + " ]; then " + reserve +
         "dd if=" + path + " iflag=nocache,skip_bytes skip=" + std::to_string(kTrimKeptHeadBytes) +
         " count=0 status=none; fi; " + kWaitForWake + "done; rm -rf " + own;
}

}  // namespace capcore
