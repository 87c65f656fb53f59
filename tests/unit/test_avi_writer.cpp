// The AVI writer's output read back chunk by chunk: layout, sizes, padding,
// the index, dropped frames, audio, the refreshed headers of an unfinished
// file, and a write failure that leaves a valid file.
#include <gtest/gtest.h>

#include "core/riff/avi_writer.h"
#include "test_avi_reader.h"

using avitest::Chunk;
using avitest::Le16;
using avitest::Le32;

namespace {

avi::Options SmallVideo(uint32_t usPerFrame = 40000) {
  avi::Options o;
  o.microSecPerFrame = usPerFrame;
  o.video.width = 4;
  o.video.height = 2;
  o.video.bitCount = 24;
  o.video.sizeImage = 24;  // 4 px * 3 bytes, rows of 12, two rows
  return o;
}

std::vector<uint8_t> Frame(uint8_t fill, size_t n = 24) { return std::vector<uint8_t>(n, fill); }

const Chunk& Movi(const avitest::File& f, size_t part = 0) { return *f.riffs.at(part).Find("LIST", "movi"); }

}  // namespace

TEST(AviWriter, LayoutOfAVideoOnlyFile) {
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(SmallVideo()));
  ASSERT_TRUE(w.AddVideoFrame(Frame(1).data(), 24, true));
  ASSERT_TRUE(w.AddVideoFrame(Frame(2).data(), 24, true));
  ASSERT_TRUE(w.Finish());
  const auto& b = out.bytes();
  avitest::File f = avitest::Parse(b);
  ASSERT_TRUE(f.ok);
  ASSERT_EQ(1u, f.riffs.size());
  const Chunk& riff = f.riffs[0];
  EXPECT_EQ("AVI ", riff.type);
  EXPECT_EQ(b.size(), riff.size + 8u);

  const Chunk* hdrl = riff.Find("LIST", "hdrl");
  ASSERT_NE(nullptr, hdrl);
  ASSERT_EQ("avih", hdrl->children.at(0).id);
  uint64_t avih = hdrl->children[0].data();
  EXPECT_EQ(56u, hdrl->children[0].size);
  EXPECT_EQ(40000u, Le32(b, avih + 0));   // dwMicroSecPerFrame
  EXPECT_EQ(2u, Le32(b, avih + 16));      // dwTotalFrames
  EXPECT_EQ(1u, Le32(b, avih + 24));      // dwStreams
  EXPECT_EQ(4u, Le32(b, avih + 32));      // dwWidth
  EXPECT_EQ(2u, Le32(b, avih + 36));      // dwHeight

  const Chunk* strl = hdrl->Find("LIST", "strl");
  ASSERT_NE(nullptr, strl);
  const Chunk* strh = strl->Find("strh");
  const Chunk* strf = strl->Find("strf");
  ASSERT_TRUE(strh && strf);
  EXPECT_EQ("vids", avitest::Code(Le32(b, strh->data())));
  EXPECT_EQ(40000u, Le32(b, strh->data() + 20));    // dwScale
  EXPECT_EQ(1000000u, Le32(b, strh->data() + 24));  // dwRate
  EXPECT_EQ(2u, Le32(b, strh->data() + 32));        // dwLength
  EXPECT_EQ(40u, strf->size);
  EXPECT_EQ(4u, Le32(b, strf->data() + 4));         // biWidth
  EXPECT_EQ(24u, Le16(b, strf->data() + 14));       // biBitCount
  EXPECT_EQ(0u, Le32(b, strf->data() + 16));        // biCompression
  // Below the part limit there are no OpenDML headers, only their room.
  EXPECT_EQ(nullptr, strl->Find("indx"));
  EXPECT_EQ(nullptr, hdrl->Find("LIST", "odml"));

  const Chunk& movi = Movi(f);
  ASSERT_EQ(2u, movi.children.size());
  EXPECT_EQ("00db", movi.children[0].id);
  EXPECT_EQ(24u, movi.children[0].size);
  EXPECT_EQ(1, b[movi.children[0].data()]);
  EXPECT_EQ(2, b[movi.children[1].data()]);
  ASSERT_NE(nullptr, riff.Find("idx1"));
  EXPECT_EQ(riff.Find("idx1"), &riff.children.back());
}

TEST(AviWriter, IndexEntriesPointAtTheirChunksAndOddChunksArePadded) {
  avi::Options o = SmallVideo();
  o.hasAudio = true;  // 8-bit mono at 11025 Hz
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(o));
  uint8_t pcm[3] = {10, 20, 30};
  ASSERT_TRUE(w.AddVideoFrame(Frame(7).data(), 24, true));
  ASSERT_TRUE(w.AddAudio(pcm, 3));
  ASSERT_TRUE(w.AddDroppedFrame());
  ASSERT_TRUE(w.AddVideoFrame(Frame(9, 23).data(), 23, false));
  ASSERT_TRUE(w.Finish());
  EXPECT_EQ(3u, w.frames());
  EXPECT_EQ(1u, w.droppedFrames());
  EXPECT_EQ(3u, w.audioBytes());

  const auto& b = out.bytes();
  avitest::File f = avitest::Parse(b);
  ASSERT_TRUE(f.ok);
  const Chunk& movi = Movi(f);
  ASSERT_EQ(4u, movi.children.size());
  EXPECT_EQ("01wb", movi.children[1].id);
  EXPECT_EQ(3u, movi.children[1].size);
  EXPECT_EQ(0, b[movi.children[1].data() + 3]);  // the pad byte
  EXPECT_EQ(0u, movi.children[2].size);          // the dropped frame
  EXPECT_EQ(23u, movi.children[3].size);

  const Chunk* idx1 = f.riffs[0].Find("idx1");
  ASSERT_NE(nullptr, idx1);
  ASSERT_EQ(4u * 16u, idx1->size);
  const uint64_t base = movi.offset + 8;  // the 'movi' code
  const uint32_t expectedFlags[4] = {0x10, 0x10, 0, 0};
  for (size_t i = 0; i < 4; ++i) {
    uint64_t e = idx1->data() + 16 * i;
    const Chunk& c = movi.children[i];
    EXPECT_EQ(c.id, avitest::Code(Le32(b, e))) << i;
    EXPECT_EQ(expectedFlags[i], Le32(b, e + 4)) << i;
    EXPECT_EQ(c.offset, base + Le32(b, e + 8)) << i;
    EXPECT_EQ(c.size, Le32(b, e + 12)) << i;
  }

  // The audio stream's headers.
  std::vector<const Chunk*> strls = f.riffs[0].Find("LIST", "hdrl")->All("LIST");
  const Chunk* audio = nullptr;
  for (const Chunk* c : strls)
    if (c->type == "strl" && avitest::Code(Le32(b, c->Find("strh")->data())) == "auds") audio = c;
  ASSERT_NE(nullptr, audio);
  uint64_t strh = audio->Find("strh")->data();
  EXPECT_EQ(1u, Le32(b, strh + 20));      // dwScale: block align
  EXPECT_EQ(11025u, Le32(b, strh + 24));  // dwRate: bytes per second
  EXPECT_EQ(3u, Le32(b, strh + 32));      // dwLength in blocks
  const Chunk* strf = audio->Find("strf");
  EXPECT_EQ(16u, strf->size);
  EXPECT_EQ(1u, Le16(b, strf->data()));   // wFormatTag PCM
  EXPECT_EQ(11025u, Le32(b, strf->data() + 4));
  EXPECT_EQ(8u, Le16(b, strf->data() + 14));
  // Two streams in the main header; the main header counts the dropped frame.
  uint64_t avih = f.riffs[0].Find("LIST", "hdrl")->children[0].data();
  EXPECT_EQ(2u, Le32(b, avih + 24));
  EXPECT_EQ(3u, Le32(b, avih + 16));
}

TEST(AviWriter, RefreshKeepsAnUnfinishedFileReadable) {
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(SmallVideo()));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(w.AddVideoFrame(Frame(uint8_t(i)).data(), 24, true));
  ASSERT_TRUE(w.Refresh());
  std::vector<uint8_t> snapshot = out.bytes();  // as a killed process leaves it
  avitest::File f = avitest::Parse(snapshot);
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(snapshot.size(), f.riffs[0].size + 8u);
  EXPECT_EQ(5u, Movi(f).children.size());
  uint64_t avih = f.riffs[0].Find("LIST", "hdrl")->children[0].data();
  EXPECT_EQ(5u, Le32(snapshot, avih + 16));
  // Writing goes on at the end after the patches.
  ASSERT_TRUE(w.AddVideoFrame(Frame(5).data(), 24, true));
  ASSERT_TRUE(w.Finish());
  f = avitest::Parse(out.bytes());
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(6u, Movi(f).children.size());
}

TEST(AviWriter, WriteFailureSticksAndTheFileClosesOverCompleteChunks) {
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(SmallVideo()));
  ASSERT_TRUE(w.AddVideoFrame(Frame(1).data(), 24, true));
  ASSERT_TRUE(w.AddVideoFrame(Frame(2).data(), 24, true));
  out.set_limit(out.bytes().size() + 20);  // the next frame only half fits
  EXPECT_FALSE(w.AddVideoFrame(Frame(3).data(), 24, true));
  EXPECT_TRUE(w.failed());
  EXPECT_FALSE(w.AddVideoFrame(Frame(4).data(), 24, true));
  EXPECT_FALSE(w.Refresh());
  out.set_limit(UINT64_MAX);  // space again for the index, as after cutting the partial chunk
  EXPECT_FALSE(w.Finish());   // not clean: a frame was lost
  avitest::File f = avitest::Parse(out.bytes());
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(2u, Movi(f).children.size());
  const Chunk* idx1 = f.riffs[0].Find("idx1");
  ASSERT_NE(nullptr, idx1);
  EXPECT_EQ(32u, idx1->size);
  EXPECT_EQ(out.bytes().size(), f.riffs[0].size + 8u);
}

TEST(AviWriter, NoRoomEvenForTheIndexStillEndsTheMovieListValidly) {
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(SmallVideo()));
  ASSERT_TRUE(w.AddVideoFrame(Frame(1).data(), 24, true));
  out.set_limit(out.bytes().size() + 10);
  EXPECT_FALSE(w.AddVideoFrame(Frame(2).data(), 24, true));
  EXPECT_FALSE(w.Finish());  // the limit stays: idx1 cannot be written
  avitest::File f = avitest::Parse(out.bytes());
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(1u, Movi(f).children.size());
  EXPECT_EQ(out.bytes().size(), f.riffs[0].size + 8u);
}

TEST(AviWriter, RejectsOptionsItCannotWrite) {
  avi::Options bad = SmallVideo();
  bad.video.width = 0;
  riff::MemoryOutput out;
  avi::Writer w(&out);
  EXPECT_FALSE(w.Begin(bad));
  EXPECT_FALSE(w.AddVideoFrame(Frame(1).data(), 24, true));
  avi::Options noRate = SmallVideo(0);
  avi::Writer w2(&out);
  EXPECT_FALSE(w2.Begin(noRate));
}

TEST(AviWriter, InfoChunksGoBeforeTheMovieList) {
  avi::Options o = SmallVideo();
  const char text[] = "Morva";
  o.info.push_back({riff::FourCC('I', 'S', 'F', 'T'), std::vector<uint8_t>(text, text + sizeof text)});
  riff::MemoryOutput out;
  avi::Writer w(&out);
  ASSERT_TRUE(w.Begin(o));
  ASSERT_TRUE(w.AddVideoFrame(Frame(1).data(), 24, true));
  ASSERT_TRUE(w.Finish());
  avitest::File f = avitest::Parse(out.bytes());
  ASSERT_TRUE(f.ok);
  const Chunk* info = f.riffs[0].Find("LIST", "INFO");
  ASSERT_NE(nullptr, info);
  ASSERT_NE(nullptr, info->Find("ISFT"));
  EXPECT_EQ(6u, info->Find("ISFT")->size);
  EXPECT_LT(info->offset, Movi(f).offset);
}
