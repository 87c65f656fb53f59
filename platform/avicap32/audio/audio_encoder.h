// Recording audio formats other than the sources' own PCM: which PCM a
// format is made from by the audio compression manager, the format's name
// for reports, and the conversion of the PCM of a recording into it (whole
// blocks of the format each time, the rest of the PCM kept for the next
// call, the end padded to a whole block and flushed).
#ifndef MORVA_AVICAP32_AUDIO_AUDIO_ENCODER_H
#define MORVA_AVICAP32_AUDIO_AUDIO_ENCODER_H

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/no_copy.h"

// The PCM that the audio sources capture for `format`: the format itself
// when it is PCM they take, else a PCM that they take and that the audio
// compression manager converts into `format`. False when there is none, and
// for a format that is not one of the manager's own (acm_own_format.h).
bool PcmSourceFor(const WAVEFORMATEX& format, WAVEFORMATEX* pcm);

// The name of a format for reports: "IMA ADPCM, 11.025 kHz, 4 Bit, Mono"
// as the audio compression manager names it, or its numbers when it does
// not know it. `format` is a whole record (its extra bytes follow it).
constexpr size_t kAudioFormatNameSize = 256;
struct AudioFormatName {
  explicit AudioFormatName(const WAVEFORMATEX& format);
  char text[kAudioFormatNameSize];
};

class AudioEncoder : NoCopy {
 public:
  ~AudioEncoder();

  // Starts converting `pcm` into `format` (a whole record, extra bytes too).
  bool Open(const WAVEFORMATEX& pcm, const WAVEFORMATEX& format);
  // Appends to out the whole blocks that the PCM so far makes; false when
  // the conversion fails.
  bool Convert(const std::vector<uint8_t>& pcm, std::vector<uint8_t>& out);
  // Appends the rest: the kept PCM padded with silence to a whole block.
  bool Finish(std::vector<uint8_t>& out);

 private:
  bool Run(size_t bytes, DWORD flags, std::vector<uint8_t>& out);
  void Close();

  HACMSTREAM stream_ = nullptr;
  ACMSTREAMHEADER header_{};
  std::vector<uint8_t> in_, out_;  // the prepared buffers
  std::vector<uint8_t> kept_;      // PCM short of a whole block
  uint32_t pcmBlock_ = 1;          // bytes of PCM that make one block
  uint8_t silence_ = 0;
  bool started_ = false;
};

#endif
