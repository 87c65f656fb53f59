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

std::string LauncherScript(const std::string& tempFolder, const std::string& launcherFolder, long ownerPid) {
  std::string own = ShellQuote(launcherFolder), owner = OwnerAlive(ownerPid);
  std::string wake = ShellQuote(launcherFolder + "/" + kLauncherWakeName);
  std::string requests = ShellQuote(tempFolder) + "/" + kScriptFolderPrefix + std::to_string(ownerPid) + "-*/go";
  std::string watching = "[ -d " + own + " ] && " + owner;
  // It holds none of the service's own descriptors (a caller's pipe stays
  // closable). Between looks it waits in `read` (built in) on the wake
  // pipe: the service writes a line there with each request, and a waker
  // writes one every second, so that the launcher sees its folder gone or
  // its owner ended. When the waker ends, the read finds the pipe's end.
  return AliveFunction() + "exec </dev/null >/dev/null 2>&1; mkfifo " + wake + " || { rm -rf " + own +
         "; exit 1; }; echo $$ > " + ShellQuote(launcherFolder + "/launcher") + "; ( while " + watching +
         "; do echo; sleep 1; done ) > " + wake + " & exec 3< " + wake + "; while " + watching +
         "; do for g in " + requests +
         "; do [ -e \"$g\" ] || continue; rm -f \"$g\"; "
         "setsid /bin/sh \"${g%/go}/run\" </dev/null >/dev/null 2>&1 & done; read -r _ <&3 || break; done; "
         "rm -rf " + own;
}

std::string PageCacheTrimScript(const std::string& file, const std::string& folder, long ownerPid) {
  std::string own = ShellQuote(folder), owner = OwnerAlive(ownerPid), path = ShellQuote(file);
  // count=0 with nocache: no byte is read, and the cache is let go from the
  // skipped head to the file's end. A regular file only: dd would wait for
  // ever on a named pipe's writer.
  return AliveFunction() + "exec </dev/null >/dev/null 2>&1; while [ -d " + own + " ] && " + owner + "; do [ -f " +
         path + " ] && dd if=" + path + " iflag=nocache,skip_bytes skip=" + std::to_string(kTrimKeptHeadBytes) +
         " count=0 status=none; sleep 1; done; " + owner + " || rm -rf " + own;
}

}  // namespace capcore
