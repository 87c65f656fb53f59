// The persisted options and window geometry. Each field is named after its
// key in Morva.ini; LoadSettings and SaveSettings are the only code that
// touches the file (read once at start-up, written once after the loop).
#ifndef MORVA_APP_SETTINGS_H
#define MORVA_APP_SETTINGS_H

enum { kTextSize = 200 };  // every text buffer of the application, terminator included

struct Settings {
  // [Position]
  int XPOS;
  int YPOS;
  int Width;
  int Height;
  // [Setting]
  int FrameRate;
  int TimeInterval;
  int DriverID;          // 0..9, or -1 for none
  int CaptureAudio;
  int UseOverlay;        // only 1 counts as on
  int EnableTimeLimit;
  int SelfTimer;
  // [Directory]
  char LastDir[kTextSize];
};

// The settings file's name, handed to the profile functions without a
// directory so that it lands in the Windows directory.
extern const char kSettingsFileName[];  // "Morva.ini"

void LoadSettings();  // fills ApplicationContext.settings; never fails
void SaveSettings();  // writes every key; write results are not examined

#endif
