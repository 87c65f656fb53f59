// The OpenDML switch: with a small part limit the writer goes on in RIFF
// 'AVIX' parts; the super indexes, standard indexes, the extended header and
// the first part's own index and counts must all agree with the chunks.
#include <gtest/gtest.h>

#include "core/riff/avi_writer.h"
#include "test_avi_reader.h"

using avitest::Chunk;
using avitest::Le16;
using avitest::Le32;
using avitest::Le64;

namespace {

struct Recorded {
  std::vector<uint8_t> bytes;
  avitest::File file;
  uint32_t frames = 0;
};

Recorded Record(uint32_t frames, uint64_t partLimit, bool audio) {
  avi::Options o;
  o.microSecPerFrame = 33333;
  o.video.width = 10;
  o.video.height = 10;
  o.video.sizeImage = 300;  // rows of 30 bytes
  o.hasAudio = audio;
  o.partLimit = partLimit;
  riff::MemoryOutput out;
  avi::Writer w(&out);
  EXPECT_TRUE(w.Begin(o));
  std::vector<uint8_t> frame(300);
  uint8_t pcm[367] = {};
  for (uint32_t i = 0; i < frames; ++i) {
    frame[0] = uint8_t(i);
    frame[1] = uint8_t(i >> 8);
    if (i % 7 == 3) {
      EXPECT_TRUE(w.AddDroppedFrame());
    } else {
      EXPECT_TRUE(w.AddVideoFrame(frame.data(), 300, true));
    }
    if (audio) {
      EXPECT_TRUE(w.AddAudio(pcm, sizeof pcm));
    }
  }
  EXPECT_TRUE(w.Finish());
  Recorded r;
  r.bytes = out.bytes();
  r.file = avitest::Parse(r.bytes);
  r.frames = w.frames();
  return r;
}

// Entries of the super index in the stream list number `stream`.
struct Super {
  uint64_t offset;
  uint32_t size, duration;
};
std::vector<Super> SuperIndex(const Recorded& r, size_t stream, uint32_t* chunkId) {
  const Chunk* hdrl = r.file.riffs[0].Find("LIST", "hdrl");
  std::vector<const Chunk*> lists;
  for (const Chunk* c : hdrl->All("LIST"))
    if (c->type == "strl") lists.push_back(c);
  const Chunk* indx = lists.at(stream)->Find("indx");
  std::vector<Super> v;
  if (!indx) return v;
  uint64_t d = indx->data();
  EXPECT_EQ(4u, Le16(r.bytes, d));  // wLongsPerEntry
  EXPECT_EQ(0u, r.bytes[d + 3]);    // bIndexType: index of indexes
  uint32_t used = Le32(r.bytes, d + 4);
  *chunkId = Le32(r.bytes, d + 8);
  for (uint32_t i = 0; i < used; ++i) {
    uint64_t e = d + 24 + 16 * i;
    v.push_back({Le64(r.bytes, e), Le32(r.bytes, e + 8), Le32(r.bytes, e + 12)});
  }
  return v;
}

}  // namespace

TEST(AviOpenDml, PartsStayWithinTheLimitAndFollowTheFirst) {
  const uint64_t limit = 8192;
  Recorded r = Record(100, limit, false);
  ASSERT_TRUE(r.file.ok);
  ASSERT_GE(r.file.riffs.size(), 3u);
  EXPECT_EQ("AVI ", r.file.riffs[0].type);
  uint64_t total = 0;
  for (size_t i = 0; i < r.file.riffs.size(); ++i) {
    const Chunk& part = r.file.riffs[i];
    if (i > 0) {
      EXPECT_EQ("AVIX", part.type) << i;
    }
    EXPECT_LE(part.size + 8u, limit) << i;
    ASSERT_NE(nullptr, part.Find("LIST", "movi")) << i;
    EXPECT_EQ(i == 0, part.Find("idx1") != nullptr) << i;
    total += part.size + 8;
  }
  EXPECT_EQ(r.bytes.size(), total);
}

TEST(AviOpenDml, IndexesNameEveryChunkOfEveryPart) {
  Recorded r = Record(100, 8192, true);
  ASSERT_TRUE(r.file.ok);
  const auto& b = r.bytes;
  const char* ids[2] = {"00db", "01wb"};
  const char* ixIds[2] = {"ix00", "ix01"};
  for (size_t s = 0; s < 2; ++s) {
    uint32_t chunkId = 0;
    std::vector<Super> super = SuperIndex(r, s, &chunkId);
    EXPECT_EQ(ids[s], avitest::Code(chunkId));
    ASSERT_EQ(r.file.riffs.size(), super.size()) << s;
    uint64_t duration = 0;
    for (size_t p = 0; p < super.size(); ++p) {
      const Chunk& movi = *r.file.riffs[p].Find("LIST", "movi");
      // The super index entry names this part's standard index.
      const Chunk* ix = movi.Find(ixIds[s]);
      ASSERT_NE(nullptr, ix) << s << " " << p;
      EXPECT_EQ(ix->offset, super[p].offset);
      EXPECT_EQ(ix->size + 8u, super[p].size);
      uint64_t d = ix->data();
      EXPECT_EQ(1u, b[d + 3]);  // bIndexType: index of chunks
      uint32_t used = Le32(b, d + 4);
      uint64_t base = Le64(b, d + 12);
      std::vector<const Chunk*> chunks = movi.All(ids[s]);
      ASSERT_EQ(chunks.size(), used);
      for (uint32_t i = 0; i < used; ++i) {
        uint32_t off = Le32(b, d + 24 + 8 * i);
        uint32_t size = Le32(b, d + 28 + 8 * i);
        EXPECT_EQ(chunks[i]->offset + 8, base + off);
        EXPECT_EQ(chunks[i]->size, size & 0x7FFFFFFFu);
        // Dropped frames are not key frames; every picture here is.
        EXPECT_EQ(chunks[i]->size == 0, (size & 0x80000000u) != 0);
      }
      uint32_t expected = s == 0 ? used : used * 367u;  // audio: blocks of one byte
      EXPECT_EQ(expected, super[p].duration);
      duration += super[p].duration;
    }
    EXPECT_EQ(s == 0 ? 100u : 100u * 367u, duration);
  }
}

TEST(AviOpenDml, HeadersCountTheFirstPartAndTheWholeFile) {
  Recorded r = Record(100, 8192, false);
  ASSERT_TRUE(r.file.ok);
  const auto& b = r.bytes;
  const Chunk* hdrl = r.file.riffs[0].Find("LIST", "hdrl");
  const Chunk* odml = hdrl->Find("LIST", "odml");
  ASSERT_NE(nullptr, odml);
  ASSERT_NE(nullptr, odml->Find("dmlh"));
  EXPECT_EQ(100u, Le32(b, odml->Find("dmlh")->data()));  // dwTotalFrames of the whole file
  size_t firstPart = r.file.riffs[0].Find("LIST", "movi")->All("00db").size();
  uint64_t avih = hdrl->children[0].data();
  EXPECT_EQ(firstPart, Le32(b, avih + 16));  // dwTotalFrames: the first part only
  const Chunk* strl = hdrl->Find("LIST", "strl");
  EXPECT_EQ(100u, Le32(b, strl->Find("strh")->data() + 32));  // dwLength: all
  // The first part's idx1 lists exactly its own chunks.
  EXPECT_EQ(firstPart * 16u, r.file.riffs[0].Find("idx1")->size);
}

TEST(AviOpenDml, RefusesToGoBeyondTheSuperIndexRoom) {
  avi::Options o;
  o.video.width = 10;
  o.video.height = 10;
  o.video.sizeImage = 300;
  o.partLimit = 2048;
  o.superIndexCapacity = 2;
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(o));
  std::vector<uint8_t> frame(300);
  bool stopped = false;
  for (int i = 0; i < 100 && !stopped; ++i) stopped = !w.AddVideoFrame(frame.data(), 300, true);
  EXPECT_TRUE(stopped);
  w.Finish();
  avitest::File f = avitest::Parse(out.bytes());
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(2u, f.riffs.size());
}
