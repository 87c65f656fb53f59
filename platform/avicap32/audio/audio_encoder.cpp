// Audio formats made from PCM by the audio compression manager, and the
// conversion stage of a recording in such a format.
#include "audio/audio_encoder.h"

#include <cstdio>
#include <cstring>

#include "audio/acm_own_format.h"
#include "audio/audio_formats.h"

namespace {

const DWORD kSecondsBuffered = 1;  // PCM converted in one call at most

bool SourcesTake(const WAVEFORMATEX& pcm) { return audio::IsSupported(PcmFromWave(pcm)); }

bool Converts(const WAVEFORMATEX& pcm, const WAVEFORMATEX& format) {
  return acmStreamOpen(nullptr, nullptr, const_cast<WAVEFORMATEX*>(&pcm), const_cast<WAVEFORMATEX*>(&format),
                       nullptr, 0, 0, ACM_STREAMOPENF_QUERY) == MMSYSERR_NOERROR;
}

}  // namespace

bool PcmSourceFor(const WAVEFORMATEX& format, WAVEFORMATEX* pcm) {
  if (format.wFormatTag == WAVE_FORMAT_PCM) {
    *pcm = format;
    pcm->cbSize = 0;
    return SourcesTake(*pcm);
  }
  if (format.nChannels == 0 || format.nSamplesPerSec == 0 || !IsAcmOwnFormat(format)) return false;
  // The PCM that the format's own codec suggests first, then 16 and 8 bits
  // at the format's rate and channels.
  WAVEFORMATEX candidates[3];
  WAVEFORMATEX& suggested = candidates[0];
  suggested = WAVEFORMATEX{};
  suggested.wFormatTag = WAVE_FORMAT_PCM;
  bool haveSuggestion = acmFormatSuggest(nullptr, const_cast<WAVEFORMATEX*>(&format), &suggested, sizeof suggested,
                                         ACM_FORMATSUGGESTF_WFORMATTAG) == MMSYSERR_NOERROR;
  uint16_t channels = format.nChannels;
  uint32_t rate = format.nSamplesPerSec;
  candidates[1] = WaveFromPcm(audio::MakePcm(rate, 16, channels));
  candidates[2] = WaveFromPcm(audio::MakePcm(rate, 8, channels));
  for (int i = haveSuggestion ? 0 : 1; i < 3; ++i) {
    candidates[i].cbSize = 0;
    if (SourcesTake(candidates[i]) && Converts(candidates[i], format)) {
      *pcm = candidates[i];
      return true;
    }
  }
  return false;
}

AudioFormatName::AudioFormatName(const WAVEFORMATEX& format) {
  ACMFORMATTAGDETAILSA tag{};
  tag.cbStruct = sizeof tag;
  tag.dwFormatTag = format.wFormatTag;
  char name[sizeof tag.szFormatTag + 32];
  if (acmFormatTagDetailsA(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG) == MMSYSERR_NOERROR && tag.szFormatTag[0])
    snprintf(name, sizeof name, "%s", tag.szFormatTag);
  else
    snprintf(name, sizeof name, "format tag 0x%04X", static_cast<unsigned>(format.wFormatTag));

  ACMFORMATDETAILSA details{};
  details.cbStruct = sizeof details;
  details.dwFormatTag = format.wFormatTag;
  details.pwfx = const_cast<WAVEFORMATEX*>(&format);
  details.cbwfx = sizeof(WAVEFORMATEX) + (format.wFormatTag == WAVE_FORMAT_PCM ? 0 : format.cbSize);
  if (acmFormatDetailsA(nullptr, &details, ACM_FORMATDETAILSF_FORMAT) == MMSYSERR_NOERROR && details.szFormat[0]) {
    snprintf(text, sizeof text, "%s, %s", name, details.szFormat);
    return;
  }
  snprintf(text, sizeof text, "%s, %lu Hz, %u bits, %u channels", name,
           static_cast<unsigned long>(format.nSamplesPerSec), static_cast<unsigned>(format.wBitsPerSample),
           static_cast<unsigned>(format.nChannels));
}

AudioEncoder::~AudioEncoder() { Close(); }

void AudioEncoder::Close() {
  if (!stream_) return;
  if (header_.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) {
    // Unpreparing wants the lengths it was prepared with.
    header_.cbSrcLength = static_cast<DWORD>(in_.size());
    header_.cbDstLength = static_cast<DWORD>(out_.size());
    acmStreamUnprepareHeader(stream_, &header_, 0);
  }
  acmStreamClose(stream_, 0);
  stream_ = nullptr;
}

bool AudioEncoder::Open(const WAVEFORMATEX& pcm, const WAVEFORMATEX& format) {
  Close();
  if (pcm.nBlockAlign == 0 || format.nBlockAlign == 0) return false;
  if (acmStreamOpen(&stream_, nullptr, const_cast<WAVEFORMATEX*>(&pcm), const_cast<WAVEFORMATEX*>(&format), nullptr, 0,
                    0, ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
    stream_ = nullptr;
    return false;
  }
  // The PCM of one block of the format, in whole sample frames.
  DWORD pcmBlock = 0;
  if (acmStreamSize(stream_, format.nBlockAlign, &pcmBlock, ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR ||
      pcmBlock == 0)
    pcmBlock = pcm.nBlockAlign;
  pcmBlock += (pcm.nBlockAlign - pcmBlock % pcm.nBlockAlign) % pcm.nBlockAlign;
  pcmBlock_ = pcmBlock;
  silence_ = pcm.wBitsPerSample == 8 ? 0x80 : 0;

  DWORD inSize = pcm.nAvgBytesPerSec * kSecondsBuffered;
  inSize -= inSize % pcmBlock_;
  if (inSize < pcmBlock_) inSize = pcmBlock_;
  DWORD outSize = 0;
  if (acmStreamSize(stream_, inSize, &outSize, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR || outSize == 0) {
    Close();
    return false;
  }
  in_.assign(inSize, 0);
  out_.assign(outSize, 0);
  header_ = ACMSTREAMHEADER{};
  header_.cbStruct = sizeof header_;
  header_.pbSrc = in_.data();
  header_.cbSrcLength = inSize;
  header_.pbDst = out_.data();
  header_.cbDstLength = outSize;
  if (acmStreamPrepareHeader(stream_, &header_, 0) != MMSYSERR_NOERROR) {
    Close();
    return false;
  }
  kept_.clear();
  started_ = false;
  return true;
}

bool AudioEncoder::Run(size_t bytes, DWORD flags, std::vector<uint8_t>& out) {
  if (bytes) std::memcpy(in_.data(), kept_.data(), bytes);
  header_.cbSrcLength = static_cast<DWORD>(bytes);
  header_.cbSrcLengthUsed = 0;
  header_.cbDstLengthUsed = 0;
  if (!started_) flags |= ACM_STREAMCONVERTF_START;
  if (acmStreamConvert(stream_, &header_, flags) != MMSYSERR_NOERROR) return false;
  started_ = true;
  size_t used = header_.cbSrcLengthUsed < bytes ? header_.cbSrcLengthUsed : bytes;
  out.insert(out.end(), out_.begin(), out_.begin() + (header_.cbDstLengthUsed < out_.size() ? header_.cbDstLengthUsed
                                                                                             : out_.size()));
  kept_.erase(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(used));
  return used > 0;
}

bool AudioEncoder::Convert(const std::vector<uint8_t>& pcm, std::vector<uint8_t>& out) {
  if (!stream_) return false;
  kept_.insert(kept_.end(), pcm.begin(), pcm.end());
  while (kept_.size() >= pcmBlock_) {
    size_t whole = kept_.size() - kept_.size() % pcmBlock_;
    if (!Run(whole < in_.size() ? whole : in_.size(), ACM_STREAMCONVERTF_BLOCKALIGN, out)) return false;
  }
  return true;
}

bool AudioEncoder::Finish(std::vector<uint8_t>& out) {
  if (!stream_) return false;
  if (kept_.size() % pcmBlock_) kept_.resize(kept_.size() + pcmBlock_ - kept_.size() % pcmBlock_, silence_);
  // The last piece, however short (even none), ends the stream.
  bool ok = true;
  do {
    size_t n = kept_.size() < in_.size() ? kept_.size() : in_.size();
    bool last = n == kept_.size();
    ok = Run(n, last ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN, out) || n == 0;
  } while (ok && !kept_.empty());
  kept_.clear();
  Close();
  return ok;
}
