// Conversions between the audio format records: the platform's WAVEFORMATEX
// (and its stored bytes), the core's PcmFormat and the AVI writer's
// AudioFormat.
#ifndef MORVA_AVICAP32_AUDIO_AUDIO_FORMATS_H
#define MORVA_AVICAP32_AUDIO_AUDIO_FORMATS_H

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <vector>

#include "core/camera/audio_pcm.h"
#include "core/riff/avi_format.h"

audio::PcmFormat PcmFromWave(const WAVEFORMATEX& w);
WAVEFORMATEX WaveFromPcm(const audio::PcmFormat& f);  // cbSize 0
// A stored format (at least a PCMWAVEFORMAT) as a WAVEFORMATEX; what it
// lacks of one stays zero.
WAVEFORMATEX WaveFromBytes(const std::vector<uint8_t>& stored);
std::vector<uint8_t> BytesOfWave(const WAVEFORMATEX& w);
avi::AudioFormat AviAudioFromWave(const WAVEFORMATEX& w);

#endif
