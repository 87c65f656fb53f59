// core/camera/: the cameras file, the camera's tone and PCM formats (portable).
// The list of synthetic camera drivers (indices 0 to 9) and the parser of
// the cameras file that can replace the built-in list.
//
// The cameras file is a plain INI file (a byte-order mark is dealt with
// before, see core/text/text_marks.h). Each section [Driver<N>], N from 0
// to 9, installs a driver at index N; indices without a section are gaps.
// Keys (all optional; case does not matter):
//   Description=<text>        name shown in driver lists (default "Morva Camera <N>")
//   Version=<text>            version text (default "Version 1.0")
//   Sizes=<W>x<H>,...         picture sizes offered, the first is the default
//                             (default 320x240,160x120,640x480,1280x720,1920x1080,
//                             3840x2160)
//   BitDepths=<n>,...         bit depths offered out of 16, 24, 32, the first
//                             is the default (default 24,32,16)
//   Pattern=bars|checker|gradient   what the camera shows (default bars)
//   ConnectFails=0|1          connecting always fails
//   SourceDialog=0|1, FormatDialog=0|1, DisplayDialog=0|1   dialogs it has (default 1)
//   Overlay=0|1               it has overlay (default 0)
//   Input=<ffmpeg input>      a camera read through ffmpeg, with these input
//                             arguments ("-f v4l2 -i /dev/video2", a file, a
//                             network camera's URL; "..." keeps blanks in one
//                             argument). Sizes is optional there: without
//                             it the picture is the source's own size (found
//                             on connection), and common sizes scaled by
//                             ffmpeg are offered beside it. Such a camera has
//                             no source dialog and no overlay; Pattern and
//                             ConnectFails do not apply.
// Lines starting with ';' or '#' and blank lines are ignored. A file with no
// [Driver<N>] section, an unknown section or key, a bad value or a line that
// is neither a section nor key=value is malformed: the built-in list stands
// and the parse result carries one error text naming the line.
#ifndef MORVA_CAPCORE_CAMERA_CONFIG_H
#define MORVA_CAPCORE_CAMERA_CONFIG_H

#include <string>
#include <vector>

namespace capcore {

enum { kMaxDrivers = 10 };

enum class Pattern { Bars = 0, Checker = 1, Gradient = 2 };
// "bars", "checker", "gradient"; false for anything else.
bool ParsePattern(const std::string& text, Pattern* out);
const char* PatternName(Pattern p);

struct PictureSize {
  int width;
  int height;
};

struct DriverConfig {
  bool present = false;
  std::string description;
  std::string version;
  std::vector<PictureSize> sizes;
  std::vector<int> bitDepths;
  Pattern pattern = Pattern::Bars;
  bool connectFails = false;
  bool hasSourceDialog = true;
  bool hasFormatDialog = true;
  bool hasDisplayDialog = true;
  bool hasOverlay = false;
  std::string input;          // ffmpeg's input arguments; empty: a synthetic camera
  bool sizesGiven = false;    // Sizes came from the cameras file

  bool IsFfmpeg() const { return !input.empty(); }
  bool OffersSize(int width, int height) const;
  bool OffersDepth(int bitCount) const;
};

struct DriverList {
  DriverConfig drivers[kMaxDrivers];
};

// True when `sizes` holds width x height.
bool HasSize(const std::vector<PictureSize>& sizes, int width, int height);

// The sizes offered by a camera read through ffmpeg whose sizes are not
// known: 640 x 480 first, then the other common ones.
std::vector<PictureSize> CommonCameraSizes();

// Index 0: moving colour bars, index 1: a moving checkerboard; 2..9 empty.
DriverList DefaultDrivers();

struct ConfigParse {
  DriverList list;     // the file's drivers, or the built-in list when malformed
  bool ok = true;
  std::string error;   // when not ok: what is wrong and on which line
};
ConfigParse ParseCameraConfig(const std::string& text);

}  // namespace capcore

#endif
