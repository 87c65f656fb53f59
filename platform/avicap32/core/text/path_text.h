// core/text/: small text helpers of the service. The folder part of a path,
// with either separator, and the one clamp of a text length for the
// platform's int-sized counts.
#ifndef MORVA_CAPCORE_PATH_TEXT_H
#define MORVA_CAPCORE_PATH_TEXT_H

#include <cstddef>
#include <string>

namespace capcore {

// The path up to and including its last '\\' or '/'; "" when it has none.
// Paths are wide, as the service keeps them.
std::wstring FolderOf(const std::wstring& path);

// The largest text count handed to the platform's text functions: a caller's
// buffer size beyond it is taken as this many characters.
constexpr size_t kMaxTextCount = 0x7FFFFFF;
int ClampTextCount(size_t count);

}  // namespace capcore

#endif
