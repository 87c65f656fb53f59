// SetupSequence: six fields of the capture parameters from the Settings.
#include "capture/sequence_setup.h"

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "capture/command_arithmetic.h"
#include "capture/frame_rate.h"

static_assert(sizeof(CAPTUREPARMS) == 96, "capture parameters are 96 bytes");

void SetupSequence() {
  const Settings& s = g_context.settings;
  CAPTUREPARMS parameters{};
  SendCapture(WM_CAP_GET_SEQUENCE_SETUP, sizeof parameters, reinterpret_cast<LPARAM>(&parameters));
  parameters.dwRequestMicroSecPerFrame = static_cast<DWORD>(MicroSecondsPerFrame(s.FrameRate));
  parameters.fMakeUserHitOKToCapture = TRUE;  // the service asks before it starts
  parameters.fCaptureAudio = s.CaptureAudio;
  parameters.fAbortLeftMouse = FALSE;
  parameters.fAbortRightMouse = FALSE;
  parameters.fLimitEnabled = s.EnableTimeLimit;
  parameters.wTimeLimit = TimeLimitSeconds(s.TimeInterval);
  SendCapture(WM_CAP_SET_SEQUENCE_SETUP, sizeof parameters, reinterpret_cast<LPARAM>(&parameters));
}
