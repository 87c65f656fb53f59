// Byte-order marks and the UTF-16 to UTF-8 conversion (see text_marks.h).
#include "core/text/text_marks.h"

#include <cstdint>

namespace capcore {
namespace {

const uint32_t kReplacement = 0xFFFD;

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Utf16ToUtf8(const std::string& bytes, size_t start, bool bigEndian) {
  auto unit = [&](size_t i) -> uint32_t {
    uint32_t a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string out;
  out.reserve(bytes.size());
  size_t i = start;
  while (i + 1 < bytes.size()) {
    uint32_t c = unit(i);
    i += 2;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < bytes.size() && unit(i) >= 0xDC00 && unit(i) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = kReplacement;
    }
    AppendUtf8(c, &out);
  }
  if (i < bytes.size()) AppendUtf8(kReplacement, &out);
  return out;
}

bool StartsWith(const std::string& bytes, const char* mark, size_t size) {
  return bytes.size() >= size && bytes.compare(0, size, mark, size) == 0;
}

}  // namespace

MarkedText DecodeMarkedText(const std::string& bytes) {
  MarkedText r;
  if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) {
    r.encoding = TextEncoding::Utf8;
    r.text = bytes.substr(3);
  } else if (StartsWith(bytes, "\xFF\xFE", 2)) {
    r.encoding = TextEncoding::Utf16Le;
    r.text = Utf16ToUtf8(bytes, 2, false);
  } else if (StartsWith(bytes, "\xFE\xFF", 2)) {
    r.encoding = TextEncoding::Utf16Be;
    r.text = Utf16ToUtf8(bytes, 2, true);
  } else {
    r.text = bytes;
  }
  return r;
}

}  // namespace capcore
