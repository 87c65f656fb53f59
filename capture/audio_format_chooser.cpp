// ChooseAudioFormat: the current audio format in a buffer large enough for
// any format the audio compression manager knows, handed to its chooser, and
// sent back to the capture window only when the user confirmed a format.
#include "capture/audio_format_chooser.h"

#include <mmreg.h>
#include <msacm.h>

#include "capture/capture_interface.h"
#include "capture/command_arithmetic.h"

static_assert(sizeof(void*) != 4 || sizeof(ACMFORMATCHOOSEA) == 232,
              "format chooser record is 232 bytes in a 32-bit program");

namespace {

// Start from the format in the buffer; list the formats that the audio
// hardware takes as input.
const DWORD kChooserStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;              // 0x40
const DWORD kChooserEnum = ACM_FORMATENUMF_HARDWARE | ACM_FORMATENUMF_INPUT;     // 0x00C00000

DWORD BufferSize() {
  DWORD maxFormat = 0;
  const bool maxKnown =
      acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &maxFormat) == MMSYSERR_NOERROR;
  const auto current = static_cast<DWORD>(SendCapture(WM_CAP_GET_AUDIOFORMAT, 0, 0));
  return AudioFormatBufferSize(maxKnown, maxFormat, current, sizeof(WAVEFORMATEX));
}

// The request's size argument carries the low 16 bits of the buffer size.
WPARAM SizeArgument(DWORD size) { return LOWORD(size); }

void RunChooser(HWND owner, WAVEFORMATEX* format, DWORD size) {
  SendCapture(WM_CAP_GET_AUDIOFORMAT, SizeArgument(size), reinterpret_cast<LPARAM>(format));
  ACMFORMATCHOOSEA chooser{};
  chooser.cbStruct = sizeof chooser;
  chooser.fdwStyle = kChooserStyle;
  chooser.hwndOwner = owner;
  chooser.pwfx = format;
  chooser.cbwfx = size;
  chooser.fdwEnum = kChooserEnum;
  if (acmFormatChooseA(&chooser) == MMSYSERR_NOERROR) {
    SendCapture(WM_CAP_SET_AUDIOFORMAT, SizeArgument(size), reinterpret_cast<LPARAM>(format));
  }
}

}  // namespace

void ChooseAudioFormat(HWND owner) {
  const DWORD size = BufferSize();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!memory) return;
  if (auto* format = static_cast<WAVEFORMATEX*>(GlobalLock(memory))) {
    RunChooser(owner, format, size);
    GlobalUnlock(memory);
  }
  GlobalFree(memory);
}
