// The AVI writer's headers: the main header, the stream lists with their
// formats and super indexes, the info list, and the counts patched into
// them once known.
#include "core/riff/avi_layout.h"
#include "core/riff/avi_writer.h"

namespace avi {

using namespace layout;

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

}  // namespace avi
