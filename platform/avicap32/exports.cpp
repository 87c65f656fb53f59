// The four exported functions: capture window creation and the driver
// descriptions, in their ANSI and wide forms. No exception leaves them.
#include <windows.h>
#include <vfw.h>

#include <string>

#include "drivers/drivers.h"
#include "module.h"
#include "window/capture_window.h"

namespace {

void CopyText(const std::string& text, char* out, int size) {
  if (size > 0) CopyTextOut(text, out, static_cast<size_t>(size));
}

void CopyText(const std::string& text, WCHAR* out, int size) {
  if (size > 0) CopyTextOutW(text, out, static_cast<size_t>(size));
}

// Driver `index`'s name and version into the caller's buffers (either form).
template <typename Char>
BOOL Describe(UINT index, Char* name, int nameSize, Char* version, int versionSize) {
  try {
    if (index >= capcore::kMaxDrivers) return FALSE;
    CameraList cameras = LoadCameraList();
    const capcore::DriverConfig& d = cameras.list.drivers[index];
    if (!d.present) return FALSE;
    CopyText(d.description, name, nameSize);
    CopyText(d.version, version, versionSize);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

extern "C" {

HWND WINAPI capCreateCaptureWindowA(LPCSTR title, DWORD style, int x, int y, int width,
                                    int height, HWND parent, int id) {
  try {
    if (!RegisterCaptureWindowClass()) return nullptr;
    return CreateWindowExA(0, kCaptureWindowClass, title ? title : "", style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ModuleInstance(), nullptr);
  } catch (...) {
    return nullptr;
  }
}

HWND WINAPI capCreateCaptureWindowW(LPCWSTR title, DWORD style, int x, int y, int width,
                                    int height, HWND parent, int id) {
  try {
    if (!RegisterCaptureWindowClass()) return nullptr;
    return CreateWindowExW(0, L"MorvaCaptureWindow", title ? title : L"", style, x, y, width,
                           height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ModuleInstance(), nullptr);
  } catch (...) {
    return nullptr;
  }
}

BOOL WINAPI capGetDriverDescriptionA(UINT index, LPSTR name, int nameSize, LPSTR version,
                                     int versionSize) {
  return Describe(index, name, nameSize, version, versionSize);
}

BOOL WINAPI capGetDriverDescriptionW(UINT index, LPWSTR name, int nameSize, LPWSTR version,
                                     int versionSize) {
  return Describe(index, name, nameSize, version, versionSize);
}

}  // extern "C"
