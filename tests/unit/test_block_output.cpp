// The whole-block output: the bytes that reach the file are those the AVI
// writer gave, at the end and after every refresh, and behind a trimmer its
// writes cause no disk read but for flushes of small held writes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/riff/avi_writer.h"
#include "core/riff/block_output.h"

namespace {

const size_t kBlock = riff::BlockOutput::kBlock;
const uint64_t kHeaderBytes = 64 * 1024;  // the headers' blocks, which the trimmer keeps cached

// A memory output that counts the disk reads a recording's writes would
// cause behind the page-cache trimmer: Trim drops every block written so
// far (the headers' blocks stay), and a later write that covers only part
// of such a block before writing it whole again reads it.
class Watched : public riff::Output {
 public:
  explicit Watched(uint64_t limit = UINT64_MAX) : mem_(limit) {}
  bool Write(const void* data, size_t size) override {
    uint64_t at = mem_.Position(), end = at + size;
    for (uint64_t b = at - at % kBlock; b < end; b += kBlock) {
      bool dropped = b >= kHeaderBytes && b < trimmedTo_ && cached_.count(b) == 0;
      if (dropped && (at > b || end < b + kBlock)) ++reads_;
      cached_.insert(b);
    }
    bool ok = mem_.Write(data, size);
    if (mem_.Position() > highest_) highest_ = mem_.Position();
    return ok;
  }
  bool Seek(uint64_t position) override { return mem_.Seek(position); }
  uint64_t Position() const override { return mem_.Position(); }
  bool Truncate(uint64_t size) override {
    if (size < highest_) highest_ = size;
    return mem_.Truncate(size);
  }
  void Trim() {
    trimmedTo_ = highest_;
    cached_.clear();
  }
  const std::vector<uint8_t>& bytes() const { return mem_.bytes(); }
  int reads() const { return reads_; }

 private:
  riff::MemoryOutput mem_;
  uint64_t highest_ = 0, trimmedTo_ = 0;
  std::set<uint64_t> cached_;
  int reads_ = 0;
};

struct Shape {
  uint32_t frameBytes;  // odd sizes end the chunk with a pad byte
  bool audio;           // 0.1 s of 22050 Hz mono 8-bit between frames
  int droppedEvery;     // 0: none
  int refreshEvery;     // frames between refreshes, as a second of recording
  uint64_t partLimit;
};

// Two writers, one straight into `direct` and one through `blocks` into
// `inner`, given the same 150 frames and refreshed as a recording is once a
// second: every call must answer the same, and after each refresh (which a
// reader of the growing file relies on) and at the end both files must be
// the same.
void RecordBoth(Watched& direct, riff::BlockOutput& blocks, Watched& inner, const Shape& r) {
  avi::Options o;
  o.microSecPerFrame = 33333;
  o.video.width = 64;
  o.video.height = 48;
  o.video.sizeImage = r.frameBytes;
  o.hasAudio = r.audio;
  o.audio.blockAlign = 1;
  o.partLimit = r.partLimit;
  avi::Writer a(&direct), b(&blocks);
  ASSERT_EQ(a.Begin(o), b.Begin(o));
  std::vector<uint8_t> frame(r.frameBytes), pcm(2205);
  for (uint32_t i = 0; i < 150; ++i) {
    for (size_t k = 0; k < frame.size(); ++k) frame[k] = static_cast<uint8_t>(i * 31 + k * 7);
    if (r.droppedEvery != 0 && i % static_cast<uint32_t>(r.droppedEvery) == 1) {
      ASSERT_EQ(a.AddDroppedFrame(), b.AddDroppedFrame()) << "frame " << i;
    } else {
      ASSERT_EQ(a.AddVideoFrame(frame.data(), r.frameBytes, true), b.AddVideoFrame(frame.data(), r.frameBytes, true))
          << "frame " << i;
    }
    uint32_t audioBytes = static_cast<uint32_t>(pcm.size() - i % 2);
    if (r.audio) {
      ASSERT_EQ(a.AddAudio(pcm.data(), audioBytes), b.AddAudio(pcm.data(), audioBytes)) << "frame " << i;
    }
    if (i % static_cast<uint32_t>(r.refreshEvery) == static_cast<uint32_t>(r.refreshEvery) - 1) {
      // The trimmer's second comes just before the refresh, and after it.
      direct.Trim();
      inner.Trim();
      ASSERT_EQ(a.Refresh(), b.Refresh()) << "frame " << i;
      direct.Trim();
      inner.Trim();
      ASSERT_EQ(direct.bytes(), inner.bytes()) << "after the refresh at frame " << i;
    }
  }
  ASSERT_EQ(a.Finish(), b.Finish());
  EXPECT_EQ(direct.bytes(), inner.bytes());
}

const Shape kShapes[] = {
    {230400, false, 0, 30, 1ull << 30},  // one part, even frames
    {230401, false, 0, 30, 2u << 20},    // odd frames (a pad byte each), parts of 2 MiB
    {9217, true, 0, 7, 1u << 20},        // small frames with audio, many parts
    {230400, false, 3, 30, 3u << 20},    // dropped frames: 8-byte chunks
    {4096 - 8, true, 5, 10, 1u << 20},   // chunks that end on block boundaries
};

TEST(BlockOutput, GivesTheSameFileAndNoPartialBlockRewrites) {
  for (const Shape& r : kShapes) {
    SCOPED_TRACE(testing::Message() << "frames of " << r.frameBytes << " bytes, audio " << r.audio);
    Watched direct, inner;
    riff::BlockOutput blocks(&inner, UINT64_MAX);
    RecordBoth(direct, blocks, inner, r);
    // Without it, each second's first frame header and refresh read.
    int seconds = 150 / r.refreshEvery;
    EXPECT_GT(direct.reads(), seconds / 2);
    // With it, only a flush of small held writes (audio, a dropped frame's
    // header, a pad byte) may: once at each refresh, and at the closing.
    bool holds = r.audio || r.droppedEvery != 0 || r.frameBytes % 2 != 0;
    EXPECT_LE(inner.reads(), (holds ? seconds : 0) + 1);
  }
}

// A full disk (the limit) anywhere: the same calls fail, and the file the
// writer closes over what fitted is the same; no byte reported written is
// lost.
TEST(BlockOutput, AFullDiskFailsAtTheSameWrite) {
  for (const Shape& r : kShapes) {
    for (uint64_t limit : {uint64_t{70000}, uint64_t{1u << 20} + 4095, uint64_t{3u << 20} + 1, uint64_t{5u << 20} + 4100}) {
      SCOPED_TRACE(testing::Message() << "frames of " << r.frameBytes << " bytes, limit " << limit);
      Watched direct(limit), inner(limit);
      riff::BlockOutput blocks(&inner, limit);
      RecordBoth(direct, blocks, inner, r);
    }
  }
}

}  // namespace
