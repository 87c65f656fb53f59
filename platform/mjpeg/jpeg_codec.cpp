// Frames to and from JPEG through libjpeg-turbo. libjpeg reports a fatal
// error by calling error_exit, which must not return: it jumps back to the
// call's setjmp, so no C++ object with a destructor lives between the two
// (buffers come from libjpeg's own pools, freed with the codec object).
#include "jpeg_codec.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace mjpeg {

namespace {

struct ErrorTrap {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void JumpOut(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorTrap*>(c->err)->jump, 1); }
void Quiet(j_common_ptr, int) {}
void QuietOutput(j_common_ptr) {}

void SetTrap(ErrorTrap* t) {
  jpeg_std_error(&t->mgr);
  t->mgr.error_exit = JumpOut;
  t->mgr.emit_message = Quiet;
  t->mgr.output_message = QuietOutput;
}

// A destination of fixed size: running out of room is an error.
void NoInit(j_compress_ptr) {}
boolean Full(j_compress_ptr c) {
  c->err->msg_code = JERR_BUFFER_SIZE;
  c->err->error_exit(reinterpret_cast<j_common_ptr>(c));
  return FALSE;
}
void NoTerm(j_compress_ptr) {}

J_COLOR_SPACE ColourSpace(int bitCount) { return bitCount == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR; }

const uint8_t* SourceRow(const capcore::DibLayout& l, const uint8_t* bits, int y) {
  const int row = l.topDown ? y : l.height - 1 - y;
  return bits + static_cast<size_t>(row) * l.stride;
}

}  // namespace

int JpegQuality(uint32_t quality) {
  if (quality > 10000) quality = 10000;
  return 1 + static_cast<int>(quality * 99 / 10000);
}

uint32_t EncodeFrame(const capcore::DibLayout& in, const uint8_t* bits, int jpegQuality, uint8_t* out,
                     uint32_t capacity) {
  jpeg_compress_struct c;
  ErrorTrap trap;
  jpeg_destination_mgr dest;
  c.err = &trap.mgr;
  SetTrap(&trap);
  if (setjmp(trap.jump)) {
    jpeg_destroy_compress(&c);
    return 0;
  }
  jpeg_create_compress(&c);
  dest.next_output_byte = out;
  dest.free_in_buffer = capacity;
  dest.init_destination = NoInit;
  dest.empty_output_buffer = Full;
  dest.term_destination = NoTerm;
  c.dest = &dest;
  c.image_width = static_cast<JDIMENSION>(in.width);
  c.image_height = static_cast<JDIMENSION>(in.height);
  c.input_components = in.bitCount == 32 ? 4 : 3;
  c.in_color_space = ColourSpace(in.bitCount);
  jpeg_set_defaults(&c);  // YCbCr 4:2:0, standard Huffman tables
  jpeg_set_quality(&c, jpegQuality, TRUE);
  c.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&c, TRUE);
  JSAMPARRAY wide = nullptr;
  if (in.bitCount == 16)
    wide = (*c.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE, c.image_width * 3, 1);
  for (int y = 0; y < in.height; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(SourceRow(in, bits, y));
    if (wide) {
      capcore::Rgb555ToBgr24(row, in.width, wide[0]);
      row = wide[0];
    }
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  const uint32_t written = capacity - static_cast<uint32_t>(dest.free_in_buffer);
  jpeg_destroy_compress(&c);
  return written;
}

bool DecodeFrame(const uint8_t* data, size_t size, const capcore::DibLayout& out, uint8_t* bits) {
  jpeg_decompress_struct d;
  ErrorTrap trap;
  d.err = &trap.mgr;
  SetTrap(&trap);
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&d);
    return false;
  }
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&d, TRUE) != JPEG_HEADER_OK || d.image_width != static_cast<JDIMENSION>(out.width) ||
      d.image_height != static_cast<JDIMENSION>(out.height) || (out.bitCount != 24 && out.bitCount != 32)) {
    jpeg_destroy_decompress(&d);
    return false;
  }
  d.out_color_space = ColourSpace(out.bitCount);
  jpeg_start_decompress(&d);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = const_cast<JSAMPROW>(SourceRow(out, bits, static_cast<int>(d.output_scanline)));
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return true;
}

}  // namespace mjpeg
