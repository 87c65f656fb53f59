// Reading the service's environment knobs (see knobs.h).
#include "common/knobs.h"

#include <windows.h>

#include <cstdlib>

namespace {

// The value of `name`, or false when it is unset or longer than MAX_PATH;
// WideText for values that are file names.
bool Text(const char* name, std::string* out) {
  char buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return false;
  out->assign(buf, n);
  return true;
}

bool WideText(const WCHAR* name, std::wstring* out) {
  WCHAR buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(name, buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  out->assign(buf, n);
  return true;
}

uint64_t Number(const char* name, uint64_t fallback) {
  std::string v;
  if (!Text(name, &v)) return fallback;
  char* end = nullptr;
  unsigned long long n = std::strtoull(v.c_str(), &end, 10);
  if (end == v.c_str() || *end != '\0') return fallback;
  return n;
}

// An absolute Unix path without its closing '/'s, or `fallback`.
std::string UnixPath(const char* name, const std::string& fallback) {
  std::string v;
  if (!Text(name, &v) || v[0] != '/') return fallback;
  while (v.size() > 1 && v.back() == '/') v.pop_back();
  return v;
}

AudioSourceChoice AudioSource() {
  std::string v;
  if (!Text("MORVA_AVICAP_AUDIO_SOURCE", &v)) return AudioSourceChoice::Automatic;
  if (lstrcmpiA(v.c_str(), "none") == 0) return AudioSourceChoice::None;
  if (lstrcmpiA(v.c_str(), "tone") == 0) return AudioSourceChoice::ToneOnly;
  return AudioSourceChoice::Automatic;
}

}  // namespace

ServiceKnobs ReadKnobs() {
  ServiceKnobs k;
  WideText(L"MORVA_CAMERAS", &k.camerasFile);
  if (!Text("MORVA_CAPTURE_SETTINGS", &k.settingsFile)) k.settingsFile = "MorvaCap.ini";
  k.audioSource = AudioSource();
  k.writeLimit = Number("MORVA_AVICAP_WRITE_LIMIT", UINT64_MAX);
  k.spaceWatch = Number("MORVA_AVICAP_SPACE_WATCH", 1) != 0;
  k.partLimit = Number("MORVA_AVICAP_PART_LIMIT", 1ull << 30);
  std::string clock;
  k.virtualClock = Text("MORVA_AVICAP_CLOCK", &clock) && lstrcmpiA(clock.c_str(), "virtual") == 0;
  k.pageCacheTrim = Number("MORVA_AVICAP_CACHE_TRIM", 1) != 0;
  k.ffmpegProgram = UnixPath("MORVA_FFMPEG", k.ffmpegProgram);
  k.video4linuxRoot = UnixPath("MORVA_VIDEO4LINUX_ROOT", "");
  if (k.video4linuxRoot == "/") k.video4linuxRoot.clear();
  k.unixTempFolder = UnixPath("TMPDIR", k.unixTempFolder);
  return k;
}
