// The AVI writer: headers, movie chunks, the first part's index, and the
// OpenDML parts with their standard and super indexes.
#include "core/riff/avi_writer.h"

namespace avi {
namespace {

using riff::FourCC;

constexpr uint32_t kDmlhBody = 248;
constexpr uint32_t kStdIndexHeader = 24;   // fields after the chunk header, before the entries
constexpr uint32_t kSuperIndexHeader = 24;
constexpr uint32_t kNotKeyFrame = 0x80000000u;

// Field offsets, from the start of the chunk's header.
constexpr uint64_t kAvihTotalFrames = 8 + 16;
constexpr uint64_t kAvihSuggestedBufferSize = 8 + 28;
constexpr uint64_t kStrhLength = 8 + 32;
constexpr uint64_t kStrhSuggestedBufferSize = 8 + 36;

uint32_t Clamp32(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v); }

}  // namespace

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

void Writer::WriteHeaders() {
  riffAt_ = w_.StartList(kRiff, FourCC('A', 'V', 'I', ' '));
  uint64_t hdrl = w_.StartList(kList, FourCC('h', 'd', 'r', 'l'));
  WriteMainHeader();
  WriteVideoStreamList();
  if (opt_.hasAudio) WriteAudioStreamList();
  // Room for LIST 'odml' with its 'dmlh', filled in when a second part begins.
  odmlAt_ = w_.StartChunk(kJunk);
  w_.Zeros(4 + 8 + kDmlhBody);
  w_.EndChunk(odmlAt_);
  w_.EndChunk(hdrl);
  WriteInfoList();
  moviAt_ = w_.StartList(kList, FourCC('m', 'o', 'v', 'i'));
  inPart_ = true;
}

void Writer::WriteMainHeader() {
  const VideoFormat& v = opt_.video;
  uint64_t perSec = static_cast<uint64_t>(v.sizeImage) * 1000000u / opt_.microSecPerFrame;
  if (opt_.hasAudio) perSec += opt_.audio.avgBytesPerSec;
  avihAt_ = w_.StartChunk(FourCC('a', 'v', 'i', 'h'));
  w_.U32(opt_.microSecPerFrame);      // dwMicroSecPerFrame
  w_.U32(Clamp32(perSec));            // dwMaxBytesPerSec
  w_.U32(0);                          // dwPaddingGranularity
  w_.U32(kAvihHasIndex | kAvihIsInterleaved | kAvihTrustCkType);  // dwFlags
  w_.U32(0);                          // dwTotalFrames, patched
  w_.U32(0);                          // dwInitialFrames
  w_.U32(opt_.hasAudio ? 2 : 1);      // dwStreams
  w_.U32(v.sizeImage);                // dwSuggestedBufferSize, patched
  w_.U32(static_cast<uint32_t>(v.width));                       // dwWidth
  w_.U32(static_cast<uint32_t>(v.height < 0 ? -v.height : v.height));  // dwHeight
  w_.Zeros(16);                       // dwReserved[4]
  w_.EndChunk(avihAt_);
}

void Writer::WriteVideoStreamList() {
  const VideoFormat& v = opt_.video;
  uint64_t strl = w_.StartList(kList, FourCC('s', 't', 'r', 'l'));
  video_.strhAt = w_.StartChunk(FourCC('s', 't', 'r', 'h'));
  w_.U32(FourCC('v', 'i', 'd', 's'));  // fccType
  w_.U32(v.handler);                   // fccHandler
  w_.U32(0);                           // dwFlags
  w_.U16(0);                           // wPriority
  w_.U16(0);                           // wLanguage
  w_.U32(0);                           // dwInitialFrames
  w_.U32(opt_.microSecPerFrame);       // dwScale
  w_.U32(1000000);                     // dwRate: dwRate / dwScale frames per second
  w_.U32(0);                           // dwStart
  w_.U32(0);                           // dwLength, patched
  w_.U32(v.sizeImage);                 // dwSuggestedBufferSize, patched
  w_.U32(0xFFFFFFFFu);                 // dwQuality: the default
  w_.U32(0);                           // dwSampleSize: frames vary in size
  w_.U16(0);                           // rcFrame.left
  w_.U16(0);                           // rcFrame.top
  w_.U16(static_cast<uint16_t>(v.width));                            // rcFrame.right
  w_.U16(static_cast<uint16_t>(v.height < 0 ? -v.height : v.height));  // rcFrame.bottom
  w_.EndChunk(video_.strhAt);

  uint64_t strf = w_.StartChunk(FourCC('s', 't', 'r', 'f'));
  w_.U32(40);                          // biSize
  w_.U32(static_cast<uint32_t>(v.width));   // biWidth
  w_.U32(static_cast<uint32_t>(v.height));  // biHeight
  w_.U16(1);                           // biPlanes
  w_.U16(v.bitCount);                  // biBitCount
  w_.U32(v.compression);               // biCompression
  w_.U32(v.sizeImage);                 // biSizeImage
  w_.U32(0);                           // biXPelsPerMeter
  w_.U32(0);                           // biYPelsPerMeter
  w_.U32(v.clrUsed);                   // biClrUsed
  w_.U32(0);                           // biClrImportant
  w_.Bytes(v.extra.data(), v.extra.size());  // palette or codec data
  w_.EndChunk(strf);

  video_.indxAt = w_.StartChunk(kJunk);  // room for the super index
  w_.Zeros(SuperIndexSize());
  w_.EndChunk(video_.indxAt);
  w_.EndChunk(strl);
}

void Writer::WriteAudioStreamList() {
  const AudioFormat& a = opt_.audio;
  uint64_t strl = w_.StartList(kList, FourCC('s', 't', 'r', 'l'));
  audio_.strhAt = w_.StartChunk(FourCC('s', 't', 'r', 'h'));
  w_.U32(FourCC('a', 'u', 'd', 's'));  // fccType
  w_.U32(0);                           // fccHandler
  w_.U32(0);                           // dwFlags
  w_.U16(0);                           // wPriority
  w_.U16(0);                           // wLanguage
  w_.U32(0);                           // dwInitialFrames
  w_.U32(a.blockAlign);                // dwScale
  w_.U32(a.avgBytesPerSec);            // dwRate
  w_.U32(0);                           // dwStart
  w_.U32(0);                           // dwLength (blocks), patched
  w_.U32(a.avgBytesPerSec);            // dwSuggestedBufferSize, patched
  w_.U32(0xFFFFFFFFu);                 // dwQuality: the default
  w_.U32(a.blockAlign);                // dwSampleSize
  w_.Zeros(8);                         // rcFrame
  w_.EndChunk(audio_.strhAt);

  uint64_t strf = w_.StartChunk(FourCC('s', 't', 'r', 'f'));
  w_.U16(a.formatTag);                 // wFormatTag
  w_.U16(a.channels);                  // nChannels
  w_.U32(a.samplesPerSec);             // nSamplesPerSec
  w_.U32(a.avgBytesPerSec);            // nAvgBytesPerSec
  w_.U16(a.blockAlign);                // nBlockAlign
  w_.U16(a.bitsPerSample);             // wBitsPerSample
  if (a.formatTag != kWaveFormatPcm || !a.extra.empty()) {
    w_.U16(static_cast<uint16_t>(a.extra.size()));  // cbSize
    w_.Bytes(a.extra.data(), a.extra.size());
  }
  w_.EndChunk(strf);

  audio_.indxAt = w_.StartChunk(kJunk);
  w_.Zeros(SuperIndexSize());
  w_.EndChunk(audio_.indxAt);
  w_.EndChunk(strl);
}

void Writer::WriteInfoList() {
  if (opt_.info.empty()) return;
  uint64_t list = w_.StartList(kList, FourCC('I', 'N', 'F', 'O'));
  for (const InfoItem& item : opt_.info) {
    uint64_t c = w_.StartChunk(item.fourcc);
    w_.Bytes(item.data.data(), item.data.size());
    w_.EndChunk(c);
  }
  w_.EndChunk(list);
}

uint64_t Writer::IndexReserve() const {
  uint64_t r = 0;
  r += 8 + kStdIndexHeader + 8 * (video_.entries.size() + 1);
  if (opt_.hasAudio) r += 8 + kStdIndexHeader + 8 * (audio_.entries.size() + 1);
  if (partsClosed_ == 0) r += 8 + 16 * (oldIndex_.size() + 1);
  return r;
}

uint64_t Writer::BytesForFrame(uint32_t size) const {
  return 8 + static_cast<uint64_t>(size) + (size & 1) + 16 + 8;
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

void Writer::PatchOpenDmlHeaders() {
  // LIST 'odml' in the room left for it: same length as the JUNK it replaces.
  w_.PatchU32(odmlAt_, kList);
  w_.PatchU32(odmlAt_ + 4, 4 + 8 + kDmlhBody);
  w_.PatchU32(odmlAt_ + 8, FourCC('o', 'd', 'm', 'l'));
  w_.PatchU32(odmlAt_ + 12, FourCC('d', 'm', 'l', 'h'));
  w_.PatchU32(odmlAt_ + 16, kDmlhBody);
  w_.PatchU32(odmlAt_ + 20, frames_);  // dwTotalFrames: of the whole file
  Stream* streams[2] = {&video_, &audio_};
  for (int i = 0; i < (opt_.hasAudio ? 2 : 1); ++i) {
    Stream& st = *streams[i];
    uint64_t at = st.indxAt;
    w_.PatchU32(at, FourCC('i', 'n', 'd', 'x'));
    w_.PatchU32(at + 4, SuperIndexSize());
    uint8_t head[8] = {4, 0, 0, 0};  // wLongsPerEntry 4, bIndexSubType 0, bIndexType 0: AVI_INDEX_OF_INDEXES
    uint32_t used = static_cast<uint32_t>(st.super.size());
    for (int b = 0; b < 4; ++b) head[4 + b] = static_cast<uint8_t>(used >> (8 * b));  // nEntriesInUse
    w_.PatchBytes(at + 8, head, sizeof head);
    w_.PatchU32(at + 16, st.ckid);  // dwChunkId; dwReserved[3] stay zero
    for (size_t k = 0; k < st.super.size(); ++k) {
      uint64_t e = at + 8 + kSuperIndexHeader + 16 * k;
      w_.PatchU64(e, st.super[k].offset);        // qwOffset
      w_.PatchU32(e + 8, st.super[k].size);      // dwSize
      w_.PatchU32(e + 12, st.super[k].duration); // dwDuration
    }
  }
}

void Writer::PatchHeaders() {
  uint32_t largest = video_.largestChunk > opt_.video.sizeImage ? video_.largestChunk : opt_.video.sizeImage;
  w_.PatchU32(avihAt_ + kAvihTotalFrames, partsClosed_ == 0 ? frames_ : firstPartFrames_);
  w_.PatchU32(avihAt_ + kAvihSuggestedBufferSize, largest);
  w_.PatchU32(video_.strhAt + kStrhLength, Clamp32(video_.length));
  w_.PatchU32(video_.strhAt + kStrhSuggestedBufferSize, largest);
  if (opt_.hasAudio) {
    w_.PatchU32(audio_.strhAt + kStrhLength, Clamp32(audio_.length));
    if (audio_.largestChunk > 0)
      w_.PatchU32(audio_.strhAt + kStrhSuggestedBufferSize, audio_.largestChunk);
  }
  if (openDml_) PatchOpenDmlHeaders();
}

bool Writer::Refresh() {
  if (!begun_ || finished_ || failed_) return false;
  PatchHeaders();
  if (inPart_) {
    w_.RefreshChunkSize(moviAt_);
    w_.RefreshChunkSize(riffAt_);
  }
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
    clean = false;
    if (w_.failed()) failed_ = true;
    return false;
  }
  return clean;
}

}  // namespace avi
