// The cameras file parser and the built-in camera list.
#include <gtest/gtest.h>

#include "core/camera/camera_config.h"
#include "core/text/text_marks.h"

using capcore::ConfigParse;
using capcore::DriverList;
using capcore::ParseCameraConfig;
using capcore::Pattern;

namespace {

TEST(CameraConfig, BuiltInListHasTwoDistinctCameras) {
  DriverList d = capcore::DefaultDrivers();
  ASSERT_TRUE(d.drivers[0].present);
  ASSERT_TRUE(d.drivers[1].present);
  EXPECT_NE(d.drivers[0].description, d.drivers[1].description);
  EXPECT_NE(d.drivers[0].pattern, d.drivers[1].pattern);
  for (int i = 2; i < capcore::kMaxDrivers; ++i) EXPECT_FALSE(d.drivers[i].present) << i;
  const struct {
    int width, height;
    bool offered;
  } sizes[] = {{320, 240, true},  {160, 120, true},   {640, 480, true},   {1280, 720, true},
               {1920, 1080, true}, {3840, 2160, true}, {240, 320, false}, {4096, 2160, false}};
  for (const auto& s : sizes) {
    EXPECT_EQ(d.drivers[0].OffersSize(s.width, s.height), s.offered) << s.width << "x" << s.height;
    EXPECT_EQ(d.drivers[1].OffersSize(s.width, s.height), s.offered) << s.width << "x" << s.height;
  }
  EXPECT_EQ(d.drivers[0].sizes.size(), 6u);
  EXPECT_TRUE(d.drivers[0].OffersDepth(16));
  EXPECT_FALSE(d.drivers[0].OffersDepth(8));
}

TEST(CameraConfig, ParsesEveryKeyWithGapsAndDefaults) {
  ConfigParse r = ParseCameraConfig(
      "; comment\r\n"
      "# another\r\n"
      "[Driver2]\r\n"
      "Description = Desk camera \r\n"
      "version=2.5\r\n"
      "Sizes=640x480, 320X240\r\n"
      "BitDepths=32,16\r\n"
      "Pattern=Gradient\r\n"
      "ConnectFails=1\r\n"
      "SourceDialog=0\r\nFormatDialog=0\r\nDisplayDialog=0\r\nOverlay=1\r\n"
      "\r\n"
      "[driver9]\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  const capcore::DriverConfig& d = r.list.drivers[2];
  EXPECT_TRUE(d.present);
  EXPECT_EQ(d.description, "Desk camera");
  EXPECT_EQ(d.version, "2.5");
  ASSERT_EQ(d.sizes.size(), 2u);
  EXPECT_EQ(d.sizes[0].width, 640);
  EXPECT_EQ(d.sizes[1].height, 240);
  EXPECT_EQ(d.bitDepths, (std::vector<int>{32, 16}));
  EXPECT_EQ(d.pattern, Pattern::Gradient);
  EXPECT_TRUE(d.connectFails);
  EXPECT_FALSE(d.hasSourceDialog);
  EXPECT_FALSE(d.hasFormatDialog);
  EXPECT_FALSE(d.hasDisplayDialog);
  EXPECT_TRUE(d.hasOverlay);
  // A bare section gets the defaults; the file replaces the built-in list.
  const capcore::DriverConfig& nine = r.list.drivers[9];
  EXPECT_TRUE(nine.present);
  EXPECT_EQ(nine.description, "Morva Camera 9");
  EXPECT_FALSE(nine.sizes.empty());
  EXPECT_FALSE(nine.connectFails);
  EXPECT_TRUE(nine.hasFormatDialog);
  EXPECT_FALSE(r.list.drivers[0].present);
  EXPECT_FALSE(r.list.drivers[1].present);
}

TEST(CameraConfig, MalformedFilesGiveBuiltInListAndNameTheLine) {
  const char* bad[] = {
      "",                                    // no section
      "[Driver10]\n",                        // index out of range
      "[Camera1]\n",                         // unknown section
      "[Driver1\n",                          // unclosed
      "Description=x\n[Driver1]\n",          // key outside a section
      "[Driver1]\nColour=red\n",             // unknown key
      "[Driver1]\njust text\n",              // not key=value
      "[Driver1]\nSizes=640by480\n",         // bad size
      "[Driver1]\nSizes=0x480\n",            // zero size
      "[Driver1]\nSizes=99999x480\n",        // too big
      "[Driver1]\nSizes=\n",                 // empty list
      "[Driver1]\nBitDepths=8\n",            // unsupported depth
      "[Driver1]\nOverlay=yes\n",            // bad flag
      "[Driver1]\nPattern=stripes\n",        // bad pattern
      "[Driver1]\n[Driver1]\n",              // twice
      "[Driver1]\nSizes=12345678901234x1\n", // overflowing number
  };
  for (const char* text : bad) {
    ConfigParse r = ParseCameraConfig(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_FALSE(r.error.empty()) << text;
    EXPECT_TRUE(r.list.drivers[0].present) << text;  // built-in list
    EXPECT_EQ(r.list.drivers[0].description, capcore::DefaultDrivers().drivers[0].description);
  }
  ConfigParse r = ParseCameraConfig("[Driver1]\nDescription=a\n\nbroken\n");
  EXPECT_NE(r.error.find("line 4"), std::string::npos) << r.error;
}

// Files made of random good and bad lines never crash the parser, and
// whatever it accepts can be connected: every installed driver offers at
// least one size and depth.
TEST(CameraConfig, ScrambledFilesGiveUsableListsOrAnError) {
  const char* const lines[] = {"[Driver0]", "[Driver9]", "[Driver1]", "Sizes=1x1,640x480",
                               "Sizes=", "Sizes=,", "BitDepths=24", "BitDepths=", "Pattern=bars",
                               "x=1", "", ";c", "Sizes=99999x1", "Overlay=1", "Description=",
                               "=", "[", "[Driver]", "BitDepths=16,", "Sizes=8x"};
  const size_t count = sizeof lines / sizeof lines[0];
  uint32_t seed = 12345;
  int accepted = 0, refused = 0;
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    seed = seed * 1664525u + 1013904223u;
    int n = 1 + static_cast<int>((seed >> 16) % 6);
    for (int i = 0; i < n; ++i) {
      seed = seed * 1664525u + 1013904223u;
      text += lines[(seed >> 16) % count];
      text += (seed & 1) ? "\r\n" : "\n";
    }
    ConfigParse r = ParseCameraConfig(text);
    if (!r.ok) {
      ++refused;
      EXPECT_FALSE(r.error.empty()) << text;
      continue;
    }
    ++accepted;
    for (const capcore::DriverConfig& d : r.list.drivers) {
      if (!d.present) continue;
      EXPECT_FALSE(d.sizes.empty()) << text;
      EXPECT_FALSE(d.bitDepths.empty()) << text;
    }
  }
  EXPECT_GT(accepted, 50);  // the generator reaches both kinds
  EXPECT_GT(refused, 50);
}

template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);  // with the NULs inside
}

// "A\u00e9\u6444\U0001F3A5" under each byte-order mark (and without one)
// decodes to the same UTF-8; broken UTF-16 becomes U+FFFD.
TEST(CameraConfig, ByteOrderMarksAreDecoded) {
  const std::string utf8 = "A\xC3\xA9\xE6\x91\x84\xF0\x9F\x8E\xA5";
  struct Case {
    std::string bytes, text;
    capcore::TextEncoding encoding;
  } cases[] = {
      {utf8, utf8, capcore::TextEncoding::Unmarked},
      {"\xEF\xBB\xBF" + utf8, utf8, capcore::TextEncoding::Utf8},
      {Bytes("\xFF\xFE" "A\0" "\xE9\0" "\x44\x64" "\x3C\xD8\xA5\xDF"), utf8, capcore::TextEncoding::Utf16Le},
      {Bytes("\xFE\xFF" "\0A" "\0\xE9" "\x64\x44" "\xD8\x3C\xDF\xA5"), utf8, capcore::TextEncoding::Utf16Be},
      // 'A', a high surrogate with no partner, one odd byte.
      {Bytes("\xFF\xFE" "A\0" "\x00\xD8" "B"), "A\xEF\xBF\xBD\xEF\xBF\xBD", capcore::TextEncoding::Utf16Le},
  };
  for (const Case& c : cases) {
    capcore::MarkedText t = capcore::DecodeMarkedText(c.bytes);
    EXPECT_EQ(t.encoding, c.encoding);
    EXPECT_EQ(t.text, c.text);
  }
}

TEST(CameraConfig, PatternNamesRoundTrip) {
  for (Pattern p : {Pattern::Bars, Pattern::Checker, Pattern::Gradient}) {
    Pattern back;
    ASSERT_TRUE(capcore::ParsePattern(capcore::PatternName(p), &back));
    EXPECT_EQ(back, p);
  }
}

}  // namespace
