// The test double's state and its defaults.
#include "tests/wine/fake_avicap32/fake_state.h"

#include <utility>

namespace {

// A static object rather than one made on first use: the exports that reach
// it then have nothing left that could throw (no allocation of the state).
FakeState g_state;
bool g_ready = false;  // the defaults are set on first use

CAPTUREPARMS DefaultSequence() {
  // Plausible values a real service starts with; every field differs from 0
  // where it can, so that tests notice fields that should stay as read.
  CAPTUREPARMS p{};
  p.dwRequestMicroSecPerFrame = 66667;
  p.fMakeUserHitOKToCapture = FALSE;
  p.wPercentDropForError = 10;
  p.fYield = TRUE;
  p.dwIndexSize = 34952;
  p.wChunkGranularity = 2048;
  p.fUsingDOSMemory = FALSE;
  p.wNumVideoRequested = 5;
  p.fCaptureAudio = TRUE;
  p.wNumAudioRequested = 4;
  p.vKeyAbort = VK_ESCAPE;
  p.fAbortLeftMouse = TRUE;
  p.fAbortRightMouse = TRUE;
  p.fLimitEnabled = FALSE;
  p.wTimeLimit = 30;
  p.fMCIControl = FALSE;
  p.fStepMCIDevice = FALSE;
  p.dwMCIStartTime = 7;
  p.dwMCIStopTime = 9;
  p.fStepCaptureAt2x = FALSE;
  p.wStepCaptureAverageFrames = 3;
  p.dwAudioBufferSize = 0;
  p.fDisableWriteCache = FALSE;
  p.AVStreamMaster = AVSTREAMMASTER_AUDIO;
  return p;
}

WAVEFORMATEX DefaultAudio() {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = 11025;
  f.wBitsPerSample = 8;
  f.nBlockAlign = 1;
  f.nAvgBytesPerSec = 11025;
  f.cbSize = 0;
  return f;
}

}  // namespace

FakeState& Fake() {
  if (!g_ready) FakeResetState();
  return g_state;
}

void FakeResetState() {
  FakeState fresh;
  fresh.sequence = DefaultSequence();
  fresh.audio = DefaultAudio();
  g_state = std::move(fresh);
  g_ready = true;
}
