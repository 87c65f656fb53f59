// The service's own settings file: per driver, the picture format and the
// source and display settings and the compressor the user chose, so that a
// camera comes back as it was left. The file is MorvaCap.ini in the Windows directory (the
// environment variable MORVA_CAPTURE_SETTINGS may name another file), one
// section per driver index, [Camera<N>], valid only while its Description
// matches the driver now at that index.
#include <windows.h>

#include <cstdio>

#include "common/knobs.h"
#include "drivers/drivers.h"
#include "recording/recording.h"
#include "window/capture_window.h"

namespace {

// Signed values are kept with an offset: the profile reader gives unsigned.
const int kSignedOffset = 1000;

void SettingsPath(char* out, DWORD size) {
  lstrcpynA(out, ReadKnobs().settingsFile.c_str(), static_cast<int>(size));
}

void Section(const CaptureWindowState* s, char* out, size_t size) {
  std::snprintf(out, size, "Camera%d", s->driverIndex);
}

int ReadInt(const char* section, const char* key, int fallback, const char* file) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, file));
}

void WriteInt(const char* section, const char* key, int value, const char* file) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  WritePrivateProfileStringA(section, key, text, file);
}

}  // namespace

void LoadDriverSettings(CaptureWindowState* s) {
  char file[MAX_PATH], section[32], desc[1024];
  SettingsPath(file, sizeof file);
  Section(s, section, sizeof section);
  GetPrivateProfileStringA(section, "Description", "", desc, sizeof desc, file);
  if (s->driver.description != desc) return;
  int w = ReadInt(section, "Width", 0, file), h = ReadInt(section, "Height", 0, file);
  int bits = ReadInt(section, "BitCount", 0, file);
  if (s->driver.OffersSize(w, h) && s->driver.OffersDepth(bits)) SetFormat(s, w, h, bits);
  char pattern[32];
  GetPrivateProfileStringA(section, "Pattern", "", pattern, sizeof pattern, file);
  capcore::Pattern p;
  if (capcore::ParsePattern(pattern, &p)) s->source.pattern = p;
  s->source.brightness = ReadInt(section, "Brightness", s->source.brightness + kSignedOffset, file) - kSignedOffset;
  s->source.contrast = ReadInt(section, "Contrast", s->source.contrast, file);
  s->source.stamp = ReadInt(section, "Stamp", s->source.stamp ? 1 : 0, file) != 0;
  s->source = capcore::ClampSource(s->source);
  s->display.keepAspect = ReadInt(section, "KeepAspect", s->display.keepAspect ? 1 : 0, file) != 0;
  s->display.darkBackground =
      ReadInt(section, "DarkBackground", s->display.darkBackground ? 1 : 0, file) != 0;
  RecallCompressor(s, section, file);
}

void SaveDriverSettings(const CaptureWindowState* s) {
  if (!s->connected) return;
  char file[MAX_PATH], section[32];
  SettingsPath(file, sizeof file);
  Section(s, section, sizeof section);
  WritePrivateProfileStringA(section, "Description", s->driver.description.c_str(), file);
  WriteInt(section, "Width", s->videoFormat.biWidth, file);
  WriteInt(section, "Height", s->videoFormat.biHeight, file);
  WriteInt(section, "BitCount", s->videoFormat.biBitCount, file);
  WritePrivateProfileStringA(section, "Pattern", capcore::PatternName(s->source.pattern), file);
  WriteInt(section, "Brightness", s->source.brightness + kSignedOffset, file);
  WriteInt(section, "Contrast", s->source.contrast, file);
  WriteInt(section, "Stamp", s->source.stamp ? 1 : 0, file);
  WriteInt(section, "KeepAspect", s->display.keepAspect ? 1 : 0, file);
  WriteInt(section, "DarkBackground", s->display.darkBackground ? 1 : 0, file);
  RememberCompressor(s, section, file);
}
