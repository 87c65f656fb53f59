// What a recording writes (see recording_run.h): the audio source it takes
// (its PCM converted when another format was chosen), the capture file with
// its AVI writer, each frame (compressed, whole or dropped), the audio as
// time passes, the free-space watch, and the closing (or deleting) of the
// file.
#include <cstdio>

#include "audio/audio_formats.h"
#include "common/file_io.h"
#include "recording/recording_run.h"

namespace {

const uint64_t kSecondsOfRoom = 3;           // the free-space watch wants the next few seconds
const uint64_t kClosingIndexRoom = 65536;    // and room for the closing index
// Audio goes into the file between the frames in chunks of 0.1 to 0.25 s:
// it is taken once this much time has passed since the last take, and in
// pieces of a quarter second at the most (after a stall, several).
const uint64_t kAudioTakeMicros = 100000;
const uint32_t kAudioPiecesPerSecond = 4;
// Under Wine the page-cache trimmer also keeps the disk of the next two
// seconds reserved past the file's end (fallocate) when an uncompressed
// recording writes at least 128 MiB a second: the kernel then finds the
// blocks allocated, when the recording writes and when it writes back.
// Measured in 20 s recordings, paired, by the process and by the trimmer:
// at 3840 x 2160 x 30 (746 MB/s) 41 % and 11.9 % of one core without,
// 33.5 % and 10.4 % with; at 1920 x 1080 x 30 (186 MB/s, 30 s) 11.9 % and
// 3.2 % without, 10.7 % and 3.9 % with. Its stat and fallocate, two more
// processes a second, are not worth it at lower rates.
const uint64_t kReserveFromBytesPerSecond = 128ull << 20;
const uint64_t kReservedSeconds = 2;

}  // namespace

// The audio source captures PCM: the chosen format itself, or the PCM that
// the encoder converts into it.
void Recording::ChooseAudio() {
  const WAVEFORMATEX* chosen = job_.parms.fCaptureAudio ? WaveFormatOf(job_.audioFormat) : nullptr;
  if (!chosen) return;
  WAVEFORMATEX f{};
  if (!PcmSourceFor(*chosen, &f)) {
    Error(IDS_CAP_WAVE_OPEN_ERROR, "The audio format %s cannot be recorded: recording video only.",
          AudioFormatName(*chosen).text);
    return;
  }
  AudioSourceChoice choice = job_.knobs.audioSource;
  if (choice == AudioSourceChoice::Automatic) audio_ = OpenWaveInFeed(f);
  if (!audio_ && choice != AudioSourceChoice::None) audio_ = OpenToneFeed(f, static_cast<uint32_t>(period_));
  if (!audio_) {
    Error(IDS_CAP_NO_AUDIO_CAP_ERROR, "No audio source is available: recording video only.");
    return;
  }
  if (chosen->wFormatTag != WAVE_FORMAT_PCM) {
    encoding_ = encoder_.Open(f, *chosen);
    if (!encoding_) {
      audio_.reset();
      Error(IDS_CAP_WAVE_OPEN_ERROR, "The audio compression manager cannot convert into %s: recording video only.",
            AudioFormatName(*chosen).text);
      return;
    }
  }
  audioFormat_ = chosen;
  pcmAlign_ = f.nBlockAlign ? f.nBlockAlign : 1;
  uint32_t piece = f.nAvgBytesPerSec / kAudioPiecesPerSecond;
  audioPiece_ = piece - piece % pcmAlign_;
  if (audioPiece_ == 0) audioPiece_ = pcmAlign_;
  bytesPerSecond_ += chosen->nAvgBytesPerSec;
}

bool Recording::OpenFile() {
  if (!file_.Open(job_.path, job_.knobs.writeLimit)) {
    char why[256];
    SystemErrorText(file_.lastError(), why, sizeof why);
    Error(IDS_CAP_FILE_OPEN_ERROR, "Cannot open the capture file %s for writing: %s.", job_.pathText.c_str(), why);
    return false;
  }
  opened_ = true;
  bool reserve = !compressing_ && bytesPerSecond_ >= kReserveFromBytesPerSecond;
  file_.TrimPageCache(job_.path, job_.knobs, reserve ? bytesPerSecond_ * kReservedSeconds : 0);
  avi::Options o;
  o.microSecPerFrame = static_cast<uint32_t>(period_);
  o.partLimit = job_.knobs.partLimit;
  o.info = job_.info;
  if (compressing_) {
    o.video = compressor_.OutputFormat();
  } else {
    o.video.width = job_.bih.biWidth;
    o.video.height = job_.bih.biHeight;
    o.video.bitCount = job_.bih.biBitCount;
    o.video.sizeImage = static_cast<uint32_t>(frame_.size());
  }
  if (audio_) {
    o.hasAudio = true;
    o.audio = AviAudioFromRecord(job_.audioFormat);
  }
  blocks_.reset(new riff::BlockOutput(&file_, job_.knobs.writeLimit));
  writer_.reset(new avi::Writer(blocks_.get()));
  if (!writer_->Begin(o)) {
    WriteFailed();
    return false;
  }
  room_ = file_.Room(job_.path);
  roomMeasuredAt_ = writer_->size();
  return true;
}

void Recording::WriteFailed() {
  stopForError_ = true;
  DropEmptyFile();
  char fate[kReportTextSize];
  FileFate(fate, sizeof fate);
  DWORD code = file_.lastError();
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
    Error(IDS_CAP_NODISKSPACE, "Recording stopped: the disk is full. %s", fate);
    return;
  }
  char why[256];
  SystemErrorText(code ? code : ERROR_WRITE_FAULT, why, sizeof why);
  Error(IDS_CAP_FILE_WRITE_ERROR, "Recording stopped: writing failed (%s). %s", why, fate);
}

// What becomes of the capture file after a failure that stops the recording:
// End deletes it when it holds no frame, CloseFile when it cannot be closed.
void Recording::FileFate(char* out, size_t size) const {
  const char* path = job_.pathText.c_str();
  if (!opened_) {
    snprintf(out, size, "%s", "");
  } else if (broken_) {
    snprintf(out, size, "%s could not be closed as a valid AVI file, so it was deleted.", path);
  } else if (discarded_ || frames_ == dropped_) {
    snprintf(out, size, "Nothing was recorded, so %s was deleted.", path);
  } else {
    snprintf(out, size, "%s was kept with the %llu frames recorded.", path, static_cast<unsigned long long>(frames_));
  }
}

bool Recording::SpaceLeft() {
  if (!writer_ || !job_.knobs.spaceWatch) return true;
  uint64_t need = bytesPerSecond_ * kSecondsOfRoom + kClosingIndexRoom;
  uint64_t written = writer_->size() - roomMeasuredAt_;
  uint64_t left = room_ > written ? room_ - written : 0;
  if (left >= need) return true;
  room_ = file_.Room(job_.path);
  roomMeasuredAt_ = writer_->size();
  if (room_ >= need) return true;
  stopForError_ = true;
  DropEmptyFile();
  char fate[kReportTextSize];
  FileFate(fate, sizeof fate);
  Error(IDS_CAP_NODISKSPACE, "Recording stopped: the disk is nearly full (%llu KB free, the next seconds need %llu KB). %s",
        static_cast<unsigned long long>(room_ / 1024), static_cast<unsigned long long>(need / 1024), fate);
  return false;
}

// The audio of the recording's first `upTo` microseconds that is not in the
// file yet (at the end, `last`: all of it, the conversion flushed by the
// last, empty, piece).
bool Recording::TakeAudio(uint64_t upTo, bool last) {
  if (!audio_ || (!last && upTo < audioTakenTo_ + kAudioTakeMicros)) return true;
  audioTakenTo_ = upTo;
  do {
    audio_->Take(upTo, audioPiece_, samples_);
    if (!WriteAudio(samples_, last && samples_.empty())) return false;
  } while (!samples_.empty());
  return true;
}

// Writes the PCM captured, converted first when the format is another one;
// the last call flushes the conversion.
bool Recording::WriteAudio(std::vector<uint8_t>& pcm, bool last) {
  pcmBytes_ += pcm.size();
  std::vector<uint8_t>* data = &pcm;
  if (encoding_) {
    coded_.clear();
    if (!encoder_.Convert(pcm, coded_) || (last && !encoder_.Finish(coded_))) {
      stopForError_ = true;
      Error(IDS_CAP_AUDIO_DROP_COMPERROR, "Recording stopped: the audio could not be converted into %s.",
            AudioFormatName(*audioFormat_).text);
      return false;
    }
    data = &coded_;
  }
  if (data->empty()) return true;
  WaveStream(*data);  // the buffer as it is written, in the recording's format
  audioBytes_ += data->size();
  if (!writer_) return true;
  if (writer_->AddAudio(data->data(), static_cast<uint32_t>(data->size()))) return true;
  WriteFailed();
  return false;
}

bool Recording::WriteVideo(uint64_t n, bool dropped) {
  bool ok;
  if (dropped) {
    ok = writer_->AddDroppedFrame();
  } else if (compressing_) {
    uint32_t size = 0;
    bool key = false;
    const void* data = compressor_.Compress(frame_.data(), &size, &key);
    if (!data) {
      stopForError_ = true;
      Error(IDS_CAP_COMPRESSOR_ERROR, "Recording stopped: the compressor failed on frame %llu.",
            static_cast<unsigned long long>(n));
      return false;
    }
    ok = writer_->AddVideoFrame(data, size, key);
  } else {
    ok = writer_->AddVideoFrame(frame_.data(), static_cast<uint32_t>(frame_.size()), true);
  }
  if (!ok) WriteFailed();
  return ok;
}

bool Recording::WriteFrame(uint64_t n, bool dropped) { return !writer_ || WriteVideo(n, dropped); }

// Closes the file over what was written; one that cannot be closed validly
// is deleted (and said so).
void Recording::CloseFile() {
  if (!writer_) return;
  bool clean = writer_->Finish();
  broken_ = writer_->broken();
  writer_.reset();
  file_.Close();
  if (broken_) {
    DiscardFile();
    char why[256];
    SystemErrorText(file_.lastError() ? file_.lastError() : ERROR_WRITE_FAULT, why, sizeof why);
    Error(IDS_CAP_FILE_WRITE_ERROR, "Recording stopped: %s could not be closed as a valid AVI file (%s), so it was deleted.",
          job_.pathText.c_str(), why);
    stopForError_ = true;
    return;
  }
  // Only a failure already reported keeps this one quiet: an earlier report
  // about audio or the compressor says nothing about the file.
  if (!clean && !stopForError_) WriteFailed();
}

// A recording stopped by a failure before its first frame keeps no file:
// it goes before the report says so.
void Recording::DropEmptyFile() {
  if (frames_ != dropped_) return;
  writer_.reset();
  DiscardFile();
}

void Recording::DiscardFile() {
  if (!opened_ || discarded_) return;
  file_.Close();
  DeleteFileW(job_.path);
  discarded_ = true;
}
