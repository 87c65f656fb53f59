// The folder of a path, trimming and the text-length clamp (see path_text.h).
#include "core/text/path_text.h"

#include <cctype>

namespace capcore {

std::wstring FolderOf(const std::wstring& path) {
  size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::string Trim(const std::string& text) {
  size_t a = 0, b = text.size();
  while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
  return text.substr(a, b - a);
}

int ClampTextCount(size_t count) {
  return static_cast<int>(count > kMaxTextCount ? kMaxTextCount : count);
}

}  // namespace capcore
