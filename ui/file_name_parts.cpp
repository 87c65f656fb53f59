// Folder, proposed name and default extension for the save dialog.
#include "ui/file_name_parts.h"

#include <cstring>

namespace {

// Copies at most `count` characters of `text` into `out` (size `size`),
// always terminating; does nothing when size is 0.
void CopyBounded(char* out, std::size_t size, const char* text, std::size_t count) {
  if (size == 0) return;
  if (count > size - 1) count = size - 1;
  std::memcpy(out, text, count);
  out[count] = '\0';
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void SplitCaptureFileName(const char* path, char* directory, std::size_t directorySize,
                          char* name, std::size_t nameSize) {
  const char* lastSlash = std::strrchr(path, '\\');
  const char* fileName = lastSlash ? lastSlash + 1 : path;

  if (!lastSlash) {
    CopyBounded(directory, directorySize, "", 0);
  } else {
    std::size_t folderLength = static_cast<std::size_t>(lastSlash - path);
    // "C:\clip.avi" opens in "C:\", not in "C:" (the drive's current folder),
    // and "\clip.avi" in "\".
    bool isRoot = folderLength == 0 || (folderLength == 2 && path[1] == ':');
    if (isRoot) folderLength += 1;
    CopyBounded(directory, directorySize, path, folderLength);
  }

  std::size_t nameLength = std::strlen(fileName);
  const char* lastDot = std::strrchr(fileName, '.');
  if (lastDot && lastDot != fileName) nameLength = static_cast<std::size_t>(lastDot - fileName);
  CopyBounded(name, nameSize, fileName, nameLength);
}

void DefaultExtensionOfFilter(const char* filter, char* extension, std::size_t size) {
  CopyBounded(extension, size, "", 0);
  if (!filter || size == 0 || filter[0] == '\0') return;
  const char* pattern = filter + std::strlen(filter) + 1;  // after the first description
  if (pattern[0] != '*' || pattern[1] != '.') return;
  const char* ext = pattern + 2;
  std::size_t length = std::strcspn(ext, ";*?.");
  if (ext[length] != '\0' && ext[length] != ';') return;  // "*.*", "*.a*b": no plain extension
  if (length > size - 1) length = size - 1;
  for (std::size_t i = 0; i < length; ++i) extension[i] = UpperAscii(ext[i]);
  extension[length] = '\0';
}
