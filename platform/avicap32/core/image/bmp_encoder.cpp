// The BMP encoder: headers written field by field, little endian.
#include "core/image/bmp_encoder.h"

#include <cstring>

namespace capcore {
namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

void WriteInfoHeader(const FrameFormat& format, uint8_t* out) {
  std::memset(out, 0, kBmpInfoHeaderSize);
  Put32(out + 0, kBmpInfoHeaderSize);                            // biSize
  Put32(out + 4, static_cast<uint32_t>(format.width));           // biWidth
  Put32(out + 8, static_cast<uint32_t>(format.height));          // biHeight (bottom-up)
  Put16(out + 12, 1);                                            // biPlanes
  Put16(out + 14, static_cast<uint32_t>(format.bitCount));       // biBitCount
  Put32(out + 16, 0);                                            // biCompression = BI_RGB
  Put32(out + 20, static_cast<uint32_t>(FrameBytes(format)));    // biSizeImage
  Put32(out + 24, 2835);                                         // biXPelsPerMeter (72 dpi)
  Put32(out + 28, 2835);                                         // biYPelsPerMeter
  // biClrUsed, biClrImportant: 0
}

bool EncodeBmpHeaders(const FrameFormat& format, uint8_t* p) {
  size_t image = FrameBytes(format);
  if (image == 0 || p == nullptr) return false;
  size_t offset = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  p[0] = 'B';                                                    // bfType
  p[1] = 'M';
  Put32(p + 2, static_cast<uint32_t>(offset + image));           // bfSize
  Put32(p + 6, 0);                                               // bfReserved1, bfReserved2
  Put32(p + 10, static_cast<uint32_t>(offset));                  // bfOffBits
  WriteInfoHeader(format, p + kBmpFileHeaderSize);
  return true;
}

bool EncodeBmp(const FrameFormat& format, const uint8_t* pixels, size_t size,
               std::vector<uint8_t>* out) {
  out->clear();
  size_t image = FrameBytes(format);
  if (image == 0 || pixels == nullptr || size < image) return false;
  size_t offset = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  out->resize(offset + image);
  EncodeBmpHeaders(format, out->data());
  std::memcpy(out->data() + offset, pixels, image);
  return true;
}

}  // namespace capcore
