// core/riff/: RIFF chunks and the AVI writer (portable, no windows.h).
// Writes one AVI file: the header list (main header, one stream list per
// stream, room for the OpenDML headers), the movie list with the frames and
// audio chunks, and the index. A part that would pass the part limit (1 GiB by
// default) closes, and the file goes on in further RIFF 'AVIX' parts with
// OpenDML indexes, so long recordings stay one playable file.
//
// Kept true while writing: Refresh() patches the counts and sizes into the
// headers, so that a file cut off after a Refresh reads up to that point.
// A dropped frame is a zero-length video chunk with its own index entry: the
// stream's timing stays true, and readers show the frame before it again.
// A failed write sticks; Finish() then closes the file over the last complete
// chunk, so that it still holds a valid AVI of everything written before.
#ifndef MORVA_CORE_AVI_WRITER_H
#define MORVA_CORE_AVI_WRITER_H

#include <cstdint>
#include <vector>

#include "core/riff/avi_format.h"
#include "core/riff/riff_writer.h"

namespace avi {

struct Options {
  uint32_t microSecPerFrame = 66667;
  VideoFormat video;
  bool hasAudio = false;
  AudioFormat audio;
  std::vector<InfoItem> info;
  uint64_t partLimit = 1ull << 30;   // bytes of one RIFF part
  uint32_t superIndexCapacity = 256; // parts the OpenDML indexes can name
};

class Writer {
 public:
  explicit Writer(riff::Output* out);
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  bool Begin(const Options& options);
  bool AddVideoFrame(const void* data, uint32_t size, bool keyFrame);
  bool AddDroppedFrame();
  bool AddAudio(const void* data, uint32_t size);
  bool Refresh();
  // Writes the indexes and the final counts; false when the file had to be
  // cut back to its last complete chunk or could not be closed at all.
  bool Finish();

  bool failed() const { return failed_; }
  // After Finish: not even the cut-back file could be closed, so it is no
  // valid AVI.
  bool broken() const { return broken_; }
  uint32_t frames() const { return frames_; }           // taken and dropped
  uint32_t droppedFrames() const { return dropped_; }
  uint64_t audioBytes() const { return audioBytes_; }
  uint64_t size() const { return w_.position(); }      // bytes so far

 private:
  struct Entry {
    uint32_t ckid;
    uint32_t flags;
    uint64_t offset;  // of the chunk's header
    uint32_t size;
  };
  struct SuperEntry {
    uint64_t offset;
    uint32_t size;
    uint32_t duration;
  };
  struct Stream {
    uint32_t ckid = 0;
    uint64_t strhAt = 0;         // stream header, for its patched fields
    uint64_t indxAt = 0;         // room for the super index
    std::vector<Entry> entries;  // of the current part
    std::vector<SuperEntry> super;
    uint32_t largestChunk = 0;
    uint64_t length = 0;         // frames, or audio blocks
    uint64_t partStartLength = 0;
  };

  void WriteHeaders();
  void WriteMainHeader();
  void WriteVideoStreamList();
  void WriteAudioStreamList();
  void WriteInfoList();
  void StartPart();
  void ClosePart(bool last);
  void WriteStandardIndex(Stream& st);
  void WriteOldIndex();
  void PatchHeaders();
  void PatchOpenDmlHeaders();
  bool AddChunk(Stream& st, const void* data, uint32_t size, uint32_t flags);
  bool Fail();
  uint64_t IndexReserve() const;
  uint32_t SuperIndexSize() const;

  riff::Writer w_;
  Options opt_;
  Stream video_;
  Stream audio_;
  bool begun_ = false;
  bool finished_ = false;
  bool failed_ = false;
  bool broken_ = false;
  bool inPart_ = false;
  bool openDml_ = false;
  uint64_t partsClosed_ = 0;
  uint64_t riffAt_ = 0;      // current RIFF chunk
  uint64_t moviAt_ = 0;      // current movie list
  uint64_t avihAt_ = 0;
  uint64_t odmlAt_ = 0;      // room for the OpenDML header list
  uint64_t lastGood_ = 0;    // end of the last complete chunk
  uint32_t frames_ = 0;
  uint32_t dropped_ = 0;
  uint32_t firstPartFrames_ = 0;
  uint64_t audioBytes_ = 0;
  std::vector<Entry> oldIndex_;  // entries of the first part, both streams in order
};

}  // namespace avi

#endif
