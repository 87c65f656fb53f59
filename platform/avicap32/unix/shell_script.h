// Starting /bin/sh scripts from the service under Wine, and the private
// folder their files live in. Wine starts a Unix program from CreateProcessW
// but hands back no process handle, keeps a handle of the service open for
// good at every start, and cannot redirect its output into a Win32 pipe. So
// the service starts one launcher script, once, which starts each script the
// service leaves in a folder (see capcore::LauncherScript), and a script
// reports through files of its folder: ffmpeg's pid, its log, the stop file
// the service creates.
#ifndef MORVA_AVICAP32_UNIX_SHELL_SCRIPT_H
#define MORVA_AVICAP32_UNIX_SHELL_SCRIPT_H

#include <windows.h>

#include <string>

#include "common/knobs.h"
#include "core/unix/shell_scripts.h"

// A new folder of this process in the Unix temporary folder, removed with
// its files when the object goes.
class ScriptFolder {
 public:
  ScriptFolder() = default;
  ~ScriptFolder();
  ScriptFolder(const ScriptFolder&) = delete;
  ScriptFolder& operator=(const ScriptFolder&) = delete;

  // Creates kScriptFolderPrefix<own Unix pid>-<number> in `unixTempFolder`.
  bool Create(const std::string& unixTempFolder);
  // The Unix path of file `name` in the folder.
  std::string File(const char* name) const { return unixPath_ + "/" + name; }
  const std::string& Path() const { return unixPath_; }
  capcore::ScriptFiles Files() const;
  // A line on the folder's wake pipe (capcore::kWakePipeName), for a script
  // waiting there to look at once. Wine opens the pipe without waiting for
  // a reader; whatever fails here, the script's own second still comes.
  void Wake() const;
  // Creates the file `stopName`, wakes the script and waits up to `waitMs`
  // for it to end, which removes the folder; true when it did.
  bool AskToEnd(const char* stopName, DWORD waitMs) const;

 private:
  std::string unixPath_;
};

// Has the launcher run `script` (as the folder's file "run"), starting the
// launcher for `unixTempFolder` first when it is not running; false when
// it could not be asked.
bool StartShellScript(const ScriptFolder& folder, const std::string& script, const std::string& unixTempFolder);

#endif
