// The profile recorder's replacement functions.
#include "tests/wine/support/profile_recorder.h"

#include <windows.h>

#include "app/application_context.h"

namespace {
ProfileRecorder* g_recorder = nullptr;
}

struct ProfileHooks {
  using Get = DWORD(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPSTR, DWORD, LPCSTR);
  using Write = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);

  static bool Ours(LPCSTR file) { return file && lstrcmpiA(file, "Morva.ini") == 0; }
  static std::string Str(LPCSTR s) { return s ? s : "<null>"; }
  static bool Alive() { return g_context.mainWindow && IsWindow(g_context.mainWindow); }

  static DWORD WINAPI GetString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size,
                                LPCSTR file) {
    auto original = reinterpret_cast<Get>(g_recorder->get_->original());
    if (Ours(file)) {
      try {
        g_recorder->reads_.push_back({Str(section), Str(key), Str(def), Alive()});
      } catch (...) {
      }
    }
    return original(section, key, def, out, size, file);
  }

  static BOOL WINAPI WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    auto original = reinterpret_cast<Write>(g_recorder->write_->original());
    if (Ours(file) && section) {
      try {
        g_recorder->writes_.push_back({Str(section), Str(key), Str(value), Alive()});
      } catch (...) {
      }
    }
    return original(section, key, value, file);
  }
};

ProfileRecorder::ProfileRecorder() {
  g_recorder = this;
  get_ = std::make_unique<ImportHook>("kernel32.dll", "GetPrivateProfileStringA",
                                      reinterpret_cast<void*>(&ProfileHooks::GetString));
  write_ = std::make_unique<ImportHook>("kernel32.dll", "WritePrivateProfileStringA",
                                        reinterpret_cast<void*>(&ProfileHooks::WriteString));
}

ProfileRecorder::~ProfileRecorder() {
  get_.reset();
  write_.reset();
  g_recorder = nullptr;
}

bool ProfileRecorder::installed() const {
  return get_ && get_->installed() && write_ && write_->installed();
}
