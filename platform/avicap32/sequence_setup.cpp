// The recording's settings: the capture parameters with their defaults, the
// audio format, info chunks, and the recording fields of the status.
#include <cstring>
#include <new>

#include "audio_pcm.h"
#include "sequence_impl.h"

SequenceImpl* Impl(const CaptureWindowState* s) {
  return s ? static_cast<SequenceImpl*>(s->sequence.impl) : nullptr;
}

AudioSourceChoice AudioSourceFromEnvironment() {
  char v[16];
  DWORD n = GetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", v, sizeof v);
  if (n == 0 || n >= sizeof v) return AudioSourceChoice::Automatic;
  if (lstrcmpiA(v, "none") == 0) return AudioSourceChoice::None;
  if (lstrcmpiA(v, "tone") == 0) return AudioSourceChoice::ToneOnly;
  return AudioSourceChoice::Automatic;
}

namespace {

CAPTUREPARMS DefaultParms() {
  CAPTUREPARMS p{};
  p.dwRequestMicroSecPerFrame = 66667;  // 15 frames per second
  p.fMakeUserHitOKToCapture = FALSE;
  p.wPercentDropForError = 10;
  p.fYield = FALSE;
  p.dwIndexSize = 34952;                // index room for 32K frames and their audio
  p.wChunkGranularity = 0;
  p.fUsingDOSMemory = FALSE;
  p.wNumVideoRequested = 5;
  // The synthetic camera always has its own audio source.
  p.fCaptureAudio = AudioSourceFromEnvironment() != AudioSourceChoice::None;
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

void StoreAudioFormat(SequenceImpl* impl, const audio::PcmFormat& f) {
  WAVEFORMATEX w{};
  w.wFormatTag = f.formatTag;
  w.nChannels = f.channels;
  w.nSamplesPerSec = f.samplesPerSec;
  w.nAvgBytesPerSec = f.avgBytesPerSec;
  w.nBlockAlign = f.blockAlign;
  w.wBitsPerSample = f.bitsPerSample;
  w.cbSize = 0;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&w);
  impl->audioFormat.assign(p, p + sizeof w);
}

}  // namespace

void Sequence_Init(CaptureWindowState* s) {
  SequenceImpl* impl = new (std::nothrow) SequenceImpl;
  s->sequence.impl = impl;
  if (!impl) return;
  impl->window = s;
  impl->parms = DefaultParms();
  try {
    StoreAudioFormat(impl, audio::DefaultFormat());
  } catch (...) {
  }
  Relay_Create(impl);
}

LRESULT Sequence_GetSetup(CaptureWindowState* s, WPARAM size, CAPTUREPARMS* out) {
  SequenceImpl* impl = Impl(s);
  if (!impl || size != sizeof(CAPTUREPARMS) || out == nullptr) return FALSE;
  std::memcpy(out, &impl->parms, sizeof impl->parms);
  return TRUE;
}

LRESULT Sequence_SetSetup(CaptureWindowState* s, WPARAM size, const CAPTUREPARMS* in) {
  SequenceImpl* impl = Impl(s);
  if (!impl || size != sizeof(CAPTUREPARMS) || in == nullptr || impl->capturing) return FALSE;
  if (in->dwRequestMicroSecPerFrame == 0) return FALSE;  // no frame rate to record at
  std::memcpy(&impl->parms, in, sizeof impl->parms);
  return TRUE;
}

LRESULT Sequence_GetAudioFormat(CaptureWindowState* s, WPARAM size, WAVEFORMATEX* out) {
  SequenceImpl* impl = Impl(s);
  if (!impl) return 0;
  size_t have = impl->audioFormat.size();
  if (out == nullptr || size == 0) return static_cast<LRESULT>(have);
  size_t n = size < have ? size : have;
  std::memcpy(out, impl->audioFormat.data(), n);
  return static_cast<LRESULT>(n);
}

LRESULT Sequence_SetAudioFormat(CaptureWindowState* s, WPARAM size, const WAVEFORMATEX* in) {
  SequenceImpl* impl = Impl(s);
  if (!impl || in == nullptr || size < sizeof(PCMWAVEFORMAT) || impl->capturing) return FALSE;
  audio::PcmFormat f;
  f.formatTag = in->wFormatTag;
  f.channels = in->nChannels;
  f.samplesPerSec = in->nSamplesPerSec;
  f.avgBytesPerSec = in->nAvgBytesPerSec;
  f.blockAlign = in->nBlockAlign;
  f.bitsPerSample = in->wBitsPerSample;
  if (!audio::IsSupported(f)) return FALSE;
  try {
    StoreAudioFormat(impl, f);
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

LRESULT Sequence_SetInfoChunk(CaptureWindowState* s, const CAPINFOCHUNK* chunk) {
  SequenceImpl* impl = Impl(s);
  if (!impl || chunk == nullptr || impl->capturing) return FALSE;
  try {
    if (chunk->fccInfoID == 0) {  // clears them all
      impl->info.clear();
      return TRUE;
    }
    for (size_t i = 0; i < impl->info.size(); ++i) {
      if (impl->info[i].fourcc == chunk->fccInfoID) {
        impl->info.erase(impl->info.begin() + static_cast<long>(i));
        break;
      }
    }
    if (chunk->lpData == nullptr || chunk->cbData <= 0) return TRUE;  // removed
    if (chunk->cbData > 65536) return FALSE;
    const uint8_t* p = static_cast<const uint8_t*>(chunk->lpData);
    impl->info.push_back(avi::InfoItem{chunk->fccInfoID, std::vector<uint8_t>(p, p + chunk->cbData)});
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

bool Sequence_IsCapturing(const CaptureWindowState* s) {
  SequenceImpl* impl = Impl(s);
  return impl && impl->capturing != 0;
}

void Sequence_FillStatus(const CaptureWindowState* s, CAPSTATUS* status) {
  SequenceImpl* impl = Impl(s);
  if (!impl || !status) return;
  status->fAudioHardware = AudioSourceFromEnvironment() != AudioSourceChoice::None;
  status->fCapturingNow = impl->capturing != 0;
  if (impl->capturing || impl->frames || impl->elapsedMs) {
    status->dwCurrentVideoFrame = static_cast<DWORD>(impl->frames);
    status->dwCurrentVideoFramesDropped = static_cast<DWORD>(impl->dropped);
    status->dwCurrentWaveSamples = static_cast<DWORD>(impl->waveSamples);
    status->dwCurrentTimeElapsedMS = static_cast<DWORD>(impl->elapsedMs);
  }
}
