// The built-in camera list and the cameras file parser (format in the header).
#include "core/camera/camera_config.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "core/text/path_text.h"

namespace capcore {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A whole decimal number within [lo, hi].
bool ParseInt(const std::string& text, int lo, int hi, int* out) {
  std::string t = Trim(text);
  if (t.empty() || t.size() > 9) return false;
  int v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool ParseFlag(const std::string& text, bool* out) {
  int v;
  if (!ParseInt(text, 0, 1, &v)) return false;
  *out = v == 1;
  return true;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    parts.push_back(Trim(text.substr(start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

bool ParseSizes(const std::string& text, std::vector<PictureSize>* out) {
  std::vector<PictureSize> sizes;
  for (const std::string& part : SplitList(text)) {
    size_t x = Lower(part).find('x');
    if (x == std::string::npos) return false;
    PictureSize ps;
    if (!ParseInt(part.substr(0, x), 1, 4096, &ps.width) ||
        !ParseInt(part.substr(x + 1), 1, 4096, &ps.height))
      return false;
    sizes.push_back(ps);
  }
  if (sizes.empty()) return false;
  *out = sizes;
  return true;
}

bool ParseDepths(const std::string& text, std::vector<int>* out) {
  std::vector<int> depths;
  for (const std::string& part : SplitList(text)) {
    int d;
    if (!ParseInt(part, 16, 32, &d) || (d != 16 && d != 24 && d != 32)) return false;
    depths.push_back(d);
  }
  if (depths.empty()) return false;
  *out = depths;
  return true;
}

DriverConfig DefaultDriver(int index) {
  DriverConfig d;
  d.present = true;
  d.description = "Morva Camera " + std::to_string(index);
  d.version = "Version 1.0";
  d.sizes = {{320, 240}, {160, 120}, {640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};
  d.bitDepths = {24, 32, 16};
  return d;
}

bool ApplyKey(DriverConfig* d, const std::string& key, const std::string& value) {
  std::string k = Lower(key);
  if (k == "description") { d->description = value; return true; }
  if (k == "version") { d->version = value; return true; }
  if (k == "sizes") {
    d->sizesGiven = ParseSizes(value, &d->sizes);
    return d->sizesGiven;
  }
  if (k == "input") {
    d->input = value;
    return !value.empty();
  }
  if (k == "bitdepths") return ParseDepths(value, &d->bitDepths);
  if (k == "pattern") return ParsePattern(value, &d->pattern);
  if (k == "connectfails") return ParseFlag(value, &d->connectFails);
  if (k == "sourcedialog") return ParseFlag(value, &d->hasSourceDialog);
  if (k == "formatdialog") return ParseFlag(value, &d->hasFormatDialog);
  if (k == "displaydialog") return ParseFlag(value, &d->hasDisplayDialog);
  if (k == "overlay") return ParseFlag(value, &d->hasOverlay);
  return false;
}

ConfigParse Malformed(int line, const char* what) {
  ConfigParse r;
  r.list = DefaultDrivers();
  r.ok = false;
  char buf[160];
  if (line > 0)
    std::snprintf(buf, sizeof buf, "line %d: %s", line, what);
  else
    std::snprintf(buf, sizeof buf, "%s", what);
  r.error = buf;
  return r;
}

// A camera read through ffmpeg: its sizes unless given, and none of the
// synthetic camera's dialogs and overlay.
void FinishFfmpegDriver(DriverConfig* d) {
  if (!d->IsFfmpeg()) return;
  if (!d->sizesGiven) d->sizes = CommonCameraSizes();
  d->hasSourceDialog = false;
  d->hasOverlay = false;
}

}  // namespace

std::vector<PictureSize> CommonCameraSizes() {
  return {{640, 480}, {320, 240}, {160, 120}, {800, 600}, {1280, 720}};
}

bool ParsePattern(const std::string& text, Pattern* out) {
  std::string t = Lower(Trim(text));
  if (t == "bars") *out = Pattern::Bars;
  else if (t == "checker") *out = Pattern::Checker;
  else if (t == "gradient") *out = Pattern::Gradient;
  else return false;
  return true;
}

const char* PatternName(Pattern p) {
  switch (p) {
    case Pattern::Checker: return "checker";
    case Pattern::Gradient: return "gradient";
    default: return "bars";
  }
}

bool HasSize(const std::vector<PictureSize>& sizes, int width, int height) {
  for (const PictureSize& s : sizes)
    if (s.width == width && s.height == height) return true;
  return false;
}

bool DriverConfig::OffersSize(int width, int height) const { return HasSize(sizes, width, height); }

bool DriverConfig::OffersDepth(int bitCount) const {
  for (int d : bitDepths)
    if (d == bitCount) return true;
  return false;
}

DriverList DefaultDrivers() {
  DriverList list;
  list.drivers[0] = DefaultDriver(0);
  list.drivers[0].description = "Morva Test Pattern Camera";
  list.drivers[0].version = "Version 1.0 (colour bars)";
  list.drivers[1] = DefaultDriver(1);
  list.drivers[1].description = "Morva Checkerboard Camera";
  list.drivers[1].version = "Version 1.0 (checkerboard)";
  list.drivers[1].pattern = Pattern::Checker;
  list.drivers[1].hasOverlay = true;
  return list;
}

ConfigParse ParseCameraConfig(const std::string& text) {
  ConfigParse r;
  DriverConfig* current = nullptr;
  bool any = false;
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    ++lineNo;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return Malformed(lineNo, "unclosed section name");
      std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
      int index;
      if (name.compare(0, 6, "driver") != 0 || !ParseInt(name.substr(6), 0, kMaxDrivers - 1, &index))
        return Malformed(lineNo, "unknown section (expected [Driver0] to [Driver9])");
      if (r.list.drivers[index].present) return Malformed(lineNo, "driver listed twice");
      r.list.drivers[index] = DefaultDriver(index);
      current = &r.list.drivers[index];
      any = true;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) return Malformed(lineNo, "expected key=value");
    if (current == nullptr) return Malformed(lineNo, "key outside a [Driver<N>] section");
    std::string key = Trim(line.substr(0, eq));
    if (!ApplyKey(current, key, Trim(line.substr(eq + 1))))
      return Malformed(lineNo, "unknown key or bad value");
  }
  if (!any) return Malformed(0, "no [Driver<N>] section");
  for (DriverConfig& d : r.list.drivers) FinishFfmpegDriver(&d);
  return r;
}

}  // namespace capcore
