// The folder of a path with either separator, and the text-length clamp.
#include <gtest/gtest.h>

#include "core/text/path_text.h"

TEST(PathText, FolderOfAPathEndsAtItsLastSeparatorOfEitherKind) {
  struct Row {
    const char* path;
    const char* folder;
  };
  const Row rows[] = {
      {"C:\\video\\clip.avi", "C:\\video\\"}, {"/tmp/out/clip.avi", "/tmp/out/"},
      {"C:\\mixed/dir\\x.bmp", "C:\\mixed/dir\\"}, {"C:/a\\b/c.bmp", "C:/a\\b/"},
      {"clip.avi", ""}, {"", ""}, {"C:\\", "C:\\"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.folder, capcore::FolderOf(r.path)) << r.path;
}

TEST(PathText, TextCountsBeyondTheClampAreCut) {
  EXPECT_EQ(5, capcore::ClampTextCount(5));
  EXPECT_EQ(static_cast<int>(capcore::kMaxTextCount), capcore::ClampTextCount(capcore::kMaxTextCount + 1));
  EXPECT_EQ(static_cast<int>(capcore::kMaxTextCount), capcore::ClampTextCount(static_cast<size_t>(-1)));
}
