// One recording from its first report to its last: frames taken on the
// requested period with true timing (a frame that the camera's buffers could
// no longer hold when the recording got to it is written as dropped), audio beside each frame, the stop conditions, the
// free-space watch, and the closing reports.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/audio_feed.h"
#include "core/riff/avi_writer.h"
#include "recording/compression_session.h"
#include "core/image/frame_synth.h"
#include "recording/recording_file.h"
#include "recording/recording_state.h"

namespace {

const uint64_t kSecond = 1000000;

class Clock {
 public:
  Clock() {
    QueryPerformanceFrequency(&freq_);
    QueryPerformanceCounter(&start_);
  }
  uint64_t Micros() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    uint64_t ticks = static_cast<uint64_t>(now.QuadPart - start_.QuadPart);
    uint64_t f = static_cast<uint64_t>(freq_.QuadPart);
    return ticks / f * kSecond + ticks % f * kSecond / f;
  }

 private:
  LARGE_INTEGER freq_{}, start_{};
};

// The keys and buttons that end a recording; each counts only once it has
// been up since the start (a click that started the recording does not stop it).
class AbortKeys {
 public:
  explicit AbortKeys(const CAPTUREPARMS& p) {
    if (p.vKeyAbort & 0xFF) keys_[n_++] = {static_cast<int>(p.vKeyAbort & 0xFF), false};
    if (p.fAbortLeftMouse) keys_[n_++] = {VK_LBUTTON, false};
    if (p.fAbortRightMouse) keys_[n_++] = {VK_RBUTTON, false};
  }
  bool Pressed() {
    for (int i = 0; i < n_; ++i) {
      bool down = (GetAsyncKeyState(keys_[i].vk) & 0x8000) != 0;
      if (!down) keys_[i].seenUp = true;
      else if (keys_[i].seenUp) return true;
    }
    return false;
  }

 private:
  struct Key {
    int vk;
    bool seenUp;
  };
  Key keys_[3]{};
  int n_ = 0;
};

void SystemText(DWORD code, char* buf, size_t size) {
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                           static_cast<DWORD>(size), nullptr);
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ' || buf[n - 1] == '.')) buf[--n] = '\0';
  if (n == 0) snprintf(buf, size, "system error %lu", static_cast<unsigned long>(code));
}

class Recording {
 public:
  Recording(RecordingState* rec, RecordingJob& job)
      : rec_(rec),
        job_(job),
        direct_(!job.onWorker),
        period_(job.parms.dwRequestMicroSecPerFrame),
        buffers_(job.parms.wNumVideoRequested == 0 ? 1 : job.parms.wNumVideoRequested > 100 ? 100 : job.parms.wNumVideoRequested),
        keys_(job.parms) {}

  BOOL Run();

 private:
  void Status(int id, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void Error(int id, const char* format, ...) __attribute__((format(printf, 3, 4)));
  bool StopWanted();
  void Wait(uint64_t micros);
  bool OpenFile();
  void ChooseAudio();
  bool WriteFrame(uint64_t n, bool dropped);
  bool WriteAudio(const std::vector<uint8_t>& data);
  void WriteFailed();
  bool SpaceLeft();
  void Publish();
  void CloseFile();
  void FinalReports();

  RecordingState* rec_;
  RecordingJob& job_;
  bool direct_;
  uint64_t period_;
  uint64_t buffers_;  // frames the camera holds while the recording is behind
  AbortKeys keys_;
  RecordingFile file_;
  std::unique_ptr<avi::Writer> writer_;
  std::unique_ptr<AudioFeed> audio_;
  CompressionSession compressor_;
  bool compressing_ = false;
  std::vector<uint8_t> frame_, samples_;
  uint64_t frames_ = 0, dropped_ = 0, audioBytes_ = 0;
  uint32_t blockAlign_ = 1;
  uint64_t bytesPerSecond_ = 0;
  uint64_t room_ = 0;            // bytes that may be written, as last measured, less what was written since
  uint64_t roomMeasuredAt_ = 0;  // file size when measured
  bool watchSpace_ = EnvNumber("MORVA_AVICAP_SPACE_WATCH", 1) != 0;  // 0: tests reach the write failure
  bool stopForError_ = false;  // a failure that ended the recording was reported
};

void Recording::Status(int id, const char* format, ...) {
  char text[512];
  va_list ap;
  va_start(ap, format);
  vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  RelayStatus(rec_, direct_, id, text);
}

void Recording::Error(int id, const char* format, ...) {
  char text[512];
  va_list ap;
  va_start(ap, format);
  vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  RelayError(rec_, direct_, id, text);
}

bool Recording::StopWanted() {
  if (rec_->stopRequested || rec_->abortRequested || rec_->orphaned) return true;
  return keys_.Pressed();
}

void Recording::Wait(uint64_t micros) {
  DWORD ms = static_cast<DWORD>(micros / 1000);
  if (!direct_) {
    Sleep(ms);
    return;
  }
  // The window's own thread: keep its messages flowing while waiting.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  MSG m;
  while (!rec_->orphaned && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      rec_->stopRequested = 1;
      break;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void Recording::ChooseAudio() {
  if (!job_.parms.fCaptureAudio || job_.audioFormat.size() < sizeof(PCMWAVEFORMAT)) return;
  WAVEFORMATEX f{};
  std::memcpy(&f, job_.audioFormat.data(),
              job_.audioFormat.size() < sizeof f ? job_.audioFormat.size() : sizeof f);
  AudioSourceChoice choice = AudioSourceFromEnvironment();
  if (choice == AudioSourceChoice::Automatic) audio_ = OpenWaveInFeed(f);
  if (!audio_ && choice != AudioSourceChoice::None) audio_ = OpenToneFeed(f, static_cast<uint32_t>(period_));
  if (!audio_) {
    Error(IDS_CAP_NO_AUDIO_CAP_ERROR, "No audio source is available: recording video only.");
    return;
  }
  blockAlign_ = f.nBlockAlign ? f.nBlockAlign : 1;
  bytesPerSecond_ += f.nAvgBytesPerSec;
}

bool Recording::OpenFile() {
  if (!file_.Open(job_.path)) {
    char why[256];
    SystemText(file_.lastError(), why, sizeof why);
    Error(IDS_CAP_FILE_OPEN_ERROR, "Cannot open the capture file %s for writing: %s.", job_.path, why);
    return false;
  }
  avi::Options o;
  o.microSecPerFrame = static_cast<uint32_t>(period_);
  o.partLimit = EnvNumber("MORVA_AVICAP_PART_LIMIT", 1ull << 30);
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
    WAVEFORMATEX f{};
    std::memcpy(&f, job_.audioFormat.data(),
                job_.audioFormat.size() < sizeof f ? job_.audioFormat.size() : sizeof f);
    o.hasAudio = true;
    o.audio.formatTag = f.wFormatTag;
    o.audio.channels = f.nChannels;
    o.audio.samplesPerSec = f.nSamplesPerSec;
    o.audio.avgBytesPerSec = f.nAvgBytesPerSec;
    o.audio.blockAlign = f.nBlockAlign;
    o.audio.bitsPerSample = f.wBitsPerSample;
  }
  writer_.reset(new avi::Writer(&file_));
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
  DWORD code = file_.lastError();
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
    Error(IDS_CAP_NODISKSPACE, "Recording stopped: the disk is full. %s keeps what was recorded before.",
          job_.path);
    return;
  }
  char why[256];
  SystemText(code ? code : ERROR_WRITE_FAULT, why, sizeof why);
  Error(IDS_CAP_FILE_WRITE_ERROR, "Recording stopped: writing %s failed (%s). The file keeps what was recorded before.",
        job_.path, why);
}

bool Recording::SpaceLeft() {
  if (!writer_ || !watchSpace_) return true;
  uint64_t need = bytesPerSecond_ * 3 + 65536;  // the next few seconds, and the closing index
  uint64_t written = writer_->size() - roomMeasuredAt_;
  uint64_t left = room_ > written ? room_ - written : 0;
  if (left >= need) return true;
  room_ = file_.Room(job_.path);
  roomMeasuredAt_ = writer_->size();
  if (room_ >= need) return true;
  stopForError_ = true;
  Error(IDS_CAP_NODISKSPACE,
        "Recording stopped: the disk is nearly full (%llu KB free, the next seconds need %llu KB). %s was closed with "
        "what was recorded.",
        static_cast<unsigned long long>(room_ / 1024), static_cast<unsigned long long>(need / 1024), job_.path);
  return false;
}

bool Recording::WriteAudio(const std::vector<uint8_t>& data) {
  if (data.empty()) return true;
  audioBytes_ += data.size();
  if (!writer_) return true;
  if (writer_->AddAudio(data.data(), static_cast<uint32_t>(data.size()))) return true;
  WriteFailed();
  return false;
}

bool Recording::WriteFrame(uint64_t n, bool dropped) {
  bool ok = true;
  if (writer_) {
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
    if (!ok) {
      WriteFailed();
      return false;
    }
  }
  if (audio_) {
    audio_->TakeFrame(n, samples_);
    if (!WriteAudio(samples_)) return false;
  }
  return true;
}

void Recording::Publish() {
  rec_->frames = static_cast<LONG>(frames_);
  rec_->dropped = static_cast<LONG>(dropped_);
  rec_->elapsedMs = static_cast<LONG>(frames_ * period_ / 1000);
  rec_->waveSamples = static_cast<LONG>(audioBytes_ / blockAlign_);
}

void Recording::CloseFile() {
  if (!writer_) return;
  // Only a failure already reported keeps this one quiet: an earlier report
  // about audio or the compressor says nothing about the file.
  if (!writer_->Finish() && !stopForError_) WriteFailed();
  writer_.reset();
  file_.Close();
}

void Recording::FinalReports() {
  uint64_t ms = frames_ * period_ / 1000;
  uint64_t taken = frames_ - dropped_;
  uint64_t fpsX100 = ms ? taken * 100000 / ms : 0;
  if (audio_) {
    uint64_t sps = ms ? audioBytes_ / blockAlign_ * 1000 / ms : 0;
    Status(IDS_CAP_STAT_VIDEOAUDIO,
           "Recorded %llu.%03llu sec.: %llu frames (%llu dropped), %llu.%02llu frames/sec., %llu audio bytes "
           "(%llu samples/sec.)",
           ms / 1000, ms % 1000, static_cast<unsigned long long>(frames_), static_cast<unsigned long long>(dropped_),
           fpsX100 / 100, fpsX100 % 100, static_cast<unsigned long long>(audioBytes_),
           static_cast<unsigned long long>(sps));
  } else {
    Status(IDS_CAP_STAT_VIDEOONLY, "Recorded %llu.%03llu sec.: %llu frames (%llu dropped), %llu.%02llu frames/sec.",
           ms / 1000, ms % 1000, static_cast<unsigned long long>(frames_), static_cast<unsigned long long>(dropped_),
           fpsX100 / 100, fpsX100 % 100);
  }
  if (frames_ > 0 && dropped_ * 100 > static_cast<uint64_t>(job_.parms.wPercentDropForError) * frames_) {
    uint64_t pct = dropped_ * 10000 / frames_;
    Status(IDS_CAP_STAT_FRAMESDROPPED, "%llu of %llu frames (%llu.%02llu%%) were dropped.",
           static_cast<unsigned long long>(dropped_), static_cast<unsigned long long>(frames_), pct / 100, pct % 100);
  }
}

BOOL Recording::Run() {
  Status(IDS_CAP_BEGIN, "Recording started");
  frame_.assign(capcore::FrameBytes(job_.format), 0);
  if (frame_.empty() || period_ == 0) {
    Error(IDS_CAP_VIDEO_OPEN_ERROR, "The camera's picture format cannot be recorded.");
    Status(IDS_CAP_END, "Recording ended");
    return FALSE;
  }
  bytesPerSecond_ = static_cast<uint64_t>(frame_.size()) * kSecond / period_;
  if (job_.toFile && CompressionSession::Wanted(job_.compressor, job_.haveCompressor)) {
    compressing_ = compressor_.Start(job_.compressor, job_.bih);
    if (!compressing_) Error(IDS_CAP_COMPRESSOR_ERROR, "The chosen compressor cannot start: recording uncompressed.");
  }
  ChooseAudio();
  if (job_.toFile && !OpenFile()) {
    writer_.reset();
    file_.Close();
    if (file_.initialSize() == 0) DeleteFileA(job_.path);
    Status(IDS_CAP_END, "Recording ended");
    return FALSE;
  }

  timeBeginPeriod(1);
  Clock clock;
  const uint64_t limit = job_.parms.fLimitEnabled ? static_cast<uint64_t>(job_.parms.wTimeLimit) * kSecond : UINT64_MAX;
  uint64_t nextSecond = kSecond, lastShown = 0;
  bool shownOnce = false;
  while (!stopForError_) {
    if (StopWanted() || frames_ * period_ >= limit) break;
    uint64_t now = clock.Micros();
    uint64_t due = frames_ * period_;
    if (now < due) {
      Wait(due - now);
      continue;
    }
    // The camera holds wNumVideoRequested frames: a frame is lost only when
    // the recording falls further behind than that (then written as dropped).
    bool late = now >= due + period_ * buffers_;
    if (!late) capcore::RenderFrame(job_.format, job_.source, static_cast<uint32_t>(frames_),
                                    static_cast<uint32_t>(due / 1000), frame_.data(), frame_.size());
    if (!SpaceLeft() || !WriteFrame(frames_, late)) break;
    ++frames_;
    if (late) ++dropped_;
    Publish();
    if (job_.showFrames && !late && !rec_->orphaned &&
        (!shownOnce || now - lastShown >= job_.previewRateMs * 1000ull)) {
      ShowFrame(rec_->window, frame_.data(), frame_.size());
      lastShown = now;
      shownOnce = true;
    }
    if (frames_ * period_ >= nextSecond) {
      nextSecond += kSecond;
      if (writer_ && !writer_->Refresh()) {
        WriteFailed();
        break;
      }
      uint64_t ms = frames_ * period_ / 1000;
      Status(IDS_CAP_STAT_VIDEOCURRENT, "%llu frames (%llu dropped) %llu.%03llu sec.",
             static_cast<unsigned long long>(frames_), static_cast<unsigned long long>(dropped_), ms / 1000, ms % 1000);
    }
  }
  timeEndPeriod(1);

  if (audio_) {
    audio_->Finish(samples_);
    if (!stopForError_) WriteAudio(samples_);
  }
  CloseFile();
  Publish();
  if (job_.toFile && frames_ - dropped_ == 0) {
    DeleteFileA(job_.path);
    if (!stopForError_) Error(IDS_CAP_NO_FRAME_CAP_ERROR, "No frame was recorded, so no capture file was kept.");
  }
  FinalReports();
  Status(IDS_CAP_END, "Recording ended");
  return frames_ - dropped_ > 0 ? TRUE : FALSE;
}

}  // namespace

BOOL RunRecording(RecordingState* rec, RecordingJob& job) {
  try {
    Recording r(rec, job);
    return r.Run();
  } catch (...) {
    return FALSE;
  }
}
