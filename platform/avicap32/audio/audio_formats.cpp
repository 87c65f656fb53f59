// Conversions between the audio format records (see audio_formats.h).
#include "audio/audio_formats.h"

#include <cstring>

audio::PcmFormat PcmFromWave(const WAVEFORMATEX& w) {
  audio::PcmFormat f;
  f.formatTag = w.wFormatTag;
  f.channels = w.nChannels;
  f.samplesPerSec = w.nSamplesPerSec;
  f.avgBytesPerSec = w.nAvgBytesPerSec;
  f.blockAlign = w.nBlockAlign;
  f.bitsPerSample = w.wBitsPerSample;
  return f;
}

WAVEFORMATEX WaveFromPcm(const audio::PcmFormat& f) {
  WAVEFORMATEX w{};
  w.wFormatTag = f.formatTag;
  w.nChannels = f.channels;
  w.nSamplesPerSec = f.samplesPerSec;
  w.nAvgBytesPerSec = f.avgBytesPerSec;
  w.nBlockAlign = f.blockAlign;
  w.wBitsPerSample = f.bitsPerSample;
  w.cbSize = 0;
  return w;
}

WAVEFORMATEX WaveFromBytes(const std::vector<uint8_t>& stored) {
  WAVEFORMATEX w{};
  std::memcpy(&w, stored.data(), stored.size() < sizeof w ? stored.size() : sizeof w);
  return w;
}

std::vector<uint8_t> BytesOfWave(const WAVEFORMATEX& w) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&w);
  return std::vector<uint8_t>(p, p + sizeof w);
}

avi::AudioFormat AviAudioFromWave(const WAVEFORMATEX& w) {
  // The core's two records name their fields alike.
  audio::PcmFormat f = PcmFromWave(w);
  avi::AudioFormat a;
  a.formatTag = f.formatTag;
  a.channels = f.channels;
  a.samplesPerSec = f.samplesPerSec;
  a.avgBytesPerSec = f.avgBytesPerSec;
  a.blockAlign = f.blockAlign;
  a.bitsPerSample = f.bitsPerSample;
  return a;
}
