// Reading ffmpeg's log (see ffmpeg_log.h).
#include "core/ffmpeg/ffmpeg_log.h"

namespace capcore {
namespace {

enum { kMaxSide = 4096 };

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return lines;
}

// "640x480", possibly followed by ',' : a size with both sides in range.
bool ParseSizeToken(std::string token, PictureSize* out) {
  while (!token.empty() && (token.back() == ',' || token.back() == ']')) token.pop_back();
  size_t x = token.find('x');
  if (x == std::string::npos || x == 0 || x + 1 >= token.size() || token[0] == '0') return false;
  int sides[2] = {0, 0};
  const std::string parts[2] = {token.substr(0, x), token.substr(x + 1)};
  for (int i = 0; i < 2; ++i) {
    if (parts[i].size() > 5) return false;
    for (char c : parts[i]) {
      if (c < '0' || c > '9') return false;
      sides[i] = sides[i] * 10 + (c - '0');
    }
    if (sides[i] < 1 || sides[i] > kMaxSide) return false;
  }
  out->width = sides[0];
  out->height = sides[1];
  return true;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < line.size()) {
    size_t start = line.find_first_not_of(" \t", pos);
    if (start == std::string::npos) break;
    size_t end = line.find_first_of(" \t", start);
    if (end == std::string::npos) end = line.size();
    words.push_back(line.substr(start, end - start));
    pos = end;
  }
  return words;
}

}  // namespace

bool ParseSourceSize(const std::string& log, PictureSize* out) {
  bool inInput = false;
  for (const std::string& line : Lines(log)) {
    if (line.compare(0, 6, "Input ") == 0) inInput = true;
    else if (line.compare(0, 7, "Output ") == 0) inInput = false;
    if (!inInput || line.find("Stream #") == std::string::npos) continue;
    size_t video = line.find(": Video:");
    if (video == std::string::npos) continue;
    for (const std::string& w : Words(line.substr(video)))
      if (ParseSizeToken(w, out)) return true;
  }
  return false;
}

std::vector<PictureSize> ParseDeviceSizes(const std::string& log) {
  std::vector<PictureSize> sizes;
  for (const std::string& line : Lines(log)) {
    if (line.find("Raw") == std::string::npos && line.find("Compressed") == std::string::npos) continue;
    size_t colon = line.rfind(" : ");
    if (colon == std::string::npos) continue;
    for (const std::string& w : Words(line.substr(colon + 3))) {
      PictureSize s;
      if (!ParseSizeToken(w, &s)) continue;
      if (!HasSize(sizes, s.width, s.height)) sizes.push_back(s);
    }
  }
  return sizes;
}

std::string LastLogLine(const std::string& log, size_t maxChars) {
  std::vector<std::string> lines = Lines(log);
  for (size_t i = lines.size(); i-- > 0;) {
    std::string line = lines[i];
    if (!line.empty() && line[0] == '[') {
      size_t close = line.find("] ");
      if (close != std::string::npos) line = line.substr(close + 2);
    }
    size_t a = line.find_first_not_of(" \t");
    if (a == std::string::npos) continue;
    line = line.substr(a);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.size() > maxChars) line = line.substr(0, maxChars);
    return line;
  }
  return "";
}

}  // namespace capcore
