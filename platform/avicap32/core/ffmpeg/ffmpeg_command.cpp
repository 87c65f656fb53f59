// ffmpeg's command lines and their quoting (see ffmpeg_command.h).
#include "core/ffmpeg/ffmpeg_command.h"

#include <cstdio>

namespace capcore {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool HasOption(const Arguments& args, const char* name) {
  for (const std::string& a : args)
    if (a == name) return true;
  return false;
}

std::string Number(int n) { return std::to_string(n); }

}  // namespace

bool SplitArguments(const std::string& text, Arguments* out) {
  Arguments args;
  std::string current;
  bool inArg = false, quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        current += c;
      }
    } else if (IsBlank(c)) {
      if (inArg) args.push_back(current);
      current.clear();
      inArg = false;
    } else {
      inArg = true;
      if (c == '"') quoted = true;
      else current += c;
    }
  }
  if (quoted) return false;
  if (inArg) args.push_back(current);
  if (args.empty()) return false;
  *out = args;
  return true;
}

std::string OptionValue(const Arguments& args, const char* name) {
  std::string value;
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) value = args[i + 1];
  return value;
}

bool IsVideoDeviceInput(const Arguments& input) {
  std::string format = OptionValue(input, "-f");
  return format == "v4l2" || format == "video4linux2";
}

bool IsLiveInput(const Arguments& input) {
  static const char* const kDeviceFormats[] = {"v4l2", "video4linux2", "x11grab", "kmsgrab",
                                               "fbdev", "pulse", "alsa", "jack", "decklink"};
  std::string format = OptionValue(input, "-f");
  for (const char* f : kDeviceFormats)
    if (format == f) return true;
  std::string source = OptionValue(input, "-i");
  if (source.compare(0, 5, "/dev/") == 0) return true;
  size_t scheme = source.find("://");
  return scheme != std::string::npos && source.compare(0, scheme, "file") != 0;
}

Arguments StreamArguments(const StreamRequest& r) {
  Arguments a = {"-hide_banner", "-nostdin", "-nostats", "-loglevel", "error"};
  if (!IsLiveInput(r.input) && !HasOption(r.input, "-re") && !HasOption(r.input, "-readrate"))
    a.push_back("-re");
  a.insert(a.end(), r.input.begin(), r.input.end());
  std::string size = Number(r.width) + "x" + Number(r.height);
  a.insert(a.end(), {"-an", "-sn", "-map", "0:v:0"});
  if (r.scale) a.insert(a.end(), {"-vf", "scale=" + Number(r.width) + ":" + Number(r.height)});
  a.insert(a.end(), {"-f", "rawvideo", "-pix_fmt", "bgr24", "-s", size, "-r", Number(r.fps),
                     "tcp://127.0.0.1:" + Number(r.port)});
  return a;
}

Arguments SizeProbeArguments(const Arguments& input) {
  Arguments a = {"-hide_banner", "-nostdin", "-nostats"};
  a.insert(a.end(), input.begin(), input.end());
  a.insert(a.end(), {"-an", "-frames:v", "1", "-f", "null", "-"});
  return a;
}

Arguments DeviceSizesArguments(const std::string& device) {
  return {"-hide_banner", "-nostdin", "-f", "v4l2", "-list_formats", "all", "-i", device};
}

namespace {

std::string Command(const std::string& ffmpeg, const Arguments& args) {
  std::string c = ShellQuote(ffmpeg);
  for (const std::string& a : args) c += " " + ShellQuote(a);
  return c;
}

}  // namespace

std::string StreamScript(const std::string& ffmpeg, const Arguments& args, const ScriptFiles& files,
                         long ownerPid) {
  std::string pid = ShellQuote(files.pidFile), stop = ShellQuote(files.stopFile);
  std::string owner = OwnerAlive(ownerPid);
  // $$ is this shell's pid, which exec hands on to ffmpeg, and the id of
  // the process group the launcher started it in (setsid); in the watchdog
  // (a subshell) $$ stays the same. The group's end is the watchdog's last
  // act: it is in the group too.
  std::string watchdog = "while [ -e " + pid + " ] && [ ! -e " + stop + " ] && " + owner +
                         " && alive $$; do sleep 0.25; done; " + owner + " || rm -rf " + ShellQuote(files.folder) +
                         "; kill -9 -$$";
  return AliveFunction() + "echo $$ > " + pid + "; ( " + watchdog + " ) </dev/null >/dev/null 2>&1 & exec " +
         Command(ffmpeg, args) + " </dev/null >/dev/null 2>" + ShellQuote(files.logFile);
}

std::string ProbeScript(const std::string& ffmpeg, const Arguments& args, const ScriptFiles& files,
                        int seconds) {
  std::string part = ShellQuote(files.logFile + ".part");
  return "timeout --foreground -s KILL " + std::to_string(seconds) + " " +
         Command(ffmpeg, args) + " </dev/null >/dev/null 2>" + part + "; mv -f " + part + " " +
         ShellQuote(files.logFile) + "; kill -9 -$$";
}

}  // namespace capcore
