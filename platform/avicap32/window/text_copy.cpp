// Copying the service's texts (driver names, versions, the capture file
// name) into callers' buffers, ANSI and wide, always cut to the buffer and
// terminated.
#include <windows.h>

#include <string>

#include "core/text/path_text.h"
#include "window/capture_window.h"

void CopyTextOut(const std::string& text, char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  lstrcpynA(out, text.c_str(), capcore::ClampTextCount(size));
}

void CopyTextOutW(const std::string& text, WCHAR* out, size_t sizeChars) {
  if (out == nullptr || sizeChars == 0) return;
  out[0] = L'\0';
  int need = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (need <= 0) return;
  std::wstring wide(static_cast<size_t>(need), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], need);
  lstrcpynW(out, wide.c_str(), capcore::ClampTextCount(sizeChars));
}

bool NarrowPath(const WCHAR* path, char (&out)[MAX_PATH]) {
  return path != nullptr && WideCharToMultiByte(CP_ACP, 0, path, -1, out, MAX_PATH, nullptr, nullptr) != 0;
}
