// Records the program's calls to the profile functions for Morva.ini
// (reads with their default texts, writes with their values), through
// import hooks; the calls still reach the real functions. One recorder at a
// time. Calls naming another file, or a full path, are not recorded, so the
// test helpers' own reads stay out of the record.
#ifndef MORVA_TESTS_SUPPORT_PROFILE_RECORDER_H
#define MORVA_TESTS_SUPPORT_PROFILE_RECORDER_H

#include <memory>
#include <string>
#include <vector>

#include "tests/wine/support/import_hook.h"

struct ProfileCall {
  std::string section;
  std::string key;
  std::string text;        // the default text of a read, the value of a write
  bool mainWindowAlive;    // whether ApplicationContext.mainWindow was a window then
};

class ProfileRecorder {
 public:
  ProfileRecorder();
  ~ProfileRecorder();
  ProfileRecorder(const ProfileRecorder&) = delete;
  ProfileRecorder& operator=(const ProfileRecorder&) = delete;

  bool installed() const;
  const std::vector<ProfileCall>& reads() const { return reads_; }
  const std::vector<ProfileCall>& writes() const { return writes_; }

 private:
  friend struct ProfileHooks;
  std::unique_ptr<ImportHook> get_;
  std::unique_ptr<ImportHook> write_;
  std::vector<ProfileCall> reads_;
  std::vector<ProfileCall> writes_;
};

#endif
