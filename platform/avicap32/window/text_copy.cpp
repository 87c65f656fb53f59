// Copying the service's texts (driver names, versions) into callers'
// buffers, ANSI and wide, always cut to the buffer and terminated.
#include <windows.h>

#include <string>

#include "common/path_names.h"
#include "core/text/path_text.h"
#include "window/capture_window.h"

void CopyTextOut(const std::string& text, char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  lstrcpynA(out, text.c_str(), capcore::ClampTextCount(size));
}

void CopyTextOutW(const std::string& text, WCHAR* out, size_t sizeChars) {
  if (out == nullptr || sizeChars == 0) return;
  lstrcpynW(out, WidenAnsi(text.c_str()).c_str(), capcore::ClampTextCount(sizeChars));
}
