// The folder of a path and the text-length clamp (see path_text.h).
#include "core/text/path_text.h"

namespace capcore {

std::wstring FolderOf(const std::wstring& path) {
  size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

int ClampTextCount(size_t count) {
  return static_cast<int>(count > kMaxTextCount ? kMaxTextCount : count);
}

}  // namespace capcore
