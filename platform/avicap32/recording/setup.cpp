// The recording's settings: the capture parameters with their defaults, the
// audio format, info chunks, and the recording fields of the status.
#include <cstdio>
#include <cstring>

#include "audio/acm_own_format.h"
#include "audio/audio_encoder.h"
#include "audio/audio_formats.h"
#include "core/camera/audio_pcm.h"
#include "recording/recording_state.h"

RecordingState* RecordingOf(const CaptureWindowState* s) {
  return s ? s->recording.get() : nullptr;
}

namespace {

const DWORD kDefaultMicroSecPerFrame = 66667;  // 15 frames per second
const DWORD kDefaultIndexSize = 34952;        // index room for 32K frames and their audio
const LONG kMaxInfoChunkBytes = 65536;

CAPTUREPARMS DefaultParms() {
  CAPTUREPARMS p{};
  p.dwRequestMicroSecPerFrame = kDefaultMicroSecPerFrame;
  p.fMakeUserHitOKToCapture = FALSE;
  p.wPercentDropForError = 10;
  p.fYield = FALSE;
  p.dwIndexSize = kDefaultIndexSize;
  p.wChunkGranularity = 0;
  p.fUsingDOSMemory = FALSE;
  p.wNumVideoRequested = 5;
  // The synthetic camera always has its own audio source.
  p.fCaptureAudio = ReadKnobs().audioSource != AudioSourceChoice::None;
  p.wNumAudioRequested = 4;
  p.vKeyAbort = VK_ESCAPE;
  p.fAbortLeftMouse = TRUE;
  p.fAbortRightMouse = TRUE;
  p.fLimitEnabled = FALSE;
  p.wTimeLimit = 0;
  p.fMCIControl = FALSE;
  p.fStepMCIDevice = FALSE;
  p.dwMCIStartTime = 0;
  p.dwMCIStopTime = 0;
  p.fStepCaptureAt2x = FALSE;
  p.wStepCaptureAverageFrames = 5;
  p.dwAudioBufferSize = 0;              // 0: chosen from the audio format
  p.fDisableWriteCache = FALSE;
  p.AVStreamMaster = AVSTREAMMASTER_AUDIO;
  return p;
}

void StoreAudioFormat(RecordingState* rec, const audio::PcmFormat& f) {
  rec->audioFormat = BytesOfWave(WaveFromPcm(f));
}

// Why a whole format `record` cannot be recorded, in words for a report.
void RefusalReason(const WAVEFORMATEX& record, char* why, size_t size) {
  if (record.wFormatTag != WAVE_FORMAT_PCM) {
    if (!DescribeAcmDisagreement(record, why, size))
      snprintf(why, size, "%s", "the audio compression manager cannot make it from PCM");
    return;
  }
  audio::PcmFormat made = audio::MakePcm(record.nSamplesPerSec, record.wBitsPerSample, record.nChannels);
  if (audio::IsSupported(made)) {
    snprintf(why, size,
             "its block size and bytes a second (%u and %lu) disagree with the %u and %lu that its channels, bits "
             "and rate make",
             static_cast<unsigned>(record.nBlockAlign), static_cast<unsigned long>(record.nAvgBytesPerSec),
             static_cast<unsigned>(made.blockAlign), static_cast<unsigned long>(made.avgBytesPerSec));
    return;
  }
  snprintf(why, size, "%s", "the audio sources take PCM of 8 or 16 bits, 1 or 2 channels and 8,000 to 96,000 Hz");
}

// Tells the error procedure which format cannot be recorded and why:
// `record` is the whole format, null when `size` bytes at `in` fall short of it.
void ReportRefusedFormat(CaptureWindowState* s, const WAVEFORMATEX* record, const WAVEFORMATEX* in, size_t size) {
  WAVEFORMATEX fixed{};  // a record cut short is named by its fixed fields
  std::memcpy(&fixed, in, size < sizeof fixed ? size : sizeof fixed);
  fixed.cbSize = 0;
  char why[kReportTextSize / 2];
  if (record)
    RefusalReason(*record, why, sizeof why);
  else
    snprintf(why, sizeof why, "%s", "its record is shorter than its extra bytes say");
  Report(s, ReportKind::Error, IDS_CAP_WAVE_OPEN_ERROR, "The audio format %s cannot be recorded: %s.",
         AudioFormatName(record ? *record : fixed).text, why);
}

}  // namespace

void InitRecordingSetup(RecordingState* rec) {
  rec->parms = DefaultParms();
  try {
    StoreAudioFormat(rec, audio::DefaultFormat());
  } catch (...) {
  }
}

LRESULT GetRecordingSetup(CaptureWindowState* s, WPARAM size, CAPTUREPARMS* out) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || size != sizeof(CAPTUREPARMS) || out == nullptr) return FALSE;
  std::memcpy(out, &rec->parms, sizeof rec->parms);
  return TRUE;
}

LRESULT SetRecordingSetup(CaptureWindowState* s, WPARAM size, const CAPTUREPARMS* in) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || size != sizeof(CAPTUREPARMS) || in == nullptr || rec->capturing) return FALSE;
  if (in->dwRequestMicroSecPerFrame == 0) return FALSE;  // no frame rate to record at
  std::memcpy(&rec->parms, in, sizeof rec->parms);
  return TRUE;
}

LRESULT GetAudioFormat(CaptureWindowState* s, WPARAM size, WAVEFORMATEX* out) {
  RecordingState* rec = RecordingOf(s);
  if (!rec) return 0;
  size_t have = rec->audioFormat.size();
  if (out == nullptr || size == 0) return static_cast<LRESULT>(have);
  size_t n = size < have ? size : have;
  std::memcpy(out, rec->audioFormat.data(), n);
  return static_cast<LRESULT>(n);
}

LRESULT SetAudioFormat(CaptureWindowState* s, WPARAM size, const WAVEFORMATEX* in) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || in == nullptr || rec->capturing) return FALSE;
  if (size < sizeof(PCMWAVEFORMAT)) {
    Report(s, ReportKind::Error, IDS_CAP_WAVE_OPEN_ERROR,
           "The audio format given is too short to be read, so it cannot be recorded.");
    return FALSE;
  }
  try {
    std::vector<uint8_t> record = RecordOfWave(in, size);
    const WAVEFORMATEX* f = WaveFormatOf(record);
    WAVEFORMATEX pcm;
    if (f && PcmSourceFor(*f, &pcm)) {
      rec->audioFormat.swap(record);
      return TRUE;
    }
    ReportRefusedFormat(s, f, in, size);
  } catch (...) {
  }
  return FALSE;
}

LRESULT SetInfoChunk(CaptureWindowState* s, const CAPINFOCHUNK* chunk) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || chunk == nullptr || rec->capturing) return FALSE;
  try {
    if (chunk->fccInfoID == 0) {  // clears them all
      rec->info.clear();
      return TRUE;
    }
    for (size_t i = 0; i < rec->info.size(); ++i) {
      if (rec->info[i].fourcc == chunk->fccInfoID) {
        rec->info.erase(rec->info.begin() + static_cast<long>(i));
        break;
      }
    }
    if (chunk->lpData == nullptr || chunk->cbData <= 0) return TRUE;  // removed
    if (chunk->cbData > kMaxInfoChunkBytes) return FALSE;
    const uint8_t* p = static_cast<const uint8_t*>(chunk->lpData);
    rec->info.push_back(avi::InfoItem{chunk->fccInfoID, std::vector<uint8_t>(p, p + chunk->cbData)});
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

bool IsRecording(const CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  return rec && rec->capturing != 0;
}

void FillRecordingStatus(const CaptureWindowState* s, CAPSTATUS* status) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !status) return;
  status->fAudioHardware = ReadKnobs().audioSource != AudioSourceChoice::None;
  status->fCapturingNow = rec->capturing != 0;
  if (rec->capturing || rec->frames || rec->elapsedMs) {
    status->dwCurrentVideoFrame = static_cast<DWORD>(rec->frames);
    status->dwCurrentVideoFramesDropped = static_cast<DWORD>(rec->dropped);
    status->dwCurrentWaveSamples = static_cast<DWORD>(rec->waveSamples);
    status->dwCurrentTimeElapsedMS = static_cast<DWORD>(rec->elapsedMs);
  }
}
