// Copying the service's texts (driver names, versions) into callers'
// buffers, ANSI and wide, always cut to the buffer and terminated.
#include <windows.h>

#include <string>

#include "window/capture_window.h"

void CopyTextOut(const std::string& text, char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  int n = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
  lstrcpynA(out, text.c_str(), n);
}

void CopyTextOutW(const std::string& text, WCHAR* out, size_t sizeChars) {
  if (out == nullptr || sizeChars == 0) return;
  int n = sizeChars > 0x7FFFFFF ? 0x7FFFFFF : static_cast<int>(sizeChars);
  out[0] = L'\0';
  int need = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (need <= 0) return;
  std::wstring wide(static_cast<size_t>(need), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], need);
  lstrcpynW(out, wide.c_str(), n);
}
