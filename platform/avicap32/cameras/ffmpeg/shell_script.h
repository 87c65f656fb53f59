// Starting /bin/sh scripts from the service under Wine, and the private
// folder their files live in. Wine starts a Unix program from CreateProcessW
// but hands back no process handle and cannot redirect its output into a
// Win32 pipe, so a script reports through files of that folder: ffmpeg's pid,
// its log, the stop file the service creates.
#ifndef MORVA_AVICAP32_FFMPEG_SHELL_SCRIPT_H
#define MORVA_AVICAP32_FFMPEG_SHELL_SCRIPT_H

#include <windows.h>

#include <string>

#include "common/knobs.h"
#include "core/ffmpeg/ffmpeg_command.h"

// A new folder of this process in the Unix temporary folder, removed with
// its files when the object goes.
class ScriptFolder {
 public:
  ScriptFolder() = default;
  ~ScriptFolder();
  ScriptFolder(const ScriptFolder&) = delete;
  ScriptFolder& operator=(const ScriptFolder&) = delete;

  // Creates morva-ffmpeg-<own Unix pid>-<number> in `unixTempFolder`.
  bool Create(const std::string& unixTempFolder);
  // The Unix path of file `name` in the folder.
  std::string File(const char* name) const { return unixPath_ + "/" + name; }
  capcore::ScriptFiles Files() const;

 private:
  std::string unixPath_;
};

// Starts `script` with /bin/sh -c, detached; false when it could not start.
bool StartShellScript(const std::string& script);

// Runs ffmpeg (knobs.ffmpegProgram) with `args` in a probe script (at most
// `seconds`) and returns its messages; false when it did not start or finish
// in time.
bool RunFfmpegProbe(const ServiceKnobs& knobs, const capcore::Arguments& args, int seconds, std::string* log);

#endif
