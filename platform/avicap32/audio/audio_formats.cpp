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

std::vector<uint8_t> RecordOfWave(const WAVEFORMATEX* in, size_t size) {
  if (size < sizeof(PCMWAVEFORMAT)) return {};
  if (in->wFormatTag == WAVE_FORMAT_PCM) {
    WAVEFORMATEX w{};
    std::memcpy(&w, in, sizeof(PCMWAVEFORMAT));
    return BytesOfWave(w);
  }
  if (size < sizeof(WAVEFORMATEX) || size - sizeof(WAVEFORMATEX) < in->cbSize) return {};
  const uint8_t* p = reinterpret_cast<const uint8_t*>(in);
  return std::vector<uint8_t>(p, p + sizeof(WAVEFORMATEX) + in->cbSize);
}

const WAVEFORMATEX* WaveFormatOf(const std::vector<uint8_t>& record) {
  if (record.size() < sizeof(WAVEFORMATEX)) return nullptr;
  const WAVEFORMATEX* w = reinterpret_cast<const WAVEFORMATEX*>(record.data());
  if (w->wFormatTag != WAVE_FORMAT_PCM && record.size() - sizeof(WAVEFORMATEX) < w->cbSize) return nullptr;
  return w;
}

avi::AudioFormat AviAudioFromRecord(const std::vector<uint8_t>& record) {
  // The core's two records name their fields alike.
  WAVEFORMATEX w = WaveFromBytes(record);
  audio::PcmFormat f = PcmFromWave(w);
  avi::AudioFormat a;
  a.formatTag = f.formatTag;
  a.channels = f.channels;
  a.samplesPerSec = f.samplesPerSec;
  a.avgBytesPerSec = f.avgBytesPerSec;
  a.blockAlign = f.blockAlign;
  a.bitsPerSample = f.bitsPerSample;
  if (w.wFormatTag != WAVE_FORMAT_PCM && WaveFormatOf(record)) {
    auto extra = record.begin() + static_cast<std::ptrdiff_t>(sizeof(WAVEFORMATEX));
    a.extra.assign(extra, extra + w.cbSize);
  }
  return a;
}
