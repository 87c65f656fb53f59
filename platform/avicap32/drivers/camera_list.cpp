// Reads the cameras file (see drivers.h) and parses it with the core.
#include "drivers/drivers.h"

#include <windows.h>

#include <cstdio>

#include "common/file_io.h"
#include "common/knobs.h"
#include "core/text/path_text.h"
#include "ffmpeg/unix_host.h"
#include "module.h"

namespace {

enum { kMaxFileBytes = 64 * 1024 };

// The whole file, when it is no larger than kMaxFileBytes.
bool ReadSmallFile(const char* path, std::string* out) {
  return ReadFileStart(path, kMaxFileBytes + 1, out) && out->size() <= kMaxFileBytes;
}

bool BesideModule(const char* name, char* out, size_t size) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(ModuleInstance(), path, sizeof path);
  if (n == 0 || n >= sizeof path) return false;
  std::string folder = capcore::FolderOf(path);
  if (folder.empty()) return false;
  int w = std::snprintf(out, size, "%s%s", folder.c_str(), name);
  return w > 0 && static_cast<size_t>(w) < size;
}

// Cameras read through ffmpeg exist only under Wine; on Windows they go.
void FinishList(CameraList* cameras, const ServiceKnobs& knobs) {
  bool wine = RunningUnderWine();
  for (capcore::DriverConfig& d : cameras->list.drivers)
    if (d.IsFfmpeg() && !wine) d = capcore::DriverConfig();
  AddVideoCameras(&cameras->list, knobs);
}

CameraList LoadListedCameras(const ServiceKnobs& knobs) {
  CameraList result;
  result.list = capcore::DefaultDrivers();
  char path[MAX_PATH];
  const std::string& named = knobs.camerasFile;
  bool fromEnvironment = !named.empty();
  if (fromEnvironment) lstrcpynA(path, named.c_str(), sizeof path);
  if (!fromEnvironment && !BesideModule("cameras.ini", path, sizeof path)) return result;
  if (!fromEnvironment && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return result;
  std::string text;
  char msg[MAX_PATH + 200];
  if (!ReadSmallFile(path, &text)) {
    std::snprintf(msg, sizeof msg, "The cameras file %s cannot be read; the built-in cameras are used.",
                  path);
    result.error = msg;
    return result;
  }
  capcore::ConfigParse parse = capcore::ParseCameraConfig(text);
  result.list = parse.list;
  if (!parse.ok) {
    std::snprintf(msg, sizeof msg, "The cameras file %s is malformed (%s); the built-in cameras are used.",
                  path, parse.error.c_str());
    result.error = msg;
  }
  return result;
}

}  // namespace

CameraList LoadCameraList() {
  ServiceKnobs knobs = ReadKnobs();
  CameraList cameras = LoadListedCameras(knobs);
  FinishList(&cameras, knobs);
  return cameras;
}
