// Frame synthesis: one template row per row kind is built with the pattern,
// the adjustments and the moving marker, copied to every row, and then the
// stamp is drawn over the top left corner.
#include "core/image/frame_synth.h"

#include <cstdio>
#include <cstring>

#include "core/image/cpu_features.h"
#if MORVA_CAPCORE_X86
#include <immintrin.h>
#endif

#include "core/image/pixel_io.h"

namespace capcore {
namespace {

// Frames from this size on are made with stores that bypass the cache.
const size_t kStreamFromBytes = 4u << 20;

#if MORVA_CAPCORE_X86
// A row copied with stores that bypass the cache (SSE2): a frame that large
// is far larger than the cache, and its next reader (the file's write) comes
// after the whole frame is made, so loading each line before writing it is
// waste. The head up to 16-byte alignment and the tail are plain copies.
__attribute__((target("sse2"))) void StreamRow(uint8_t* to, const uint8_t* from, size_t n) {
  size_t lead = (16 - (reinterpret_cast<uintptr_t>(to) & 15)) & 15;
  if (lead > n) lead = n;
  std::memcpy(to, from, lead);
  size_t i = lead;
  for (; i + 64 <= n; i += 64) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 16));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 32));
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 48));
    _mm_stream_si128(reinterpret_cast<__m128i*>(to + i), a);
    _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 16), b);
    _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 32), c);
    _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 48), d);
  }
  std::memcpy(to + i, from + i, n - i);
}

// The streamed rows reach memory before anything after this.
__attribute__((target("sse2"))) void StreamDone() { _mm_sfence(); }

#else
void StreamRow(uint8_t* to, const uint8_t* from, size_t n) { std::memcpy(to, from, n); }
void StreamDone() {}
#endif

bool StreamsFrame(const FrameFormat& f) { return CpuHasSse2() && FrameBytes(f) >= kStreamFromBytes; }

struct Colour {
  int r, g, b;
};

uint8_t Adjust(int c, const SourceSettings& s) {
  int v = (c - 128) * s.contrast / 100 + 128 + s.brightness * 128 / 100;
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return static_cast<uint8_t>(v);
}

void Put(uint8_t* p, int bitCount, Colour c, const SourceSettings& s) {
  PutPixel(p, bitCount, Adjust(c.r, s), Adjust(c.g, s), Adjust(c.b, s));
}

const Colour kBars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                         {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {16, 16, 16}};
const Colour kChecker[2] = {{32, 48, 160}, {232, 160, 32}};
const Colour kMarker = {255, 255, 255};

// Drawing geometry, in fractions of the frame's width.
const int kMarkerWidthDivisor = 40;   // the moving marker: width/40, at least 2 pixels
const int kMinMarkerWidth = 2;
const int kMarkerStepDivisor = 64;    // it moves width/64 a frame, at least 1 pixel
const int kCheckerDivisor = 16;       // checkerboard squares: width/16, at least 8 pixels
const int kMinCheckerBlock = 8;
const int kStampScaleWidth = 160;     // the stamp's pixels grow by one per 160 of width
const int kGlyphWidth = 5, kGlyphHeight = 7;
const int kCellWidth = 6, kCellHeight = 9;  // a glyph and its spacing, unscaled

Colour Hue(int x, int width) {
  // six ramps across the width
  int pos = static_cast<int>(static_cast<long long>(x) * 1536 / width);
  int seg = pos / 256, f = pos % 256;
  switch (seg) {
    case 0: return {255, f, 0};
    case 1: return {255 - f, 255, 0};
    case 2: return {0, 255, f};
    case 3: return {0, 255 - f, 255};
    case 4: return {f, 0, 255};
    default: return {255, 0, 255 - f};
  }
}

int MarkerWidth(int width) {
  return width / kMarkerWidthDivisor > kMinMarkerWidth ? width / kMarkerWidthDivisor : kMinMarkerWidth;
}
int MarkerStart(int width, uint32_t frame) {
  int step = width / kMarkerStepDivisor > 1 ? width / kMarkerStepDivisor : 1;
  return static_cast<int>((static_cast<uint64_t>(frame) * static_cast<uint64_t>(step)) %
                          static_cast<uint64_t>(width));
}

int CheckerBlock(int width) {
  return width / kCheckerDivisor > kMinCheckerBlock ? width / kCheckerDivisor : kMinCheckerBlock;
}

// The row kind of picture row y (from the top): only the checkerboard has two.
int RowKind(const FrameFormat& f, const SourceSettings& s, int y) {
  if (s.pattern != Pattern::Checker) return 0;
  int block = CheckerBlock(f.width);
  return (y / block) & 1;
}

void BuildRow(const FrameFormat& f, const SourceSettings& s, uint32_t frame, int kind,
              uint8_t* row) {
  int bpp = f.bitCount / 8;
  int w = f.width;
  int block = CheckerBlock(w);
  int shift = static_cast<int>((frame * 2u) % static_cast<uint32_t>(2 * block));
  int gradShift = static_cast<int>((frame * 4u) % static_cast<uint32_t>(w));
  int m0 = MarkerStart(w, frame), mw = MarkerWidth(w);
  for (int x = 0; x < w; ++x) {
    Colour c;
    int dx = x - m0;
    if (dx < 0) dx += w;
    if (dx < mw) {
      c = kMarker;
    } else if (s.pattern == Pattern::Bars) {
      c = kBars[static_cast<long long>(x) * 8 / w];
    } else if (s.pattern == Pattern::Checker) {
      c = kChecker[(((x + shift) / block) + kind) & 1];
    } else {
      c = Hue((x + gradShift) % w, w);
    }
    Put(row + x * bpp, f.bitCount, c, s);
  }
}

// 5 x 7 glyphs, rows top to bottom, bit 4 = leftmost column.
const uint8_t* Glyph(char ch) {
  static const uint8_t digits[10][7] = {
      {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
      {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
      {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
      {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
      {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};
  static const uint8_t letterF[7] = {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10};
  static const uint8_t letterT[7] = {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04};
  static const uint8_t colon[7] = {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00};
  static const uint8_t dot[7] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C};
  static const uint8_t blank[7] = {0, 0, 0, 0, 0, 0, 0};
  if (ch >= '0' && ch <= '9') return digits[ch - '0'];
  if (ch == 'F') return letterF;
  if (ch == 'T') return letterT;
  if (ch == ':') return colon;
  if (ch == '.') return dot;
  return blank;
}

// Pixels x0 .. x1-1 of one memory row in grey v.
void FillSpan(const FrameFormat& f, uint8_t* row, int x0, int x1, uint8_t v) {
  int bpp = f.bitCount / 8;
  if (x1 > f.width) x1 = f.width;
  for (int x = x0 < 0 ? 0 : x0; x < x1; ++x) PutPixel(row + x * bpp, f.bitCount, v, v, v);
}

// Picture row y of the stamp's box: -1 for a blank row, else the glyph row.
int StampRowKind(int y, int scale) {
  if (y < scale) return -1;
  int gy = (y - scale) / scale;
  return gy < kGlyphHeight ? gy : -1;
}

// A black box at the top left with the text in white, each glyph dot
// `scale` pixels square. The box's rows come in eight kinds (blank and the
// seven glyph rows), each a run of rows: the first row of a run is drawn,
// the others are copied from the row above.
void DrawStamp(const FrameFormat& f, uint32_t frame, uint32_t timeMs, uint8_t* out,
               size_t stride) {
  char text[40];
  size_t n = FormatStamp(frame, timeMs, text, sizeof text);
  int scale = f.width / kStampScaleWidth > 1 ? f.width / kStampScaleWidth : 1;
  int cellW = kCellWidth * scale, cellH = kCellHeight * scale;
  int boxW = static_cast<int>(n) * cellW + scale;
  if (boxW > f.width) boxW = f.width;
  size_t boxBytes = static_cast<size_t>(boxW) * static_cast<size_t>(f.bitCount / 8);
  for (int y = 0; y < cellH && y < f.height; ++y) {
    uint8_t* row = out + static_cast<size_t>(f.height - 1 - y) * stride;
    int kind = StampRowKind(y, scale);
    if (y > 0 && kind == StampRowKind(y - 1, scale)) {
      std::memcpy(row, row + stride, boxBytes);  // the row above is the next one in memory
      continue;
    }
    FillSpan(f, row, 0, boxW, 0);
    if (kind < 0) continue;
    for (size_t i = 0; i < n; ++i) {
      uint8_t bits = Glyph(text[i])[kind];
      int cx = static_cast<int>(i) * cellW + scale;
      for (int gx = 0; gx < kGlyphWidth; ++gx)
        if (bits & (0x10 >> gx)) FillSpan(f, row, cx + gx * scale, cx + (gx + 1) * scale, 255);
    }
  }
}

}  // namespace

SourceSettings ClampSource(const SourceSettings& s) {
  SourceSettings c = s;
  if (c.brightness < -100) c.brightness = -100;
  if (c.brightness > 100) c.brightness = 100;
  if (c.contrast < 0) c.contrast = 0;
  if (c.contrast > 200) c.contrast = 200;
  if (c.pattern != Pattern::Bars && c.pattern != Pattern::Checker &&
      c.pattern != Pattern::Gradient)
    c.pattern = Pattern::Bars;
  return c;
}

size_t FormatStamp(uint32_t frameNumber, uint32_t timeMs, char* buf, size_t size) {
  if (buf == nullptr || size == 0) return 0;
  unsigned ms = timeMs % 1000, sec = (timeMs / 1000) % 60, min = (timeMs / 60000) % 60;
  unsigned hours = (timeMs / 3600000u) % 100;
  int n = std::snprintf(buf, size, "F %06u T %02u:%02u:%02u.%03u",
                        static_cast<unsigned>(frameNumber % 1000000u), hours, min, sec, ms);
  if (n < 0) {
    buf[0] = '\0';
    return 0;
  }
  return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

bool RenderFrame(const FrameFormat& format, const SourceSettings& sourceIn, uint32_t frameNumber,
                 uint32_t timeMs, uint8_t* out, size_t outSize) {
  size_t stride = FrameStride(format);
  if (stride == 0 || out == nullptr || outSize < FrameBytes(format)) return false;
  SourceSettings source = ClampSource(sourceIn);
  // Memory row r holds picture row height-1-r. Build the template of each
  // row kind in the first memory row of that kind, then copy.
  int templ[2] = {-1, -1};
  const bool stream = StreamsFrame(format);
  for (int r = 0; r < format.height; ++r) {
    int kind = RowKind(format, source, format.height - 1 - r);
    uint8_t* row = out + static_cast<size_t>(r) * stride;
    if (templ[kind] < 0) {
      std::memset(row, 0, stride);
      BuildRow(format, source, frameNumber, kind, row);
      templ[kind] = r;
    } else {
      const uint8_t* from = out + static_cast<size_t>(templ[kind]) * stride;
      if (stream) StreamRow(row, from, stride);
      else std::memcpy(row, from, stride);
    }
  }
  if (stream) StreamDone();
  if (source.stamp) DrawStamp(format, frameNumber, timeMs, out, stride);
  return true;
}

}  // namespace capcore
