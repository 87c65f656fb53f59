// The AVI writer: movie chunks, the first part's index, and the OpenDML
// parts with their standard and super indexes (the headers: avi_headers.cpp).
#include "core/riff/avi_writer.h"
#include "core/riff/avi_layout.h"

namespace avi {

using namespace layout;

Writer::Writer(riff::Output* out) : w_(out) {}

uint32_t Writer::SuperIndexSize() const { return kSuperIndexHeader + 16 * opt_.superIndexCapacity; }

bool Writer::Fail() {
  failed_ = true;
  return false;
}

bool Writer::Begin(const Options& options) {
  if (begun_) return false;
  begun_ = true;
  opt_ = options;
  if (opt_.video.width <= 0 || opt_.video.height == 0 || opt_.microSecPerFrame == 0 ||
      opt_.superIndexCapacity == 0 || (opt_.hasAudio && opt_.audio.blockAlign == 0))
    return Fail();
  video_.ckid = opt_.video.compression == 0 ? kVideoUncompressed : kVideoCompressed;
  audio_.ckid = kAudioChunk;
  WriteHeaders();
  if (w_.failed()) return Fail();
  lastGood_ = w_.position();
  return true;
}


uint64_t Writer::IndexReserve() const {
  uint64_t r = 0;
  r += 8 + kStdIndexHeader + 8 * (video_.entries.size() + 1);
  if (opt_.hasAudio) r += 8 + kStdIndexHeader + 8 * (audio_.entries.size() + 1);
  if (partsClosed_ == 0) r += 8 + 16 * (oldIndex_.size() + 1);
  return r;
}

bool Writer::AddChunk(Stream& st, const void* data, uint32_t size, uint32_t flags) {
  if (!begun_ || finished_ || failed_) return false;
  uint64_t chunk = 8 + static_cast<uint64_t>(size) + (size & 1);
  bool partHasData = !video_.entries.empty() || !audio_.entries.empty();
  if (partHasData && w_.position() + chunk + IndexReserve() - riffAt_ > opt_.partLimit) {
    if (partsClosed_ + 1 >= opt_.superIndexCapacity) return Fail();  // no room to name another part
    ClosePart(false);
    StartPart();
    if (w_.failed()) return Fail();
    lastGood_ = w_.position();
  }
  uint64_t at = w_.position();
  w_.U32(st.ckid);
  w_.U32(size);
  w_.Bytes(data, size);
  if (size & 1) w_.U8(0);
  if (w_.failed()) return Fail();
  lastGood_ = w_.position();
  Entry e{st.ckid, flags, at, size};
  st.entries.push_back(e);
  if (partsClosed_ == 0) oldIndex_.push_back(e);
  if (size > st.largestChunk) st.largestChunk = size;
  return true;
}

bool Writer::AddVideoFrame(const void* data, uint32_t size, bool keyFrame) {
  if (!AddChunk(video_, data, size, keyFrame ? kIndexKeyFrame : 0)) return false;
  ++frames_;
  ++video_.length;
  return true;
}

bool Writer::AddDroppedFrame() {
  if (!AddChunk(video_, nullptr, 0, 0)) return false;
  ++frames_;
  ++dropped_;
  ++video_.length;
  return true;
}

bool Writer::AddAudio(const void* data, uint32_t size) {
  if (!opt_.hasAudio || size == 0) return opt_.hasAudio && !failed_;
  if (!AddChunk(audio_, data, size, kIndexKeyFrame)) return false;
  audioBytes_ += size;
  audio_.length = audioBytes_ / opt_.audio.blockAlign;
  return true;
}

void Writer::StartPart() {
  riffAt_ = w_.StartList(kRiff, FourCC('A', 'V', 'I', 'X'));
  moviAt_ = w_.StartList(kList, FourCC('m', 'o', 'v', 'i'));
  inPart_ = true;
}

void Writer::WriteStandardIndex(Stream& st) {
  uint32_t n = static_cast<uint32_t>(st.entries.size());
  uint32_t code = &st == &video_ ? FourCC('i', 'x', '0', '0') : FourCC('i', 'x', '0', '1');
  uint64_t base = riffAt_;
  uint64_t at = w_.StartChunk(code);
  w_.U16(2);                       // wLongsPerEntry
  w_.U8(0);                        // bIndexSubType
  w_.U8(1);                        // bIndexType: AVI_INDEX_OF_CHUNKS
  w_.U32(n);                       // nEntriesInUse
  w_.U32(st.ckid);                 // dwChunkId
  w_.U64(base);                    // qwBaseOffset
  w_.U32(0);                       // dwReserved3
  for (const Entry& e : st.entries) {
    w_.U32(static_cast<uint32_t>(e.offset + 8 - base));  // dwOffset: of the data
    w_.U32(e.size | ((e.flags & kIndexKeyFrame) ? 0 : kNotKeyFrame));  // dwSize
  }
  w_.EndChunk(at);
  if (w_.failed()) return;
  uint64_t duration = st.length - st.partStartLength;
  st.super.push_back(SuperEntry{at, static_cast<uint32_t>(w_.position() - at), Clamp32(duration)});
}

void Writer::WriteOldIndex() {
  uint64_t base = moviAt_ + 8;  // offsets count from the 'movi' code
  uint64_t at = w_.StartChunk(FourCC('i', 'd', 'x', '1'));
  for (const Entry& e : oldIndex_) {
    w_.U32(e.ckid);                                  // dwChunkId
    w_.U32(e.flags);                                 // dwFlags
    w_.U32(static_cast<uint32_t>(e.offset - base));  // dwChunkOffset
    w_.U32(e.size);                                  // dwChunkLength
  }
  w_.EndChunk(at);
}

void Writer::ClosePart(bool last) {
  bool standardIndexes = openDml_ || !last;
  if (!last) openDml_ = true;
  if (standardIndexes) {
    WriteStandardIndex(video_);
    if (opt_.hasAudio) WriteStandardIndex(audio_);
  }
  w_.EndChunk(moviAt_);
  if (partsClosed_ == 0) {
    WriteOldIndex();
    firstPartFrames_ = frames_;
  }
  w_.EndChunk(riffAt_);
  if (w_.failed()) return;
  ++partsClosed_;
  inPart_ = false;
  video_.entries.clear();
  audio_.entries.clear();
  video_.partStartLength = video_.length;
  audio_.partStartLength = audio_.length;
  oldIndex_.clear();
  oldIndex_.shrink_to_fit();
  PatchHeaders();
}


bool Writer::Refresh() {
  if (!begun_ || finished_ || failed_) return false;
  PatchHeaders();
  if (inPart_) {
    w_.RefreshChunkSize(moviAt_);
    w_.RefreshChunkSize(riffAt_);
  }
  w_.Flush();
  if (w_.failed()) return Fail();
  return true;
}

bool Writer::Finish() {
  if (!begun_ || finished_) return false;
  finished_ = true;
  bool clean = !failed_;
  if (failed_) {
    // Cut the unfinished chunk off and close over what was complete.
    w_.ClearFailure();
    w_.TruncateTo(lastGood_);
    w_.SeekTo(lastGood_);
  }
  if (inPart_) ClosePart(true);
  PatchHeaders();
  w_.TruncateTo(w_.position());
  if (w_.failed()) {
    // Not even the index fits: end the movie list at the last chunk, unindexed.
    w_.ClearFailure();
    w_.TruncateTo(lastGood_);
    w_.SeekTo(lastGood_);
    if (inPart_) {
      w_.RefreshChunkSize(moviAt_);
      w_.RefreshChunkSize(riffAt_);
    }
    PatchHeaders();
    if (w_.failed()) failed_ = broken_ = true;
    return false;
  }
  return clean;
}

}  // namespace avi
