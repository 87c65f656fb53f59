// Writing and reading one pixel in a camera format (internal to the core).
#ifndef MORVA_CAPCORE_PIXEL_IO_H
#define MORVA_CAPCORE_PIXEL_IO_H

#include <cstdint>

namespace capcore {

inline void PutPixel(uint8_t* p, int bitCount, uint8_t r, uint8_t g, uint8_t b) {
  if (bitCount == 16) {
    uint16_t v = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
  } else {
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (bitCount == 32) p[3] = 0;
  }
}

inline void GetPixel(const uint8_t* p, int bitCount, uint8_t* r, uint8_t* g, uint8_t* b) {
  if (bitCount == 16) {
    unsigned v = static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8);
    unsigned r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
    *r = static_cast<uint8_t>((r5 << 3) | (r5 >> 2));
    *g = static_cast<uint8_t>((g5 << 3) | (g5 >> 2));
    *b = static_cast<uint8_t>((b5 << 3) | (b5 >> 2));
  } else {
    *b = p[0];
    *g = p[1];
    *r = p[2];
  }
}

}  // namespace capcore

#endif
