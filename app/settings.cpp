// LoadSettings and SaveSettings: the only code that talks to Morva.ini,
// through the private-profile functions, in the fixed reading and writing
// orders. Every value passes through a 200-byte text buffer.
#include "app/settings.h"

#include <windows.h>

#include <cstdio>

#include "app/application_context.h"
#include "app/leading_integer.h"

const char kSettingsFileName[] = "Morva.ini";

namespace {

int LoadNumber(const char* section, const char* key, const char* defaultText) {
  char text[kTextSize] = "";
  GetPrivateProfileStringA(section, key, defaultText, text, sizeof text, kSettingsFileName);
  text[sizeof text - 1] = 0;
  return ParseLeadingInteger(text);
}

void SaveNumber(const char* section, const char* key, int value) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%d", value);
  WritePrivateProfileStringA(section, key, text, kSettingsFileName);
}

}  // namespace

void LoadSettings() {
  Settings& s = g_context.settings;
  s.XPOS = LoadNumber("Position", "XPOS", "100");
  s.YPOS = LoadNumber("Position", "YPOS", "100");
  s.Width = LoadNumber("Position", "Width", "300");
  s.Height = LoadNumber("Position", "Height", "300");
  s.FrameRate = LoadNumber("Setting", "FrameRate", "15");
  s.TimeInterval = LoadNumber("Setting", "TimeInterval", "10");
  s.DriverID = LoadNumber("Setting", "DriverID", "0");
  s.CaptureAudio = LoadNumber("Setting", "CaptureAudio", "1");
  s.UseOverlay = LoadNumber("Setting", "UseOverlay", "1");
  s.EnableTimeLimit = LoadNumber("Setting", "EnableTimeLimit", "1");
  s.SelfTimer = LoadNumber("Setting", "SelfTimer", "10");
  GetPrivateProfileStringA("Directory", "LastDir", "C:\\", s.LastDir, sizeof s.LastDir,
                           kSettingsFileName);
  s.LastDir[sizeof s.LastDir - 1] = 0;
}

void SaveSettings() {
  const Settings& s = g_context.settings;
  SaveNumber("Position", "XPOS", s.XPOS);
  SaveNumber("Position", "YPOS", s.YPOS);
  SaveNumber("Position", "Width", s.Width);
  SaveNumber("Position", "Height", s.Height);
  SaveNumber("Setting", "FrameRate", s.FrameRate);
  SaveNumber("Setting", "TimeInterval", s.TimeInterval);
  SaveNumber("Setting", "DriverID", s.DriverID);
  SaveNumber("Setting", "SelfTimer", s.SelfTimer);
  SaveNumber("Setting", "CaptureAudio", s.CaptureAudio);
  SaveNumber("Setting", "UseOverlay", s.UseOverlay);
  SaveNumber("Setting", "EnableTimeLimit", s.EnableTimeLimit);
  // LastDir is always terminated (loaded or copied bounded), but it is
  // written from a bounded copy all the same.
  char dir[kTextSize];
  lstrcpynA(dir, s.LastDir, sizeof dir);
  WritePrivateProfileStringA("Directory", "LastDir", dir, kSettingsFileName);
}
