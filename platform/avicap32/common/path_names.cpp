// File names between the code page and their wide form (see path_names.h).
#include "common/path_names.h"

std::wstring WidenAnsi(const char* text) {
  if (text == nullptr) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
  wide.resize(static_cast<size_t>(n) - 1);
  return wide;
}

std::string InCodePage(const WCHAR* wide) {
  if (wide == nullptr) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], n, nullptr, nullptr);
  text.resize(static_cast<size_t>(n) - 1);
  return text;
}

std::string ShownName(const WCHAR* path) {
  if (path == nullptr) return std::string();
  return InCodePage(std::wstring(path, wcsnlen(path, MAX_PATH - 1)).c_str());
}

bool PathFits(const WCHAR* path) { return path != nullptr && wcsnlen(path, MAX_PATH) < MAX_PATH; }
