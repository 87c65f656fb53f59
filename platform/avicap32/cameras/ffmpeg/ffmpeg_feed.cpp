// One camera stream from ffmpeg (see ffmpeg_feed.h).
#include <winsock2.h>  // before windows.h

#include "cameras/ffmpeg/ffmpeg_feed.h"

#include <cstdlib>
#include <new>

#include "core/ffmpeg/ffmpeg_log.h"
#include "core/image/packed_bgr.h"
#include "cameras/ffmpeg/loopback.h"
#include "unix/unix_host.h"

namespace {

enum : DWORD {
  kStartMs = 10000,    // ffmpeg's start and its first frame (a camera may take a few seconds)
  kStallMs = 5000,     // the longest a whole frame may take to come before the stream counts as stopped
  kExitWaitMs = 2000,  // for ffmpeg to be gone after it was told to stop
  kPollMs = 20,
};
enum { kMaxLogBytes = 64 * 1024, kLogLineChars = 200, kMaxPidBytes = 32 };

// What is left of the start-up time begun at `start`.
DWORD StartTimeLeft(DWORD start) {
  DWORD spent = GetTickCount() - start;
  return spent < kStartMs ? kStartMs - spent : 0;
}

capcore::FrameFormat PackedFormat(int width, int height) {
  capcore::FrameFormat f;
  f.width = width;
  f.height = height;
  f.bitCount = 24;
  return f;
}

// Microseconds on a steady clock: the frames' arrivals.
uint64_t NowMicros() {
  LARGE_INTEGER now, freq;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&freq);
  uint64_t ticks = static_cast<uint64_t>(now.QuadPart), f = static_cast<uint64_t>(freq.QuadPart);
  return ticks / f * 1000000 + ticks % f * 1000000 / f;
}

void TouchFile(const std::string& unixPath) {
  HANDLE f = CreateFileA(WindowsPathOf(unixPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

}  // namespace

std::shared_ptr<FfmpegFeed> FfmpegFeed::Start(const Setup& setup, std::string* error) {
  std::shared_ptr<FfmpegFeed> feed(new (std::nothrow) FfmpegFeed);
  if (!feed) {
    *error = "There is not enough memory to start the camera " + setup.camera + ".";
    return nullptr;
  }
  if (!feed->Launch(setup, error)) return nullptr;  // its destructor ends what was started
  return feed;
}

bool FfmpegFeed::Launch(const Setup& setup, std::string* error) {
  InitializeCriticalSection(&lock_);
  InitializeConditionVariable(&arrived_);
  lockReady_ = true;
  camera_ = setup.camera;
  width_ = setup.stream.width;
  height_ = setup.stream.height;
  fps_ = setup.stream.fps;
  size_t frameBytes = capcore::PackedBgrBytes(PackedFormat(width_, height_));
  const std::string cannotOpen = "The camera " + camera_ + " could not be opened: ";
  const std::string whatToDo = ". Check that it is plugged in and not in use by another program, then connect to it again.";
  DWORD start = GetTickCount();  // the connection and the whole first frame within kStartMs of it
  LoopbackListener listener;
  if (frameBytes == 0 || !folder_.Create(setup.knobs.unixTempFolder) || !listener.Open()) {
    *error = cannotOpen + "the service could not prepare its connection to ffmpeg" + whatToDo;
    return false;
  }
  files_ = folder_.Files();
  capcore::StreamRequest stream = setup.stream;
  stream.port = listener.Port();
  std::string script =
      capcore::StreamScript(setup.knobs.ffmpegProgram, capcore::StreamArguments(stream), files_, OwnUnixPid());
  if (!StartShellScript(folder_, script, setup.knobs.unixTempFolder)) {
    *error = cannotOpen + "/bin/sh could not be started" + whatToDo;
    return false;
  }
  connection_ = AcceptFfmpeg(&listener, StartTimeLeft(start));
  if (!ReceiveFirst(frameBytes, StartTimeLeft(start))) {
    Sleep(kPollMs * 5);  // ffmpeg's last words reach its log
    std::string why = LogLine();
    if (why.empty()) why = "ffmpeg sent no picture within " + std::to_string(kStartMs / 1000) + " seconds";
    *error = cannotOpen + why + whatToDo;
    return false;
  }
  receiver_ = CreateThread(nullptr, 0, ReceiverMain, this, 0, nullptr);
  if (receiver_ == nullptr) {
    *error = cannotOpen + "the service could not start its receiving thread" + whatToDo;
    return false;
  }
  return true;
}

// The first frame, whole and of the exact size, within `ms`.
bool FfmpegFeed::ReceiveFirst(size_t frameBytes, DWORD ms) {
  for (std::vector<uint8_t>& frame : held_) frame.assign(frameBytes, 0);
  bool first = connection_ != INVALID_SOCKET &&
               ReceiveWithin(connection_, held_[1].data(), frameBytes, ms) == Received::Whole;
  if (!first) return false;
  newestNumber_ = 1;
  arrivals_[1] = NowMicros();
  return true;
}

// ffmpeg's connection within `ms`. A source that cannot be opened makes
// ffmpeg end: seen as a connection that never comes, or at once as its
// process gone.
UINT_PTR FfmpegFeed::AcceptFfmpeg(LoopbackListener* listener, DWORD ms) {
  return listener->AcceptOne(ms, [this]() {
    if (pid_ == 0) {
      ReadPid();
      return true;  // the script is still starting
    }
    return UnixProcessRunning(pid_);
  });
}

DWORD WINAPI FfmpegFeed::ReceiverMain(LPVOID self) {
  try {
    static_cast<FfmpegFeed*>(self)->Receive();
  } catch (...) {
    static_cast<FfmpegFeed*>(self)->End("the service ran out of memory");
  }
  return 0;
}

void FfmpegFeed::Receive() {
  std::vector<uint8_t> incoming(held_[0].size());
  for (;;) {
    Received got = ReceiveWithin(connection_, incoming.data(), incoming.size(), kStallMs);
    bool whole = got == Received::Whole;
    EnterCriticalSection(&lock_);
    bool stopping = stopping_;
    if (whole && !stopping) {
      ++newestNumber_;
      held_[newestNumber_ % kHeldFrames].swap(incoming);  // the oldest buffer receives the next
      arrivals_[newestNumber_ % kHeldFrames] = NowMicros();
      WakeAllConditionVariable(&arrived_);
    }
    LeaveCriticalSection(&lock_);
    if (stopping) return;
    if (whole) continue;
    Sleep(kPollMs * 5);  // ffmpeg's last words reach its log
    std::string line = LogLine();
    if (got == Received::Late)
      End("no picture came for " + std::to_string(kStallMs / 1000) + " seconds");
    else
      End(line.empty() ? "ffmpeg ended" : "ffmpeg: " + line);
    return;
  }
}

void FfmpegFeed::End(const std::string& why) {
  TouchFile(files_.stopFile);  // a hung ffmpeg is ended by its watchdog
  EnterCriticalSection(&lock_);
  ended_ = true;
  endText_ = "The camera " + camera_ + " stopped sending pictures (" + why +
             "). Check that it is still plugged in, then connect to it again.";
  WakeAllConditionVariable(&arrived_);
  LeaveCriticalSection(&lock_);
}

// ffmpeg's pid from the script's pid file, once it is there.
bool FfmpegFeed::ReadPid() {
  std::string text;
  if (pid_ == 0 && ReadUnixFile(files_.pidFile, &text, kMaxPidBytes)) pid_ = std::strtol(text.c_str(), nullptr, 10);
  return pid_ > 0;
}

std::string FfmpegFeed::LogLine() {
  std::string log;
  if (!ReadUnixFile(files_.logFile, &log, kMaxLogBytes)) return "";
  return capcore::LastLogLine(log, kLogLineChars);
}

// The frame to take after `seen`, in the given order; 0: none.
uint32_t FfmpegFeed::Pick(uint32_t seen, Order order) const {
  if (newestNumber_ <= seen) return 0;
  if (order == Order::Newest || seen == 0) return newestNumber_;
  uint32_t oldest = newestNumber_ > kHeldFrames ? newestNumber_ - kHeldFrames + 1 : 1;
  return seen + 1 > oldest ? seen + 1 : oldest;
}

FfmpegFeed::Take FfmpegFeed::TakeFrame(uint32_t* seen, Order order, DWORD waitMs, const capcore::FrameFormat& format,
                                       uint8_t* out, size_t outSize, uint64_t* stamp) {
  if (format.width != width_ || format.height != height_) return Take::NoNewFrame;
  Take result = Take::NoNewFrame;
  DWORD start = GetTickCount();
  EnterCriticalSection(&lock_);
  for (;;) {
    if (uint32_t n = Pick(*seen, order)) {
      const std::vector<uint8_t>& frame = held_[n % kHeldFrames];
      if (capcore::ImportPackedBgr(format, frame.data(), frame.size(), out, outSize)) {
        *seen = n;
        *stamp = arrivals_[n % kHeldFrames];
        result = Take::Frame;
      }
      break;
    }
    if (ended_ || stopping_) {
      result = Take::Ended;
      break;
    }
    DWORD waited = GetTickCount() - start;
    if (waited >= waitMs) {
      *stamp = NowMicros();
      break;
    }
    SleepConditionVariableCS(&arrived_, &lock_, waitMs - waited);
  }
  LeaveCriticalSection(&lock_);
  return result;
}

std::string FfmpegFeed::EndText() {
  EnterCriticalSection(&lock_);
  std::string text = endText_;
  LeaveCriticalSection(&lock_);
  if (text.empty()) text = "The camera " + camera_ + " was stopped.";
  return text;
}

bool FfmpegFeed::ClaimEndReport() {
  EnterCriticalSection(&lock_);
  bool first = !endReported_;
  endReported_ = true;
  LeaveCriticalSection(&lock_);
  return first;
}

void FfmpegFeed::Stop() {
  if (!lockReady_) return;
  EnterCriticalSection(&lock_);
  bool already = stopping_;
  stopping_ = true;
  WakeAllConditionVariable(&arrived_);
  LeaveCriticalSection(&lock_);
  if (already) return;
  if (connection_ != INVALID_SOCKET) shutdown(connection_, SD_BOTH);  // wakes the receiver
  if (receiver_ != nullptr) {
    WaitForSingleObject(receiver_, kStallMs + kExitWaitMs);
    CloseHandle(receiver_);
    receiver_ = nullptr;
  }
  if (connection_ != INVALID_SOCKET) closesocket(connection_);  // ffmpeg ends at its next write
  connection_ = INVALID_SOCKET;
  if (files_.stopFile.empty()) return;
  TouchFile(files_.stopFile);
  ReadPid();
  DWORD start = GetTickCount();
  while (UnixProcessRunning(pid_) && GetTickCount() - start < kExitWaitMs) Sleep(kPollMs);
}

FfmpegFeed::~FfmpegFeed() {
  Stop();
  if (lockReady_) DeleteCriticalSection(&lock_);
}
