// The folder of a path and the text-length clamp (see path_text.h).
#include "core/text/path_text.h"

namespace capcore {

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

int ClampTextCount(size_t count) {
  return static_cast<int>(count > kMaxTextCount ? kMaxTextCount : count);
}

}  // namespace capcore
