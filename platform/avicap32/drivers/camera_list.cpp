// Reads the cameras file (see drivers.h) and parses it with the core. Only
// a regular file is read, and no more than a small file's worth: a device or
// a pipe named as the file would block every driver listing.
#include "drivers/drivers.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/file_handle.h"
#include "common/file_io.h"
#include "common/knobs.h"
#include "common/path_names.h"
#include "core/text/path_text.h"
#include "core/text/text_marks.h"
#include "unix/unix_host.h"
#include "module.h"

namespace {

enum { kMaxFileBytes = 64 * 1024 };

enum class ReadResult { Read, CannotOpen, NotRegular, TooLarge, ReadFailed };

// A name in the device namespace: "\\.\..." as given, or a reserved device
// name such as "COM1" or "NUL", which the full path turns into one.
bool IsDeviceName(const WCHAR* path) {
  WCHAR full[MAX_PATH];
  DWORD n = GetFullPathNameW(path, MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH && wcsncmp(full, L"\\\\.\\", 4) == 0;
}

// Looks at the handle's type before any read: only a file on a disk is read.
ReadResult ReadSmallFile(const WCHAR* path, std::string* out) {
  if (IsDeviceName(path)) return ReadResult::NotRegular;
  FileHandle f(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.valid()) return ReadResult::CannotOpen;
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  if (GetFileType(f.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(f.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return ReadResult::NotRegular;
  if (!GetFileSizeEx(f.get(), &size)) return ReadResult::ReadFailed;
  if (size.QuadPart > kMaxFileBytes) return ReadResult::TooLarge;
  // Up to one byte past the cap: a file grown since its size was taken is
  // found too large all the same.
  if (!ReadUpTo(f.get(), static_cast<size_t>(kMaxFileBytes) + 1, out)) return ReadResult::ReadFailed;
  return out->size() > kMaxFileBytes ? ReadResult::TooLarge : ReadResult::Read;
}

bool BesideModule(const WCHAR* name, std::wstring* out) {
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  std::wstring folder = capcore::FolderOf(path);
  if (folder.empty()) return false;
  *out = folder + name;
  return PathFits(out->c_str());
}

// A file with a byte-order mark was decoded to UTF-8; the driver texts are
// kept in the system's code page as those of an unmarked file are.
std::string Utf8ToCodePage(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return text;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], n);
  return InCodePage(wide.c_str());
}

const char* Problem(ReadResult r) {
  switch (r) {
    case ReadResult::NotRegular: return "is not a regular file";
    case ReadResult::TooLarge: return "is too large (more than 64 KB)";
    default: return "cannot be read";
  }
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
  std::wstring path = knobs.camerasFile;
  bool fromEnvironment = !path.empty();
  if (!fromEnvironment && !BesideModule(L"cameras.ini", &path)) return result;
  if (!fromEnvironment && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return result;
  std::string bytes;
  std::string shown = ShownName(path.c_str());
  char msg[MAX_PATH * 2 + 200];
  ReadResult read = ReadSmallFile(path.c_str(), &bytes);
  if (read != ReadResult::Read) {
    std::snprintf(msg, sizeof msg, "The cameras file %s %s; the built-in cameras are used.", shown.c_str(),
                  Problem(read));
    result.error = msg;
    return result;
  }
  capcore::MarkedText text = capcore::DecodeMarkedText(bytes);
  capcore::ConfigParse parse = capcore::ParseCameraConfig(text.text);
  result.list = parse.list;
  if (!parse.ok) {
    std::snprintf(msg, sizeof msg, "The cameras file %s is malformed (%s); the built-in cameras are used.",
                  shown.c_str(), parse.error.c_str());
    result.error = msg;
  } else if (text.encoding != capcore::TextEncoding::Unmarked) {
    for (capcore::DriverConfig& d : result.list.drivers) {
      d.description = Utf8ToCodePage(d.description);
      d.version = Utf8ToCodePage(d.version);
    }
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
