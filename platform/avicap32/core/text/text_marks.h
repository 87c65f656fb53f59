// Text files that open with a byte-order mark: UTF-8, UTF-16 little-endian
// and UTF-16 big-endian are recognised by their mark and decoded to UTF-8;
// text without a mark is left as it is (the system's code page).
#ifndef MORVA_CAPCORE_TEXT_MARKS_H
#define MORVA_CAPCORE_TEXT_MARKS_H

#include <string>

namespace capcore {

enum class TextEncoding { Unmarked, Utf8, Utf16Le, Utf16Be };

struct MarkedText {
  TextEncoding encoding = TextEncoding::Unmarked;
  std::string text;  // UTF-8 after a mark (the mark dropped); else the bytes unchanged
};

// UTF-16 surrogates without their pair and a last odd byte become U+FFFD.
MarkedText DecodeMarkedText(const std::string& bytes);

}  // namespace capcore

#endif
