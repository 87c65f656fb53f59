// LoadSettings and SaveSettings against real Morva.ini files: defaults, the
// number parse, the reading and writing orders, and hostile file contents.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/application_context.h"
#include "app/settings.h"
#include "tests/wine/support/app_runner.h"
#include "tests/wine/support/profile_recorder.h"
#include "tests/wine/support/settings_file.h"

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplicationContext();
    DeleteSettingsFile();
  }
  void TearDown() override { DeleteSettingsFile(); }
  const Settings& s() const { return g_context.settings; }
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  std::memset(&g_context.settings, 0x5A, sizeof g_context.settings);
  LoadSettings();
  EXPECT_EQ(100, s().XPOS);
  EXPECT_EQ(100, s().YPOS);
  EXPECT_EQ(300, s().Width);
  EXPECT_EQ(300, s().Height);
  EXPECT_EQ(15, s().FrameRate);
  EXPECT_EQ(10, s().TimeInterval);
  EXPECT_EQ(0, s().DriverID);
  EXPECT_EQ(1, s().CaptureAudio);
  EXPECT_EQ(1, s().UseOverlay);
  EXPECT_EQ(1, s().EnableTimeLimit);
  EXPECT_EQ(10, s().SelfTimer);
  EXPECT_STREQ("C:\\", s().LastDir);
  EXPECT_FALSE(SettingsFileExists());  // loading creates nothing
}

TEST_F(SettingsFileTest, NumbersTakeTheLeadingIntegerWithoutRangeChecks) {
  WriteSettingsFile(
      "[Position]\r\nXPOS= 42abc\r\nYPOS=-7\r\nWidth=abc\r\nHeight=4294967338\r\n"
      "[Setting]\r\nFrameRate=-2147483649\r\nTimeInterval=+8\r\nDriverID=-1\r\n"
      "CaptureAudio=0\r\nUseOverlay=2\r\nEnableTimeLimit=0\r\nSelfTimer=25\r\n"
      "[Directory]\r\nLastDir=D:\\clips\\take1.avi\r\n");
  LoadSettings();
  EXPECT_EQ(42, s().XPOS);
  EXPECT_EQ(-7, s().YPOS);
  EXPECT_EQ(0, s().Width);
  EXPECT_EQ(42, s().Height);                 // 2^32 + 42 wraps
  EXPECT_EQ(2147483647, s().FrameRate);      // -(2^31 + 1) wraps
  EXPECT_EQ(8, s().TimeInterval);
  EXPECT_EQ(-1, s().DriverID);
  EXPECT_EQ(0, s().CaptureAudio);
  EXPECT_EQ(2, s().UseOverlay);              // values stand as the file gives them
  EXPECT_EQ(0, s().EnableTimeLimit);
  EXPECT_EQ(25, s().SelfTimer);
  EXPECT_STREQ("D:\\clips\\take1.avi", s().LastDir);
}

TEST_F(SettingsFileTest, KeysAreReadInOrderWithTheirDefaultTexts) {
  ProfileRecorder recorder;
  ASSERT_TRUE(recorder.installed());
  LoadSettings();
  const char* expected[][3] = {
      {"Position", "XPOS", "100"},         {"Position", "YPOS", "100"},
      {"Position", "Width", "300"},        {"Position", "Height", "300"},
      {"Setting", "FrameRate", "15"},      {"Setting", "TimeInterval", "10"},
      {"Setting", "DriverID", "0"},        {"Setting", "CaptureAudio", "1"},
      {"Setting", "UseOverlay", "1"},      {"Setting", "EnableTimeLimit", "1"},
      {"Setting", "SelfTimer", "10"},      {"Directory", "LastDir", "C:\\"},
  };
  ASSERT_EQ(12u, recorder.reads().size());
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(expected[i][0], recorder.reads()[i].section) << i;
    EXPECT_EQ(expected[i][1], recorder.reads()[i].key) << i;
    EXPECT_EQ(expected[i][2], recorder.reads()[i].text) << i;
  }
}

TEST_F(SettingsFileTest, KeysAreWrittenInOrderAsDecimalText) {
  Settings& m = g_context.settings;
  m = Settings{};
  m.XPOS = -32;
  m.YPOS = 2147483647;
  m.Width = 301;
  m.Height = -2147483647 - 1;
  m.FrameRate = 30;
  m.TimeInterval = 0;
  m.DriverID = -1;
  m.CaptureAudio = 1;
  m.UseOverlay = 0;
  m.EnableTimeLimit = 1;
  m.SelfTimer = 7;
  lstrcpynA(m.LastDir, "E:\\shots\\a.bmp", sizeof m.LastDir);
  {
    ProfileRecorder recorder;
    ASSERT_TRUE(recorder.installed());
    SaveSettings();
    const char* expected[][3] = {
        {"Position", "XPOS", "-32"},        {"Position", "YPOS", "2147483647"},
        {"Position", "Width", "301"},       {"Position", "Height", "-2147483648"},
        {"Setting", "FrameRate", "30"},     {"Setting", "TimeInterval", "0"},
        {"Setting", "DriverID", "-1"},      {"Setting", "SelfTimer", "7"},
        {"Setting", "CaptureAudio", "1"},   {"Setting", "UseOverlay", "0"},
        {"Setting", "EnableTimeLimit", "1"}, {"Directory", "LastDir", "E:\\shots\\a.bmp"},
    };
    ASSERT_EQ(12u, recorder.writes().size());
    for (size_t i = 0; i < 12; ++i) {
      EXPECT_EQ(expected[i][0], recorder.writes()[i].section) << i;
      EXPECT_EQ(expected[i][1], recorder.writes()[i].key) << i;
      EXPECT_EQ(expected[i][2], recorder.writes()[i].text) << i;
    }
  }
  // And the file reads back as written.
  EXPECT_EQ("-2147483648", ReadSettingsKey("Position", "Height"));
  EXPECT_EQ("-1", ReadSettingsKey("Setting", "DriverID"));
  EXPECT_EQ("E:\\shots\\a.bmp", ReadSettingsKey("Directory", "LastDir"));
}

TEST_F(SettingsFileTest, SelfTimerOutsideTheDialogRangeIsWrittenBackUnchanged) {
  WriteSettingsFile("[Setting]\r\nSelfTimer=25\r\n");
  LoadSettings();
  EXPECT_EQ(25, s().SelfTimer);
  SaveSettings();
  EXPECT_EQ("25", ReadSettingsKey("Setting", "SelfTimer"));
}

// The bytes after LastDir in ApplicationContext; a load that writes past the
// 200-byte field would change them.
class Canary {
 public:
  Canary() { std::memset(&g_context.driverCaps, 0xC3, sizeof g_context.driverCaps); }
  bool intact() const {
    const auto* p = reinterpret_cast<const unsigned char*>(&g_context.driverCaps);
    for (size_t i = 0; i < sizeof g_context.driverCaps; ++i) {
      if (p[i] != 0xC3) return false;
    }
    return true;
  }
};

TEST_F(SettingsFileTest, OverlongLastDirIsCutToTheFieldAndTerminated) {
  const std::string longDir = "C:\\" + std::string(400, 'd');
  WriteSettingsFile("[Directory]\r\nLastDir=" + longDir + "\r\n");
  Canary canary;
  LoadSettings();
  EXPECT_TRUE(canary.intact());
  EXPECT_EQ(199u, std::strlen(s().LastDir));
  EXPECT_EQ(longDir.substr(0, 199), s().LastDir);
  // Saved back, the file holds the cut text, not more.
  SaveSettings();
  EXPECT_EQ(longDir.substr(0, 199), ReadSettingsKey("Directory", "LastDir"));
}

TEST_F(SettingsFileTest, TenThousandCharacterLinesNeitherOverflowNorHideLaterKeys) {
  std::string file = "[Position]\r\n";
  file += "XPOS=12345" + std::string(9995, 'x') + "\r\n";
  file += "; " + std::string(10000, '#') + "\r\n";
  file += "YPOS=" + std::string(10000, '9') + "\r\n";
  file += "Width=250\r\n";
  file += "[Directory]\r\nLastDir=" + std::string(10000, 'L') + "\r\n";
  WriteSettingsFile(file);
  Canary canary;
  LoadSettings();
  EXPECT_TRUE(canary.intact());
  EXPECT_EQ(12345, s().XPOS);
  // Only the first 199 nines reach the parse; 10^199 - 1 wraps to
  // 2^32 - 1 (i.e. -1) because 10^199 is a multiple of 2^32.
  EXPECT_EQ(-1, s().YPOS);
  EXPECT_EQ(250, s().Width);
  EXPECT_EQ(300, s().Height);
  EXPECT_EQ(std::string(199, 'L'), s().LastDir);
}

// Pseudo-random bytes (fixed seed) without '[' or '=', so that no section or
// key can form: every field must take its default.
std::string Garbage(size_t n) {
  std::string bytes;
  unsigned state = 12345u;
  while (bytes.size() < n) {
    state = state * 1103515245u + 12345u;
    const char c = static_cast<char>((state >> 16) & 0xFF);
    if (c != '[' && c != '=') bytes += c;
  }
  return bytes;
}

TEST_F(SettingsFileTest, BinaryGarbageGivesTheDefaults) {
  WriteSettingsFile(Garbage(64 * 1024));
  Canary canary;
  LoadSettings();
  EXPECT_TRUE(canary.intact());
  EXPECT_EQ(100, s().XPOS);
  EXPECT_EQ(300, s().Height);
  EXPECT_EQ(15, s().FrameRate);
  EXPECT_EQ(0, s().DriverID);
  EXPECT_EQ(10, s().SelfTimer);
  EXPECT_STREQ("C:\\", s().LastDir);
}

TEST_F(SettingsFileTest, BinaryValuesParseAsTheirLeadingInteger) {
  WriteSettingsFile(std::string("[Position]\r\nXPOS=\x01\xff\x80 12\r\nYPOS=77\xA0\xB2\r\n") +
                    "[Directory]\r\nLastDir=\xE9\xFF\x7F" + Garbage(300) + "\r\n");
  Canary canary;
  LoadSettings();
  EXPECT_TRUE(canary.intact());
  EXPECT_EQ(0, s().XPOS);
  EXPECT_EQ(77, s().YPOS);
  EXPECT_LT(std::strlen(s().LastDir), sizeof s().LastDir);
}

}  // namespace
