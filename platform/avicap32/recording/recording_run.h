// One recording from its first report to its last (IDS_CAP_BEGIN to
// IDS_CAP_END): frames taken on the requested period with true timing (a
// frame that the camera's buffers could no longer hold when the recording
// got to it is written as dropped; a camera with its own clock has each
// frame it sends written once, and a slot dropped only when it sent none), the audio of the time that passed taken
// as it goes, the stop conditions (the time limit is wall time), the
// free-space watch and the closing reports. loop.cpp holds the loop and its
// decisions, run_output.cpp the writing, run_reports.cpp the reports,
// run_callbacks.cpp the calls into the caller's procedures.
#ifndef MORVA_AVICAP32_RECORDING_RECORDING_RUN_H
#define MORVA_AVICAP32_RECORDING_RECORDING_RUN_H

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_encoder.h"
#include "audio/audio_feed.h"
#include "cameras/camera.h"
#include "core/camera/frame_slots.h"
#include "core/riff/avi_writer.h"
#include "core/riff/block_output.h"
#include "recording/abort_keys.h"
#include "recording/compression_session.h"
#include "recording/pacing_clock.h"
#include "recording/recording_file.h"
#include "recording/recording_state.h"

// Frames the camera holds while the recording is behind (wNumVideoRequested, capped).
constexpr uint64_t kMaxCameraBuffers = 100;
// The camera gives at most 100 frames a second: a shorter period asked for
// records at this one (and the file says so), so that frames the camera
// never gave are not written as dropped.
constexpr uint64_t kFastestFramePeriod = 10000;

class Recording {
 public:
  Recording(RecordingState* rec, RecordingJob& job);
  BOOL Run();

 private:
  enum class Step { Stop, Wait, Take, Drop };

  // loop.cpp
  bool Begin();
  void Loop();
  Step Decide(uint64_t now) const;
  uint64_t TimeToWait(uint64_t now) const;
  bool StopWanted();
  void Wait(uint64_t micros);
  void PumpMessages();
  bool PutFrame(uint64_t now, bool dropped);
  bool TakeDue(uint64_t now, bool dropped);
  bool TakeSent(uint64_t now);
  bool CameraEnded();
  FrameOut Out() { return FrameOut{job_.format, frame_.data(), frame_.size()}; }
  void End();
  void Abandon();
  bool Recorded() const { return frames_ > dropped_ && !discarded_; }

  // run_output.cpp
  void ChooseAudio();
  bool OpenFile();
  bool TakeAudio(uint64_t upTo, bool last = false);
  bool WriteFrame(uint64_t n, bool dropped);
  bool WriteVideo(uint64_t n, bool dropped);
  bool WriteAudio(std::vector<uint8_t>& pcm, bool last);
  void WriteFailed();
  bool SpaceLeft();
  void CloseFile();
  void DiscardFile();
  void DropEmptyFile();
  void FileFate(char* out, size_t size) const;

  // run_callbacks.cpp
  template <typename Proc, typename Call>
  bool CallOut(std::atomic<Proc> RecordingState::*slot, Call call);
  bool Preroll();
  bool CallerContinues();
  void VideoStream(uint64_t due);
  void WaveStream(std::vector<uint8_t>& data);

  // run_reports.cpp
  void Say(ReportKind kind, int id, const char* format, va_list args) __attribute__((format(printf, 4, 0)));
  void Status(int id, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void Error(int id, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void Publish();
  bool ReportSecond(uint64_t now);
  void ShowInWindow(uint64_t now);
  void FinalReports();

  RecordingState* rec_;
  RecordingJob& job_;
  bool direct_;
  uint64_t period_;
  uint64_t buffers_;
  uint64_t limit_;
  bool ownClock_;              // the camera's frames set the pace (job_.frames)
  capcore::FrameSlots slots_;  // then, the slot of each frame it sends
  AbortKeys keys_;
  std::unique_ptr<PacingClock> clock_;
  RecordingFile file_;
  std::unique_ptr<riff::BlockOutput> blocks_;  // the writer's way into file_
  std::unique_ptr<avi::Writer> writer_;
  std::unique_ptr<AudioFeed> audio_;
  const WAVEFORMATEX* audioFormat_ = nullptr;  // as written, in job_.audioFormat
  AudioEncoder encoder_;                       // when that is not the PCM captured
  bool encoding_ = false;
  CompressionSession compressor_;
  bool compressing_ = false;
  std::vector<uint8_t> frame_, samples_, coded_;
  uint64_t frames_ = 0, dropped_ = 0, audioBytes_ = 0, pcmBytes_ = 0;
  uint32_t pcmAlign_ = 1;  // bytes of one sample frame captured
  size_t audioPiece_ = 0;        // the most PCM bytes taken at once (a quarter second)
  uint64_t audioTakenTo_ = 0;    // the recording's time up to which audio was taken
  uint64_t elapsed_ = 0;         // the recording's time so far (to its limit at the most)
  uint64_t bytesPerSecond_ = 0;
  uint64_t room_ = 0;            // bytes that may be written, as last measured, less what was written since
  uint64_t roomMeasuredAt_ = 0;  // file size when measured
  uint64_t nextSecond_ = kMicrosPerSecond;
  uint64_t lastShown_ = 0;
  bool shownOnce_ = false;
  bool stopForError_ = false;  // a failure that ended the recording was reported
  bool opened_ = false;        // the capture file was opened (so it is written or deleted)
  bool broken_ = false;        // it could not be closed as a valid AVI
  bool discarded_ = false;     // it was deleted
};

#endif
