// The folder of a path with either separator, and the text-length clamp.
#include <gtest/gtest.h>

#include "core/text/path_text.h"

TEST(PathText, FolderOfAPathEndsAtItsLastSeparatorOfEitherKind) {
  struct Row {
    const wchar_t* path;
    const wchar_t* folder;
  };
  const Row rows[] = {
      {L"C:\\video\\clip.avi", L"C:\\video\\"}, {L"/tmp/out/clip.avi", L"/tmp/out/"},
      {L"C:\\mixed/dir\\x.bmp", L"C:\\mixed/dir\\"}, {L"C:/a\\b/c.bmp", L"C:/a\\b/"},
      {L"clip.avi", L""}, {L"", L""}, {L"C:\\", L"C:\\"}, {L"D:\\\u5f55\\\u50cf.avi", L"D:\\\u5f55\\"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.folder, capcore::FolderOf(r.path)) << r.path;
}

TEST(PathText, TextCountsBeyondTheClampAreCut) {
  EXPECT_EQ(5, capcore::ClampTextCount(5));
  EXPECT_EQ(static_cast<int>(capcore::kMaxTextCount), capcore::ClampTextCount(capcore::kMaxTextCount + 1));
  EXPECT_EQ(static_cast<int>(capcore::kMaxTextCount), capcore::ClampTextCount(static_cast<size_t>(-1)));
}
