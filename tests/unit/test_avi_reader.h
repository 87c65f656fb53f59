// A small RIFF reader for the AVI writer's tests: parses the bytes back into
// a chunk tree (independently of the writer's own bookkeeping) and reads
// little-endian fields.
#ifndef MORVA_TESTS_TEST_AVI_READER_H
#define MORVA_TESTS_TEST_AVI_READER_H

#include <cstdint>
#include <string>
#include <vector>

namespace avitest {

inline uint32_t Le32(const std::vector<uint8_t>& b, uint64_t at) {
  if (at + 4 > b.size()) return 0xDEADBEEF;
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline uint16_t Le16(const std::vector<uint8_t>& b, uint64_t at) {
  if (at + 2 > b.size()) return 0xBEEF;
  return uint16_t(b[at] | b[at + 1] << 8);
}
inline uint64_t Le64(const std::vector<uint8_t>& b, uint64_t at) {
  return uint64_t(Le32(b, at)) | uint64_t(Le32(b, at + 4)) << 32;
}
inline std::string Code(uint32_t v) {
  std::string s(4, ' ');
  for (int i = 0; i < 4; ++i) s[i] = char(v >> (8 * i));
  return s;
}

struct Chunk {
  std::string id;        // chunk code
  std::string type;      // list type for RIFF and LIST
  uint64_t offset = 0;   // of the chunk's header
  uint32_t size = 0;     // as written in the header
  std::vector<Chunk> children;
  uint64_t data() const { return offset + (type.empty() ? 8 : 12); }
  const Chunk* Find(const std::string& code, const std::string& listType = "") const {
    for (const Chunk& c : children)
      if (c.id == code && (listType.empty() || c.type == listType)) return &c;
    return nullptr;
  }
  std::vector<const Chunk*> All(const std::string& code) const {
    std::vector<const Chunk*> v;
    for (const Chunk& c : children)
      if (c.id == code) v.push_back(&c);
    return v;
  }
};

// Parses chunks in [from, to); sets ok false on any chunk that overruns its
// parent or the bytes, or on an odd chunk start.
inline void ParseChunks(const std::vector<uint8_t>& b, uint64_t from, uint64_t to,
                        std::vector<Chunk>& out, bool& ok) {
  uint64_t at = from;
  while (ok && at + 8 <= to) {
    Chunk c;
    c.id = Code(Le32(b, at));
    c.offset = at;
    c.size = Le32(b, at + 4);
    uint64_t end = at + 8 + c.size;
    if (end > to || (at & 1)) {
      ok = false;
      return;
    }
    if (c.id == "RIFF" || c.id == "LIST") {
      c.type = Code(Le32(b, at + 8));
      ParseChunks(b, at + 12, end, c.children, ok);
    }
    out.push_back(c);
    at = end + (c.size & 1);
  }
  if (at != to && at != to + 1) ok = false;
}

struct File {
  bool ok = true;
  std::vector<Chunk> riffs;
};

inline File Parse(const std::vector<uint8_t>& b) {
  File f;
  ParseChunks(b, 0, b.size(), f.riffs, f.ok);
  return f;
}

}  // namespace avitest

#endif
