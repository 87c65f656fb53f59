// Folder and proposed name for the save dialog, the default extension of a
// filter, and the frame-rate divisions with the rates a settings file can hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "capture/frame_rate.h"
#include "ui/file_name_parts.h"

namespace {

struct Parts {
  std::string directory;
  std::string name;
};

Parts Split(const std::string& path) {
  char directory[200];
  char name[200];
  std::memset(directory, 'x', sizeof directory);
  std::memset(name, 'x', sizeof name);
  SplitCaptureFileName(path.c_str(), directory, sizeof directory, name, sizeof name);
  return {directory, name};
}

TEST(SplitCaptureFileName, RootFileOpensInTheDriveRoot) {
  Parts p = Split("C:\\CAPTURE.AVI");
  EXPECT_EQ("C:\\", p.directory);
  EXPECT_EQ("CAPTURE", p.name);
}

TEST(SplitCaptureFileName, DotsInFoldersStayOnlyTheNameLosesItsExtension) {
  Parts p = Split("C:\\My.Dir\\clip.avi");
  EXPECT_EQ("C:\\My.Dir", p.directory);
  EXPECT_EQ("clip", p.name);

  p = Split("D:\\a.b\\c.d\\my.clip.avi");
  EXPECT_EQ("D:\\a.b\\c.d", p.directory);
  EXPECT_EQ("my.clip", p.name);  // only the last extension goes
}

TEST(SplitCaptureFileName, NoBackslashMeansNoFolder) {
  Parts p = Split("clip.avi");
  EXPECT_EQ("", p.directory);
  EXPECT_EQ("clip", p.name);

  p = Split("");
  EXPECT_EQ("", p.directory);
  EXPECT_EQ("", p.name);
}

TEST(SplitCaptureFileName, NamesWithoutExtensionOrWithOnlyADot) {
  EXPECT_EQ("capture", Split("C:\\video\\capture").name);
  EXPECT_EQ(".avi", Split("C:\\video\\.avi").name);  // a leading dot is not an extension
  EXPECT_EQ("clip", Split("C:\\video\\clip.").name);
  Parts p = Split("C:\\video\\");
  EXPECT_EQ("C:\\video", p.directory);
  EXPECT_EQ("", p.name);
}

TEST(SplitCaptureFileName, RootsOfTheCurrentDriveAndOfAShare) {
  Parts p = Split("\\clip.avi");
  EXPECT_EQ("\\", p.directory);
  EXPECT_EQ("clip", p.name);

  p = Split("\\\\server\\share\\clip.avi");
  EXPECT_EQ("\\\\server\\share", p.directory);
  EXPECT_EQ("clip", p.name);
}

TEST(SplitCaptureFileName, LongPartsAreCutToTheirBuffers) {
  std::string folder = "C:\\" + std::string(300, 'f');
  std::string file = std::string(300, 'n') + ".avi";
  char directory[200];
  char name[200];
  SplitCaptureFileName((folder + "\\" + file).c_str(), directory, sizeof directory, name,
                       sizeof name);
  EXPECT_EQ(folder.substr(0, 199), directory);
  EXPECT_EQ(std::string(199, 'n'), name);

  char tiny[4];
  char one[1];
  SplitCaptureFileName("C:\\abc\\clip.avi", tiny, sizeof tiny, one, sizeof one);
  EXPECT_STREQ("C:\\", tiny);
  EXPECT_STREQ("", one);
}

TEST(SplitCaptureFileName, ZeroSizedBuffersAreNotWritten) {
  char directory[2] = {'d', 'd'};
  char name[2] = {'n', 'n'};
  SplitCaptureFileName("C:\\x\\clip.avi", directory, 0, name, 0);
  EXPECT_EQ('d', directory[0]);
  EXPECT_EQ('n', name[0]);
}

std::string ExtensionOf(const char* filter, std::size_t size = 16) {
  char extension[16];
  std::memset(extension, 'x', sizeof extension);
  DefaultExtensionOfFilter(filter, extension, size);
  return extension;
}

TEST(DefaultExtensionOfFilter, FirstPatternGivesTheExtensionInUpperCase) {
  EXPECT_EQ("AVI", ExtensionOf("Microsoft AVI\0*.avi\0All Files\0*.*\0"));
  EXPECT_EQ("BMP", ExtensionOf("Microsoft Bitmap\0*.bmp\0All Files\0*.*\0"));
  EXPECT_EQ("JPG", ExtensionOf("Pictures\0*.jpg;*.jpeg\0"));
}

TEST(DefaultExtensionOfFilter, PatternsWithoutAPlainExtensionGiveNone) {
  EXPECT_EQ("", ExtensionOf("All Files\0*.*\0"));
  EXPECT_EQ("", ExtensionOf("Anything\0*\0"));
  EXPECT_EQ("", ExtensionOf("Odd\0*.a*b\0"));
  EXPECT_EQ("", ExtensionOf("\0"));
  EXPECT_EQ("", ExtensionOf(nullptr));
}

TEST(DefaultExtensionOfFilter, CutToTheBuffer) {
  EXPECT_EQ("AV", ExtensionOf("Microsoft AVI\0*.avi\0", 3));
}

TEST(FrameRate, DivisionsAtTheUsualRate) {
  EXPECT_EQ(66, PreviewIntervalMs(15));
  EXPECT_EQ(66666, MicroSecondsPerFrame(15));
  EXPECT_EQ(33, PreviewIntervalMs(30));
  EXPECT_EQ(0, PreviewIntervalMs(2000));  // integer division, as sent
}

TEST(FrameRate, ZeroAndNegativeRatesCountAsOne) {
  for (int rate : {0, -1, -15, -2147483647 - 1}) {
    EXPECT_EQ(1000, PreviewIntervalMs(rate)) << rate;
    EXPECT_EQ(1000000, MicroSecondsPerFrame(rate)) << rate;
  }
}

}  // namespace
